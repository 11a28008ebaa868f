#include "mainwindow/frmAbout.h"

#include "core/Bug_.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "core/UrlHelpers_.h"
#include "platform/AppInfo.h"
#include "platform/DefaultInstance.h"
#include "platform/Desktop.h"
#include "platform/ModalOpener.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {
QString versionNumbers()
{
    return QStringLiteral("%1.%2.%3")
        .arg(AppInfo::versionMajor())
        .arg(AppInfo::versionMinor())
        .arg(AppInfo::versionRevision());
}

QLabel *plainLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}
} // namespace

frmAbout::frmAbout()
{
    // The window unloads when it closes; the next opening loads it afresh.
    setAttribute(Qt::WA_DeleteOnClose, true);
    setAttribute(Qt::WA_QuitOnClose, false);

    lblTitle = plainLabel(this);
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblVersion = plainLabel(this);
    lblDescription = plainLabel(this);
    lWeb = new QLabel(this);
    lWeb->setTextFormat(Qt::RichText);
    lWeb->setOpenExternalLinks(false);
    lWeb->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    lblDisclaimer = plainLabel(this);
    QFont smallFont = lblDisclaimer->font();
    smallFont.setPointSizeF(smallFont.pointSizeF() * 0.9);
    lblDisclaimer->setFont(smallFont);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);

    auto *rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto *texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addSpacing(8);
    texts->addWidget(lblDescription);
    texts->addSpacing(4);
    texts->addWidget(lWeb);
    texts->addStretch(1);

    auto *buttons = new QVBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(lblDisclaimer, 1);
    bottom->addSpacing(12);
    bottom->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(texts);
    layout->addSpacing(6);
    layout->addWidget(rule);
    layout->addLayout(bottom);
    setMinimumWidth(480);

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { cmdSysInfo_Click(); });
    connect(lWeb, &QLabel::linkActivated, this, [this] { lWeb_Click(); });

    Form_Load();
}

void frmAbout::ShowModal()
{
    ModalOpener<frmAbout>::show();
}

std::function<void()> frmAbout::setShowModal(std::function<void()> show)
{
    return ModalOpener<frmAbout>::replace(std::move(show));
}

QStringList frmAbout::SystemInformationPrograms()
{
    return {QStringLiteral("hardinfo2"),
            QStringLiteral("hardinfo"),
            QStringLiteral("kinfocenter"),
            QStringLiteral("cpu-x"),
            QStringLiteral("i-nex"),
            QStringLiteral("lshw-gtk"),
            QStringLiteral("gnome-system-monitor"),
            QStringLiteral("mate-system-monitor")};
}

void frmAbout::Form_Load()
{
    TrapErrors(QStringLiteral("frmAbout.Form_Load()"), [this] {
        // The first texts of the version and title are replaced below; they are
        // still asked for, in this order, as the catalog checks expect.
        setWindowTitle(GetMsg(1, 21, AppInfo::title()));
        lblVersion->setText(GetMsg(0, 96, versionNumbers()));
        lblTitle->setText(AppInfo::title());
        lblDisclaimer->setText(GetMsg(0, 92, MiscHelpers::ProductTitle()));
        const QString address = MiscHelpers::WebSiteAddress().toHtmlEscaped();
        lWeb->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(address));
        lblVersion->setText(MiscHelpers::ProductTitle() + QStringLiteral("  ") +
                            MiscHelpers::VersionString());
        lblTitle->setText(GetMsg(0, 93, MiscHelpers::ProductTitle()));
        lblDescription->setText(MiscHelpers::AboutText());
    });
}

void frmAbout::cmdOK_Click()
{
    close();
}

void frmAbout::lWeb_Click()
{
    TrapErrors(QStringLiteral("frmAbout.lWeb_Click()"),
               [this] { OpenUrl(MiscHelpers::WebSiteAddress(), this); });
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::StartSysInfo()
{
    for (const QString &name : SystemInformationPrograms()) {
        const QString program = QStandardPaths::findExecutable(name);
        if (!program.isEmpty() && desktop().startProgram(program, {}))
            return;
    }
    desktop().messageBox(GetMsg(0, 8), MsgBoxStyle::OKOnly, QString());
}
