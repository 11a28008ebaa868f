#include "mainwindow/MainMenu.h"

#include "controls/WinApi_.h"
#include "core/BookmarkRecords.h"
#include "core/Bug_.h"
#include "core/CoreHooks.h"
#include "core/DateFormatText.h"
#include "core/GlobalNotifier.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/ModuleMaintenance.h"
#include "core/MsgSupport.h"
#include "core/Registry_.h"
#include "mainwindow/BibleBrowser.h"
#include "mainwindow/Splash.h"
#include "mainwindow/WorkspaceDocument.h"
#include "platform/DefaultInstance.h"
#include "platform/FileNames.h"
#include "platform/Twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPalette>
#include <QProgressBar>
#include <QProxyStyle>
#include <QTimer>

namespace {
const QString Settings = QStringLiteral("Settings");

constexpr int ClockMilliseconds = 1000;
// The window's sizes in twips.
constexpr double StatusHeight = 330;
constexpr double StatusTextRightWidth = 2000;
constexpr double StatusTextRightGap = 200;
constexpr double StatusLabelLeft = 90;

constexpr int BugReportId = 121;

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
    m_menus = std::make_unique<MenuTable>(this, QStringLiteral("MainMenu"), MenuDescription());
    BindMenuMembers();
    connect(zHelp, &QMenu::aboutToShow, this, &MainMenu::zHelp_Click);
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

// --- Menus -------------------------------------------------------------------

// The fixed captions are the keys of the menu pictures (AddPicturesToMenu runs
// before International replaces them).
QList<MenuItem> MainMenu::MenuDescription()
{
    return {
        FileMenu(),
        EditMenu(),
        CommonMenus::View(BrowserToggle(&BibleBrowser::setIntegrateNames)),
        CommonMenus::Tools(),
        CommonMenus::Web(),
        CommonMenus::Help(),
    };
}

MenuItem MainMenu::FileMenu()
{
    return MenuItem::Menu(
        QStringLiteral("zFile"), 70, QStringLiteral("&File"),
        {MenuItem::Item(QStringLiteral("mFileExit"), 65, QStringLiteral("E&xit"), [this](MenuCall &) {
             bool cancel = false;
             Form_Unload(cancel);
         }).withShortcut(QKeySequence(QStringLiteral("Ctrl+Q")))});
}

MenuItem MainMenu::EditMenu()
{
    using M = MenuItem;
    BibleBrowser *browser = BibleBrowser1;
    return M::Menu(
        QStringLiteral("zEdit"), 66, QStringLiteral("&Edit"),
        {
            // Ctrl+C is only shown: the reading pane copies by itself.
            M::Item(QStringLiteral("mEditCopy"), 68, QStringLiteral("&Copy\tCtrl+C"),
                    [browser](MenuCall &) { browser->CopyToClipboard(); })
                .withSuffix(QStringLiteral("\tCtrl+C"))
                .withPicture(8),
            M::Line(),
            M::Item(QStringLiteral("mEditFind"), 73, QStringLiteral("&Find"),
                    [browser](MenuCall &) { browser->Find(false); })
                .withShortcut(QKeySequence(QStringLiteral("Ctrl+F")))
                .withPicture(12),
            M::Item(QStringLiteral("mEditFindNext"), 74, QStringLiteral("Find &Next"),
                    [browser](MenuCall &) { browser->Find(true); })
                .withShortcut(QKeySequence(Qt::Key_F3))
                .withPicture(13),
            M::Line(),
            M::Item(QStringLiteral("mEditSelectAll"), 75, QStringLiteral("Select &All"),
                    [browser](MenuCall &) { browser->SelectAll(); })
                .withShortcut(QKeySequence(QStringLiteral("Ctrl+A"))),
            M::Line(),
            M::Item(QStringLiteral("mViewWrapText"), 76, QStringLiteral("&Wrap Text"),
                    BrowserToggle(&BibleBrowser::setWrapText))
                .withShortcut(QKeySequence(QStringLiteral("Ctrl+W")))
                .checkItem(true),
            M::Item(QStringLiteral("mViewFancyFormatting"), 205, QStringLiteral("Fancy Fo&rmatting"),
                    BrowserToggle(&BibleBrowser::setFancyFormatting))
                .withShortcut(QKeySequence(Qt::Key_F12))
                .checkItem(false),
            // Two items keep their captions in every language.
            M::Item(QStringLiteral("mViewSmartQuotes"), 0, QStringLiteral("&Smart Quotes"),
                    BrowserToggle(&BibleBrowser::setSmartQuotes))
                .withShortcut(QKeySequence(QStringLiteral("Shift+F12")))
                .checkItem(false),
            M::Item(QStringLiteral("mViewSmartDash"), 0, QStringLiteral("Smart &Dash and Spaces"),
                    BrowserToggle(&BibleBrowser::setSmartDash))
                .withShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+F12")))
                .checkItem(false),
            M::Line(),
            M::Item(QStringLiteral("mChooseFont"), 206, QStringLiteral("Choose F&ont..."),
                    [browser](MenuCall &) { browser->ChooseFont(); }),
        });
}

// The view switches set the browser's property of the same meaning to the mark.
MenuHandler MainMenu::BrowserToggle(void (BibleBrowser::*set)(bool))
{
    BibleBrowser *browser = BibleBrowser1;
    return [browser, set](MenuCall &call) { (browser->*set)(call.checked()); };
}

void MainMenu::BindMenuMembers()
{
    const std::pair<QMenu * MainMenu::*, const char *> menus[] = {
        {&MainMenu::zFile, "zFile"},
        {&MainMenu::zEdit, "zEdit"},
        {&MainMenu::zView, "zView"},
        {&MainMenu::zTools, "zTools"},
        {&MainMenu::zIntegrityCheck, "zIntegrityCheck"},
        {&MainMenu::zWeb, "zWeb"},
        {&MainMenu::zHelp, "zHelp"},
    };
    for (const auto &[member, name] : menus)
        this->*member = m_menus->menu(QLatin1String(name));
    const std::pair<QAction * MainMenu::*, const char *> items[] = {
        {&MainMenu::mFileExit, "mFileExit"},
        {&MainMenu::mEditCopy, "mEditCopy"},
        {&MainMenu::mEditFind, "mEditFind"},
        {&MainMenu::mEditFindNext, "mEditFindNext"},
        {&MainMenu::mEditSelectAll, "mEditSelectAll"},
        {&MainMenu::mViewWrapText, "mViewWrapText"},
        {&MainMenu::mViewFancyFormatting, "mViewFancyFormatting"},
        {&MainMenu::mViewSmartQuotes, "mViewSmartQuotes"},
        {&MainMenu::mViewSmartDash, "mViewSmartDash"},
        {&MainMenu::mChooseFont, "mChooseFont"},
        {&MainMenu::mWindowBookmarks, "mWindowBookmarks"},
        {&MainMenu::mWindowAdvancedSearch, "mWindowAdvancedSearch"},
        {&MainMenu::mWindowMultiBible, "mWindowMultiBible"},
        {&MainMenu::mWindowCommentary, "mWindowCommentary"},
        {&MainMenu::mWindowDictionary, "mWindowDictionary"},
        {&MainMenu::mWindowNames, "mWindowNames"},
        {&MainMenu::mIntegrateNames, "mIntegrateNames"},
        {&MainMenu::mWindowMaps, "mWindowMaps"},
        {&MainMenu::mWindowTranslationNotes, "mWindowTranslationNotes"},
        {&MainMenu::mViewMp3Bibles, "mViewMp3Bibles"},
        {&MainMenu::mViewChmBibles, "mViewChmBibles"},
        {&MainMenu::mToolsOptions, "mToolsOptions"},
        {&MainMenu::mToolsDateFormat, "mToolsDateFormat"},
        {&MainMenu::mToolsLanguageEditor, "mToolsLanguageEditor"},
        {&MainMenu::mToolsShowMsgNums, "mToolsShowMsgNums"},
        {&MainMenu::mToolsReIndex, "mToolsReIndex"},
        {&MainMenu::mIntegrityBibles, "mIntegrityBibles"},
        {&MainMenu::mIntegrityCommentaries, "mIntegrityCommentaries"},
        {&MainMenu::mIntegrityDictionaries, "mIntegrityDictionaries"},
        {&MainMenu::mIntegrityNames, "mIntegrityNames"},
        {&MainMenu::mIntegrityAll, "mIntegrityAll"},
        {&MainMenu::mToolsSetFolders, "mToolsSetFolders"},
        {&MainMenu::mGotoWebsite, "mGotoWebsite"},
        {&MainMenu::mDiscussionForum, "mDiscussionForum"},
        {&MainMenu::mMailingList, "mMailingList"},
        {&MainMenu::mContents, "mContents"},
        {&MainMenu::mLicenceAgreement, "mLicenceAgreement"},
        {&MainMenu::mSplashScreen, "mSplashScreen"},
        {&MainMenu::mBugReport, "mBugReport"},
        {&MainMenu::mAbout, "mAbout"},
    };
    for (const auto &[member, name] : items)
        this->*member = m_menus->action(QLatin1String(name));
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
    // Installed modules and the registered windows of later parts enable their
    // items; the others stay visible but disabled.
    errors.step([this] { m_menus->ApplyEnabling(); });
    errors.step([this] { TakeCheckMarksFromBrowser(); });
    // The status strip shows the date at once, not a second later.
    errors.step([this] { Timer1_Timer(); });
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
    // The workspace's unsaved notes are asked about first; Cancel keeps the program running.
    if (WorkspaceDocument::IsRegistered() && WorkspaceDocument::Get().mayEndProgram &&
        !WorkspaceDocument::Get().mayEndProgram()) {
        Cancel = true;
        return;
    }
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
    m_menus->International();
    CommonMenus::CaptionDateFormatWindow();
}

void MainMenu::AddPicturesToMenu()
{
    m_menus->AddPicturesToMenu(ImgList1);
}

void MainMenu::m_globalnotifer_Notify(const QString &eventName)
{
    if (eventName == GlobalNotifier::InternationalChanged)
        International();
}

void MainMenu::LoadBookmarks()
{
    BookmarkRecords::LoadBookmarks();
}

void MainMenu::DoIntegrityCheckViaCollection(FileNameMap &list, const QString &folder)
{
    ModuleMaintenance::DoIntegrityCheckViaCollection(list, folder);
}

// --- Commands ----------------------------------------------------------------

// Each runs its item's command from the menu description, trapped as a click is.
void MainMenu::mFileExit_Click()
{
    m_menus->run(QStringLiteral("mFileExit"));
}

void MainMenu::mEditCopy_Click()
{
    m_menus->run(QStringLiteral("mEditCopy"));
}

void MainMenu::mEditFind_Click()
{
    m_menus->run(QStringLiteral("mEditFind"));
}

void MainMenu::mEditFindNext_Click()
{
    m_menus->run(QStringLiteral("mEditFindNext"));
}

void MainMenu::mEditSelectAll_Click()
{
    m_menus->run(QStringLiteral("mEditSelectAll"));
}

void MainMenu::mViewWrapText_Click()
{
    m_menus->run(QStringLiteral("mViewWrapText"));
}

void MainMenu::mViewFancyFormatting_Click()
{
    m_menus->run(QStringLiteral("mViewFancyFormatting"));
}

void MainMenu::mViewSmartQuotes_Click()
{
    m_menus->run(QStringLiteral("mViewSmartQuotes"));
}

void MainMenu::mViewSmartDash_Click()
{
    m_menus->run(QStringLiteral("mViewSmartDash"));
}

void MainMenu::mChooseFont_Click()
{
    m_menus->run(QStringLiteral("mChooseFont"));
}

void MainMenu::mWindowBookmarks_Click()
{
    m_menus->run(QStringLiteral("mWindowBookmarks"));
}

void MainMenu::mWindowAdvancedSearch_Click()
{
    m_menus->run(QStringLiteral("mWindowAdvancedSearch"));
}

void MainMenu::mWindowMultiBible_Click()
{
    m_menus->run(QStringLiteral("mWindowMultiBible"));
}

void MainMenu::mWindowCommentary_Click()
{
    m_menus->run(QStringLiteral("mWindowCommentary"));
}

void MainMenu::mWindowDictionary_Click()
{
    m_menus->run(QStringLiteral("mWindowDictionary"));
}

void MainMenu::mWindowNames_Click()
{
    m_menus->run(QStringLiteral("mWindowNames"));
}

void MainMenu::mIntegrateNames_Click()
{
    m_menus->run(QStringLiteral("mIntegrateNames"));
}

void MainMenu::mWindowMaps_Click()
{
    m_menus->run(QStringLiteral("mWindowMaps"));
}

void MainMenu::mWindowTranslationNotes_Click()
{
    m_menus->run(QStringLiteral("mWindowTranslationNotes"));
}

void MainMenu::mViewMp3Bibles_Click()
{
    m_menus->run(QStringLiteral("mViewMp3Bibles"));
}

void MainMenu::mViewChmBibles_Click()
{
    m_menus->run(QStringLiteral("mViewChmBibles"));
}

void MainMenu::mToolsOptions_Click()
{
    m_menus->run(QStringLiteral("mToolsOptions"));
}

void MainMenu::mToolsDateFormat_Click()
{
    m_menus->run(QStringLiteral("mToolsDateFormat"));
}

void MainMenu::mToolsLanguageEditor_Click()
{
    m_menus->run(QStringLiteral("mToolsLanguageEditor"));
}

void MainMenu::mToolsShowMsgNums_Click()
{
    m_menus->run(QStringLiteral("mToolsShowMsgNums"));
}

void MainMenu::mToolsReIndex_Click()
{
    m_menus->run(QStringLiteral("mToolsReIndex"));
}

void MainMenu::mIntegrityBibles_Click()
{
    m_menus->run(QStringLiteral("mIntegrityBibles"));
}

void MainMenu::mIntegrityCommentaries_Click()
{
    m_menus->run(QStringLiteral("mIntegrityCommentaries"));
}

void MainMenu::mIntegrityDictionaries_Click()
{
    m_menus->run(QStringLiteral("mIntegrityDictionaries"));
}

void MainMenu::mIntegrityNames_Click()
{
    m_menus->run(QStringLiteral("mIntegrityNames"));
}

void MainMenu::mIntegrityAll_Click()
{
    m_menus->run(QStringLiteral("mIntegrityAll"));
}

void MainMenu::mToolsSetFolders_Click()
{
    m_menus->run(QStringLiteral("mToolsSetFolders"));
}

void MainMenu::mGotoWebsite_Click()
{
    m_menus->run(QStringLiteral("mGotoWebsite"));
}

void MainMenu::mDiscussionForum_Click()
{
    m_menus->run(QStringLiteral("mDiscussionForum"));
}

void MainMenu::mMailingList_Click()
{
    m_menus->run(QStringLiteral("mMailingList"));
}

void MainMenu::mContents_Click()
{
    m_menus->run(QStringLiteral("mContents"));
}

void MainMenu::mLicenceAgreement_Click()
{
    m_menus->run(QStringLiteral("mLicenceAgreement"));
}

void MainMenu::mSplashScreen_Click()
{
    m_menus->run(QStringLiteral("mSplashScreen"));
}

void MainMenu::mBugReport_Click()
{
    m_menus->run(QStringLiteral("mBugReport"));
}

void MainMenu::mAbout_Click()
{
    m_menus->run(QStringLiteral("mAbout"));
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

QString MainMenu::ForumAddress()
{
    return CommonMenus::ForumAddress();
}

QString MainMenu::MailingListAddress()
{
    return CommonMenus::MailingListAddress();
}

QString MainMenu::BugReportAddress()
{
    return CommonMenus::BugReportAddress();
}

QString MainMenu::ChmBiblesAddress()
{
    return CommonMenus::ChmBiblesAddress();
}
