#include "search/AdvancedSearch.h"
#include "search/EditCommands.h"
#include "search/FormatToolbar.h"
#include "search/MediaBibleButtons.h"
#include "search/NotesDocument.h"
#include "search/NotesRecovery.h"
#include "search/SearchButtonAnimation.h"
#include "search/SearchDisplay.h"
#include "search/SearchHistoryBox.h"
#include "search/SearchRun.h"
#include "search/SearchScope.h"
#include "search/SearchScopeBoxes.h"
#include "search/WorkspaceFiles.h"
#include "search/WorkspaceMenus.h"
#include "search/WorkspaceToolbar.h"

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
#include "core/VerseReader.h"
#include "mainwindow/CommonMenus.h"
#include "mainwindow/MenuTargets.h"
#include "mainwindow/NameMeanings.h"
#include "mainwindow/Splash.h"
#include "mainwindow/WorkspaceDocument.h"
#include "platform/DefaultInstance.h"
#include "platform/Desktop.h"
#include "platform/RichTextBox.h"
#include "platform/Seams.h"
#include "platform/TextFile.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstdio>

namespace {
const QString SettingsSection = QStringLiteral("Settings");
const QString PositionPrefix = QStringLiteral("AdvancedSearch");
constexpr int MsgNotesKept = 261;
constexpr int MsgKeptNotesRenamed = 245;
constexpr int MsgKeptNotesKeepTheirName = 246;
constexpr int MsgSearchStillRunning = 296;

TermSearch::VerseSource readerSource(const Translation &translation)
{
    return [&translation](RawLineVisitor &visitor) {
        return VerseReader(translation).ForEachLineInModule(visitor);
    };
}

Seam<AdvancedSearch::SourceFactory> &sourceFactory()
{
    static Seam<AdvancedSearch::SourceFactory> factory{&readerSource};
    return factory;
}

} // namespace

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
    CreateSearchRun();
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
    // A bookmark's document shows with the workspace, loaded or closed before.
    access.showFile = [](const QString &path) { Instance().GoToBookmark(path); };
    access.fileRenamed = [](const QString &from, const QString &to) {
        if (AdvancedSearch *window = DefaultInstance<AdvancedSearch>::peek())
            window->m_document->FileRenamed(from, to);
    };
    access.fileDeleted = [](const QString &path) {
        if (AdvancedSearch *window = DefaultInstance<AdvancedSearch>::peek())
            window->m_document->FileDeleted(path);
    };
    // While a search runs the pane holds no document of the reader's: nothing
    // is written for a bookmark.
    const auto searchRunning = [] {
        if (!Instance().m_run->Running())
            return false;
        desktop().messageBox(GetMsg(0, MsgSearchStillRunning), MsgBoxStyle::Exclamation, QString());
        return true;
    };
    access.saveCopy = [searchRunning](const QString &path) {
        return !searchRunning() && Instance().m_files->SaveCopy(path);
    };
    access.saveNew = [searchRunning](const std::function<QString(int)> &names,
                                     const std::function<bool(const QString &)> &taken) {
        return searchRunning() ? QString() : Instance().m_files->SaveNew(names, taken);
    };
    access.mayEndProgram = [] {
        AdvancedSearch *window = DefaultInstance<AdvancedSearch>::peek();
        return !window || window->MayEndProgram();
    };
    WorkspaceDocument::Register(std::move(access));
}

// The file is read before anything changes: one that cannot be read leaves the
// document, and a search that runs, as they were. A search that runs stops, and
// its result no longer replaces the bookmark's document.
void AdvancedSearch::GoToBookmark(const QString &path)
{
    const QByteArray bytes = TextFiles::readAll(path);
    m_run->Abandon();
    m_files->ShowRead(path, bytes);
    ComeToFront();
}

void AdvancedSearch::ComeToFront()
{
    setVisible(true);
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

// Unsaved notes are shown with the question that asks about them.
bool AdvancedSearch::MayEndProgram()
{
    if (!TextChanged())
        return true;
    ComeToFront();
    if (!m_files->MayReplaceDocument())
        return false;
    // Saved, or given up by the reader's own choice: nothing is left to offer.
    NotesRecovery::Discard();
    return true;
}

void AdvancedSearch::KeepUnsavedNotes()
{
    AdvancedSearch *window = DefaultInstance<AdvancedSearch>::peek();
    if (!window || !window->TextChanged())
        return;
    // Nobody can be asked now: the only place left to tell is the error output.
    try {
        const QString path = NotesRecovery::Keep(*window->RT->document());
        std::fprintf(stderr, "Verbanox: the unsaved notes were kept in %s\n", qPrintable(path));
    } catch (const RuntimeError &e) {
        std::fprintf(stderr, "Verbanox: the unsaved notes could not be kept: %s\n",
                     qPrintable(e.description()));
    }
}

void AdvancedSearch::OfferKeptNotes()
{
    for (const QString &waiting : NotesRecovery::Waiting()) {
        // The file as it is named now, and the name the answer gives it.
        const QString offered = NotesRecovery::OfferedName(waiting);
        const QString question =
            GetMsg(0, MsgNotesKept, QDir::toNativeSeparators(waiting)) + QStringLiteral("\r\n\r\n") +
            (offered == waiting ? GetMsg(0, MsgKeptNotesKeepTheirName)
                                : GetMsg(0, MsgKeptNotesRenamed, QDir::toNativeSeparators(offered)));
        const int answer =
            desktop().messageBox(question, MsgBoxStyle::YesNo | MsgBoxStyle::Question, QString());
        // Renamed only once answered: the program ended while it asked (a
        // signal) offers them again at the next start.
        const QString path = NotesRecovery::MarkOffered(waiting);
        if (answer != MsgBoxResult::Yes)
            continue;
        AdvancedSearch &window = Instance();
        window.ComeToFront();
        window.m_files->OpenNamed(path);
    }
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

    cboSearch = new QComboBox(Picture3);
    cboSearch->setEditable(true);
    cboSearch->setInsertPolicy(QComboBox::NoInsert);
    // The box searches what was typed: earlier searches that begin with it are
    // offered in a list below the box, never filled into it, and one of them is
    // searched only when it is chosen there. Texts that differ in case search
    // differently, so neither the list nor the box's own match on leaving it
    // takes a listed text for one typed in another case.
    cboSearch->completer()->setCompletionMode(QCompleter::PopupCompletion);
    cboSearch->completer()->setCaseSensitivity(Qt::CaseSensitive);
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
    m_animation = std::make_unique<SearchButtonAnimation>(cmdSearch, Timer1);
    m_scopeBoxes = new SearchScopeBoxes(cboTranslation, cboBooks, m_scope, this);
    m_history = new SearchHistoryBox(cboSearch, cmdClear, this);
    connect(m_document, &NotesDocument::captionChanged, this, &QWidget::setWindowTitle);
    // Another document: a find begins at its top, and its Undo has nothing to undo yet.
    connect(m_document, &NotesDocument::replaced, this, [this] {
        m_edit->MoveFindTo(0);
        m_edit->UpdateItems();
    });
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
    layout->addWidget(m_toolbar);
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
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    // Keys reach the box itself when it has the focus, its line edit when sent there.
    cboSearch->installEventFilter(this);
    cboSearch->lineEdit()->installEventFilter(this);
    // While the list of earlier searches is open the keys go to it; Enter there
    // searches too (installed after the list's own filter, this one runs first).
    cboSearch->completer()->popup()->installEventFilter(this);
    if (gNotifier)
        connect(gNotifier, &GlobalNotifier::Notify, this,
                [this](const QString &eventName) { m_globalnotifer_Notify(eventName); });
}

// The search runs on the window's widgets, the document pane as Wrap Text lays it out.
void AdvancedSearch::CreateSearchRun()
{
    m_display = std::make_unique<SearchDisplay>(
        SearchDisplay::Widgets{ProgressBar1, txtStatusTextR, cboResults, chkActiveUpd, mEditWrapText},
        *m_document, [this] { Timer1_Timer(); });
    m_run = std::make_unique<SearchRun>(*m_display);
}

// --- Toolbar -----------------------------------------------------------------

// The row above the search row; its buttons keep the names the window's handlers use.
void AdvancedSearch::CreateToolbar()
{
    m_toolbar = new WorkspaceToolbar(RT, ImgList1, centralWidget());
    cmdOpen = m_toolbar->cmdOpen;
    cmdSave = m_toolbar->cmdSave;
    cmdCut = m_toolbar->cmdCut;
    cmdPaste = m_toolbar->cmdPaste;
    cmdUndo = m_toolbar->cmdUndo;
    cmdBibMulti = m_toolbar->cmdBibMulti;
    // The compiled-help and MP3 Bibles sit beside the search modes.
    m_media = new MediaBibleButtons(Picture4);
    cmdCHM = m_media->cmdCHM;
    cmdMP3 = m_media->cmdMP3;
}

void AdvancedSearch::ConnectToolbar()
{
    // The keys of the window's own commands in the pane wait while a search runs.
    connect(m_toolbar, &WorkspaceToolbar::commandKeyed, this, [this](const QString &name) {
        if (!m_busy)
            ClickMenuItem(name);
    });
    connect(m_toolbar->FormatBar(), &FormatToolbar::undoAvailable, this, [this] { m_edit->UpdateItems(); });
    // Another document (a search result, a file, a bookmark): the buttons show
    // the formats at its caret, not those of the text that went.
    connect(m_document, &NotesDocument::replaced, m_toolbar->FormatBar(), &FormatToolbar::UpdateButtons);
    // Each button runs its menu command, or the command of the study window it opens.
    connect(m_toolbar, &WorkspaceToolbar::commandClicked, this, [this](const QString &name) {
        if (m_menus->action(name) && m_menus->action(name)->isEnabled())
            m_menus->run(name);
        m_edit->FocusPane();
    });
    m_toolbar->FollowMenus(*m_menus);
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
    mEditWrapText = m_menus->action(QStringLiteral("mEditWrapText"));
    mIntegrateNames = m_menus->action(QStringLiteral("mIntegrateNames"));
    const auto item = [this](const char *name) { return m_menus->action(QLatin1String(name)); };
    m_edit->Follow(
        {item("mEditCut"), item("mEditCopy"), item("mEditPaste"), item("mEditUndo"), item("mEditDelete")});
}

// As a click does: a check mark changes, then the command follows it.
void AdvancedSearch::ClickMenuItem(const QString &name)
{
    QAction *item = m_menus->action(name);
    if (item && item->isCheckable())
        item->setChecked(!item->isChecked());
    m_menus->run(name);
}

// --- The pane's events --------------------------------------------------------

void AdvancedSearch::ConnectPane()
{
    RT->installEventFilter(this);
    connect(RT, &QTextEdit::selectionChanged, this, [this] { RT_SelChange(); });
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
    if (watched != RT)
        return false;
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    // While a search runs the document's commands wait, their keys too.
    return m_busy && (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
           type != QEvent::ShortcutOverride;
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
    errors.step([this] { ProgressBar1->setVisible(false); });
    errors.step([this] { m_scopeBoxes->FillTranslations(); });
    errors.step([this] { m_document->SetColours(gBib1BC, gBib1TC); });
    errors.step([this] { m_document->UseDefaultFont(gDefaultFont, gBib1Fontsize); });
    errors.step([this] { chkActiveUpd->setChecked(gActiveUpdateBib1); });
    errors.step([this] { Timer1->start(SearchButtonAnimation::FastMilliseconds); });
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
    errors.step([this] { m_scopeBoxes->RestoreBookRange(); });
    errors.step([this] { m_scopeBoxes->SelectSavedTranslation(); });
    errors.step([this] { m_menus->ApplyEnabling(); });
    errors.step([this] { m_media->MarkInstalled(); });
    // Without a names dictionary there are no names to look up.
    errors.step([this] {
        if (!mIntegrateNames->isEnabled())
            mIntegrateNames->setChecked(false);
    });
    errors.step([this] { m_scopeBoxes->GetComboBookmark(); });
    errors.step([this] { Timer1_Timer(); });
    errors.step([this] {
        RT->document()->clearUndoRedoStacks();
        RT->document()->setModified(false);
        m_edit->UpdateItems();
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
    // Cancelled, or the document was not saved after all.
    if (!m_files->MayReplaceDocument()) {
        cancel = true;
        return;
    }
    DeferredErrors errors(QStringLiteral("AdvancedSearch.Form_Unload()"));
    errors.step([this] { RT->clear(); });
    errors.step([] { SaveString(QStringLiteral("DEFAULTFONT"), gDefaultFont, SettingsSection); });
    errors.step([this] { SaveFormPosition(PositionPrefix, this); });
    errors.step([] { gAdvancedSearchOpen = false; });
}

// --- Captions ----------------------------------------------------------------

void AdvancedSearch::International()
{
    m_scopeBoxes->International();
    setWindowTitle(m_document->Caption());
    m_toolbar->International();
    m_menus->International();
    CommonMenus::CaptionDateFormatWindow();
    const std::pair<QWidget *, int> tips[] = {
        {cmdCHM, 54},       {cmdMP3, 55},          {cmdSearch, 56}, {cmdStopSearch, 57}, {cmdClear, 122},
        {cboSearch, 124},   {cboTranslation, 125}, {cboBooks, 126}, {optNone, 127},      {optAnyOrder, 128},
        {optAnyTerms, 129}, {optAllVerses, 130},   {Frame1, 135},   {chkActiveUpd, 138}, {chkIgnoreCase, 139},
    };
    for (const auto &[widget, id] : tips)
        widget->setToolTip(GetMsg(1, id));
    const std::pair<QAbstractButton *, int> texts[] = {
        {cmdClear, 123},     {optNone, 131},      {optAnyOrder, 132},   {optAnyTerms, 133},
        {optAllVerses, 134}, {chkActiveUpd, 136}, {chkIgnoreCase, 137},
    };
    for (const auto &[button, id] : texts)
        button->setText(GetMsg(1, id));
    Frame1->setTitle(GetMsg(1, 135));
}

void AdvancedSearch::m_globalnotifer_Notify(const QString &eventName)
{
    TrapErrors(QStringLiteral("AdvancedSearch.m_globalnotifer_Notify()"), [&] {
        if (eventName == GlobalNotifier::TranslationsAvailListChanged)
            m_scopeBoxes->TranslationsChanged();
        else if (eventName == GlobalNotifier::InternationalChanged)
            International();
    });
}

// --- The search box ----------------------------------------------------------

void AdvancedSearch::cboSearch_KeyPress(int keyAscii)
{
    if (keyAscii != 13 || m_run->Running())
        return;
    if (!TrapErrors(QStringLiteral("AdvancedSearch.cboSearch_KeyPress()"), [this] { SaveComboHistory(); }))
        return;
    cmdSearch_Click();
}

bool AdvancedSearch::eventFilter(QObject *watched, QEvent *event)
{
    if (PaneEvent(watched, event))
        return true;
    QWidget *offered = cboSearch->completer()->popup();
    if (watched == cboSearch || watched == cboSearch->lineEdit() || watched == offered) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                // The box holds what was typed, or the entry moved to in the list.
                offered->hide();
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
    m_toolbar->FormatBar()->setEnabled(state);
    m_edit->SetWaiting(!state);
}

void AdvancedSearch::Timer1_Timer()
{
    IgnoreErrors([this] {
        const QString status =
            m_dayText + QStringLiteral(", ") + DateFormatText::Format(desktop().now(), gDateFormat);
        if (lblStatusTextL->text() != status)
            lblStatusTextL->setText(status);
        m_animation->Step();
    });
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
                                    m_scope.RangeCode()};
        const TermSearch search(request, [](int book) { return BookNames().Abbreviation(qint16(book)); });
        if (search.Problem() != SearchProblem::None) {
            desktop().messageBox(SearchRun::Refusal(search.Problem()), MsgBoxStyle::Exclamation,
                                 MiscHelpers::ProductTitle());
            return;
        }
        // While the search runs the commands that change the document wait.
        SetMenuEnabledState(false);
        QString notice;
        {
            const auto idle = qScopeGuard([this] { EndBusyState(); });
            notice = RunSearch(search);
        }
        // Told once the search is over and the window is usable again.
        if (!notice.isEmpty())
            desktop().messageBox(notice, MsgBoxStyle::Exclamation, MiscHelpers::ProductTitle());
    });
}

QString AdvancedSearch::RunSearch(const TermSearch &search)
{
    // The translation searched stays the one chosen now, whatever the boxes
    // show while events run.
    const std::shared_ptr<Translation> translation = m_scope.ChosenTranslation();
    m_dayText = MiscHelpers::WeekdayText();
    lblStatusTextL->setVisible(false);
    const QString notice =
        m_run->Run(search, translation ? SearchSource::Of(*translation, sourceFactory().get()(*translation))
                                       : SearchSource{});
    lblStatusTextL->setVisible(true);
    Timer1_Timer();
    RT->setSelStart(0);
    m_edit->FocusPane();
    return notice;
}

// Undone on every path; a close asked for meanwhile happens now.
void AdvancedSearch::EndBusyState()
{
    ProgressBar1->setVisible(false);
    SetMenuEnabledState(true);
    if (std::exchange(m_closeAfterSearch, false))
        QTimer::singleShot(0, this, [this] { close(); });
}
