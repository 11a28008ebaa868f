#include "search/AdvancedSearch.h"
#include "search/BookRange.h"
#include "search/EditCommands.h"
#include "search/FormatToolbar.h"
#include "search/NotesDocument.h"
#include "search/SearchRun.h"
#include "search/SearchText.h"
#include "search/SearchView.h"
#include "search/WorkspaceFiles.h"
#include "search/WorkspaceMenus.h"

#include "controls/MenuTable.h"
#include "core/BibleBookNames.h"
#include "core/BookmarkRecords.h"
#include "core/Bug_.h"
#include "core/DateFormatText.h"
#include "core/GlobalNotifier.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "core/Registry_.h"
#include "core/Translation.h"
#include "core/TranslationHelpers.h"
#include "core/VerseReader.h"
#include "mainwindow/CommonMenus.h"
#include "mainwindow/MenuTargets.h"
#include "mainwindow/NameMeanings.h"
#include "mainwindow/Splash.h"
#include "mainwindow/WorkspaceDocument.h"
#include "platform/DefaultInstance.h"
#include "platform/Desktop.h"
#include "platform/OleColor.h"
#include "platform/RichTextBox.h"
#include "platform/Seams.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString SettingsSection = QStringLiteral("Settings");
const QString PositionPrefix = QStringLiteral("AdvancedSearch");
constexpr quint32 Red = 0x000000FF;
constexpr quint32 Black = 0x00000000;
constexpr int MsgClearHistory = 43;
constexpr int MsgInvalidPattern = 241;
constexpr int MsgTooManyTerms = 242;
// The Search button's animation: eight frames, fast for the first cycles.
constexpr int AnimationFrames = 8;
constexpr int AnimationFastCycles = 8;
constexpr int AnimationMilliseconds = 100;

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

// The window as the search run sees it: the progress bar, the status field, the
// document pane and the summary box.
class AdvancedSearch::RunView : public SearchView
{
public:
    explicit RunView(AdvancedSearch &window)
        : w(window)
    {
    }

    void ShowProgress(qint64 maximum) override
    {
        w.ProgressBar1->setRange(0, int(std::min<qint64>(maximum, INT_MAX)));
        w.ProgressBar1->setValue(0);
        w.ProgressBar1->setVisible(true);
    }
    void SetProgress(qint64 value) override
    {
        w.ProgressBar1->setValue(int(std::min<qint64>(value, w.ProgressBar1->maximum())));
    }
    void HideProgress() override { w.ProgressBar1->setVisible(false); }
    void ShowStatus(const QString &text, bool emphasised) override
    {
        QFont font = w.txtStatusTextR->font();
        font.setBold(emphasised);
        w.txtStatusTextR->setFont(font);
        w.txtStatusTextR->setText(text);
    }
    QFont DocumentFont() const override { return w.RT->document()->defaultFont(); }
    void ShowDocument(QTextDocument *document) override
    {
        w.m_document->ShowResult(document, w.mEditWrapText->isChecked());
    }
    bool WatchesColouring() const override { return w.chkActiveUpd->isChecked(); }
    void ShowSummary(const QStringList &lines, bool limitReached) override
    {
        w.cboResults->clear();
        w.cboResults->addItems(lines);
        setForeColor(w.cboResults, limitReached ? Red : Black);
        if (!lines.isEmpty())
            w.cboResults->setEditText(QStringLiteral("SEARCH SUMMARY"));
    }
    void LetEventsRun() override
    {
        w.Timer1_Timer();
        QCoreApplication::processEvents();
    }

private:
    AdvancedSearch &w;
};

AdvancedSearch::AdvancedSearch()
{
    setObjectName(QStringLiteral("AdvancedSearch"));
    // The window unloads when it closes; the next opening loads it anew. Closing
    // it never ends the program.
    setAttribute(Qt::WA_DeleteOnClose, true);
    setAttribute(Qt::WA_QuitOnClose, false);
    CreateControls();
    CreateParts();
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
    // Page setup, the preview, printing and the bookmarks reach the document through here.
    WorkspaceDocument::Access access{[]() -> RichTextBox * { return Instance().RT; },
                                     []() -> QWidget * { return &Instance(); },
                                     [] {
                                         if (AdvancedSearch *window = DefaultInstance<AdvancedSearch>::peek())
                                             window->mEditWrapText->setEnabled(true);
                                     }};
    access.askToSave = [] { return Instance().m_files->AskToSave(); };
    access.showFile = [](const QString &path) { Instance().m_document->ShowBookmark(path); };
    access.fileRenamed = [](const QString &from, const QString &to) {
        if (AdvancedSearch *window = DefaultInstance<AdvancedSearch>::peek())
            window->m_document->FileRenamed(from, to);
    };
    WorkspaceDocument::Register(std::move(access));
}

AdvancedSearch::SourceFactory AdvancedSearch::setSourceFactory(SourceFactory factory)
{
    return sourceFactory().replace(std::move(factory));
}

void AdvancedSearch::setPollInterval(int milliseconds)
{
    m_run->SetPollInterval(milliseconds);
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

// The parts below the window that do its work.
void AdvancedSearch::CreateParts()
{
    m_document = new NotesDocument(RT, this);
    m_edit = new EditCommands(RT, this);
    m_files = std::make_unique<WorkspaceFiles>(*m_document);
    m_runView = std::make_unique<RunView>(*this);
    m_run = std::make_unique<SearchRun>(*m_runView);
    connect(m_document, &NotesDocument::captionChanged, this, &QWidget::setWindowTitle);
    connect(m_document, &NotesDocument::replaced, this, [this] { m_edit->MoveFindTo(0); });
    connect(m_edit, &EditCommands::availabilityChanged, this, [this] { UpdateEditCommands(); });
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

    auto *row = new QHBoxLayout(Picture1);
    row->setContentsMargins(4, 2, 4, 0);
    row->setSpacing(1);
    for (QToolButton *button :
         {cmdOpen, cmdSave, cmdPrint, cmdCut, cmdCopy, cmdPaste, cmdUndo, cmdDelete, cmdFind, cmdFindNext})
        row->addWidget(button);
    row->addSpacing(8);
    // The formatting bar sits between the document's and the study windows' buttons.
    m_formatToolbar = new FormatToolbar(RT, Picture1);
    m_formatToolbar->setObjectName(QStringLiteral("FormatToolbar1"));
    row->addWidget(m_formatToolbar);
    row->addSpacing(8);
    for (QToolButton *button : {cmdBibMulti, cmdDictionary, cmdCommentary, cmdBibNames, cmdHlp})
        row->addWidget(button);
    row->addStretch(1);
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
    connect(m_formatToolbar, &FormatToolbar::undoAvailable, this, [this] { UpdateEditCommands(); });
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
            m_edit->FocusPane();
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
    m_menus = std::make_unique<MenuTable>(this, QStringLiteral("AdvancedSearch"),
                                          WorkspaceMenus::Description({*m_files, *m_document, *m_edit}));
    BindMenuMembers();
}

void AdvancedSearch::BindMenuMembers()
{
    const std::pair<QMenu * AdvancedSearch::*, const char *> menus[] = {
        {&AdvancedSearch::zFile, "zFile"},
        {&AdvancedSearch::zEdit, "zEdit"},
        {&AdvancedSearch::zView, "zView"},
        {&AdvancedSearch::zTools, "zTools"},
    };
    for (const auto &[member, name] : menus)
        this->*member = m_menus->menu(QLatin1String(name));
    const std::pair<QAction * AdvancedSearch::*, const char *> items[] = {
        {&AdvancedSearch::mEditCut, "mEditCut"},
        {&AdvancedSearch::mEditCopy, "mEditCopy"},
        {&AdvancedSearch::mEditPaste, "mEditPaste"},
        {&AdvancedSearch::mEditUndo, "mEditUndo"},
        {&AdvancedSearch::mEditDelete, "mEditDelete"},
        {&AdvancedSearch::mEditWrapText, "mEditWrapText"},
        {&AdvancedSearch::mIntegrateNames, "mIntegrateNames"},
    };
    for (const auto &[member, name] : items)
        this->*member = m_menus->action(QLatin1String(name));
    // The CHM item is reached from the toolbar only.
    m_menus->action(QStringLiteral("mViewChmBibles"))->setVisible(false);
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

void AdvancedSearch::mFileSave_Click()
{
    m_menus->run(QStringLiteral("mFileSave"));
}

void AdvancedSearch::mFilePageSetup_Click()
{
    m_menus->run(QStringLiteral("mFilePageSetup"));
}

void AdvancedSearch::mFilePrintPreview_Click()
{
    m_menus->run(QStringLiteral("mFilePrintPreview"));
}

void AdvancedSearch::mFilePrintSetup_Click()
{
    m_menus->run(QStringLiteral("mFilePrintSetup"));
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

// --- The pane's events --------------------------------------------------------

// Cut, Copy and Delete follow the selection, Paste the clipboard, Undo the
// document; while a search runs they all wait.
void AdvancedSearch::UpdateEditCommands()
{
    const bool selected = RT->textCursor().hasSelection();
    for (QAction *item : {mEditCut, mEditCopy, mEditDelete})
        item->setEnabled(!m_busy && selected);
    for (QToolButton *button : {cmdCut, cmdCopy, cmdDelete})
        button->setEnabled(!m_busy && selected);
    const bool pasteable = m_edit->CanPaste();
    mEditPaste->setEnabled(!m_busy && pasteable);
    cmdPaste->setEnabled(!m_busy && pasteable);
    const bool undo = RT->document()->isUndoAvailable();
    mEditUndo->setEnabled(!m_busy && undo);
    cmdUndo->setEnabled(!m_busy && undo);
}

void AdvancedSearch::ConnectPane()
{
    RT->installEventFilter(this);
    RT->viewport()->installEventFilter(this);
    connect(RT, &QTextEdit::copyAvailable, this, [this] { UpdateEditCommands(); });
    connect(RT, &QTextEdit::undoAvailable, this, [this] { UpdateEditCommands(); });
    connect(RT, &QTextEdit::selectionChanged, this, [this] { RT_SelChange(); });
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        TrapErrors(QStringLiteral("AdvancedSearch.CheckClipboard()"), [this] { m_edit->CheckClipboard(); });
    });
}

void AdvancedSearch::RT_Click()
{
    TrapErrors(QStringLiteral("AdvancedSearch.RT_Click()"), [this] { m_edit->MoveFindTo(RT->SelStart()); });
}

void AdvancedSearch::RT_MouseUp()
{
    TrapErrors(QStringLiteral("AdvancedSearch.RT_MouseUp()"), [this] { UpdateEditCommands(); });
}

void AdvancedSearch::RT_SelChange()
{
    // A name's message box must not start another look-up while it is open.
    if (m_lookingUpName || m_busy || !mIntegrateNames->isChecked())
        return;
    TrapErrors(QStringLiteral("AdvancedSearch.RT_SelChange()"), [this] {
        const int length = RT->SelLength();
        if (length < 3 || length >= 20)
            return;
        const QScopedValueRollback<bool> busy(m_lookingUpName, true);
        NameMeanings::Show(RT->SelText().trimmed());
    });
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
    errors.step([this] { m_edit->CheckClipboard(); });
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
                    [this] { m_document->LayOut(mEditWrapText->isChecked()); }) &&
        MenuTargets::IsRegistered(MenuTargets::PageSetup))
        IgnoreErrors([] { MenuTargets::Get(MenuTargets::PageSetup).showModal(); });
    errors.step([this] { m_menus->AddPicturesToMenu(ImgList1); });
    errors.step([] { BookmarkRecords::LoadBookmarks(); });
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
    if (m_run->Running()) {
        // The search stops at its next look at the events and closes the window.
        m_run->Stop();
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
        if (m_files->AskToSave() == WorkspaceFiles::Cancelled) {
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
    m_history.Load();
    cboSearch->clear();
    cboSearch->addItems(m_history.Entries());
    cboSearch->setEditText(QStringLiteral("*"));
}

void AdvancedSearch::SaveComboHistory()
{
    const QString text = cboSearch->currentText();
    if (!m_history.Add(text))
        return;
    cboSearch->clear();
    cboSearch->addItems(m_history.Entries());
    cboSearch->setEditText(text);
}

void AdvancedSearch::cboSearch_KeyPress(int keyAscii)
{
    if (keyAscii != 13 || m_run->Running())
        return;
    if (!TrapErrors(QStringLiteral("AdvancedSearch.cboSearch_KeyPress()"), [this] { SaveComboHistory(); }))
        return;
    cmdSearch_Click();
}

void AdvancedSearch::cmdClear_Click()
{
    TrapErrors(QStringLiteral("AdvancedSearch.cmdClear_Click()"), [this] {
        const int style = MsgBoxStyle::YesNo | MsgBoxStyle::Question | MsgBoxStyle::DefaultButton2;
        if (desktop().messageBox(GetMsg(0, MsgClearHistory), style, QStringLiteral("Confirm Delete")) !=
            MsgBoxResult::Yes)
            return;
        m_history.Clear();
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
            IgnoreErrors([this] { SaveComboHistory(); });
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- Busy state and status ---------------------------------------------------

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
    return m_document->Changed();
}

bool AdvancedSearch::SearchRunning() const
{
    return m_run->Running();
}

qint64 AdvancedSearch::MatchCount() const
{
    return m_run->Matches();
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
    m_run->Stop();
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
    if (m_run->Running())
        return;
    TrapErrors(QStringLiteral("AdvancedSearch.cmdSearch_Click()"), [this] {
        // A search replaces the document: unsaved changes are offered for saving first.
        if (!m_files->MayReplaceDocument())
            return;
        // Everything the search depends on is taken now, once.
        const SearchRequest request{cboSearch->currentText(), ChosenMode(), chkIgnoreCase->isChecked(),
                                    m_bookRangeCode};
        const TermSearch search(request, [](int book) { return BookNames().Abbreviation(qint16(book)); });
        if (RefuseSearch(search))
            return;
        // While the search runs the commands that change the document wait.
        SetMenuEnabledState(false);
        const auto idle = qScopeGuard([this] { EndBusyState(); });
        RunSearch(search);
    });
}

void AdvancedSearch::RunSearch(const TermSearch &search)
{
    // The translation searched stays the one chosen now, whatever the boxes
    // show while events run.
    const std::shared_ptr<Translation> translation = m_currentTranslation;
    m_dayText = MiscHelpers::WeekdayText();
    lblStatusTextL->setVisible(false);
    m_run->Run(search, translation ? SearchSource::Of(*translation, sourceFactory().get()(*translation))
                                   : SearchSource{});
    lblStatusTextL->setVisible(true);
    Timer1_Timer();
    RT->setSelStart(0);
    m_edit->FocusPane();
}

// Undone on every path; a close asked for meanwhile happens now.
void AdvancedSearch::EndBusyState()
{
    ProgressBar1->setVisible(false);
    SetMenuEnabledState(true);
    if (std::exchange(m_closeAfterSearch, false))
        QTimer::singleShot(0, this, [this] { close(); });
}
