#include "mainwindow/Indemnity.h"

#include "core/Bug_.h"
#include "core/FileFunctions_.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "platform/DefaultInstance.h"
#include "platform/ModalOpener.h"
#include "platform/TextFile.h"
#include "platform/Twips.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>

namespace {
const QString CRLF = QStringLiteral("\r\n");
// The window's sizes in twips.
constexpr double Margin = 120;
constexpr double ButtonWidth = 1215;
constexpr double ButtonHeight = 375;
constexpr double WindowWidth = 9600;
constexpr double WindowHeight = 7200;

} // namespace

Indemnity::Indemnity()
{
    // The window unloads when it closes; the next opening reads the file afresh.
    setAttribute(Qt::WA_DeleteOnClose, true);
    setAttribute(Qt::WA_QuitOnClose, false);

    Text1 = new QPlainTextEdit(this);
    Text1->setReadOnly(true);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    btnOkay = new QPushButton(QStringLiteral("OK"), this);
    btnOkay->setDefault(true);

    const int margin = Twips::toPixelsX(Margin);
    Text1->move(margin, Twips::toPixelsY(Margin));
    btnOkay->setGeometry(
        Twips::rectToPixels(WindowWidth - ButtonWidth - Margin, Margin, ButtonWidth, ButtonHeight));
    // Small enough to be useful, large enough that the text keeps a width.
    setMinimumSize(btnOkay->width() * 4, btnOkay->height() * 5);
    resize(Twips::toPixelsX(WindowWidth), Twips::toPixelsY(WindowHeight));

    connect(btnOkay, &QPushButton::clicked, this, [this] { btnOkay_Click(); });

    Form_Load();
    Form_Resize();
}

void Indemnity::ShowModal()
{
    ModalOpener<Indemnity>::show();
}

std::function<void()> Indemnity::setShowModal(std::function<void()> show)
{
    return ModalOpener<Indemnity>::replace(std::move(show));
}

QString Indemnity::licenceFile()
{
    const QString own = gMsgFolder + gLanguage + QStringLiteral("_Licenceagreement.txt");
    if (FileFunctions_::FileExists(own))
        return own;
    return gMsgFolder + QStringLiteral("ENGLISH_LicenceAgreement.txt");
}

void Indemnity::Form_Load()
{
    const QString path = licenceFile();
    // Without a licence file the window still opens, empty, after the report.
    TrapErrors(QStringLiteral("Indemnity.Form_Load()"),
               QStringLiteral("The licence agreement could not be read from the file:") + CRLF + path,
               [this, &path] {
                   QString text;
                   TextReader reader = TextReader::fromFile(path);
                   while (!reader.atEnd())
                       text += CRLF + reader.readLine();
                   m_licenceText = text;
                   Text1->setPlainText(text);
               });
    setWindowTitle(GetMsg(1, 22, MiscHelpers::ProductTitle()));
}

void Indemnity::Form_Resize()
{
    const int m = Text1->x();
    Text1->move(m, m);
    Text1->resize(qMax(0, width() - btnOkay->width() - 3 * m), qMax(0, height() - 2 * m));
    btnOkay->move(Text1->x() + Text1->width() + m, btnOkay->y());
}

void Indemnity::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void Indemnity::btnOkay_Click()
{
    close();
}
