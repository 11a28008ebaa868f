#include "mainwindow/MainMenu.h"

#include "controls/WinApi_.h"
#include "core/ArrayDictionary_.h"
#include "core/Bug_.h"
#include "core/CoreHooks.h"
#include "core/DateFormatText.h"
#include "core/FileFunctions_.h"
#include "core/FileNameMap.h"
#include "core/GlobalNotifier.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "core/ProgressLog.h"
#include "core/Registry_.h"
#include "core/TranslationHelpers.h"
#include "core/UrlHelpers_.h"
#include "core/VerbanoxRoutines.h"
#include "mainwindow/BibleBrowser.h"
#include "mainwindow/Indemnity.h"
#include "mainwindow/Splash.h"
#include "mainwindow/frmAbout.h"
#include "platform/DefaultInstance.h"
#include "platform/FileNames.h"
#include "platform/HelpService.h"
#include "platform/Twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QProgressBar>
#include <QProxyStyle>
#include <QTimer>

namespace {
const QString CRLF = QStringLiteral("\r\n");
const QString Settings = QStringLiteral("Settings");

constexpr int ClockMilliseconds = 1000;
// Design sizes in twips.
constexpr double StatusHeight = 330;
constexpr double StatusTextRightWidth = 2000;
constexpr double StatusTextRightGap = 200;
constexpr double StatusLabelLeft = 90;

// Form texts of the items the integrity check names in its log.
constexpr int IntegrityCheckId = 97;
constexpr int IntegrityBiblesId = 98;
constexpr int IntegrityCommentariesId = 99;
constexpr int IntegrityDictionariesId = 100;
constexpr int IntegrityNamesId = 101;
// "All" has its own text; 102 is the module-folder chooser's label.
constexpr int IntegrityAllId = 202;
constexpr int BugReportId = 121;
constexpr int DateFormatCaptionId = 89;
// Standard messages.
constexpr int ChmNotInstalledMsg = 41;
constexpr int IndexDeletedMsg = 49;

// The study windows whose positions the close saves, in the order it saves them.
struct StudyWindow
{
    MenuTargets::Target target;
    bool *openFlag;
    const char *prefix;
};
const StudyWindow StudyWindows[] = {
    {MenuTargets::MultiBib, &gMultiBibOpen, "ScreenV1"},
    {MenuTargets::NameDictionary, &gNameDictionaryOpen, "ScreenN"},
    {MenuTargets::Dictionary, &gDictionaryOpen, "ScreenDict"},
    {MenuTargets::Commentaries, &gCommentariesOpen, "ScreenCoMM"},
    {MenuTargets::TLNotes, &gTLNotesOpen, "ScreenTN"},
    {MenuTargets::MapViewer, &gMapViewerOpen, "ScreenMap"},
};

class NoGeometryAnimationStyle : public QProxyStyle
{
public:
    explicit NoGeometryAnimationStyle(QObject *owner) { setParent(owner); }
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_Widget_Animation_Duration)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

bool anyFile(const QString &folder, const QString &pattern)
{
    return !FileNames::listFiles(folder, pattern).isEmpty();
}

// A caption without its access-key marks, for running text.
QString plainCaption(QString caption)
{
    caption.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    caption.remove(QLatin1Char('&'));
    caption.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return caption;
}

QString onWebSite(const QString &path)
{
    QString site = MiscHelpers::WebSiteAddress();
    while (site.endsWith(QLatin1Char('/')))
        site.chop(1);
    return site + (path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path);
}

// The runtime's FreeFile: the lowest file number no open file uses. Our files are
// not numbered; the count of files the process holds open serves the same
// purpose of showing leaked files (1 when none is open).
int freeFileNumber()
{
    int open = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QFileInfo &fd : fds.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot)) {
        const QFileInfo target(fd.symLinkTarget());
        if (target.isFile() && !target.absoluteFilePath().startsWith(QLatin1String("/dev/")))
            ++open;
    }
    return open + 1;
}
} // namespace

MainMenu::MainMenu()
{
    setObjectName(QStringLiteral("MainMenu"));
    // The window keeps Qt's quit-on-close mark: without it, closing any other
    // window (a message box) would count as closing the last one, and Qt would
    // quit the program. Closing this window ends the program in Form_Unload.
    setAttribute(Qt::WA_QuitOnClose, true);
    CreateControls();
    CreateMenus();
    ConnectCommands();
    Form_Load();
}

MainMenu::~MainMenu() = default;

MainMenu &MainMenu::Instance()
{
    return DefaultInstance<MainMenu>::get();
}

void MainMenu::Register()
{
    CoreHooks::SetMainWindow([]() -> QWidget * { return &Instance(); });
}

// --- Controls and menus ------------------------------------------------------

void MainMenu::CreateControls()
{
    m_client = new QWidget(this);
    // The browser's first show may build an index and let events run inside the
    // show. The window's layout gives the client area a geometry animation (even
    // a zero-long one) as a child; deleted in those events while Qt still walks
    // the client's children to show them, it would crash the start.
    m_client->setStyle(new NoGeometryAnimationStyle(m_client));
    setCentralWidget(m_client);
    m_client->installEventFilter(this);

    BibleBrowser1 = new BibleBrowser(m_client);
    BibleBrowser1->setObjectName(QStringLiteral("BibleBrowser1"));

    pixStatus = new QWidget(m_client);
    pixStatus->setObjectName(QStringLiteral("pixStatus"));
    pixStatus->setFixedHeight(Twips::toPixelsY(StatusHeight));
    lblStatusTextL = new QLabel(pixStatus);
    lblStatusTextL->setObjectName(QStringLiteral("lblStatusTextL"));
    txtStatusTextR = new QLineEdit(pixStatus);
    txtStatusTextR->setObjectName(QStringLiteral("txtStatusTextR"));
    txtStatusTextR->setReadOnly(true);
    txtStatusTextR->setFrame(false);
    txtStatusTextR->setFocusPolicy(Qt::NoFocus);
    // A read-only field of the strip, not a place to type: it takes the strip's colour.
    QPalette strip = txtStatusTextR->palette();
    strip.setColor(QPalette::Base, strip.color(QPalette::Window));
    txtStatusTextR->setPalette(strip);
    txtStatusTextR->resize(Twips::toPixelsX(StatusTextRightWidth), pixStatus->height() - 4);
    ProgressBar1 = new QProgressBar(pixStatus);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
}

QMenu *MainMenu::AddMenu(QMenu *parent, const char *name, const QString &designCaption, int id)
{
    auto *menu = new QMenu(designCaption, this);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    if (parent)
        parent->addMenu(menu);
    else
        menuBar()->addMenu(menu);
    m_captionIds.append({menu->menuAction(), id, QString()});
    return menu;
}

QAction *MainMenu::AddItem(QMenu *menu, const char *name, const QString &designCaption, int id,
                           const QKeySequence &shortcut)
{
    QAction *item = menu->addAction(designCaption);
    item->setObjectName(QLatin1String(name));
    if (!shortcut.isEmpty())
        item->setShortcut(shortcut);
    if (id > 0)
        m_captionIds.append({item, id, QString()});
    return item;
}

void MainMenu::CreateMenus()
{
    // The design captions are the keys of the menu pictures (AddPicturesToMenu
    // runs before International replaces them).
    zFile = AddMenu(nullptr, "zFile", QStringLiteral("&File"), 70);
    mFileExit =
        AddItem(zFile, "mFileExit", QStringLiteral("E&xit"), 65, QKeySequence(QStringLiteral("Ctrl+Q")));

    zEdit = AddMenu(nullptr, "zEdit", QStringLiteral("&Edit"), 66);
    // Ctrl+C is only shown: the reading pane copies by itself.
    mEditCopy = AddItem(zEdit, "mEditCopy", QStringLiteral("&Copy\tCtrl+C"), 0);
    m_captionIds.append({mEditCopy, 68, QStringLiteral("\tCtrl+C")});
    zEdit->addSeparator();
    mEditFind =
        AddItem(zEdit, "mEditFind", QStringLiteral("&Find..."), 73, QKeySequence(QStringLiteral("Ctrl+F")));
    mEditFindNext =
        AddItem(zEdit, "mEditFindNext", QStringLiteral("Find &Next"), 74, QKeySequence(Qt::Key_F3));
    zEdit->addSeparator();
    mEditSelectAll = AddItem(zEdit, "mEditSelectAll", QStringLiteral("Select &All"), 75,
                             QKeySequence(QStringLiteral("Ctrl+A")));
    zEdit->addSeparator();
    mViewWrapText = AddItem(zEdit, "mViewWrapText", QStringLiteral("&Wrap Text"), 76,
                            QKeySequence(QStringLiteral("Ctrl+W")));
    mViewFancyFormatting = AddItem(zEdit, "mViewFancyFormatting", QStringLiteral("Fancy Fo&rmatting"), 205,
                                   QKeySequence(Qt::Key_F12));
    // Two items keep their captions in every language.
    mViewSmartQuotes = AddItem(zEdit, "mViewSmartQuotes", QStringLiteral("&Smart Quotes"), 0,
                               QKeySequence(QStringLiteral("Shift+F12")));
    mViewSmartDash = AddItem(zEdit, "mViewSmartDash", QStringLiteral("Smart &Dash and Spaces"), 0,
                             QKeySequence(QStringLiteral("Ctrl+Shift+F12")));
    zEdit->addSeparator();
    mChooseFont = AddItem(zEdit, "mChooseFont", QStringLiteral("Choose F&ont..."), 206);
    for (QAction *item : {mViewWrapText, mViewFancyFormatting, mViewSmartQuotes, mViewSmartDash})
        item->setCheckable(true);
    mViewWrapText->setChecked(true);

    zView = AddMenu(nullptr, "zView", QStringLiteral("&View"), 77);
    mWindowBookmarks = AddItem(zView, "mWindowBookmarks", QStringLiteral("&Bookmarks"), 91);
    mWindowAdvancedSearch = AddItem(zView, "mWindowAdvancedSearch", QStringLiteral("&Search and Notes"), 200);
    zView->addSeparator();
    mWindowMultiBible = AddItem(zView, "mWindowMultiBible", QStringLiteral("&Multi Bible"), 78);
    mWindowCommentary = AddItem(zView, "mWindowCommentary", QStringLiteral("&Commentary"), 79);
    zView->addSeparator();
    mWindowDictionary = AddItem(zView, "mWindowDictionary", QStringLiteral("&Dictionary"), 80);
    mWindowNames = AddItem(zView, "mWindowNames", QStringLiteral("&Names"), 82);
    mIntegrateNames = AddItem(zView, "mIntegrateNames", QStringLiteral("&Integrate Names"), 83);
    mIntegrateNames->setCheckable(true);
    mIntegrateNames->setChecked(true);
    zView->addSeparator();
    mWindowMaps = AddItem(zView, "mWindowMaps", QStringLiteral("M&aps"), 81);
    zView->addSeparator();
    mWindowTranslationNotes =
        AddItem(zView, "mWindowTranslationNotes", QStringLiteral("&Translation Notes"), 87);
    zView->addSeparator();
    mViewMp3Bibles = AddItem(zView, "mViewMp3Bibles", QStringLiteral("MP&3 Bibles"), 204);
    mViewChmBibles = AddItem(zView, "mViewChmBibles", QStringLiteral("C&HM Bibles"), 203);

    zTools = AddMenu(nullptr, "zTools", QStringLiteral("&Tools"), 92);
    mToolsOptions = AddItem(zTools, "mToolsOptions", QStringLiteral("&Options..."), 95);
    mToolsDateFormat = AddItem(zTools, "mToolsDateFormat", QStringLiteral("&Date Format..."), 169);
    zTools->addSeparator();
    mToolsLanguageEditor = AddItem(zTools, "mToolsLanguageEditor", QStringLiteral("&Language Editor..."), 93);
    mToolsShowMsgNums = AddItem(zTools, "mToolsShowMsgNums", QStringLiteral("Show &Message Numbers"), 199);
    mToolsShowMsgNums->setCheckable(true);
    zTools->addSeparator();
    mToolsReIndex = AddItem(zTools, "mToolsReIndex", QStringLiteral("&Re-index Modules"), 96);
    zIntegrityCheck =
        AddMenu(zTools, "zIntegrityCheck", QStringLiteral("&Integrity Check"), IntegrityCheckId);
    mIntegrityBibles =
        AddItem(zIntegrityCheck, "mIntegrityBibles", QStringLiteral("&Bibles"), IntegrityBiblesId);
    mIntegrityCommentaries = AddItem(zIntegrityCheck, "mIntegrityCommentaries",
                                     QStringLiteral("&Commentaries"), IntegrityCommentariesId);
    mIntegrityDictionaries = AddItem(zIntegrityCheck, "mIntegrityDictionaries",
                                     QStringLiteral("&Dictionaries"), IntegrityDictionariesId);
    mIntegrityNames = AddItem(zIntegrityCheck, "mIntegrityNames", QStringLiteral("&Names"), IntegrityNamesId);
    zIntegrityCheck->addSeparator();
    mIntegrityAll = AddItem(zIntegrityCheck, "mIntegrityAll", QStringLiteral("&All"), IntegrityAllId);
    zTools->addSeparator();
    mToolsSetFolders = AddItem(zTools, "mToolsSetFolders", QStringLiteral("Set &Folders..."), 94);

    zWeb = AddMenu(nullptr, "zWeb", QStringLiteral("&Web"), 103);
    mGotoWebsite = AddItem(zWeb, "mGotoWebsite", QStringLiteral("&Go to Web Site"), 105);
    mDiscussionForum = AddItem(zWeb, "mDiscussionForum", QStringLiteral("&Discussion Forum"), 104);
    mMailingList = AddItem(zWeb, "mMailingList", QStringLiteral("&Mailing List"), 201);

    zHelp = AddMenu(nullptr, "zHelp", QStringLiteral("&Help"), 115);
    mContents = AddItem(zHelp, "mContents", QStringLiteral("&Contents"), 116, QKeySequence(Qt::Key_F1));
    zHelp->addSeparator();
    mLicenceAgreement = AddItem(zHelp, "mLicenceAgreement", QStringLiteral("&Licence Agreement"), 117);
    mSplashScreen = AddItem(zHelp, "mSplashScreen", QStringLiteral("&Splash Screen"), 119);
    zHelp->addSeparator();
    mBugReport = AddItem(zHelp, "mBugReport", QStringLiteral("&Report a Bug"), BugReportId);
    zHelp->addSeparator();
    mAbout = AddItem(zHelp, "mAbout", QStringLiteral("&About..."), 118);
}

void MainMenu::ConnectCommands()
{
    const std::pair<QAction *, void (MainMenu::*)()> commands[] = {
        {mFileExit, &MainMenu::mFileExit_Click},
        {mEditCopy, &MainMenu::mEditCopy_Click},
        {mEditFind, &MainMenu::mEditFind_Click},
        {mEditFindNext, &MainMenu::mEditFindNext_Click},
        {mEditSelectAll, &MainMenu::mEditSelectAll_Click},
        {mViewWrapText, &MainMenu::mViewWrapText_Click},
        {mViewFancyFormatting, &MainMenu::mViewFancyFormatting_Click},
        {mViewSmartQuotes, &MainMenu::mViewSmartQuotes_Click},
        {mViewSmartDash, &MainMenu::mViewSmartDash_Click},
        {mChooseFont, &MainMenu::mChooseFont_Click},
        {mWindowBookmarks, &MainMenu::mWindowBookmarks_Click},
        {mWindowAdvancedSearch, &MainMenu::mWindowAdvancedSearch_Click},
        {mWindowMultiBible, &MainMenu::mWindowMultiBible_Click},
        {mWindowCommentary, &MainMenu::mWindowCommentary_Click},
        {mWindowDictionary, &MainMenu::mWindowDictionary_Click},
        {mWindowNames, &MainMenu::mWindowNames_Click},
        {mIntegrateNames, &MainMenu::mIntegrateNames_Click},
        {mWindowMaps, &MainMenu::mWindowMaps_Click},
        {mWindowTranslationNotes, &MainMenu::mWindowTranslationNotes_Click},
        {mViewMp3Bibles, &MainMenu::mViewMp3Bibles_Click},
        {mViewChmBibles, &MainMenu::mViewChmBibles_Click},
        {mToolsOptions, &MainMenu::mToolsOptions_Click},
        {mToolsDateFormat, &MainMenu::mToolsDateFormat_Click},
        {mToolsLanguageEditor, &MainMenu::mToolsLanguageEditor_Click},
        {mToolsShowMsgNums, &MainMenu::mToolsShowMsgNums_Click},
        {mToolsReIndex, &MainMenu::mToolsReIndex_Click},
        {mIntegrityBibles, &MainMenu::mIntegrityBibles_Click},
        {mIntegrityCommentaries, &MainMenu::mIntegrityCommentaries_Click},
        {mIntegrityDictionaries, &MainMenu::mIntegrityDictionaries_Click},
        {mIntegrityNames, &MainMenu::mIntegrityNames_Click},
        {mIntegrityAll, &MainMenu::mIntegrityAll_Click},
        {mToolsSetFolders, &MainMenu::mToolsSetFolders_Click},
        {mGotoWebsite, &MainMenu::mGotoWebsite_Click},
        {mDiscussionForum, &MainMenu::mDiscussionForum_Click},
        {mMailingList, &MainMenu::mMailingList_Click},
        {mContents, &MainMenu::mContents_Click},
        {mLicenceAgreement, &MainMenu::mLicenceAgreement_Click},
        {mSplashScreen, &MainMenu::mSplashScreen_Click},
        {mBugReport, &MainMenu::mBugReport_Click},
        {mAbout, &MainMenu::mAbout_Click},
    };
    for (const auto &[item, handler] : commands)
        connect(item, &QAction::triggered, this, handler);
    connect(zHelp, &QMenu::aboutToShow, this, &MainMenu::zHelp_Click);
}

// --- Load, layout, clock and close -------------------------------------------

void MainMenu::Form_Load()
{
    DeferredErrors errors(QStringLiteral("MainMenu.Form_Load()"));
    errors.step([this] {
        m_globalnotifer = gNotifier;
        if (m_globalnotifer)
            connect(m_globalnotifer, &GlobalNotifier::Notify, this, [this](const QString &eventName) {
                TrapErrors(QStringLiteral("MainMenu.m_globalnotifer_Notify()"),
                           [&] { m_globalnotifer_Notify(eventName); });
            });
    });
    errors.step([this] { RestoreFormPosition(QStringLiteral("Main"), this); });
    errors.step([this] { ProgressBar1->setVisible(false); });
    errors.step([this] {
        Timer1->setInterval(ClockMilliseconds);
        Timer1->start();
    });
    errors.step([this] { AddPicturesToMenu(); });
    errors.step([this] { International(); });
    errors.step([] {
        if (gShowSplash)
            Splash::ShowModal();
    });
    errors.step([this] { show(); });
    errors.step([this] { LoadBookmarks(); });
    errors.step([this] {
        if (gShowMsgNumbers)
            mToolsShowMsgNums->setChecked(true);
    });
    errors.step([this] { EnableItemsByInstalledModules(); });
    errors.step([this] { EnableLaterWindowItems(); });
    errors.step([this] { TakeCheckMarksFromBrowser(); });
    // The status strip shows the date at once, not a second later.
    errors.step([this] { Timer1_Timer(); });
}

void MainMenu::EnableItemsByInstalledModules()
{
    mWindowTranslationNotes->setEnabled(
        FileFunctions_::FileExists(gModuleFolder + QStringLiteral("TLNotes.txt")));
    mWindowMaps->setEnabled(anyFile(gMapsFolder, QStringLiteral("*.jpg")));
    const bool commentaries = anyFile(gCommentaryFolder, QStringLiteral("*.txt"));
    mWindowCommentary->setEnabled(commentaries);
    mIntegrityCommentaries->setEnabled(commentaries);
    const bool dictionaries = anyFile(gDictionaryFolder, QStringLiteral("*.txt"));
    mIntegrityDictionaries->setEnabled(dictionaries);
    mWindowDictionary->setEnabled(dictionaries);
    const bool names = anyFile(gNameFolder, QStringLiteral("*.txt"));
    mIntegrateNames->setEnabled(names);
    mIntegrityNames->setEnabled(names);
    mWindowNames->setEnabled(names);
}

// The windows of later parts of the program register themselves; until one has,
// its item stays visible but disabled, on top of what the installed modules allow.
void MainMenu::EnableLaterWindowItems()
{
    const std::pair<QAction *, MenuTargets::Target> items[] = {
        {mWindowBookmarks, MenuTargets::BookmarkList},
        {mWindowAdvancedSearch, MenuTargets::AdvancedSearch},
        {mWindowMultiBible, MenuTargets::MultiBib},
        {mWindowCommentary, MenuTargets::Commentaries},
        {mWindowDictionary, MenuTargets::Dictionary},
        {mWindowNames, MenuTargets::NameDictionary},
        {mWindowMaps, MenuTargets::MapViewer},
        {mWindowTranslationNotes, MenuTargets::TLNotes},
        {mViewMp3Bibles, MenuTargets::MP3},
        {mToolsOptions, MenuTargets::Options},
        {mToolsDateFormat, MenuTargets::DateFormat},
        {mToolsLanguageEditor, MenuTargets::LanguageEditor},
    };
    for (const auto &[item, target] : items)
        if (!MenuTargets::IsRegistered(target))
            item->setEnabled(false);
    // Without CHM Bibles the item offers their download page, which works now.
    if (anyFile(gModuleFolder + QStringLiteral("CHM/"), QStringLiteral("c?_*.chm")))
        mViewChmBibles->setEnabled(MenuTargets::IsRegistered(MenuTargets::CHM));
}

void MainMenu::TakeCheckMarksFromBrowser()
{
    mViewFancyFormatting->setChecked(BibleBrowser1->FancyFormatting());
    mViewSmartQuotes->setChecked(BibleBrowser1->SmartQuotes());
    mViewSmartDash->setChecked(BibleBrowser1->SmartDash());
    mViewWrapText->setChecked(BibleBrowser1->WrapText());
    mIntegrateNames->setChecked(BibleBrowser1->IntegrateNames());
}

void MainMenu::Form_Resize()
{
    if (isMinimized())
        return;
    IgnoreErrors([this] {
        const int innerWidth = m_client->width();
        const int innerHeight = m_client->height();
        const int statusHeight = pixStatus->height();
        pixStatus->setGeometry(0, innerHeight - statusHeight, innerWidth, statusHeight);
        lblStatusTextL->setGeometry(Twips::toPixelsX(StatusLabelLeft), 0, innerWidth / 2, statusHeight);
        txtStatusTextR->move(innerWidth - txtStatusTextR->width() - Twips::toPixelsX(StatusTextRightGap),
                             (statusHeight - txtStatusTextR->height()) / 2);
        BibleBrowser1->setGeometry(0, 0, innerWidth, std::max(0, innerHeight - statusHeight));
    });
}

bool MainMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::Resize)
        Form_Resize();
    return QMainWindow::eventFilter(watched, event);
}

void MainMenu::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Restoring from the task bar lays the window out again.
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void MainMenu::Timer1_Timer()
{
    IgnoreErrors([this] {
        lblStatusTextL->setText(MiscHelpers::WeekdayText() + QStringLiteral(", ") +
                                DateFormatText::Format(desktop().now(), gDateFormat));
        if (gDebugMode)
            setWindowTitle(MiscHelpers::ProductTitle() + QStringLiteral(" - FreeFile()=") +
                           QString::number(freeFileNumber()));
    });
}

void MainMenu::closeEvent(QCloseEvent *event)
{
    bool cancel = false;
    Form_Unload(cancel);
    if (cancel)
        event->ignore();
    else
        QMainWindow::closeEvent(event);
}

void MainMenu::Form_Unload(bool &Cancel)
{
    if (Cancel)
        return;
    IgnoreErrors([] {
        if (!gDeleteTempFilesOnExit)
            return;
        for (const QString &name : FileNames::listFiles(gScratchFolder, QStringLiteral("*.*")))
            QFile::remove(gScratchFolder + name);
    });
    IgnoreErrors([] { Registry_::SaveString(QStringLiteral("DEFAULTFONT"), gDefaultFont, Settings); });
    IgnoreErrors([this] { SaveFormPosition(QStringLiteral("Main"), this); });
    for (const StudyWindow &study : StudyWindows) {
        if (*study.openFlag)
            IgnoreErrors(
                [&] { SaveFormPosition(QLatin1String(study.prefix), MenuTargets::Loaded(study.target)); });
    }
    // The program ends here: no other window's unload handler runs.
    desktop().endProgram(0);
}

// --- Captions, pictures and program-wide events ------------------------------

void MainMenu::International()
{
    setWindowTitle(MiscHelpers::ProductTitle());
    for (const CaptionId &caption : std::as_const(m_captionIds))
        caption.item->setText(GetMsg(1, caption.id) + caption.suffix);
    if (MenuTargets::IsRegistered(MenuTargets::DateFormat) &&
        MenuTargets::Get(MenuTargets::DateFormat).instance)
        MenuTargets::Get(MenuTargets::DateFormat).instance()->setWindowTitle(GetMsg(1, DateFormatCaptionId));
}

void MainMenu::AddPicturesToMenu()
{
    ArrayDictionary_ menus;
    const auto captionOf = [](QAction *item) {
        QString caption = item->text();
        const qsizetype tab = caption.indexOf(QLatin1Char('\t'));
        if (tab > 0)
            caption.truncate(tab);
        return caption;
    };
    const auto add = [&](QMenu *menu, std::initializer_list<std::pair<QAction *, int>> items) {
        auto inner = std::make_shared<ArrayDictionary_>();
        for (const auto &[item, number] : items)
            inner->Add(captionOf(item), QVariant::fromValue(ImgList1.ListImages(number)));
        menus.Add(captionOf(menu->menuAction()), QVariant::fromValue(inner));
    };
    add(zFile, {});
    add(zEdit, {{mEditCopy, 8}, {mEditFind, 12}, {mEditFindNext, 13}});
    add(zView,
        {{mWindowMultiBible, 14}, {mWindowNames, 15}, {mWindowDictionary, 16}, {mWindowCommentary, 17}});
    WinApi_::ApplyMenuBitmaps(this, menus);
}

void MainMenu::m_globalnotifer_Notify(const QString &eventName)
{
    if (eventName == GlobalNotifier::InternationalChanged)
        International();
}

void MainMenu::LoadBookmarks()
{
    // The bookmark list window belongs to a later part of the program; until it
    // exists there is no list to fill, and "Bookmarks.txt" stays unread so that
    // whichever window loads it first still finds the loaded flag unset.
}

// --- Commands ----------------------------------------------------------------

void MainMenu::RunCommand(const char *item, const std::function<void()> &body)
{
    DeferredErrors errors(QStringLiteral("MainMenu.") + QLatin1String(item) + QStringLiteral("_Click()"));
    errors.step(body);
}

void MainMenu::RaiseWindow(MenuTargets::Target target)
{
    QWidget *window = MenuTargets::Get(target).instance();
    window->setVisible(true);
    window->setWindowState(window->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    window->raise();
    window->activateWindow();
}

void MainMenu::ShowWindow(MenuTargets::Target target)
{
    MenuTargets::Get(target).instance()->setVisible(true);
}

void MainMenu::ShowModal(MenuTargets::Target target)
{
    const MenuTargets::Window &window = MenuTargets::Get(target);
    if (!window.showModal)
        raiseError(RtErr::ObjectNotSet, QStringLiteral("Verbanox.MainMenu"),
                   QStringLiteral("The dialog cannot be shown."));
    window.showModal();
}

void MainMenu::mFileExit_Click()
{
    bool cancel = false;
    Form_Unload(cancel);
}

void MainMenu::mEditCopy_Click()
{
    RunCommand("mEditCopy", [this] { BibleBrowser1->CopyToClipboard(); });
}

void MainMenu::mEditFind_Click()
{
    RunCommand("mEditFind", [this] { BibleBrowser1->Find(false); });
}

void MainMenu::mEditFindNext_Click()
{
    RunCommand("mEditFindNext", [this] { BibleBrowser1->Find(true); });
}

void MainMenu::mEditSelectAll_Click()
{
    RunCommand("mEditSelectAll", [this] { BibleBrowser1->SelectAll(); });
}

void MainMenu::mViewWrapText_Click()
{
    RunCommand("mViewWrapText", [this] { BibleBrowser1->setWrapText(mViewWrapText->isChecked()); });
}

void MainMenu::mViewFancyFormatting_Click()
{
    RunCommand("mViewFancyFormatting",
               [this] { BibleBrowser1->setFancyFormatting(mViewFancyFormatting->isChecked()); });
}

void MainMenu::mViewSmartQuotes_Click()
{
    RunCommand("mViewSmartQuotes", [this] { BibleBrowser1->setSmartQuotes(mViewSmartQuotes->isChecked()); });
}

void MainMenu::mViewSmartDash_Click()
{
    RunCommand("mViewSmartDash", [this] { BibleBrowser1->setSmartDash(mViewSmartDash->isChecked()); });
}

void MainMenu::mIntegrateNames_Click()
{
    RunCommand("mIntegrateNames", [this] { BibleBrowser1->setIntegrateNames(mIntegrateNames->isChecked()); });
}

void MainMenu::mChooseFont_Click()
{
    RunCommand("mChooseFont", [this] { BibleBrowser1->ChooseFont(); });
}

void MainMenu::mWindowBookmarks_Click()
{
    RunCommand("mWindowBookmarks", [this] { ShowWindow(MenuTargets::BookmarkList); });
}

void MainMenu::mWindowAdvancedSearch_Click()
{
    RunCommand("mWindowAdvancedSearch", [this] { ShowWindow(MenuTargets::AdvancedSearch); });
}

void MainMenu::mWindowMultiBible_Click()
{
    RunCommand("mWindowMultiBible", [this] { RaiseWindow(MenuTargets::MultiBib); });
}

void MainMenu::mWindowCommentary_Click()
{
    RunCommand("mWindowCommentary", [this] { RaiseWindow(MenuTargets::Commentaries); });
}

void MainMenu::mWindowDictionary_Click()
{
    RunCommand("mWindowDictionary", [this] { RaiseWindow(MenuTargets::Dictionary); });
}

void MainMenu::mWindowNames_Click()
{
    RunCommand("mWindowNames", [this] { RaiseWindow(MenuTargets::NameDictionary); });
}

void MainMenu::mWindowMaps_Click()
{
    RunCommand("mWindowMaps", [this] { ShowWindow(MenuTargets::MapViewer); });
}

void MainMenu::mWindowTranslationNotes_Click()
{
    RunCommand("mWindowTranslationNotes", [this] { ShowWindow(MenuTargets::TLNotes); });
}

void MainMenu::mViewMp3Bibles_Click()
{
    RunCommand("mViewMp3Bibles", [this] { ShowWindow(MenuTargets::MP3); });
}

void MainMenu::mViewChmBibles_Click()
{
    RunCommand("mViewChmBibles", [this] {
        if (anyFile(gModuleFolder + QStringLiteral("CHM/"), QStringLiteral("c?_*.chm"))) {
            ShowModal(MenuTargets::CHM);
            return;
        }
        const int answer = desktop().messageBox(GetMsg(0, ChmNotInstalledMsg),
                                                MsgBoxStyle::YesNo | MsgBoxStyle::Question, QString());
        if (answer == MsgBoxResult::Yes)
            OpenUrl(ChmBiblesAddress(), this);
    });
}

void MainMenu::mToolsOptions_Click()
{
    RunCommand("mToolsOptions", [this] { ShowModal(MenuTargets::Options); });
}

void MainMenu::mToolsDateFormat_Click()
{
    RunCommand("mToolsDateFormat", [this] { ShowModal(MenuTargets::DateFormat); });
}

void MainMenu::mToolsLanguageEditor_Click()
{
    RunCommand("mToolsLanguageEditor", [this] { ShowModal(MenuTargets::LanguageEditor); });
}

void MainMenu::mToolsSetFolders_Click()
{
    RunCommand("mToolsSetFolders", [this] { ShowModal(MenuTargets::FolderChooser); });
}

void MainMenu::mToolsShowMsgNums_Click()
{
    DeferredErrors errors(QStringLiteral("MainMenu.mToolsShowMsgNums_Click()"));
    errors.step([this] { gShowMsgNumbers = mToolsShowMsgNums->isChecked(); });
    errors.step([] {
        if (gNotifier)
            gNotifier->NotifyOfEvent(GlobalNotifier::InternationalChanged);
    });
    errors.step([] {
        Registry_::SaveString(QStringLiteral("ShowMsgNumbers"),
                              gShowMsgNumbers ? QStringLiteral("True") : QStringLiteral("False"), Settings);
    });
}

void MainMenu::mToolsReIndex_Click()
{
    DeferredErrors errors(QStringLiteral("MainMenu.mToolsReIndex_Click()"));
    errors.step([] {
        for (const QString &name : FileNames::listFiles(gIndexFolder, QStringLiteral("*.INDEX")))
            if (!QFile::remove(gIndexFolder + name))
                raiseError(RtErr::PathFileAccessError, QStringLiteral("Verbanox.MainMenu"),
                           QStringLiteral("Cannot delete ") + gIndexFolder + name);
    });
    errors.step([] { TranslationHelpers::ReloadIndicesInUse(); });
    errors.step([] {
        desktop().messageBox(GetMsg(0, IndexDeletedMsg, gIndexFolder), MsgBoxStyle::Information,
                             MiscHelpers::ProductTitle() + QStringLiteral(" Delete index"));
    });
}

void MainMenu::mGotoWebsite_Click()
{
    RunCommand("mGotoWebsite", [this] { OpenUrl(MiscHelpers::WebSiteAddress(), this); });
}

void MainMenu::mDiscussionForum_Click()
{
    RunCommand("mDiscussionForum", [this] { OpenUrl(ForumAddress(), this); });
}

void MainMenu::mMailingList_Click()
{
    RunCommand("mMailingList", [this] { OpenUrl(MailingListAddress(), this); });
}

void MainMenu::mContents_Click()
{
    RunCommand("mContents", [] { HelpService::showHelp(); });
}

void MainMenu::mLicenceAgreement_Click()
{
    RunCommand("mLicenceAgreement", [] { Indemnity::ShowModal(); });
}

void MainMenu::mSplashScreen_Click()
{
    RunCommand("mSplashScreen", [] { Splash::ShowModal(); });
}

void MainMenu::mAbout_Click()
{
    RunCommand("mAbout", [] { frmAbout::ShowModal(); });
}

void MainMenu::zHelp_Click()
{
    IgnoreErrors([this] {
        const bool keysHeld = WinApi_::IsKeyDown(DebugKeyFirst) && WinApi_::IsKeyDown(DebugKeySecond);
        if (keysHeld || gDebugMode) {
            mBugReport->setText(DebugCaption);
            mBugReport->setCheckable(true);
            mBugReport->setChecked(gDebugMode);
            return;
        }
        mBugReport->setText(GetMsg(1, BugReportId));
        mBugReport->setChecked(false);
        mBugReport->setCheckable(false);
        setWindowTitle(MiscHelpers::ProductTitle());
    });
}

void MainMenu::mBugReport_Click()
{
    if (mBugReport->text() == DebugCaption) {
        gDebugMode = !gDebugMode;
        mBugReport->setChecked(gDebugMode);
        return;
    }
    TrapErrors(QStringLiteral("MainMenu.mBugReport_Click()"), [this] { OpenUrl(BugReportAddress(), this); });
}

QString MainMenu::ForumAddress()
{
    return onWebSite(QStringLiteral("/forum/"));
}

QString MainMenu::MailingListAddress()
{
    return onWebSite(QStringLiteral("/maillists.html"));
}

QString MainMenu::BugReportAddress()
{
    return onWebSite(QStringLiteral("/cgi-bin/faq/faq.cgi?action=add"));
}

QString MainMenu::ChmBiblesAddress()
{
    return onWebSite(QStringLiteral("chm_bibles.html"));
}

// --- Integrity check ---------------------------------------------------------

QString MainMenu::IntegrityHeading(int itemId) const
{
    return plainCaption(GetMsg(1, IntegrityCheckId)) + QStringLiteral(": ") +
           plainCaption(GetMsg(1, itemId)) + CRLF;
}

void MainMenu::DoIntegrityCheckViaCollection(FileNameMap &list, const QString &folder)
{
    int itemId = IntegrityBiblesId;
    if (&list == &gCommentaries)
        itemId = IntegrityCommentariesId;
    else if (&list == &gDictionaries)
        itemId = IntegrityDictionariesId;
    else if (&list == &gNameDictionaries)
        itemId = IntegrityNamesId;
    // Every check starts a run of its own: the log shows again even after the
    // user closed it, and a Cancel of an earlier run does not stop this one.
    ProgressMessages().MsgShow(IntegrityHeading(itemId), false);
    ProgressMessages().SetCancelled(false);
    CheckModules(list, folder);
}

void MainMenu::CheckModules(const FileNameMap &list, const QString &folder)
{
    {
        WaitCursor busy;
        for (qint32 i = 0; i < list.Count(); ++i) {
            const QString name = list.DisplayName(i);
            const QString file = list.FileNames(i);
            ProgressMessages().MsgAddMessage(
                QStringLiteral("CRC Calculation for: ") + name + QStringLiteral("(") + folder + file +
                    QStringLiteral(") ") + QStringLiteral("in progress. This could take a minute or two ") +
                    QStringLiteral("depending on the speed of ") +
                    QStringLiteral("your computer.  Please stand by...") + CRLF,
                false, true);
            // A file that cannot be read gives a report line of its own; the
            // check goes on with the next module.
            const QString report = VerbanoxRoutines::CheckModuleCrc(folder, file);
            ProgressMessages().MsgAddMessage(report + CRLF + CRLF, true, true);
            if (ProgressMessages().Cancelled()) {
                ProgressMessages().MsgAddMessage(CRLF + QStringLiteral("Integrity Check CANCELED!") + CRLF,
                                                 true, true);
                break;
            }
        }
    }
    if (!ProgressMessages().Cancelled())
        ProgressMessages().MsgAddMessage(CRLF + QStringLiteral("DONE!") + CRLF, true, true);
    ProgressMessages().MsgDone();
}

void MainMenu::IntegrityCheck(ModuleKind kind, bool intoRunningLog)
{
    struct Kind
    {
        const char *item;
        FileNameMap *list;
        const QString *folder;
        int itemId;
    };
    static const Kind kinds[] = {
        {"mIntegrityBibles", &gBibles, &gBibleFolder, IntegrityBiblesId},
        {"mIntegrityCommentaries", &gCommentaries, &gCommentaryFolder, IntegrityCommentariesId},
        {"mIntegrityDictionaries", &gDictionaries, &gDictionaryFolder, IntegrityDictionariesId},
        {"mIntegrityNames", &gNameDictionaries, &gNameFolder, IntegrityNamesId},
    };
    const Kind &k = kinds[int(kind)];
    RunCommand(k.item, [&] {
        if (!intoRunningLog) {
            DoIntegrityCheckViaCollection(*k.list, *k.folder);
            return;
        }
        ProgressMessages().MsgAddMessage(CRLF + IntegrityHeading(k.itemId), true, false);
        CheckModules(*k.list, *k.folder);
    });
}

void MainMenu::mIntegrityBibles_Click()
{
    IntegrityCheck(ModuleKind::Bibles, false);
}

void MainMenu::mIntegrityCommentaries_Click()
{
    IntegrityCheck(ModuleKind::Commentaries, false);
}

void MainMenu::mIntegrityDictionaries_Click()
{
    IntegrityCheck(ModuleKind::Dictionaries, false);
}

void MainMenu::mIntegrityNames_Click()
{
    IntegrityCheck(ModuleKind::Names, false);
}

void MainMenu::mIntegrityAll_Click()
{
    TrapErrors(QStringLiteral("MainMenu.mIntegrityAll_Click()"), [this] {
        ProgressMessages().MsgShow(IntegrityHeading(IntegrityAllId), false);
        ProgressMessages().SetCancelled(false);
        const std::pair<QAction *, ModuleKind> kinds[] = {
            {mIntegrityBibles, ModuleKind::Bibles},
            {mIntegrityCommentaries, ModuleKind::Commentaries},
            {mIntegrityDictionaries, ModuleKind::Dictionaries},
            {mIntegrityNames, ModuleKind::Names},
        };
        for (const auto &[item, kind] : kinds) {
            // A Cancel ends the whole run, not only the kind it came in.
            if (ProgressMessages().Cancelled())
                break;
            if (item->isEnabled())
                IntegrityCheck(kind, true);
        }
    });
}
