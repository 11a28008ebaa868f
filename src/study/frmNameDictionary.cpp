#include "study/frmNameDictionary.h"
#include "study/NameDictionaryFile.h"
#include "study/StudyLists.h"
#include "study/StudyModules.h"
#include "study/StudyOpener.h"

#include "core/Bug_.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "core/Registry_.h"
#include "platform/Desktop.h"
#include "platform/OleColor.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolBar>

namespace {
constexpr int FormCaptionId = 1;
constexpr int NoNamesMsg = 1;
constexpr int DefaultHeight = 260;
} // namespace

frmNameDictionary::frmNameDictionary()
{
    StudyLists::MakeStudyWindow(this);
    CreateControls();
    resize(520, DefaultHeight);
}

frmNameDictionary::~frmNameDictionary()
{
    // The word list outlives this part of the window while QWidget deletes the
    // children, and may still report a choice then: it must not reach us.
    cboWord->disconnect(this);
}

frmNameDictionary *frmNameDictionary::Open()
{
    return StudyOpener<frmNameDictionary>::Open();
}

void frmNameDictionary::Register()
{
    StudyOpener<frmNameDictionary>::Register(MenuTargets::NameDictionary);
}

void frmNameDictionary::CreateControls()
{
    Toolbar1 = new QToolBar(this);
    cboWord = StudyLists::EditableList(this);
    cboWhichNames = new QComboBox(this);
    Text1 = new QPlainTextEdit(this);
    Text1->setReadOnly(true);
    // Read only, yet the keys still move the caret through the meaning.
    Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    connect(cboWord, &QComboBox::activated, this, [this] { cboWord_Click(); });
    cboWord->installEventFilter(this);
    cboWord->lineEdit()->installEventFilter(this);
}

bool frmNameDictionary::Form_Load()
{
    gNameDictionaryOpen = true;
    if (!RestoreFormPosition(QStringLiteral("ScreenN"), this))
        resize(width(), DefaultHeight);
    if (gNameDictionaries.Count() == 0) {
        desktop().messageBox(GetMsg(0, NoNamesMsg, MiscHelpers::WebSiteAddress()),
                             MsgBoxStyle::OKOnly | MsgBoxStyle::Information, QString());
        CloseNameDictionary();
        return false;
    }
    setWindowTitle(GetMsg(1, FormCaptionId, QString()));
    m_NameFile = gNameDictionaries.FileNames(0);
    m_CodePage = StudyModules::CodePageOf(gNameDictionaries, 0);
    for (qint32 i = 0; i < gNameDictionaries.Count(); ++i)
        cboWhichNames->addItem(gNameDictionaries.DisplayName(i));
    cboWhichNames->setCurrentIndex(0);
    const QStringList names = NameDictionaryFile(gNameFolder + m_NameFile, m_CodePage).Names();
    cboWord->addItems(names);
    cboWord->setCurrentIndex(-1);
    StudyLists::SetListText(cboWord, names.value(0));
    ApplyLook();
    return true;
}

void frmNameDictionary::CloseNameDictionary()
{
    gNameDictionaryOpen = false;
}

void frmNameDictionary::closeEvent(QCloseEvent *event)
{
    IgnoreErrors([this] { SaveFormPosition(QStringLiteral("ScreenN"), this); });
    CloseNameDictionary();
    QWidget::closeEvent(event);
}

void frmNameDictionary::ApplyLook()
{
    QPalette palette = Text1->palette();
    palette.setColor(QPalette::Base, OleColor::toQColor(gBib1BC));
    palette.setColor(QPalette::Text, OleColor::toQColor(gBib1TC));
    Text1->setPalette(palette);
    QFont font = Text1->font();
    font.setPointSize(gBib1Fontsize);
    Text1->setFont(font);
}

void frmNameDictionary::cboWord_Click()
{
    TrapErrors(QStringLiteral("frmNameDictionary.cboWord_Click()"), [this] {
        ApplyLook();
        const std::optional<QString> meaning =
            NameDictionaryFile(gNameFolder + m_NameFile, m_CodePage).Meaning(cboWord->currentText());
        if (meaning)
            Text1->setPlainText(*meaning);
    });
}

void frmNameDictionary::cboWord_KeyPress(int &KeyAscii)
{
    if (KeyAscii != 13)
        return;
    QStringList names;
    for (int i = 0; i < cboWord->count(); ++i)
        names.append(cboWord->itemText(i));
    const int found = NameDictionaryFile::FirstStartingWith(names, cboWord->currentText());
    if (found < 0) {
        QApplication::beep();
        return;
    }
    cboWord->setCurrentIndex(found);
    cboWord_Click();
    KeyAscii = 0;
}

bool frmNameDictionary::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && (watched == cboWord || watched == cboWord->lineEdit())) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            int ascii = 13;
            cboWord_KeyPress(ascii);
            if (ascii == 0)
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmNameDictionary::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmNameDictionary::Form_Resize()
{
    if (isMinimized())
        return;
    IgnoreErrors([this] {
        const int w = width(), h = height();
        const int bar = 8;
        Toolbar1->setGeometry(0, 0, w, bar);
        const int m = bar + 4;
        const int wordWidth = int(w * 0.4);
        const int listHeight = cboWord->sizeHint().height();
        cboWord->setGeometry(m, m, wordWidth, listHeight);
        cboWhichNames->setGeometry(m + wordWidth + m, m, w - wordWidth - 3 * m, listHeight);
        const int textTop = m + listHeight + 8;
        const int edge = 7; // 100 twips
        Text1->setGeometry(edge, textTop, w - 2 * edge, h - textTop - edge);
    });
}
