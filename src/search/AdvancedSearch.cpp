#include "search/AdvancedSearch.h"
#include "search/BookRange.h"
#include "search/FormatToolbar.h"
#include "search/Highlights.h"
#include "search/SearchText.h"
#include "search/WorkspaceFiles.h"

#include "abi/VirtualKeys.h"
#include "controls/MenuTable.h"
#include "core/BibleBookNames.h"
#include "core/BookmarkRecords.h"
#include "core/Bug_.h"
#include "core/DateFormatText.h"
#include "core/FileFunctions_.h"
#include "core/GlobalNotifier.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "core/PageSettings.h"
#include "core/Registry_.h"
#include "core/Translation.h"
#include "core/TranslationHelpers.h"
#include "core/VerseReader.h"
#include "mainwindow/CommonMenus.h"
#include "mainwindow/MenuTargets.h"
#include "mainwindow/NameMeanings.h"
#include "mainwindow/Splash.h"
#include "mainwindow/WorkspaceDocument.h"
#include "platform/CodePage.h"
#include "platform/DefaultInstance.h"
#include "platform/Desktop.h"
#include "platform/DocumentPrinter.h"
#include "platform/OleColor.h"
#include "platform/PageLayout.h"
#include "platform/RichTextBox.h"
#include "platform/Seams.h"
#include "platform/SettingsStore.h"
#include "platform/TextFile.h"
#include "platform/Twips.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString SettingsSection = QStringLiteral("Settings");
const QString HistorySection = QStringLiteral("Search History");
const QString PositionPrefix = QStringLiteral("AdvancedSearch");
// The history keeps the newest texts that the next load reads back.
constexpr int HistoryKeys = 101;
constexpr quint32 Red = 0x000000FF;
constexpr quint32 Black = 0x00000000;
// Catalog ids of the search's own messages.
constexpr int MsgClearHistory = 43;
// The Search button's animation: eight frames, fast for the first cycles.
constexpr int AnimationFrames = 8;
constexpr int AnimationFastCycles = 8;
constexpr int AnimationMilliseconds = 100;
// The line width of a document that does not wrap.
constexpr float WrapOffTwips = 128000;
constexpr int MsgNotFound = 50;
constexpr int MsgNoRoomForText = 148;
constexpr int MsgPrinterNotStarted = 149;
constexpr int MsgIntegrateNames = 42;
constexpr int MsgAskToSave = 51;
constexpr int MsgInvalidPattern = 241;
constexpr int MsgTooManyTerms = 242;

TermSearch::VerseSource readerSource(const Translation &translation)
{
    return [&translation](const VerseReader::Visitor &visit) {
        return VerseReader(translation).ForEachInModule(visit);
    };
}

Seam<AdvancedSearch::SourceFactory> &sourceFactory()
{
    static Seam<AdvancedSearch::SourceFactory> factory{&readerSource};
    return factory;
}

void setForeColor(QWidget *widget, quint32 colour)
{
    QPalette palette = widget->palette();
    const QColor qcolour = OleColor::toQColor(colour);
    palette.setColor(QPalette::Text, qcolour);
    palette.setColor(QPalette::ButtonText, qcolour);
    palette.setColor(QPalette::WindowText, qcolour);
    widget->setPalette(palette);
}
} // namespace

// The busy state of a search and its colouring, undone on every path: the stop
// button shows, Search and the commands that change the document are disabled,
// and a close asked for meanwhile happens afterwards.
class AdvancedSearch::BusyState
{
public:
    explicit BusyState(AdvancedSearch *window)
        : m_window(window)
    {
        m_window->m_searchRunning = true;
        m_window->m_stopFlag = false;
        m_window->SetMenuEnabledState(false);
    }
    ~BusyState()
    {
        m_window->ProgressBar1->setVisible(false);
        m_window->SetMenuEnabledState(true);
        m_window->m_searchRunning = false;
        m_window->m_stopFlag = false;
        if (m_window->m_closeAfterSearch) {
            m_window->m_closeAfterSearch = false;
            QTimer::singleShot(0, m_window, [window = m_window] { window->close(); });
        }
    }
    BusyState(const BusyState &) = delete;
    BusyState &operator=(const BusyState &) = delete;

private:
    AdvancedSearch *m_window;
};

AdvancedSearch::AdvancedSearch()
{
    setObjectName(QStringLiteral("AdvancedSearch"));
    // The window unloads when it closes; the next opening loads it anew. Closing
    // it never ends the program.
    setAttribute(Qt::WA_DeleteOnClose, true);
    setAttribute(Qt::WA_QuitOnClose, false);
    CreateControls();
    CreateToolbar();
    LayOutControls();
    CreateMenus();
    ConnectControls();
    ConnectToolbar();
    ConnectPane();
    Form_Load();
}

AdvancedSearch::~AdvancedSearch()
{
    gAdvancedSearchOpen = false;
}

AdvancedSearch &AdvancedSearch::Instance()
{
    return DefaultInstance<AdvancedSearch>::get();
}

void AdvancedSearch::Register()
{
    MenuTargets::Register(MenuTargets::AdvancedSearch,
                          {[]() -> QWidget * { return &Instance(); },
                           []() -> QWidget * { return DefaultInstance<AdvancedSearch>::peek(); },
                           {}});
    // Page setup, the preview and printing reach the document through here.
    WorkspaceDocument::Register({[]() -> RichTextBox * { return Instance().RT; },
                                 []() -> QWidget * { return &Instance(); },
                                 [] {
                                     if (AdvancedSearch *window = DefaultInstance<AdvancedSearch>::peek())
                                         window->mEditWrapText->setEnabled(true);
                                 },
                                 [] { return Instance().AskToSave(); },
                                 [](const QString &path) { Instance().SetDocumentFileName(path); }});
}

AdvancedSearch::SourceFactory AdvancedSearch::setSourceFactory(SourceFactory factory)
{
    return sourceFactory().replace(std::move(factory));
}

// --- Controls ----------------------------------------------------------------

void AdvancedSearch::CreateControls()
{
    auto *central = new QWidget(this);
    setCentralWidget(central);
    Picture3 = new QWidget(central);
    Picture4 = new QWidget(central);
    Picture2 = new QWidget(central);
    RT = new RichTextBox(central);
    RT->setObjectName(QStringLiteral("RT"));
    m_files = new WorkspaceFiles(RT, this);
    connect(m_files, &WorkspaceFiles::captionChanged, this, &QWidget::setWindowTitle);

    cboSearch = new QComboBox(Picture3);
    cboSearch->setEditable(true);
    cboSearch->setInsertPolicy(QComboBox::NoInsert);
    cboSearch->setMaxVisibleItems(20);
    cmdClear = new QPushButton(Picture3);
    cmdSearch = new QPushButton(Picture3);
    cmdSearch->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    cmdSearch->setDefault(false);
    cmdStopSearch = new QPushButton(Picture3);
    cmdStopSearch->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
    cboTranslation = new QComboBox(Picture3);
    cboBooks = new QComboBox(Picture3);
    cboBooks->setMaxVisibleItems(24);

    cboResults = new QComboBox(Picture4);
    cboResults->setEditable(true);
    cboResults->lineEdit()->setReadOnly(true);
    chkActiveUpd = new QCheckBox(Picture4);
    chkIgnoreCase = new QCheckBox(Picture4);
    Frame1 = new QGroupBox(Picture4);
    optNone = new QRadioButton(Frame1);
    optAnyOrder = new QRadioButton(Frame1);
    optAnyTerms = new QRadioButton(Frame1);
    optAllVerses = new QRadioButton(Frame1);

    lblStatusTextL = new QLabel(Picture2);
    txtStatusTextR = new QLineEdit(Picture2);
    txtStatusTextR->setReadOnly(true);
    txtStatusTextR->setFrame(false);
    txtStatusTextR->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ProgressBar1 = new QProgressBar(Picture2);
    ProgressBar1->setTextVisible(false);
    Timer1 = new QTimer(this);
}

// The pane fills the space between the two bars at the top and the status strip;
// the search box takes the largest share of the search row.
void AdvancedSearch::LayOutControls()
{
    // The boxes share the row by their stretch, not by the length of their texts.
    const std::pair<QComboBox *, int> widths[] = {
        {cboSearch, 24}, {cboTranslation, 14}, {cboBooks, 12}, {cboResults, 16}};
    for (const auto &[box, characters] : widths) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(characters);
    }
    auto *searchRow = new QHBoxLayout(Picture3);
    searchRow->setContentsMargins(4, 4, 4, 0);
    searchRow->addWidget(cmdClear);
    searchRow->addWidget(cboSearch, 45);
    searchRow->addWidget(cmdSearch);
    searchRow->addWidget(cmdStopSearch);
    searchRow->addWidget(cboTranslation, 30);
    searchRow->addWidget(cboBooks, 20);

    auto *modes = new QHBoxLayout(Frame1);
    modes->setContentsMargins(6, 2, 6, 2);
    for (QRadioButton *option : {optNone, optAnyOrder, optAnyTerms, optAllVerses})
        modes->addWidget(option);
    auto *checks = new QVBoxLayout;
    checks->setSpacing(0);
    checks->addWidget(chkActiveUpd);
    checks->addWidget(chkIgnoreCase);
    auto *optionRow = new QHBoxLayout(Picture4);
    optionRow->setContentsMargins(4, 0, 4, 2);
    optionRow->addWidget(cboResults, 22);
    optionRow->addLayout(checks);
    optionRow->addWidget(Frame1);
    optionRow->addWidget(cmdCHM);
    optionRow->addWidget(cmdMP3);
    optionRow->addStretch(20);

    auto *statusRow = new QHBoxLayout(Picture2);
    statusRow->setContentsMargins(4, 0, 4, 2);
    statusRow->addWidget(lblStatusTextL, 1);
    statusRow->addWidget(ProgressBar1, 1);
    statusRow->addWidget(txtStatusTextR, 1);

    auto *layout = new QVBoxLayout(centralWidget());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(Picture1);
    layout->addWidget(Picture3);
    layout->addWidget(Picture4);
    layout->addWidget(RT, 1);
    layout->addWidget(Picture2);
    resize(900, 600);
}

void AdvancedSearch::ConnectControls()
{
    connect(cmdSearch, &QPushButton::clicked, this, [this] { cmdSearch_Click(); });
    connect(cmdStopSearch, &QPushButton::clicked, this, [this] { cmdStopSearch_Click(); });
    connect(cmdClear, &QPushButton::clicked, this, [this] { cmdClear_Click(); });
    connect(cboTranslation, &QComboBox::currentIndexChanged, this, [this] { cboTranslation_Click(); });
    connect(cboBooks, &QComboBox::currentIndexChanged, this, [this] { cboBooks_Click(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    // Keys reach the box itself when it has the focus, its line edit when sent there.
    cboSearch->installEventFilter(this);
    cboSearch->lineEdit()->installEventFilter(this);
    if (gNotifier)
        connect(gNotifier, &GlobalNotifier::Notify, this,
                [this](const QString &eventName) { m_globalnotifer_Notify(eventName); });
}

// --- Toolbar -----------------------------------------------------------------

namespace {
QToolButton *toolButton(QWidget *parent, const char *name, const QIcon &icon)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(icon);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QIcon themeIcon(const char *name, QStyle::StandardPixmap fallback, const QStyle *style)
{
    return QIcon::fromTheme(QLatin1String(name), style->standardIcon(fallback));
}
} // namespace

// The row above the search row: the document's commands, the formatting and
// the study windows.
void AdvancedSearch::CreateToolbar()
{
    Picture1 = new QWidget(centralWidget());
    Picture1->setObjectName(QStringLiteral("Picture1"));
    const std::pair<QToolButton * AdvancedSearch::*, std::pair<const char *, int>> pictured[] = {
        {&AdvancedSearch::cmdOpen, {"cmdOpen", 2}},
        {&AdvancedSearch::cmdSave, {"cmdSave", 3}},
        {&AdvancedSearch::cmdPrint, {"cmdPrint", 5}},
        {&AdvancedSearch::cmdCut, {"cmdCut", 7}},
        {&AdvancedSearch::cmdCopy, {"cmdCopy", 8}},
        {&AdvancedSearch::cmdPaste, {"cmdPaste", 9}},
        {&AdvancedSearch::cmdUndo, {"cmdUndo", 10}},
        {&AdvancedSearch::cmdDelete, {"cmdDelete", 11}},
        {&AdvancedSearch::cmdFind, {"cmdFind", 12}},
        {&AdvancedSearch::cmdFindNext, {"cmdFindNext", 13}},
        {&AdvancedSearch::cmdBibMulti, {"cmdBibMulti", 14}},
        {&AdvancedSearch::cmdBibNames, {"cmdBibNames", 15}},
        {&AdvancedSearch::cmdDictionary, {"cmdDictionary", 16}},
        {&AdvancedSearch::cmdCommentary, {"cmdCommentary", 17}},
    };
    for (const auto &[member, picture] : pictured)
        this->*member = toolButton(Picture1, picture.first, ImgList1.ListImages(picture.second));
    cmdHlp = toolButton(Picture1, "cmdHlp", themeIcon("help-contents", QStyle::SP_DialogHelpButton, style()));
    // The compiled-help and MP3 Bibles sit beside the search modes.
    cmdCHM =
        toolButton(Picture4, "cmdCHM", themeIcon("help-browser", QStyle::SP_FileDialogInfoView, style()));
    cmdMP3 = toolButton(Picture4, "cmdMP3", themeIcon("audio-x-generic", QStyle::SP_MediaPlay, style()));

    m_toolbarRow = new QHBoxLayout(Picture1);
    m_toolbarRow->setContentsMargins(4, 2, 4, 0);
    m_toolbarRow->setSpacing(1);
    for (QToolButton *button :
         {cmdOpen, cmdSave, cmdPrint, cmdCut, cmdCopy, cmdPaste, cmdUndo, cmdDelete, cmdFind, cmdFindNext})
        m_toolbarRow->addWidget(button);
    m_toolbarRow->addSpacing(8);
    // The formatting bar sits between the document's and the study windows' buttons.
    m_formatToolbar = new FormatToolbar(RT, Picture1);
    m_formatToolbar->setObjectName(QStringLiteral("FormatToolbar1"));
    m_toolbarRow->addWidget(m_formatToolbar);
    m_toolbarRow->addSpacing(8);
    for (QToolButton *button : {cmdBibMulti, cmdDictionary, cmdCommentary, cmdBibNames, cmdHlp})
        m_toolbarRow->addWidget(button);
    m_toolbarRow->addStretch(1);
}

void AdvancedSearch::ConnectToolbar()
{
    // The keys of the window's own commands reach the bar when the pane has them.
    const std::pair<void (FormatToolbar::*)(), const char *> keys[] = {
        {&FormatToolbar::findRequested, "mEditFind"},
        {&FormatToolbar::findNextRequested, "mEditFindNext"},
        {&FormatToolbar::selectAllRequested, "mEditSelectAll"},
    };
    for (const auto &[signal, name] : keys)
        connect(m_formatToolbar, signal, this, [this, name = QLatin1String(name)] {
            if (!m_busy)
                m_menus->run(name);
        });
    connect(m_formatToolbar, &FormatToolbar::wrapTextRequested, this, [this] {
        if (!m_busy)
            mEditWrapText_Click();
    });
    connect(m_formatToolbar, &FormatToolbar::undoAvailable, this, [this] { EnableUndo(); });
    // Each button runs a menu command, or the command of the study window it opens.
    const std::pair<QToolButton *, const char *> commands[] = {
        {cmdOpen, "mFileOpen"},
        {cmdSave, "mFileSaveAs"},
        {cmdPrint, "mFilePrint"},
        {cmdCut, "mEditCut"},
        {cmdCopy, "mEditCopy"},
        {cmdPaste, "mEditPaste"},
        {cmdUndo, "mEditUndo"},
        {cmdDelete, "mEditDelete"},
        {cmdFind, "mEditFind"},
        {cmdFindNext, "mEditFindNext"},
        {cmdBibMulti, "mViewMultiBible"},
        {cmdDictionary, "mViewDictionary"},
        {cmdCommentary, "mViewCommentary"},
        {cmdBibNames, "mViewNames"},
        {cmdHlp, "mContents"},
    };
    for (const auto &[button, name] : commands) {
        connect(button, &QToolButton::clicked, this, [this, name = QLatin1String(name)] {
            if (m_menus->action(name) && m_menus->action(name)->isEnabled())
                m_menus->run(name);
            DoSetFocus();
        });
    }
    connect(cmdCHM, &QToolButton::clicked, this, [this] {
        m_menus->runAs(QStringLiteral("cmdCHM"), [this] { m_menus->run(QStringLiteral("mViewChmBibles")); });
    });
    connect(cmdMP3, &QToolButton::clicked, this, [this] {
        m_menus->runAs(QStringLiteral("cmdMP3"),
                       [] { MenuTargets::Get(MenuTargets::MP3).instance()->setVisible(true); });
    });
}

// --- Menus -------------------------------------------------------------------

void AdvancedSearch::CreateMenus()
{
    QList<MenuItem> menus = MenuDescription();
    AdjustSharedMenus(menus);
    m_menus = std::make_unique<MenuTable>(this, QStringLiteral("AdvancedSearch"), menus);
    BindMenuMembers();
}

// The design captions are the keys of the menu pictures (AddPicturesToMenu runs
// before International replaces them).
QList<MenuItem> AdvancedSearch::MenuDescription()
{
    return {
        FileMenu(),
        EditMenu(),
        CommonMenus::View([this](MenuCall &call) {
            if (call.checked())
                desktop().messageBox(GetMsg(0, MsgIntegrateNames), MsgBoxStyle::OKOnly, QString());
        }),
        CommonMenus::Tools(),
        CommonMenus::Web(),
        CommonMenus::Help(),
    };
}

MenuItem AdvancedSearch::FileMenu()
{
    using M = MenuItem;
    using T = MenuTargets;
    return M::Menu(QStringLiteral("zFile"), 70, QStringLiteral("&File"),
                   {
                       M::Item(QStringLiteral("mFileNew"), 58, QStringLiteral("&New"),
                               [this](MenuCall &) {
                                   if (m_files->New())
                                       m_find.MoveTo(0);
                               })
                           .withPicture(1),
                       M::Item(QStringLiteral("mFileOpen"), 59, QStringLiteral("&Open..."),
                               [this](MenuCall &) {
                                   if (m_files->Open())
                                       m_find.MoveTo(0);
                               })
                           .withPicture(2),
                       M::Item(QStringLiteral("mFileSave"), 60, QStringLiteral("&Save"),
                               [this](MenuCall &) { m_files->Save(); })
                           .withPicture(3),
                       M::Item(QStringLiteral("mFileSaveAs"), 61, QStringLiteral("Save &As..."),
                               [this](MenuCall &) { m_files->SaveAs(); }),
                       M::Line(),
                       M::Item(QStringLiteral("mFilePageSetup"), 90, QStringLiteral("Pa&ge Setup..."),
                               CommonMenus::ShowModal(T::PageSetup))
                           .enabledWhen(CommonMenus::WhenRegistered(T::PageSetup)),
                       M::Item(QStringLiteral("mFilePrintPreview"), 62, QStringLiteral("Print Pre&view..."),
                               CommonMenus::ShowModal(T::PrintPreview))
                           .withPicture(4)
                           .enabledWhen(CommonMenus::WhenRegistered(T::PrintPreview)),
                       M::Item(QStringLiteral("mFilePrintSetup"), 63, QStringLiteral("P&rint Setup..."),
                               [](MenuCall &) { PrintSetup(); }),
                       M::Item(QStringLiteral("mFilePrint"), 64, QStringLiteral("&Print..."),
                               [this](MenuCall &) { PrintDocument(); })
                           .withPicture(5),
                       M::Line(),
                       M::Item(QStringLiteral("mFileClose"), 65, QStringLiteral("&Close"),
                               [this](MenuCall &) { close(); }),
                   });
}

MenuItem AdvancedSearch::EditMenu()
{
    using M = MenuItem;
    // The pane does its own Cut, Copy, Paste and Undo keys; the menu only shows them.
    return M::Menu(QStringLiteral("zEdit"), 66, QStringLiteral("&Edit"),
                   {
                       M::Item(QStringLiteral("mEditCut"), 67, QStringLiteral("Cu&t"),
                               [this](MenuCall &) {
                                   DoSetFocus();
                                   RT->cut();
                                   EnableUndo();
                                   RT->document()->setModified(true);
                               })
                           .withSuffix(QStringLiteral("\tCtrl+X"))
                           .withPicture(7),
                       M::Item(QStringLiteral("mEditCopy"), 68, QStringLiteral("&Copy"),
                               [this](MenuCall &) {
                                   DoSetFocus();
                                   RT->copy();
                               })
                           .withSuffix(QStringLiteral("\tCtrl+C"))
                           .withPicture(8),
                       M::Item(QStringLiteral("mEditPaste"), 69, QStringLiteral("&Paste"),
                               [this](MenuCall &) {
                                   DoSetFocus();
                                   RT->paste();
                                   EnableUndo();
                                   RT->document()->setModified(true);
                               })
                           .withSuffix(QStringLiteral("\tCtrl+V"))
                           .withPicture(9),
                       M::Item(QStringLiteral("mEditUndo"), 71, QStringLiteral("&Undo"),
                               [this](MenuCall &) {
                                   DoSetFocus();
                                   RT->undo();
                               })
                           .withSuffix(QStringLiteral("\tCtrl+Z"))
                           .withPicture(10),
                       M::Item(QStringLiteral("mEditDelete"), 72, QStringLiteral("&Delete"),
                               [this](MenuCall &) {
                                   DoSetFocus();
                                   EnableUndo();
                                   QTextCursor cursor = RT->textCursor();
                                   cursor.deleteChar();
                                   RT->setTextCursor(cursor);
                               })
                           .withSuffix(QStringLiteral("\tDel"))
                           .withPicture(11),
                       M::Line(),
                       M::Item(QStringLiteral("mEditFind"), 73, QStringLiteral("&Find..."),
                               [this](MenuCall &) {
                                   const std::optional<QString> answer = desktop().inputBox(
                                       QStringLiteral("Enter Text to find"),
                                       MiscHelpers::ProductTitle() + QStringLiteral(" Search"), QString());
                                   if (!answer || answer->isEmpty())
                                       return;
                                   m_find.SetText(*answer);
                                   FindInDocument();
                               })
                           .withShortcut(QKeySequence(QStringLiteral("Ctrl+F")))
                           .withPicture(12),
                       M::Item(QStringLiteral("mEditFindNext"), 74, QStringLiteral("Find &Next"),
                               [this](MenuCall &call) {
                                   // Find Next before anything was searched for asks, as Find does.
                                   if (m_find.Text().isEmpty())
                                       call.table.run(QStringLiteral("mEditFind"));
                                   else
                                       FindInDocument();
                               })
                           .withShortcut(QKeySequence(Qt::Key_F3))
                           .withPicture(13),
                       M::Line(),
                       M::Item(QStringLiteral("mEditSelectAll"), 75, QStringLiteral("Select &All"),
                               [this](MenuCall &) {
                                   RT->selectAll();
                                   DoSetFocus();
                                   RT_MouseUp();
                               })
                           .withShortcut(QKeySequence(QStringLiteral("Ctrl+A"))),
                       M::Line(),
                       M::Item(QStringLiteral("mEditWrapText"), 76, QStringLiteral("&Wrap Text"),
                               [this](MenuCall &call) { WrapText(call.checked()); })
                           .withShortcut(QKeySequence(QStringLiteral("Ctrl+W")))
                           .checkItem(true),
                   });
}

// The shared menus under the workspace's own design names, with what differs here.
void AdvancedSearch::AdjustSharedMenus(QList<MenuItem> &menus)
{
    const std::pair<const char *, const char *> names[] = {
        {"mWindowBookmarks", "mViewBookmarks"},
        {"mWindowAdvancedSearch", "mViewAdvancedSearch"},
        {"mWindowMultiBible", "mViewMultiBible"},
        {"mWindowCommentary", "mViewCommentary"},
        {"mWindowDictionary", "mViewDictionary"},
        {"mWindowNames", "mViewNames"},
        {"mWindowMaps", "mViewMaps"},
        {"mWindowTranslationNotes", "mViewTranslationNotes"},
    };
    for (const auto &[shared, own] : names)
        FindMenuItem(menus, QLatin1String(shared))->name = QLatin1String(own);
    // The MP3 player is the toolbar's; the CHM item stays for the toolbar's button, hidden.
    RemoveMenuItem(menus, QStringLiteral("mViewMp3Bibles"));
    // The forum of the product's own web site.
    FindMenuItem(menus, QStringLiteral("mDiscussionForum"))->handler = CommonMenus::OpenPage([] {
        QString site = MiscHelpers::WebSiteAddress();
        while (site.endsWith(QLatin1Char('/')))
            site.chop(1);
        return site + QStringLiteral("/board.html");
    });
    // Integrity Check > All empties the document first, after the question about unsaved notes.
    MenuItem *all = FindMenuItem(menus, QStringLiteral("mIntegrityAll"));
    all->handler = [this, checkAll = all->handler](MenuCall &call) {
        if (!MayReplaceDocument())
            return;
        call.errors.step([this] {
            RT->clear();
            QTextCharFormat format;
            format.setForeground(OleColor::toQColor(gBib1TC));
            if (gBib1Fontsize > 0)
                format.setFontPointSize(gBib1Fontsize);
            RT->setCurrentCharFormat(format);
            RT->document()->setModified(false);
            m_find.MoveTo(0);
        });
        checkAll(call);
    };
}

void AdvancedSearch::BindMenuMembers()
{
    zFile = m_menus->menu(QStringLiteral("zFile"));
    zEdit = m_menus->menu(QStringLiteral("zEdit"));
    zView = m_menus->menu(QStringLiteral("zView"));
    zTools = m_menus->menu(QStringLiteral("zTools"));
    mEditCut = m_menus->action(QStringLiteral("mEditCut"));
    mEditCopy = m_menus->action(QStringLiteral("mEditCopy"));
    mEditPaste = m_menus->action(QStringLiteral("mEditPaste"));
    mEditUndo = m_menus->action(QStringLiteral("mEditUndo"));
    mEditDelete = m_menus->action(QStringLiteral("mEditDelete"));
    mEditWrapText = m_menus->action(QStringLiteral("mEditWrapText"));
    mIntegrateNames = m_menus->action(QStringLiteral("mIntegrateNames"));
    // The CHM item is reached from the toolbar only.
    m_menus->action(QStringLiteral("mViewChmBibles"))->setVisible(false);
}

void AdvancedSearch::AddPicturesToMenu()
{
    m_menus->AddPicturesToMenu(ImgList1);
}

// The study windows' buttons are usable when their View items are.
void AdvancedSearch::EnableStudyButtons()
{
    const std::pair<QToolButton *, const char *> buttons[] = {
        {cmdBibMulti, "mViewMultiBible"},   {cmdDictionary, "mViewDictionary"},
        {cmdCommentary, "mViewCommentary"}, {cmdBibNames, "mViewNames"},
        {cmdCHM, "mViewChmBibles"},
    };
    for (const auto &[button, name] : buttons)
        button->setEnabled(m_menus->action(QLatin1String(name))->isEnabled());
    cmdMP3->setEnabled(MenuTargets::IsRegistered(MenuTargets::MP3));
}

void AdvancedSearch::mFileClose_Click()
{
    m_menus->run(QStringLiteral("mFileClose"));
}

void AdvancedSearch::mFilePageSetup_Click()
{
    m_menus->run(QStringLiteral("mFilePageSetup"));
}

void AdvancedSearch::mFilePrintPreview_Click()
{
    m_menus->run(QStringLiteral("mFilePrintPreview"));
}

void AdvancedSearch::mEditCut_Click()
{
    m_menus->run(QStringLiteral("mEditCut"));
}

void AdvancedSearch::mEditCopy_Click()
{
    m_menus->run(QStringLiteral("mEditCopy"));
}

void AdvancedSearch::mEditPaste_Click()
{
    m_menus->run(QStringLiteral("mEditPaste"));
}

void AdvancedSearch::mEditUndo_Click()
{
    m_menus->run(QStringLiteral("mEditUndo"));
}

void AdvancedSearch::mEditDelete_Click()
{
    m_menus->run(QStringLiteral("mEditDelete"));
}

void AdvancedSearch::mEditFind_Click()
{
    m_menus->run(QStringLiteral("mEditFind"));
}

void AdvancedSearch::mEditFindNext_Click()
{
    m_menus->run(QStringLiteral("mEditFindNext"));
}

void AdvancedSearch::mEditSelectAll_Click()
{
    m_menus->run(QStringLiteral("mEditSelectAll"));
}

void AdvancedSearch::mEditWrapText_Click()
{
    // Run as a click: the mark changes, then the command follows it.
    mEditWrapText->setChecked(!mEditWrapText->isChecked());
    m_menus->run(QStringLiteral("mEditWrapText"));
}

void AdvancedSearch::mIntegrityAll_Click()
{
    m_menus->run(QStringLiteral("mIntegrityAll"));
}

// --- Edit commands and the pane's events -------------------------------------

void AdvancedSearch::DoSetFocus()
{
    if (RT->isVisible() && RT->isEnabled())
        RT->setFocus();
}

// Undo follows what the document can undo: a format set on the caret alone has nothing to undo.
void AdvancedSearch::EnableUndo()
{
    UpdateEditCommands();
}

// Cut, Copy and Delete follow the selection, Paste the clipboard, Undo the
// document; while a search runs they all wait.
void AdvancedSearch::UpdateEditCommands()
{
    const bool selected = RT->textCursor().hasSelection();
    for (QAction *item : {mEditCut, mEditCopy, mEditDelete})
        item->setEnabled(!m_busy && selected);
    for (QToolButton *button : {cmdCut, cmdCopy, cmdDelete})
        button->setEnabled(!m_busy && selected);
    mEditPaste->setEnabled(!m_busy && m_pasteable);
    cmdPaste->setEnabled(!m_busy && m_pasteable);
    const bool undo = RT->document()->isUndoAvailable();
    mEditUndo->setEnabled(!m_busy && undo);
    cmdUndo->setEnabled(!m_busy && undo);
}

// Paste is offered for text, rich text and pictures; the clipboard tells when it changes.
void AdvancedSearch::CheckClipboard()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    m_pasteable =
        data && (data->hasText() || data->hasImage() || data->hasFormat(QStringLiteral("text/rtf")) ||
                 data->hasFormat(QStringLiteral("application/rtf")));
    UpdateEditCommands();
}

void AdvancedSearch::FindInDocument()
{
    if (m_find.FindNext(*RT) < 0) {
        desktop().messageBox(GetMsg(0, MsgNotFound), MsgBoxStyle::Information, QString());
        return;
    }
    DoSetFocus();
    RT->ensureCursorVisible();
}

// Lines wrap by the page settings, or not at all; the whole text takes the
// layout and the reader's selection stays.
void AdvancedSearch::WrapText(bool on)
{
    if (on) {
        ApplyPageLayoutToWholeText(*RT);
        return;
    }
    const int start = RT->SelStart();
    const int length = RT->SelLength();
    RT->selectAll();
    RT->setRightMargin(WrapOffTwips);
    RT->setSelIndent(0);
    RT->setSelStart(start);
    RT->setSelLength(length);
}

void AdvancedSearch::ConnectPane()
{
    RT->installEventFilter(this);
    RT->viewport()->installEventFilter(this);
    connect(RT, &QTextEdit::copyAvailable, this, [this] { UpdateEditCommands(); });
    connect(RT, &QTextEdit::undoAvailable, this, [this] { UpdateEditCommands(); });
    connect(RT, &QTextEdit::selectionChanged, this, [this] { RT_SelChange(); });
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        TrapErrors(QStringLiteral("AdvancedSearch.CheckClipboard()"), [this] { CheckClipboard(); });
    });
}

void AdvancedSearch::RT_Click()
{
    TrapErrors(QStringLiteral("AdvancedSearch.RT_Click()"), [this] { m_find.MoveTo(RT->SelStart()); });
}

void AdvancedSearch::RT_MouseUp()
{
    TrapErrors(QStringLiteral("AdvancedSearch.RT_MouseUp()"), [this] { UpdateEditCommands(); });
}

void AdvancedSearch::RT_SelChange()
{
    // A name's message box must not start another look-up while it is open.
    if (m_lookingUpName || m_searchRunning || !mIntegrateNames->isChecked())
        return;
    TrapErrors(QStringLiteral("AdvancedSearch.RT_SelChange()"), [this] {
        const int length = RT->SelLength();
        if (length < 3 || length >= 20)
            return;
        const QScopedValueRollback<bool> busy(m_lookingUpName, true);
        NameMeanings::Show(RT->SelText().trimmed());
    });
}

void AdvancedSearch::Form_KeyDown(int &KeyCode, int Shift)
{
    m_formatToolbar->Form_KeyDown(KeyCode, Shift);
}

void AdvancedSearch::Form_KeyUp(int &KeyCode, int Shift)
{
    m_formatToolbar->Form_KeyUp(KeyCode, Shift);
}

bool AdvancedSearch::PaneEvent(QObject *watched, QEvent *event)
{
    if (watched == RT->viewport()) {
        if (event->type() == QEvent::MouseButtonRelease) {
            RT_Click();
            RT_MouseUp();
            m_formatToolbar->UpdateButtons();
        }
        return false;
    }
    if (watched != RT)
        return false;
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    // While a search runs the document's commands wait, their keys too.
    if (m_busy && (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return type != QEvent::ShortcutOverride;
    if (type == QEvent::KeyRelease && !key->isAutoRepeat() &&
        (key->key() == Qt::Key_Left || key->key() == Qt::Key_Up || key->key() == Qt::Key_Right ||
         key->key() == Qt::Key_Down))
        m_formatToolbar->UpdateButtons();
    return false;
}

// --- Printing ----------------------------------------------------------------

namespace {
// The print margins in inches from the page settings; with fit to window the
// side margins are 0.
QMarginsF printMargins()
{
    const float factor = gCM_IN ? 1.0f : 1.0f / 25.4f;
    QMarginsF margins(gMarginLeft * factor, gTopMargin * factor, gMarginRight * factor,
                      gBottomMargin * factor);
    if (gFitToDesktop) {
        margins.setLeft(0);
        margins.setRight(0);
    }
    return margins;
}
} // namespace

void AdvancedSearch::PrintSetup()
{
    PrintDialogOptions options;
    options.title = QStringLiteral("Print Setup");
    desktop().printDialog(DocumentPrinter::printer(), options);
}

// The print dialog opens with the selection chosen when text is selected; what
// it chose prints over the page layout that the preview shows.
void AdvancedSearch::PrintDocument()
{
    QPrinter &printer = DocumentPrinter::printer();
    PrintDialogOptions options;
    options.title = QStringLiteral("Print");
    options.selection = RT->textCursor().hasSelection();
    {
        const WaitCursor wait;
        options.pageCount = PageLayout(*RT->document(), printer, printMargins()).pageCount();
    }
    if (!desktop().printDialog(printer, options))
        return;
    int printed = 0;
    {
        const WaitCursor wait;
        printed = DocumentPrinter::printChosenPages(printer, *RT, printMargins());
    }
    if (printed == DocumentPrinter::NoRoomForText) {
        desktop().messageBox(GetMsg(0, MsgNoRoomForText), MsgBoxStyle::Exclamation, QString());
    } else if (printed == DocumentPrinter::PrinterNotStarted) {
        const QString name =
            printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
        desktop().messageBox(GetMsg(0, MsgPrinterNotStarted, name), MsgBoxStyle::Exclamation, QString());
    }
}

// --- Load and unload ---------------------------------------------------------

void AdvancedSearch::Form_Load()
{
    DeferredErrors errors(QStringLiteral("AdvancedSearch.Form_Load()"));
    errors.step([] { gAdvancedSearchOpen = true; });
    errors.step([this] { cmdStopSearch->setVisible(false); });
    errors.step([this] {
        if (gShowMsgNumbers)
            m_menus->action(QStringLiteral("mToolsShowMsgNums"))->setChecked(true);
    });
    errors.step([this] { RestoreFormPosition(PositionPrefix, this); });
    errors.step([this] { CheckClipboard(); });
    errors.step([this] { optNone->setChecked(true); });
    errors.step([this] { m_dayText = MiscHelpers::WeekdayText(); });
    errors.step([this] { PopulateHistoryCombo(); });
    errors.step([this] { m_bookRangeCode = 1; });
    errors.step([this] { ProgressBar1->setVisible(false); });
    errors.step([this] { FillTranslations(); });
    errors.step([this] {
        RT->setStyleSheet(QStringLiteral("QTextEdit { background-color: %1; color: %2; }")
                              .arg(OleColor::toQColor(gBib1BC).name(), OleColor::toQColor(gBib1TC).name()));
    });
    errors.step([this] { chkActiveUpd->setChecked(gActiveUpdateBib1); });
    errors.step([this] { Timer1->start(AnimationMilliseconds); });
    errors.step([] {
        if (gShowSplash)
            Splash::ShowModal();
    });
    // Margins that cannot be set are reported, and page setup is offered to mend them.
    if (!TrapErrors(QStringLiteral("AdvancedSearch.Form_Load()"), QStringLiteral("Setting Margins"),
                    [this] { ApplyPageLayout(); }) &&
        MenuTargets::IsRegistered(MenuTargets::PageSetup))
        IgnoreErrors([] { MenuTargets::Get(MenuTargets::PageSetup).showModal(); });
    errors.step([this] { AddPicturesToMenu(); });
    errors.step([this] { LoadBookmarks(); });
    errors.step([this] { International(); });
    errors.step([] { NameMeanings::Reset(); });
    errors.step([this] { RestoreBookRange(); });
    errors.step([this] { SelectSavedTranslation(); });
    errors.step([this] { m_menus->ApplyEnabling(); });
    errors.step([this] { EnableStudyButtons(); });
    // Without a names dictionary there are no names to look up.
    errors.step([this] {
        if (!mIntegrateNames->isEnabled())
            mIntegrateNames->setChecked(false);
    });
    errors.step([this] { GetComboBookmark(); });
    errors.step([this] { Timer1_Timer(); });
    errors.step([this] {
        RT->document()->clearUndoRedoStacks();
        RT->document()->setModified(false);
        UpdateEditCommands();
    });
}

void AdvancedSearch::closeEvent(QCloseEvent *event)
{
    if (m_searchRunning) {
        // The search stops at its next look at the events and closes the window.
        m_stopFlag = true;
        m_closeAfterSearch = true;
        event->ignore();
        return;
    }
    bool cancel = false;
    TrapErrors(QStringLiteral("AdvancedSearch.Form_Unload()"), [&] { Form_Unload(cancel); });
    if (cancel)
        event->ignore();
    else
        QMainWindow::closeEvent(event);
}

void AdvancedSearch::Form_Unload(bool &cancel)
{
    if (TextChanged()) {
        // Cancelled, or the document was not saved after all.
        if (AskToSave() == WorkspaceFiles::Cancelled) {
            cancel = true;
            return;
        }
    }
    DeferredErrors errors(QStringLiteral("AdvancedSearch.Form_Unload()"));
    errors.step([this] { RT->clear(); });
    errors.step([] { SaveString(QStringLiteral("DEFAULTFONT"), gDefaultFont, SettingsSection); });
    errors.step([this] { SaveFormPosition(PositionPrefix, this); });
    errors.step([] { gAdvancedSearchOpen = false; });
}

// --- Translation and range boxes ---------------------------------------------

void AdvancedSearch::FillTranslations()
{
    const QSignalBlocker blocker(cboTranslation);
    cboTranslation->clear();
    m_currentTranslation.reset();
    for (int i = 0; i < gBibles.Count(); ++i) {
        if (!gBibles.Enabled(i))
            continue;
        cboTranslation->addItem(gBibles.DisplayName(i));
        if (!m_currentTranslation) {
            m_currentTranslation = GetTranslation(i);
            cboTranslation->setCurrentIndex(0);
        }
    }
}

void AdvancedSearch::SelectSavedTranslation()
{
    m_currentTranslation = TranslationHelpers::GetTranslationByFileName(
        GetString(QStringLiteral("AdvancedSearchTranslation"), QString()), m_currentTranslation);
    if (!m_currentTranslation)
        return;
    const int index = cboTranslation->findText(m_currentTranslation->DisplayName, Qt::MatchExactly);
    if (index >= 0) {
        const QSignalBlocker blocker(cboTranslation);
        cboTranslation->setCurrentIndex(index);
    }
    cboTranslation_Click();
}

void AdvancedSearch::cboTranslation_Click()
{
    TrapErrors(QStringLiteral("AdvancedSearch.cboTranslation_Click()"), [this] {
        m_currentTranslation = TranslationHelpers::GetTranslationByDisplayName(cboTranslation->currentText(),
                                                                               m_currentTranslation);
        if (m_currentTranslation)
            SaveString(QStringLiteral("AdvancedSearchTranslation"), m_currentTranslation->FileName);
    });
}

// The saved entry of the range box; a value that is not an entry's number
// gives the New Testament.
void AdvancedSearch::RestoreBookRange()
{
    bool ok = false;
    int index = GetString(QStringLiteral("CBOBookmark"), QString(), SettingsSection).trimmed().toInt(&ok);
    if (!ok || index < 0 || index >= cboBooks->count())
        index = BookRange::DefaultListIndex;
    {
        const QSignalBlocker blocker(cboBooks);
        cboBooks->setCurrentIndex(index);
    }
    cboBooks_Click();
}

void AdvancedSearch::cboBooks_Click()
{
    TrapErrors(QStringLiteral("AdvancedSearch.cbobooks_Click()"), [this] {
        m_bookRangeCode = cboBooks->currentIndex() + 1;
        SaveString(QStringLiteral("CBOBookmark"), QString::number(cboBooks->currentIndex()), SettingsSection);
    });
}

void AdvancedSearch::GetComboBookmark()
{
    IgnoreErrors([this] {
        const QString value = GetString(QStringLiteral("CBOBookmark"), QString(), SettingsSection);
        if (value.isEmpty())
            return;
        const int index = cboBooks->findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0)
            cboBooks->setCurrentIndex(index);
    });
}

void AdvancedSearch::LoadBookmarks()
{
    BookmarkRecords::LoadBookmarks();
}

// --- Captions ----------------------------------------------------------------

void AdvancedSearch::International()
{
    {
        // A change of language keeps the chosen range.
        const int chosen = cboBooks->currentIndex();
        const QSignalBlocker blocker(cboBooks);
        cboBooks->clear();
        for (int book = 1; book <= BookRange::Count; ++book)
            cboBooks->addItem(BookNames().FullName(qint16(book)));
        cboBooks->setCurrentIndex(chosen >= 0 ? chosen : 0);
    }
    setWindowTitle(MiscHelpers::ProductTitle());
    const std::pair<QToolButton *, int> tips[] = {
        {cmdOpen, 27},     {cmdSave, 28},       {cmdPrint, 29},      {cmdCut, 30},      {cmdCopy, 31},
        {cmdPaste, 32},    {cmdUndo, 33},       {cmdDelete, 34},     {cmdFind, 35},     {cmdFindNext, 36},
        {cmdBibMulti, 48}, {cmdDictionary, 49}, {cmdCommentary, 50}, {cmdBibNames, 51}, {cmdHlp, 53},
        {cmdCHM, 54},      {cmdMP3, 55},
    };
    for (const auto &[button, id] : tips)
        button->setToolTip(GetMsg(1, id));
    const std::pair<QToolButton *, int> formatTips[] = {
        {m_formatToolbar->cmdBColour, 37},    {m_formatToolbar->cmdFColuor, 38},
        {m_formatToolbar->cmdBold, 39},       {m_formatToolbar->cmdItalic, 40},
        {m_formatToolbar->cmdUnderline, 41},  {m_formatToolbar->cmdLeftJ, 42},
        {m_formatToolbar->cmdCentreJ, 43},    {m_formatToolbar->cmdRightJ, 44},
        {m_formatToolbar->cmdIndentLess, 45}, {m_formatToolbar->cmdIndentMore, 46},
        {m_formatToolbar->cmdBullet, 47},
    };
    for (const auto &[button, id] : formatTips)
        button->setToolTip(GetMsg(1, id));
    m_menus->International();
    CommonMenus::CaptionDateFormatWindow();
    cmdSearch->setToolTip(GetMsg(1, 56));
    cmdStopSearch->setToolTip(GetMsg(1, 57));
    cmdClear->setToolTip(GetMsg(1, 122));
    cmdClear->setText(GetMsg(1, 123));
    cboSearch->setToolTip(GetMsg(1, 124));
    cboTranslation->setToolTip(GetMsg(1, 125));
    cboBooks->setToolTip(GetMsg(1, 126));
    optNone->setToolTip(GetMsg(1, 127));
    optAnyOrder->setToolTip(GetMsg(1, 128));
    optAnyTerms->setToolTip(GetMsg(1, 129));
    optAllVerses->setToolTip(GetMsg(1, 130));
    optNone->setText(GetMsg(1, 131));
    optAnyOrder->setText(GetMsg(1, 132));
    optAnyTerms->setText(GetMsg(1, 133));
    optAllVerses->setText(GetMsg(1, 134));
    Frame1->setToolTip(GetMsg(1, 135));
    Frame1->setTitle(GetMsg(1, 135));
    chkActiveUpd->setText(GetMsg(1, 136));
    chkIgnoreCase->setText(GetMsg(1, 137));
    chkActiveUpd->setToolTip(GetMsg(1, 138));
    chkIgnoreCase->setToolTip(GetMsg(1, 139));
}

void AdvancedSearch::m_globalnotifer_Notify(const QString &eventName)
{
    TrapErrors(QStringLiteral("AdvancedSearch.m_globalnotifer_Notify()"), [&] {
        if (eventName == GlobalNotifier::TranslationsAvailListChanged) {
            FillTranslations();
            if (cboTranslation->count() > 0)
                cboTranslation_Click();
        } else if (eventName == GlobalNotifier::InternationalChanged) {
            International();
        }
    });
}

// --- History -----------------------------------------------------------------

void AdvancedSearch::PopulateHistoryCombo()
{
    cboSearch->clear();
    for (int i = 0; i < HistoryKeys; ++i) {
        const QString value = GetString(QString::number(i), QStringLiteral("."), HistorySection);
        if (value != QStringLiteral("."))
            cboSearch->addItem(value);
    }
    cboSearch->setEditText(QStringLiteral("*"));
}

void AdvancedSearch::SaveComboHistory()
{
    const QString text = cboSearch->currentText();
    if (cboSearch->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0)
        return;
    cboSearch->addItem(text);
    // Only the first keys are read back: the oldest texts make room, so that
    // the new one is there next time.
    while (cboSearch->count() > HistoryKeys)
        cboSearch->removeItem(0);
    cboSearch->setEditText(text);
    QList<std::pair<QString, QString>> entries;
    for (int i = 0; i < cboSearch->count(); ++i)
        entries.append({QString::number(i), cboSearch->itemText(i)});
    SettingsStore::instance().replaceSection(Registry_::ResolveSection(HistorySection), entries);
}

void AdvancedSearch::cboSearch_KeyPress(int keyAscii)
{
    if (keyAscii != 13 || m_searchRunning)
        return;
    if (!TrapErrors(QStringLiteral("AdvancedSearch.cboSearch_KeyPress()"), [this] { SaveComboHistory(); }))
        return;
    cmdSearch_Click();
}

void AdvancedSearch::cboSearch_LostFocus()
{
    IgnoreErrors([this] { SaveComboHistory(); });
}

void AdvancedSearch::cmdClear_Click()
{
    TrapErrors(QStringLiteral("AdvancedSearch.cmdClear_Click()"), [this] {
        const int style = MsgBoxStyle::YesNo | MsgBoxStyle::Question | MsgBoxStyle::DefaultButton2;
        if (desktop().messageBox(GetMsg(0, MsgClearHistory), style, QStringLiteral("Confirm Delete")) !=
            MsgBoxResult::Yes)
            return;
        Registry_::DeleteSection(HistorySection);
        cboSearch->clear();
        cboSearch->setEditText(QStringLiteral("*"));
    });
}

bool AdvancedSearch::eventFilter(QObject *watched, QEvent *event)
{
    if (PaneEvent(watched, event))
        return true;
    if (watched == cboSearch || watched == cboSearch->lineEdit()) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                cboSearch_KeyPress(13);
                return true;
            }
        } else if (event->type() == QEvent::FocusOut && watched == cboSearch) {
            cboSearch_LostFocus();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- Busy state, status, saving ----------------------------------------------

// While a search runs the commands that change or replace the document wait;
// View, Web and Help and the search box stay usable.
void AdvancedSearch::SetMenuEnabledState(bool state)
{
    m_busy = !state;
    cmdStopSearch->setVisible(!state);
    cmdSearch->setEnabled(state);
    for (QMenu *menu : {zFile, zEdit, zTools})
        menu->menuAction()->setEnabled(state);
    for (QToolButton *button : {cmdOpen, cmdSave, cmdPrint, cmdFind, cmdFindNext})
        button->setEnabled(state);
    if (m_formatToolbar)
        m_formatToolbar->setEnabled(state);
    UpdateEditCommands();
}

bool AdvancedSearch::TextChanged() const
{
    return RT->document()->isModified();
}

void AdvancedSearch::Timer1_Timer()
{
    IgnoreErrors([this] {
        const QString status =
            m_dayText + QStringLiteral(", ") + DateFormatText::Format(desktop().now(), gDateFormat);
        if (lblStatusTextL->text() != status)
            lblStatusTextL->setText(status);
        AnimateSearchButton();
    });
}

// The Search button turns once per eight ticks: quickly for the first cycles
// after the window opens, then one step a second. The frames are drawn once.
void AdvancedSearch::AnimateSearchButton()
{
    if (m_searchFrames.isEmpty()) {
        const QPixmap picture = cmdSearch->icon().pixmap(cmdSearch->iconSize());
        for (int frame = 0; frame < AnimationFrames; ++frame) {
            QPixmap turned(picture.size());
            turned.setDevicePixelRatio(picture.devicePixelRatio());
            turned.fill(Qt::transparent);
            QPainter painter(&turned);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            const QSizeF size = picture.deviceIndependentSize();
            painter.translate(size.width() / 2, size.height() / 2);
            painter.rotate(-45.0 * frame);
            painter.drawPixmap(QPointF(-size.width() / 2, -size.height() / 2), picture);
            painter.end();
            m_searchFrames.append(QIcon(turned));
        }
    }
    m_animationFrame = (m_animationFrame + 1) % AnimationFrames;
    cmdSearch->setIcon(m_searchFrames[m_animationFrame]);
    if (m_animationFrame == 0 && ++m_animationCycles > AnimationFastCycles)
        Timer1->setInterval(1000);
}

void AdvancedSearch::cmdStopSearch_Click()
{
    m_stopFlag = true;
}

// Yes saves (Save As when the document has no RTF file yet): 2 once saved, -1
// when that save was cancelled or failed; No gives 0; Cancel -1.
int AdvancedSearch::AskToSave()
{
    return m_files->AskToSave();
}

void AdvancedSearch::SetDocumentFileName(const QString &path)
{
    m_files->SetFileName(path);
}

void AdvancedSearch::mFileNew_Click()
{
    m_menus->run(QStringLiteral("mFileNew"));
}

void AdvancedSearch::mFileOpen_Click()
{
    m_menus->run(QStringLiteral("mFileOpen"));
}

void AdvancedSearch::mFileSave_Click()
{
    m_menus->run(QStringLiteral("mFileSave"));
}

void AdvancedSearch::mFileSaveAs_Click()
{
    m_menus->run(QStringLiteral("mFileSaveAs"));
}

void AdvancedSearch::mFilePrint_Click()
{
    m_menus->run(QStringLiteral("mFilePrint"));
}

void AdvancedSearch::mFilePrintSetup_Click()
{
    m_menus->run(QStringLiteral("mFilePrintSetup"));
}

// The page layout of the whole document, or no wrapping while Wrap Text is off.
void AdvancedSearch::ApplyPageLayout()
{
    WrapText(mEditWrapText->isChecked());
}

// --- The search --------------------------------------------------------------

SearchMode AdvancedSearch::ChosenMode() const
{
    if (optAnyOrder->isChecked())
        return SearchMode::AllTerms;
    if (optAnyTerms->isChecked())
        return SearchMode::AnyTerm;
    if (optAllVerses->isChecked())
        return SearchMode::EveryVerse;
    return SearchMode::Pattern;
}

// A search replaces the document: unsaved changes are offered for saving first.
bool AdvancedSearch::MayReplaceDocument()
{
    return m_files->MayReplaceDocument();
}

bool AdvancedSearch::RefuseSearch(const TermSearch &search)
{
    int id = 0;
    switch (search.Problem()) {
    case SearchProblem::None:
        return false;
    case SearchProblem::TooManyTerms:
        id = MsgTooManyTerms;
        break;
    case SearchProblem::InvalidPattern:
        id = MsgInvalidPattern;
        break;
    }
    desktop().messageBox(GetMsg(0, id, QString::number(SearchText::MaxTerms)), MsgBoxStyle::Exclamation,
                         MiscHelpers::ProductTitle());
    return true;
}

void AdvancedSearch::cmdSearch_Click()
{
    if (m_searchRunning)
        return;
    TrapErrors(QStringLiteral("AdvancedSearch.cmdSearch_Click()"), [this] {
        if (!MayReplaceDocument())
            return;
        // Everything the search depends on is taken now, once.
        const SearchRequest request{cboSearch->currentText(), ChosenMode(), chkIgnoreCase->isChecked(),
                                    m_bookRangeCode};
        const TermSearch search(request, [](int book) { return BookNames().Abbreviation(qint16(book)); });
        if (RefuseSearch(search))
            return;
        const BusyState busy(this);
        RunSearch(search);
    });
}

void AdvancedSearch::RunSearch(const TermSearch &search)
{
    // The translation searched stays the one chosen now, whatever the boxes
    // show while events run.
    const std::shared_ptr<Translation> translation = m_currentTranslation;
    // The old result goes first, replaced by an empty document of its own: cleared
    // or laid out anew for the page layout, it would cost as much as the new one.
    auto *empty = new QTextDocument(RT);
    empty->setDefaultFont(RT->document()->defaultFont());
    ShowDocument(empty);
    ApplyPageLayout();
    // The result is a new document: Save asks for a name instead of overwriting the last file.
    m_files->DocumentReplaced();
    setWindowTitle(MiscHelpers::ProductTitle());
    m_dayText = MiscHelpers::WeekdayText();
    lblStatusTextL->setVisible(false);
    cboResults->clear();
    setForeColor(cboResults, Black);
    m_matchCount = 0;
    m_find.MoveTo(0);
    txtStatusTextR->clear();

    SearchResult result;
    {
        const WaitCursor wait;
        result = ScanVerses(search, translation.get());
    }
    WriteScratchFiles(result, translation.get(), search.Request().rangeCode);
    QTextDocument *document = ResultDocument(result.text);
    HighlightText(document, search.Terms(), search.Request().ignoreCase);
    document->setUndoRedoEnabled(true);

    const QString verses = QString::number(result.verses) + QStringLiteral(" Verses");
    txtStatusTextR->setText(search.Terms().isEmpty()
                                ? verses
                                : QString::number(m_matchCount) + QStringLiteral(" Matches ") + verses);
    lblStatusTextL->setVisible(true);
    Timer1_Timer();
    RT->setSelStart(0);
    if (RT->isVisible() && RT->isEnabled())
        RT->setFocus();
    // A fresh result counts as unchanged.
    RT->document()->setModified(false);
}

SearchResult AdvancedSearch::ScanVerses(const TermSearch &search, const Translation *chosen)
{
    if (!chosen)
        return {};
    const Translation &translation = *chosen;
    qint64 lines = 0;
    for (const ChapterRecord &record : translation.Records())
        lines += std::max(0, record.lastLine - record.firstLine + 1);
    ProgressBar1->setRange(0, int(std::min<qint64>(lines, INT_MAX)));
    ProgressBar1->setValue(0);
    ProgressBar1->setVisible(true);

    const TermSearch::VerseSource source = sourceFactory().get()(translation);
    TermSearch scan = search;
    scan.SetPollInterval(m_pollMilliseconds);
    SearchResult result = scan.Run(source, [this](qint64 lines) {
        ProgressBar1->setValue(int(std::min<qint64>(lines, ProgressBar1->maximum())));
        return LetEventsRun();
    });
    // The stop ends the scan only; the verses found so far are still coloured.
    m_stopFlag = false;
    ProgressBar1->setVisible(false);
    return result;
}

// Lets pending events run (the stop button, repaints); false once a stop was asked.
bool AdvancedSearch::LetEventsRun()
{
    Timer1_Timer();
    QCoreApplication::processEvents();
    return !m_stopFlag;
}

// The copy of the range and the result in the scratch folder, for whoever looks
// there; the search itself never reads them back.
void AdvancedSearch::WriteScratchFiles(const SearchResult &result, Translation *chosen, int rangeCode)
{
    if (!chosen)
        return;
    Translation &translation = *chosen;
    const int codePage = translation.CodePage;
    IgnoreErrors([&] {
        FileFunctions_::MakeFolder(gScratchFolder);
        int first = 0;
        int last = 0;
        if (BookRange::Books(rangeCode, &first, &last))
            translation.CopyBookIntoFile(gScratchFolder + translation.FileName, first, last, true);
    });
    IgnoreErrors([&] {
        QString text = result.text;
        text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        TextFiles::writeScratch(gScratchFolder + QStringLiteral("BibTmp_") + translation.FileName,
                                CodePage::encode(text, codePage));
    });
}

// The result becomes a new document built off the screen in the plain colour,
// font and size, so that nothing is laid out or painted while it grows.
QTextDocument *AdvancedSearch::ResultDocument(const QString &text)
{
    auto *document = new QTextDocument(RT);
    document->setUndoRedoEnabled(false);
    QFont font = RT->document()->defaultFont();
    font.setFamily(gDefaultFont);
    if (gBib1Fontsize > 0)
        font.setPointSize(gBib1Fontsize);
    document->setDefaultFont(font);
    // The font is the text's own, not only the document's default: saved as RTF
    // (a bookmark) the result keeps its face and size.
    QTextCharFormat plain;
    plain.setFont(font);
    plain.setForeground(OleColor::toQColor(gBib1TC));
    QTextCursor(document).insertText(text, plain);
    return document;
}

void AdvancedSearch::ShowDocument(QTextDocument *document)
{
    if (RT->document() == document)
        return;
    // The new document takes the page of the one shown, so that the switch lays
    // it out once, at the width it keeps.
    QTextDocument *shown = RT->document();
    document->setPageSize(shown->pageSize());
    document->setDocumentMargin(shown->documentMargin());
    document->setDefaultTextOption(shown->defaultTextOption());
    // The page layout's indent goes onto the paragraphs while the document is off
    // the screen: set on the shown text, it would lay the whole result out again.
    const bool wrap = mEditWrapText->isChecked();
    const PageSettings::PaneLayout layout = PageSettings::PageLayoutOfSettings();
    QTextBlockFormat indent;
    indent.setLeftMargin(wrap && !gFitToDesktop ? std::max(0.0, layout.indent / Twips::perPixelX()) : 0.0);
    QTextCursor whole(document);
    whole.select(QTextCursor::Document);
    whole.mergeBlockFormat(indent);
    const QPointer<QTextDocument> previous(shown);
    RT->setDocument(document);
    // The pane frees only the document it made itself; the earlier results are ours.
    if (previous && previous->parent() == RT)
        delete previous;
    RT->setRightMargin(!wrap ? WrapOffTwips : gFitToDesktop ? 0 : layout.rightMargin);
}

void AdvancedSearch::HighlightText(QTextDocument *document, const QStringList &terms, bool ignoreCase)
{
    // With Active Update the reader watches the colours come; otherwise the
    // document is shown once it is coloured.
    gActiveUpdateBib1 = chkActiveUpd->isChecked();
    if (gActiveUpdateBib1 || terms.isEmpty())
        ShowDocument(document);
    if (terms.isEmpty())
        return;
    const HighlightPlan plan = PlanHighlights(document->toRawText(), terms, gMaxCountSize);
    ProgressBar1->setRange(0, int(std::min<size_t>(plan.hits.size(), INT_MAX)));
    ProgressBar1->setValue(0);
    ProgressBar1->setVisible(true);
    QFont bold = txtStatusTextR->font();
    bold.setBold(true);
    txtStatusTextR->setFont(bold);

    int termsReached = 0;
    ColourHits(document, plan, &termsReached);

    ShowDocument(document);
    bold.setBold(false);
    txtStatusTextR->setFont(bold);
    ProgressBar1->setVisible(false);
    ShowSummary(plan, termsReached, ignoreCase);
}

// Colours the hits in one edit block per 50 ms, letting events run in between;
// false when the stop button ended it. termsReached: the terms begun.
bool AdvancedSearch::ColourHits(QTextDocument *document, const HighlightPlan &plan, int *termsReached)
{
    const std::array<quint32, 5> colours{gBib1H1, gBib1H2, gBib1H3, gBib1H4, gBib1H5};
    // One format per term, made once rather than for every hit.
    std::vector<QTextCharFormat> formats(size_t(plan.summary.size()) + 1);
    for (size_t term = 1; term < formats.size(); ++term)
        formats[term].setForeground(OleColor::toQColor(TermColour(int(term), colours)));
    QTextCursor cursor(document);
    QElapsedTimer clock;
    clock.start();
    size_t next = 0;
    while (next < plan.hits.size()) {
        cursor.beginEditBlock();
        do {
            const Hit &hit = plan.hits[next];
            if (hit.term > *termsReached) {
                *termsReached = hit.term;
                txtStatusTextR->setText(QStringLiteral("Highlighting \"") + plan.summary[hit.term - 1].term +
                                        QLatin1Char('"'));
            }
            cursor.setPosition(int(hit.position));
            cursor.setPosition(int(hit.position + hit.length), QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(formats[size_t(hit.term)]);
            ++next;
        } while (next < plan.hits.size() && clock.elapsed() < m_pollMilliseconds);
        cursor.endEditBlock();
        ProgressBar1->setValue(int(next));
        if (next < plan.hits.size()) {
            if (!LetEventsRun())
                return false;
            clock.restart();
        }
    }
    // Terms without a hit after the last coloured one were reached too.
    *termsReached = int(plan.summary.size());
    return true;
}

void AdvancedSearch::ShowSummary(const HighlightPlan &plan, int termsReached, bool ignoreCase)
{
    cboResults->clear();
    m_matchCount = 0;
    for (int k = 0; k < termsReached && k < plan.summary.size(); ++k) {
        cboResults->addItem(HighlightPlan::SummaryLine(plan.summary[k], ignoreCase));
        m_matchCount += plan.summary[k].count;
    }
    setForeColor(cboResults, plan.limitReached ? Red : Black);
    cboResults->setEditText(QStringLiteral("SEARCH SUMMARY"));
}
