#include "study/frmMp3Msg.h"
#include "study/frmMP3.h"

#include "core/Bug_.h"
#include "core/MsgSupport.h"
#include "core/Registry_.h"
#include "core/UrlHelpers_.h"
#include "platform/DefaultInstance.h"
#include "platform/ModalOpener.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {
constexpr int PlayerCaptionId = 16;
constexpr int LinkRefusedMsg = 283;
constexpr int NoLinkMsg = 285;
} // namespace

frmMp3Msg::frmMp3Msg()
    : QDialog(DefaultInstance<frmMP3>::exists() ? DefaultInstance<frmMP3>::peek()
                                                : QApplication::activeWindow())
{
    setAttribute(Qt::WA_DeleteOnClose, true);
    setWindowTitle(GetMsg(1, PlayerCaptionId));
    txtMessage = new QPlainTextEdit(this);
    txtMessage->setReadOnly(true);
    Picture1 = new QWidget(this);
    lblMp3DownloadUrl = new QLabel(QStringLiteral("MP3 Download URL"), Picture1);
    txtMp3DownloadUrl = new QLineEdit(Picture1);
    lblContact = new QLabel(QStringLiteral("Contact us if you have a problem"), Picture1);
    txtContact = new QLineEdit(Picture1);
    lblHotLink = new QLabel(QStringLiteral("Hot Link "), Picture1);
    txtUrlHotLink = new QLineEdit(Picture1);
    auto *links = new QVBoxLayout(Picture1);
    links->setContentsMargins(0, 0, 0, 0);
    for (QLineEdit *box : {txtMp3DownloadUrl, txtContact, txtUrlHotLink}) {
        box->setReadOnly(true);
        box->setCursor(Qt::PointingHandCursor);
        box->installEventFilter(this);
    }
    for (QWidget *w : std::initializer_list<QWidget *>{lblMp3DownloadUrl, txtMp3DownloadUrl, lblContact,
                                                       txtContact, lblHotLink, txtUrlHotLink})
        links->addWidget(w);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setAutoDefault(false);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(txtMessage, 1);
    layout->addWidget(Picture1);
    layout->addWidget(cmdCancel, 0, Qt::AlignRight);
    layout->addWidget(StatusBar1);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(520, 420);

    IgnoreErrors([this] { RestoreFormPosition(QStringLiteral("Mp3Messages"), this); });
    frmMP3 *player = DefaultInstance<frmMP3>::peek();
    ShowServiceText(player ? player->ServiceText : QString());
}

void frmMp3Msg::ShowModal()
{
    ModalOpener<frmMp3Msg>::show();
}

std::function<void()> frmMp3Msg::setShowModal(std::function<void()> show)
{
    return ModalOpener<frmMp3Msg>::replace(std::move(show));
}

void frmMp3Msg::ShowServiceText(const QString &text)
{
    // Fetched text is shown as plain text only; nothing in it is interpreted.
    const Mp3ServiceText::Message m = Mp3ServiceText::Parse(text);
    DownloadUrl = m.downloadUrl;
    ContactLink = m.contactLink;
    HotLink = m.hotLink;
    if (m.hasTitle)
        setWindowTitle(m.title);
    txtMessage->setPlainText(m.message);
    txtContact->setText(m.contactText);
    txtUrlHotLink->setText(m.hotText);
    txtMp3DownloadUrl->setEnabled(m.serviceOk);
    txtMp3DownloadUrl->setText(
        m.serviceOk ? QStringLiteral("Download MP3 Bibles here")
                    : QStringLiteral("We are busy with site maintenance. Sorry, please try later"));
    for (QLineEdit *box : {txtMp3DownloadUrl, txtContact, txtUrlHotLink})
        box->setCursorPosition(0);
}

bool frmMp3Msg::OpenLink(const QString &link)
{
    if (link.isEmpty()) {
        StatusBar1->showMessage(GetMsg(0, NoLinkMsg));
        return false;
    }
    // A link written without its scheme is a web address all the same.
    if (!Mp3ServiceText::IsSafeLink(CompletedUrl(link))) {
        StatusBar1->showMessage(GetMsg(0, LinkRefusedMsg, link.left(Mp3ServiceText::MaxTitle)));
        return false;
    }
    OpenUrl(link, this);
    return true;
}

QString frmMp3Msg::linkOf(QObject *box) const
{
    if (box == txtMp3DownloadUrl)
        return DownloadUrl;
    if (box == txtContact)
        return ContactLink;
    return HotLink;
}

QString frmMp3Msg::hoverTextOf(QObject *box) const
{
    if (box == txtMp3DownloadUrl)
        return QStringLiteral("Click to go to ") + DownloadUrl +
               QStringLiteral(" But DO NOT bookmark it when you get there as it CHANGES regularly!!!  ");
    return linkOf(box);
}

bool frmMp3Msg::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
        OpenLink(linkOf(watched));
        return true;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            OpenLink(linkOf(watched));
            return true;
        }
        break;
    }
    case QEvent::Enter:
        StatusBar1->showMessage(hoverTextOf(watched));
        break;
    case QEvent::Leave:
        StatusBar1->clearMessage();
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void frmMp3Msg::done(int result)
{
    IgnoreErrors([this] { SaveFormPosition(QStringLiteral("Mp3Messages"), this); });
    QDialog::done(result);
}
