#include "study/MultiBib.h"
#include "study/ComparisonText.h"
#include "study/PaneLook.h"
#include "study/StudyLists.h"
#include "study/StudyOpener.h"

#include "core/BibleBookNames.h"
#include "core/Bug_.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "core/ProgressLog.h"
#include "core/Registry_.h"
#include "core/Translation.h"
#include "core/TranslationHelpers.h"
#include "platform/Desktop.h"
#include "platform/RichTextBox.h"
#include "platform/Twips.h"
#include "platform/VbConvert.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <cmath>
#include <limits>

namespace {
constexpr int FormCaptionId = 20;
constexpr int StripHeight = 52;
const QString ListToolTip = QStringLiteral("Use Up Arrow, Down Arrow and Page up and Page Down");

bool isEnter(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Sets a flag for the lifetime of the guard.
class FlagGuard
{
public:
    explicit FlagGuard(bool &flag)
        : m_flag(flag)
    {
        m_flag = true;
    }
    ~FlagGuard() { m_flag = false; }
    FlagGuard(const FlagGuard &) = delete;
    FlagGuard &operator=(const FlagGuard &) = delete;

private:
    bool &m_flag;
};

PaneLook comparisonLook()
{
    return {gBib2BC, gBib2TC, gBib2Fontsize, gDefaultFont};
}
} // namespace

MultiBib::MultiBib()
{
    StudyLists::MakeStudyWindow(this);
    CreateControls();
    resize(720, 520);
}

MultiBib::~MultiBib() = default;

MultiBib *MultiBib::Open()
{
    return StudyOpener<MultiBib>::Open();
}

void MultiBib::Register()
{
    StudyOpener<MultiBib>::Register(MenuTargets::MultiBib);
}

void MultiBib::CreateControls()
{
    Picture1 = new QWidget(this);
    L1 = new QLabel(QStringLiteral("Book"), Picture1);
    L2 = new QLabel(QStringLiteral("Chap"), Picture1);
    L3 = new QLabel(QStringLiteral("Vs"), Picture1);
    cboBook = StudyLists::EditableList(Picture1);
    cboChap = StudyLists::EditableList(Picture1);
    cboVs = StudyLists::EditableList(Picture1);
    cboChap->setToolTip(ListToolTip);
    cboVs->setToolTip(ListToolTip);
    cmdGo = new QPushButton(QStringLiteral("Refresh"), Picture1);
    optNone = new QRadioButton(QStringLiteral("Verse"), Picture1);
    optChap = new QRadioButton(QStringLiteral("Chap"), Picture1);
    RT = new RichTextBox(this);
    RT->setLocked(true);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    Panel1 = new QLabel(StatusBar1);
    Panel2 = new QLabel(StatusBar1);
    // Panels from the left at their own widths; the whole-verse box stands right of panel 2.
    Panel1->setFixedWidth(Twips::toPixelsX(2400));
    StatusBar1->addWidget(Panel1);
    StatusBar1->addWidget(Panel2);
    StatusBar1->addWidget(new QWidget(StatusBar1), 1);
    optWholeVerse = new QCheckBox(QStringLiteral("&Whole Verse Select"), this);

    connect(cboBook, &QComboBox::activated, this, [this](int i) { cboBook_Click(i); });
    connect(cboChap, &QComboBox::activated, this, [this](int i) { cboChap_Click(i); });
    connect(cboVs, &QComboBox::activated, this, [this](int i) { cboVs_Click(i); });
    connect(cmdGo, &QPushButton::clicked, this, [this] { cmdGo_Click(); });
    connect(optChap, &QRadioButton::clicked, this, [this] { optChap_Click(); });
    connect(optNone, &QRadioButton::clicked, this, [this] { optNone_Click(); });
    for (QComboBox *list : {cboChap, cboVs}) {
        list->installEventFilter(this);
        list->lineEdit()->installEventFilter(this);
    }
    RT->viewport()->installEventFilter(this);
    RT->installEventFilter(this);
}

bool MultiBib::Form_Load()
{
    gMultiBibOpen = true;
    RestoreFormPosition(QStringLiteral("ScreenV1"), this);
    setWindowTitle(GetMsg(1, FormCaptionId, MiscHelpers::ProductTitle()));
    comparisonLook().ApplyTo(*RT);
    cboBook->clear();
    for (qint16 book = 1; book <= 66; ++book)
        cboBook->addItem(BookNames().FullName(book));
    StudyLists::SetListText(cboBook, BookNames().FullName(1));
    m_SelectedBook = m_SelectedChapter = m_SelectedVerse = 1;
    PopulateChap(1);
    PopulateVerse(1, 1);
    optNone->setChecked(true);
    optNone_Click();
    m_pageLayout.ApplyAtOpen(*RT);
    optWholeVerse->setChecked(true);
    return true;
}

void MultiBib::Form_Unload()
{
    IgnoreErrors([this] { SaveFormPosition(QStringLiteral("ScreenV1"), this); });
    gMultiBibOpen = false;
}

void MultiBib::closeEvent(QCloseEvent *event)
{
    if (m_building) {
        // The build below still runs on this window: it closes when the build ends.
        IgnoreErrors([this] { SaveFormPosition(QStringLiteral("ScreenV1"), this); });
        m_closePending = true;
        hide();
        event->ignore();
        return;
    }
    Form_Unload();
    QWidget::closeEvent(event);
}

// --- Lists -------------------------------------------------------------------

void MultiBib::PopulateChap(int book)
{
    cboChap->clear();
    int count = 0;
    IgnoreErrors([&] {
        if (gBibles.Count() > 0)
            if (const auto bible = GetTranslation(0))
                count = quint8(bible->GetNumChapters(qint16(book)));
    });
    for (int c = 1; c <= count; ++c)
        cboChap->addItem(QString::number(c));
    StudyLists::SetListText(cboChap, QStringLiteral("1"));
}

void MultiBib::PopulateVerse(int book, int chapter)
{
    cboVs->clear();
    int count = 0;
    IgnoreErrors([&] {
        if (gBibles.Count() > 0)
            if (const auto bible = GetTranslation(0))
                count = quint8(bible->GetNumVerses(qint16(book), qint16(std::clamp(chapter, 0, 32767))));
    });
    for (int v = 1; v <= count; ++v)
        cboVs->addItem(QString::number(v));
    // When Bible 0 lacks the chapter the other Bibles may still have it: the
    // verse is kept rather than made 0, which no Bible has.
    if (m_SelectedVerse < 1)
        m_SelectedVerse = 1;
    else if (count > 0 && m_SelectedVerse > count)
        m_SelectedVerse = count;
    StudyLists::SetListText(cboVs, QString::number(m_SelectedVerse));
}

void MultiBib::UpdateStatusBar(const QString &name)
{
    Panel2->setText(QStringLiteral("Adding ") + name + QStringLiteral("..."));
    Panel2->repaint();
}

qint32 MultiBib::TypedNumber(const QString &text)
{
    const double value = std::round(VbConvert::val(text));
    // A number beyond any chapter or verse names none; it must not overflow.
    if (!(value >= 0))
        return 0;
    if (value > std::numeric_limits<qint32>::max())
        return std::numeric_limits<qint32>::max();
    return qint32(value);
}

void MultiBib::cboBook_Click(int index)
{
    m_SelectedBook = index + 1;
    PopulateChap(m_SelectedBook);
    m_SelectedChapter = 1;
    m_SelectedVerse = 1;
    PopulateVerse(m_SelectedBook, 1);
    cmdGo_Click();
}

void MultiBib::cboChap_Click(int index)
{
    m_SelectedChapter = index + 1;
    m_SelectedVerse = 1;
    PopulateVerse(m_SelectedBook, m_SelectedChapter);
    cmdGo_Click();
}

void MultiBib::cboChap_KeyDown(int &KeyCode)
{
    if (KeyCode != Qt::Key_Return && KeyCode != 13)
        return;
    KeyCode = 0;
    m_SelectedChapter = TypedNumber(cboChap->currentText());
    m_SelectedVerse = 1;
    PopulateVerse(m_SelectedBook, m_SelectedChapter);
    cmdGo_Click();
}

void MultiBib::cboVs_Click(int index)
{
    m_SelectedVerse = index + 1;
    cmdGo_Click();
}

void MultiBib::cboVs_KeyDown(int &KeyCode)
{
    if (KeyCode != Qt::Key_Return && KeyCode != 13)
        return;
    KeyCode = 0;
    m_SelectedVerse = TypedNumber(cboVs->currentText());
    cmdGo_Click();
}

void MultiBib::optChap_Click()
{
    m_WholeChapter = true;
    cboVs->hide();
    L3->hide();
}

void MultiBib::optNone_Click()
{
    m_WholeChapter = false;
    cboVs->show();
    L3->show();
}

bool MultiBib::eventFilter(QObject *watched, QEvent *event)
{
    if (isEnter(event)) {
        int key = 13;
        if (watched == cboChap || watched == cboChap->lineEdit())
            cboChap_KeyDown(key);
        else if (watched == cboVs || watched == cboVs->lineEdit())
            cboVs_KeyDown(key);
        if (key == 0)
            return true;
    }
    if ((watched == RT->viewport() && event->type() == QEvent::MouseButtonRelease) ||
        (watched == RT && event->type() == QEvent::KeyRelease))
        RT_Click();
    return QWidget::eventFilter(watched, event);
}

// --- Building the comparison ---------------------------------------------------

void MultiBib::cmdGo_Click()
{
    if (m_building) {
        m_rebuildPending = true;
        return;
    }
    {
        FlagGuard building(m_building);
        do {
            m_rebuildPending = false;
            Build();
        } while (m_rebuildPending && !m_closePending);
    }
    if (m_closePending)
        close();
}

void MultiBib::Build()
{
    DeferredErrors errors(QStringLiteral("MultiBib.cmdGo_Click()"));
    repaint();
    Panel1->setText(QStringLiteral("Busy.  Please wait..."));
    Panel2->setFixedWidth(Twips::toPixelsX(3000));
    PlaceWholeVerseBox();
    const PaneLook look = comparisonLook();
    look.ApplyTo(*RT);
    ComparisonResult result;
    {
        HiddenWhileBuilding hidden(RT);
        WaitCursor wait;
        // The pass lets events run; what it fails on leaves the Bible out below.
        IgnoreErrors(
            [this] { ComparisonText::LoadFlaggedIndexes([this](const QString &s) { Panel2->setText(s); }); });
        if (ProgressMessages().Cancelled())
            IgnoreErrors([] { ProgressMessages().MsgHideIfOpen(); });
        std::vector<ComparisonBible> bibles;
        errors.step([&] { bibles = ComparisonText::TakingPart(); });
        // Each Bible on its own: one that cannot be read (its module deleted or
        // unreadable since its index was built) is left out, as one without an
        // index is, and the first such failure is reported once; the others still show.
        QString separator;
        for (const ComparisonBible &bible : bibles) {
            UpdateStatusBar(bible.displayName);
            ComparisonResult one;
            bool built = false;
            errors.step([&] {
                one = ComparisonText::Build({bible}, m_SelectedBook, m_SelectedChapter, m_SelectedVerse,
                                            m_WholeChapter);
                built = true;
            });
            if (!built)
                continue;
            result.text += separator + one.text;
            separator = QStringLiteral("\r\n\r\n");
            result.verseCount += one.verseCount;
            result.bibleCount += one.bibleCount;
        }
        look.ShowText(*RT, result.text);
        m_pageLayout.KeepOn(*RT);
    }
    // The text's own length: each line break counts as its two characters.
    Panel2->setText(QStringLiteral("Length: ") + ComparisonText::GroupedNumber(RT->Text().size()) +
                    QStringLiteral(" Bytes ") +
                    (m_WholeChapter ? QString::number(result.verseCount) + QStringLiteral(" Verses")
                                    : QString::number(result.bibleCount) + QStringLiteral(" Bibles")));
    Panel1->setText(QStringLiteral("Ready"));
}

// --- Status and whole-verse selection --------------------------------------------

void MultiBib::RT_Click()
{
    IgnoreErrors([this] {
        QTextCursor caret = RT->textCursor();
        const int remembered = caret.position();
        if (optWholeVerse->isChecked()) {
            // The text up to the end of the caret's line names the block it is in;
            // on the last line (no line break after it) nothing is taken.
            const QTextBlock line = caret.block();
            QString taken;
            if (line.next().isValid())
                taken = RT->toPlainText().left(line.position() + line.length());
            Panel2->setFixedWidth(Twips::toPixelsX(1000));
            for (qint32 i = 0; i < gBibles.Count(); ++i) {
                const QString name = gBibles.DisplayName(i);
                if (!name.isEmpty() && taken.contains(name))
                    Panel1->setText(name);
            }
        }
        PlaceWholeVerseBox();
        if (optWholeVerse->isChecked()) {
            const QTextBlock line = RT->document()->findBlock(remembered);
            caret.setPosition(line.position());
            caret.setPosition(line.position() + line.length() - 1, QTextCursor::KeepAnchor);
            RT->setTextCursor(caret);
        }
        Panel2->setText(ComparisonText::GroupedNumber(RT->textCursor().selectedText().size()) +
                        QStringLiteral(" Bytes"));
    });
}

void MultiBib::PlaceWholeVerseBox()
{
    const QRect panel = Panel2->geometry();
    const int left = StatusBar1->x() + panel.x() + Panel2->width() + Twips::toPixelsX(100);
    optWholeVerse->adjustSize();
    optWholeVerse->move(left, StatusBar1->y() + (StatusBar1->height() - optWholeVerse->height()) / 2);
    optWholeVerse->raise();
}

void MultiBib::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void MultiBib::Form_Resize()
{
    if (isMinimized())
        return;
    IgnoreErrors([this] {
        const int w = width();
        const int status = StatusBar1->sizeHint().height();
        Picture1->setGeometry(0, 0, w, StripHeight);
        StudyLists::ListRow row(cboBook->sizeHint().height());
        row.Place(cboBook, L1, int(w * 0.30));
        row.Place(cboChap, L2, int(w * 0.08));
        row.Place(cboVs, L3, int(w * 0.08));
        row.Place(cmdGo, nullptr, cmdGo->sizeHint().width());
        row.Skip(Twips::toPixelsX(100));
        row.Place(optNone, nullptr, optNone->sizeHint().width());
        row.Place(optChap, nullptr, optChap->sizeHint().width());
        RT->setGeometry(0, StripHeight, w, height() - StripHeight - status);
        StatusBar1->setGeometry(0, height() - status, w, status);
        PlaceWholeVerseBox();
    });
}
