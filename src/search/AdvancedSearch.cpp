#include "search/AdvancedSearch.h"
#include "search/BookRange.h"
#include "search/Highlights.h"
#include "search/SearchText.h"

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
#include "mainwindow/MenuTargets.h"
#include "mainwindow/Splash.h"
#include "platform/CodePage.h"
#include "platform/DefaultInstance.h"
#include "platform/Desktop.h"
#include "platform/OleColor.h"
#include "platform/RichTextBox.h"
#include "platform/SettingsStore.h"
#include "platform/TextFile.h"
#include "platform/Twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
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
constexpr int MsgAskToSave = 51;
constexpr int MsgInvalidPattern = 241;
constexpr int MsgTooManyTerms = 242;

AdvancedSearch::SourceFactory &sourceFactory()
{
    static AdvancedSearch::SourceFactory factory;
    return factory;
}

TermSearch::VerseSource readerSource(const Translation &translation)
{
    return [&translation](const VerseReader::Visitor &visit) {
        return VerseReader(translation).ForEachInModule(visit);
    };
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
    LayOutControls();
    ConnectControls();
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
}

AdvancedSearch::SourceFactory AdvancedSearch::setSourceFactory(SourceFactory factory)
{
    return std::exchange(sourceFactory(), std::move(factory));
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
    optionRow->addStretch(20);

    auto *statusRow = new QHBoxLayout(Picture2);
    statusRow->setContentsMargins(4, 0, 4, 2);
    statusRow->addWidget(lblStatusTextL, 1);
    statusRow->addWidget(ProgressBar1, 1);
    statusRow->addWidget(txtStatusTextR, 1);

    auto *layout = new QVBoxLayout(centralWidget());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
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

// --- Load and unload ---------------------------------------------------------

void AdvancedSearch::Form_Load()
{
    DeferredErrors errors(QStringLiteral("AdvancedSearch.Form_Load()"));
    errors.step([] { gAdvancedSearchOpen = true; });
    errors.step([this] { cmdStopSearch->setVisible(false); });
    errors.step([this] { RestoreFormPosition(PositionPrefix, this); });
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
    errors.step([this] { Timer1->start(1000); });
    errors.step([] {
        if (gShowSplash)
            Splash::ShowModal();
    });
    errors.step([this] { ApplyPageLayout(); });
    errors.step([this] { LoadBookmarks(); });
    errors.step([this] { International(); });
    errors.step([this] { RestoreBookRange(); });
    errors.step([this] { SelectSavedTranslation(); });
    errors.step([this] { GetComboBookmark(); });
    errors.step([this] { Timer1_Timer(); });
    errors.step([this] { RT->document()->setModified(false); });
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
        const int answer = AskToSave();
        // Cancelled, or the document was not saved after all.
        if (answer == -1 || (answer == 2 && TextChanged())) {
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

void AdvancedSearch::SetMenuEnabledState(bool state)
{
    cmdStopSearch->setVisible(!state);
    cmdSearch->setEnabled(state);
}

bool AdvancedSearch::TextChanged() const
{
    return RT->document()->isModified();
}

void AdvancedSearch::Timer1_Timer()
{
    IgnoreErrors([this] {
        lblStatusTextL->setText(m_dayText + QStringLiteral(", ") +
                                DateFormatText::Format(desktop().now(), gDateFormat));
    });
}

void AdvancedSearch::cmdStopSearch_Click()
{
    m_stopFlag = true;
}

int AdvancedSearch::AskToSave()
{
    const int style = MsgBoxStyle::YesNoCancel | MsgBoxStyle::Question;
    switch (desktop().messageBox(GetMsg(0, MsgAskToSave), style,
                                 QStringLiteral("Save File ") + MiscHelpers::ProductTitle())) {
    case MsgBoxResult::Yes:
        mFileSaveAs_Click();
        return 2;
    case MsgBoxResult::No:
        return 0;
    default:
        return -1;
    }
}

void AdvancedSearch::mFileSaveAs_Click()
{
    TrapErrors(QStringLiteral("AdvancedSearch.mFileSaveAs_Click()"), [this] {
        const QString name =
            desktop().saveFileName(QString(), QString(), QStringLiteral("RichText (*.rtf)|*.rtf|"));
        // A cancelled dialog saves nothing and leaves the document changed.
        if (name.isEmpty())
            return;
        RT->SaveFile(name, RichTextBox::rtfRTF);
        RT->document()->setModified(false);
        setWindowTitle(name);
    });
}

// Lines wrap at the page width less the right margin, with the left margin as
// indent, or at the pane's edge when the pages fit the window.
void AdvancedSearch::ApplyPageLayout()
{
    const double factor = gCM_IN ? 1440.0 : 56.7;
    gPageWidthTwips = float(gWidthPage * factor);
    const double rightMargin = gPageWidthTwips - gMarginRight * factor;
    if (gFitToDesktop || rightMargin <= 0) {
        RT->setLineWrapMode(QTextEdit::WidgetWidth);
        RT->document()->setDocumentMargin(4);
        return;
    }
    RT->setLineWrapMode(QTextEdit::FixedPixelWidth);
    RT->setLineWrapColumnOrWidth(Twips::toPixelsX(rightMargin));
    RT->document()->setDocumentMargin(std::max(4, Twips::toPixelsX(gMarginLeft * factor)));
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
    if (!TextChanged())
        return true;
    const int answer = AskToSave();
    return answer == 0 || (answer == 2 && !TextChanged());
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
    ApplyPageLayout();
    setWindowTitle(MiscHelpers::ProductTitle());
    m_dayText = MiscHelpers::WeekdayText();
    lblStatusTextL->setVisible(false);
    cboResults->clear();
    setForeColor(cboResults, Black);
    m_matchCount = 0;
    RT->clear();
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

    const TermSearch::VerseSource source =
        sourceFactory() ? sourceFactory()(translation) : readerSource(translation);
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
    QTextCharFormat plain;
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
    const QPointer<QTextDocument> previous(shown);
    RT->setDocument(document);
    // The pane frees only the document it made itself; the earlier results are ours.
    if (previous && previous->parent() == RT)
        delete previous;
    ApplyPageLayout();
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
