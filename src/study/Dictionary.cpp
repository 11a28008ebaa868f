#include "study/Dictionary.h"
#include "study/DictionaryFile.h"
#include "study/PaneLook.h"
#include "study/StudyLists.h"
#include "study/StudyModules.h"
#include "study/StudyOpener.h"

#include "controls/TextFit.h"
#include "core/Bug_.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "core/Registry_.h"
#include "platform/Desktop.h"
#include "platform/RichTextBox.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {
constexpr int FormCaptionId = 25;
constexpr int NoDictionaryMsg = 3;
constexpr int NoneLoaded = 255;
constexpr int StripHeight = 52;
// The parts of the width the lists take: headwords, See Also, dictionaries.
const QList<double> ListShares{0.35, 0.35, 0.3};

PaneLook dictionaryLook()
{
    return {gBib1BC, gBib1TC, gBib1Fontsize, gDefaultFont};
}

DictionaryFile dictionaryFile(int index)
{
    return DictionaryFile(StudyModules::DictionaryPath(index),
                          StudyModules::CodePageOf(gDictionaries, index));
}
} // namespace

Dictionary::Dictionary()
{
    StudyLists::MakeStudyWindow(this);
    CreateControls();
    resize(700, 480);
}

Dictionary::~Dictionary() = default;

Dictionary *Dictionary::Open()
{
    return StudyOpener<Dictionary>::Open();
}

void Dictionary::Register()
{
    StudyOpener<Dictionary>::Register(MenuTargets::Dictionary);
}

void Dictionary::CreateControls()
{
    frm1 = new QWidget(this);
    Label1 = new QLabel(QStringLiteral("Lookup"), frm1);
    Label2 = new QLabel(QStringLiteral("See Also"), frm1);
    Label3 = new QLabel(QStringLiteral("Dictionary"), frm1);
    cboLookup = StudyLists::EditableList(frm1);
    cboAlt = StudyLists::EditableList(frm1);
    cboTranslation = StudyLists::EditableList(frm1);
    RT = new RichTextBox(this);
    RT->setLocked(true);
    lbl1 = new QLabel(this);

    connect(cboLookup, &QComboBox::activated, this, [this] { cboLookup_Click(); });
    connect(cboAlt, &QComboBox::activated, this, [this] { cboAlt_Click(); });
    connect(cboTranslation, &QComboBox::activated, this, [this](int i) { cboTranslation_Click(i); });
    cboLookup->installEventFilter(this);
    cboLookup->lineEdit()->installEventFilter(this);
}

bool Dictionary::Form_Load()
{
    gDictionaryOpen = true;
    RestoreFormPosition(QStringLiteral("ScreenDict"), this);
    RT->setFontFamily(gDefaultFont);
    if (gDictionaries.Count() == 0) {
        desktop().messageBox(GetMsg(0, NoDictionaryMsg, MiscHelpers::WebSiteAddress()),
                             MsgBoxStyle::OKOnly | MsgBoxStyle::Information, QString());
        Form_Unload();
        return false;
    }
    setWindowTitle(GetMsg(1, FormCaptionId, MiscHelpers::ProductTitle()));
    for (qint32 i = 0; i < gDictionaries.Count(); ++i)
        cboTranslation->addItem(gDictionaries.DisplayName(i));
    cboTranslation->setCurrentIndex(-1);
    StudyLists::SetListText(cboTranslation, gDictionaries.DisplayName(0));
    // The window is never narrower than the names it lists need.
    setMinimumWidth(StudyLists::ListRow::Width(ListNeeds()));
    m_CurrentDictionary = NoneLoaded;
    dictionaryLook().ApplyTo(*RT);
    m_pageLayout.ApplyAtOpen(*RT);
    return true;
}

void Dictionary::Form_Unload()
{
    IgnoreErrors([this] { SaveFormPosition(QStringLiteral("ScreenDict"), this); });
    gDictionaryOpen = false;
}

void Dictionary::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    QWidget::closeEvent(event);
}

bool Dictionary::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn && (watched == cboLookup || watched == cboLookup->lineEdit()))
        cboLookup_GotFocus();
    return QWidget::eventFilter(watched, event);
}

// --- Dictionaries and headwords ----------------------------------------------------

void Dictionary::cboLookup_GotFocus()
{
    // Tried once: a dictionary that cannot be read must not be reported again
    // each time the list gets the focus back from the report.
    if (m_CurrentDictionary != NoneLoaded || m_firstLoadTried)
        return;
    m_firstLoadTried = true;
    LoadCombo(0);
}

void Dictionary::cboTranslation_Click(int index)
{
    if (index >= 0)
        LoadCombo(index);
}

void Dictionary::LoadCombo(int index)
{
    if (index == m_CurrentDictionary)
        return;
    TrapErrors(QStringLiteral("Dictionary.LoadCombo()"), [this, index] {
        lbl1->setText(gDictionaries.DisplayName(index) + QStringLiteral(" Loading ..."));
        lbl1->repaint();
        cboLookup->clear();
        cboLookup->clearEditText();
        // The list no longer holds the words of the dictionary loaded before: if
        // this one cannot be read, choosing that one again must load it anew.
        m_CurrentDictionary = NoneLoaded;
        // Cleared on every path, so the status line never keeps "Loading".
        struct StatusClear
        {
            QLabel *label;
            ~StatusClear()
            {
                label->clear();
                label->repaint();
            }
        } status{lbl1};
        const QStringList headwords = dictionaryFile(index).Headwords();
        cboLookup->addItems(headwords);
        TextFit::OpenWholeEntries(cboLookup);
        cboLookup->setCurrentIndex(-1);
        StudyLists::SetListText(cboLookup, headwords.value(0));
        m_CurrentDictionary = index;
    });
}

// --- Entries -------------------------------------------------------------------------

void Dictionary::cboLookup_Click()
{
    ShowEntry(cboLookup->currentText(), QStringLiteral("Dictionary.cboLookup_Click()"));
}

void Dictionary::cboAlt_Click()
{
    ShowEntry(cboAlt->currentText(), QStringLiteral("Dictionary.cboAlt_Click()"));
}

void Dictionary::ShowEntry(const QString &headword, const QString &routine)
{
    if (m_CurrentDictionary == NoneLoaded)
        return;
    TrapErrors(routine, [&] {
        const std::optional<DictionaryEntry> entry = dictionaryFile(m_CurrentDictionary).Find(headword);
        if (!entry)
            return;
        const PaneLook look = dictionaryLook();
        look.ShowText(*RT, DictionaryFile::ShownText(*entry));
        m_pageLayout.KeepOn(*RT);
        PaneLook::SetSize(*RT, 0, int(entry->headword.size()), look.fontSize + 2);
        PopulateAlt(entry->text);
        RT->setSelStart(0);
    });
}

void Dictionary::PopulateAlt(const QString &entryText)
{
    const std::vector<qint16> references = DictionaryFile::References(entryText);
    cboAlt->clear();
    cboAlt->clearEditText();
    const QStringList headwords = dictionaryFile(m_CurrentDictionary).HeadwordsOf(references);
    cboAlt->addItems(headwords);
    TextFit::OpenWholeEntries(cboAlt);
    cboAlt->setCurrentIndex(headwords.isEmpty() ? -1 : 0);
}

// --- Layout -------------------------------------------------------------------------

void Dictionary::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

// The dictionaries' names are shown whole, and so are the labels. Headwords are
// the dictionary's own text, of any length: their lists take their share, and
// their drop-downs open as wide as their longest entry.
QList<int> Dictionary::ListNeeds() const
{
    return {Label1->sizeHint().width(), Label2->sizeHint().width(),
            std::max(TextFit::ListWidth(cboTranslation), Label3->sizeHint().width())};
}

void Dictionary::Form_Resize()
{
    if (isMinimized())
        return;
    IgnoreErrors([this] {
        const int w = width(), h = height();
        frm1->setGeometry(0, 0, w, StripHeight);
        const QList<int> widths =
            StudyLists::ShareWidths(w - 2 * StudyLists::ListRow::Left, ListShares, ListNeeds());
        StudyLists::ListRow row(cboLookup->sizeHint().height());
        row.Place(cboLookup, Label1, widths[0]);
        row.Place(cboAlt, Label2, widths[1]);
        row.Place(cboTranslation, Label3, widths[2]);
        const int status = lbl1->sizeHint().height() + 4;
        RT->setGeometry(0, StripHeight, w, h - StripHeight - status);
        lbl1->setGeometry(4, h - status, w - 8, status);
    });
}
