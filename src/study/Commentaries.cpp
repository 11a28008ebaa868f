#include "study/Commentaries.h"
#include "study/CommentaryText.h"
#include "study/PaneLook.h"
#include "study/StudyLists.h"
#include "study/StudyOpener.h"

#include "controls/TextFit.h"
#include "core/BibleBookNames.h"
#include "core/Bug_.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "core/Registry_.h"
#include "core/Translation.h"
#include "core/TranslationHelpers.h"
#include "platform/Desktop.h"
#include "platform/RichTextBox.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace {
constexpr int FormCaptionId = 2;
constexpr int NoCommentaryMsg = 2;
constexpr int StripHeight = 80;
// The parts of the width the lists take: Bible, book, chapter, verse, commentary.
const QList<double> ListShares{0.3, 0.2, 0.1, 0.1, 0.29};

PaneLook commentaryLook()
{
    return {gBib1BC, gBib1TC, gBib1Fontsize, QString()};
}
} // namespace

Commentaries::Commentaries()
{
    StudyLists::MakeStudyWindow(this);
    CreateControls();
    resize(760, 560);
}

Commentaries::~Commentaries() = default;

Commentaries *Commentaries::Open()
{
    return StudyOpener<Commentaries>::Open();
}

void Commentaries::Register()
{
    StudyOpener<Commentaries>::Register(MenuTargets::Commentaries);
}

void Commentaries::CreateControls()
{
    frm1 = new QWidget(this);
    lbl1 = new QLabel(QStringLiteral("Bible Translation"), frm1);
    lbl2 = new QLabel(QStringLiteral("Book"), frm1);
    lbl3 = new QLabel(QStringLiteral("Chap"), frm1);
    lbl4 = new QLabel(QStringLiteral("Vs"), frm1);
    lbl5 = new QLabel(QStringLiteral("Commentary"), frm1);
    cboTrans = StudyLists::EditableList(frm1);
    cboBook = StudyLists::EditableList(frm1);
    cboChap = StudyLists::EditableList(frm1);
    cboVs = StudyLists::EditableList(frm1);
    cboComm = StudyLists::EditableList(frm1);
    chkChap = new QCheckBox(QStringLiteral("Show whole Chapter"), frm1);
    cmdGo = new QPushButton(QStringLiteral("Refresh"), frm1);
    RTb = new RichTextBox(this);
    RTc = new RichTextBox(this);
    RTb->setLocked(true);
    RTc->setLocked(true);

    connect(cboTrans, &QComboBox::activated, this, [this] { cboTrans_Click(); });
    connect(cboComm, &QComboBox::activated, this, [this](int i) { cboComm_Click(i); });
    connect(cboBook, &QComboBox::activated, this, [this](int i) { cboBook_Click(i); });
    connect(cboChap, &QComboBox::activated, this, [this](int i) { cboChap_Click(i); });
    connect(cboVs, &QComboBox::activated, this, [this](int i) { cboVs_Click(i); });
    connect(chkChap, &QCheckBox::clicked, this, [this] { chkChap_Click(); });
    connect(cmdGo, &QPushButton::clicked, this, [this] { cmdGo_Click(); });
}

bool Commentaries::Form_Load()
{
    gCommentariesOpen = true;
    RestoreFormPosition(QStringLiteral("ScreenCoMM"), this);
    setWindowTitle(GetMsg(1, FormCaptionId, MiscHelpers::ProductTitle()));
    if (gCommentaries.Count() == 0) {
        desktop().messageBox(GetMsg(0, NoCommentaryMsg, QString()),
                             MsgBoxStyle::OKOnly | MsgBoxStyle::Information,
                             QStringLiteral("No Commentary - ") + MiscHelpers::ProductTitle());
        Form_Unload();
        return false;
    }
    m_SelectedCommentary = TranslationHelpers::GetCommentary(0);
    if (gBibles.Count() > 0)
        m_SelectedTranslation = GetTranslation(0);
    m_SelectedBook = m_SelectedChapter = m_SelectedVerse = 1;
    PopulateChap(1);
    PopulateVerse(1, 1);
    TranslationCombos();
    for (qint16 book = 1; book <= 66; ++book)
        cboBook->addItem(BookNames().FullName(book));
    StudyLists::SetListText(cboBook, BookNames().FullName(1));
    KeepListsWhole();
    commentaryLook().ApplyTo(*RTb);
    commentaryLook().ApplyTo(*RTc);
    m_commentaryLayout.ApplyAtOpen(*RTc);
    m_bibleLayout.ApplyAtOpen(*RTb);
    return true;
}

void Commentaries::Form_Unload()
{
    IgnoreErrors([this] { SaveFormPosition(QStringLiteral("ScreenCoMM"), this); });
    gCommentariesOpen = false;
}

void Commentaries::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    QWidget::closeEvent(event);
}

// --- Lists -------------------------------------------------------------------

void Commentaries::PopulateChap(int book)
{
    cboChap->clear();
    const int count = m_SelectedTranslation ? m_SelectedTranslation->GetNumChapters(qint16(book)) : 0;
    for (int c = 1; c <= count; ++c)
        cboChap->addItem(QString::number(c));
    StudyLists::SetListText(cboChap, QStringLiteral("1"));
}

void Commentaries::PopulateVerse(int book, int chapter)
{
    cboVs->clear();
    const int count =
        m_SelectedTranslation ? m_SelectedTranslation->GetNumVerses(qint16(book), qint16(chapter)) : 0;
    for (int v = 1; v <= count; ++v)
        cboVs->addItem(QString::number(v));
    StudyLists::SetListText(cboVs, QStringLiteral("1"));
}

void Commentaries::TranslationCombos()
{
    for (qint32 i = 0; i < gBibles.Count(); ++i)
        if (gBibles.Enabled(i))
            cboTrans->addItem(gBibles.DisplayName(i));
    if (cboTrans->count() > 0) {
        cboTrans->setCurrentIndex(0);
        StudyLists::SetListText(cboTrans, cboTrans->currentText());
        cboTrans_Click();
    }
    for (qint32 i = 0; i < gCommentaries.Count(); ++i)
        if (gCommentaries.Enabled(i))
            cboComm->addItem(gCommentaries.DisplayName(i), i);
    if (cboComm->count() > 0) {
        cboComm->setCurrentIndex(0);
        StudyLists::SetListText(cboComm, cboComm->currentText());
        cboComm_Click(0);
    }
}

void Commentaries::cboTrans_Click()
{
    TrapErrors(QStringLiteral("Commentaries.cboTrans_Click()"), [this] {
        const QString name = cboTrans->currentText();
        // When several Bibles share the name, the last in list order wins.
        qint32 chosen = -1;
        for (qint32 i = 0; i < gBibles.Count(); ++i)
            if (gBibles.DisplayName(i) == name)
                chosen = i;
        if (chosen >= 0)
            m_SelectedTranslation = GetTranslation(chosen);
    });
}

void Commentaries::cboComm_Click(int index)
{
    if (index < 0)
        return;
    TrapErrors(QStringLiteral("Commentaries.cboComm_Click()"), [this, index] {
        m_SelectedCommentary = TranslationHelpers::GetCommentary(cboComm->itemData(index).toInt());
    });
}

void Commentaries::cboBook_Click(int index)
{
    TrapErrors(QStringLiteral("Commentaries.cboBook_Click()"), [this, index] {
        m_SelectedBook = index + 1;
        PopulateChap(m_SelectedBook);
        m_SelectedChapter = 1;
        m_SelectedVerse = 1;
        PopulateVerse(m_SelectedBook, 1);
    });
}

void Commentaries::cboChap_Click(int index)
{
    TrapErrors(QStringLiteral("Commentaries.cboChap_Click()"), [this, index] {
        m_SelectedChapter = index + 1;
        PopulateVerse(m_SelectedBook, m_SelectedChapter);
        m_SelectedVerse = 1;
    });
}

void Commentaries::cboVs_Click(int index)
{
    if (index >= 0)
        m_SelectedVerse = index + 1;
}

void Commentaries::chkChap_Click()
{
    const bool whole = chkChap->isChecked();
    cboVs->setVisible(!whole);
    lbl4->setVisible(!whole);
}

// --- Showing -------------------------------------------------------------------

void Commentaries::cmdGo_Click()
{
    const QString bibleFile = m_SelectedTranslation ? m_SelectedTranslation->FileName : QString();
    RTb->clear();
    RTc->clear();
    TrapErrors(QStringLiteral("Commentaries.cmdGo_Click()"), QStringLiteral("Error reading ") + bibleFile,
               [this] {
                   const PaneLook look = commentaryLook();
                   QString bibleText;
                   {
                       HiddenWhileBuilding hidden(RTb);
                       WaitCursor wait;
                       if (m_SelectedTranslation)
                           bibleText = CommentaryText::BibleText(*m_SelectedTranslation, m_SelectedBook,
                                                                 m_SelectedChapter, m_SelectedVerse,
                                                                 chkChap->isChecked());
                       look.ShowText(*RTb, bibleText);
                       m_bibleLayout.KeepOn(*RTb);
                   }
                   ShowCommentary();
               });
    RTc->setFocus();
}

void Commentaries::ShowCommentary()
{
    WaitCursor wait;
    const PaneLook look = commentaryLook();
    RTc->setText(QStringLiteral("Working..."));
    QString notes;
    // The pane never keeps "Working..." when the commentary cannot be read.
    try {
        if (m_SelectedCommentary)
            notes = CommentaryText::ChapterNotes(*m_SelectedCommentary, m_SelectedBook, m_SelectedChapter);
    } catch (...) {
        RTc->clear();
        throw;
    }
    look.ShowText(*RTc, CommentaryText::PaneText(notes));
    m_commentaryLayout.KeepOn(*RTc);
}

// --- Layout ----------------------------------------------------------------------

void Commentaries::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

QList<QComboBox *> Commentaries::Lists() const
{
    return {cboTrans, cboBook, cboChap, cboVs, cboComm};
}

QList<QLabel *> Commentaries::Labels() const
{
    return {lbl1, lbl2, lbl3, lbl4, lbl5};
}

// Each list as wide as its longest entry and its label: names of Bibles and
// commentaries are long, and a cut one may be taken for another.
QList<int> Commentaries::ListNeeds() const
{
    const QList<QComboBox *> lists = Lists();
    const QList<QLabel *> labels = Labels();
    QList<int> needs;
    for (qsizetype i = 0; i < lists.size(); ++i)
        needs.append(std::max(TextFit::ListWidth(lists[i]), labels[i]->sizeHint().width()));
    return needs;
}

// The window is never narrower than its lists and its second row need.
void Commentaries::KeepListsWhole()
{
    const int secondRow = chkChap->sizeHint().width() + cmdGo->sizeHint().width() + 12;
    setMinimumWidth(std::max(StudyLists::ListRow::Width(ListNeeds()), secondRow));
}

void Commentaries::Form_Resize()
{
    if (isMinimized())
        return;
    IgnoreErrors([this] {
        const int w = width(), h = height();
        frm1->setGeometry(0, 0, w, StripHeight);
        const QList<QComboBox *> lists = Lists();
        const QList<QLabel *> labels = Labels();
        const QList<int> widths =
            StudyLists::ShareWidths(w - 2 * StudyLists::ListRow::Left, ListShares, ListNeeds());
        StudyLists::ListRow row(cboTrans->sizeHint().height());
        for (qsizetype i = 0; i < lists.size(); ++i)
            row.Place(lists[i], labels[i], widths[i]);
        const int rowTop = row.Bottom() + 4;
        chkChap->setGeometry(4, rowTop, chkChap->sizeHint().width(), chkChap->sizeHint().height());
        const QSize go = cmdGo->sizeHint();
        cmdGo->setGeometry(w - go.width() - 4, rowTop, go.width(), go.height());
        const int bibleHeight = int(h * 0.25);
        RTb->setGeometry(0, StripHeight, w, bibleHeight);
        RTc->setGeometry(0, StripHeight + bibleHeight, w, h - StripHeight - bibleHeight);
    });
}
