#include "mainwindow/NoBibles.h"

#include "core/Bug_.h"
#include "core/CoreHooks.h"
#include "core/FileFunctions_.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "core/UrlHelpers_.h"
#include "core/VerbanoxRoutines.h"
#include "mainwindow/MenuTargets.h"
#include "platform/AppInfo.h"
#include "platform/DefaultInstance.h"
#include "platform/Desktop.h"
#include "platform/HelpService.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int NoBibleFoundMsg = 60;
constexpr int HelpFileMissingMsg = 240;
constexpr int ListAtFaultMsg = 256;
// Records of a damaged list shown at most; the rest are counted.
constexpr int MaxListedRecords = 6;

// Why no Bible was found. When the module list itself is to blame, choosing a
// folder cannot help: the text names the list and what could not be read of it.
QString explanation()
{
    const VerbanoxRoutines::BibleSearch search = VerbanoxRoutines::FindBibles(gModuleFolder);
    if (search.biblesFound > 0 || !search.ListAtFault())
        return GetMsg(0, NoBibleFoundMsg, AppInfo::title());
    QString text = GetMsg(0, ListAtFaultMsg, search.listPath);
    if (!search.unreadable.isEmpty()) {
        QStringList listed = search.unreadable.mid(0, MaxListedRecords);
        if (search.unreadable.size() > MaxListedRecords)
            listed.append(QStringLiteral("(%1 more)").arg(search.unreadable.size() - MaxListedRecords));
        text += QStringLiteral("\r\n\r\n") + listed.join(QStringLiteral("\r\n"));
    }
    return text;
}
} // namespace

NoBibles::NoBibles()
{
    setAttribute(Qt::WA_QuitOnClose, false);

    Label3 = new QLabel(this);
    Label3->setWordWrap(true);
    Label2 = new QLabel(this);
    Label2->setTextFormat(Qt::RichText);
    Label2->setOpenExternalLinks(false);
    Label2->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    cmdLocate = new QPushButton(this);
    Command2 = new QPushButton(this);
    Command1 = new QPushButton(this);
    cmdLocate->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdLocate);
    buttons->addWidget(Command2);
    buttons->addWidget(Command1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label3);
    layout->addSpacing(6);
    layout->addWidget(Label2);
    layout->addSpacing(10);
    layout->addLayout(buttons);
    setMinimumWidth(460);

    connect(cmdLocate, &QPushButton::clicked, this, [this] { cmdLocate_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Label2, &QLabel::linkActivated, this, [this] { Label2_Click(); });

    // Form_Load
    setWindowTitle(GetMsg(1, 8, MiscHelpers::ProductTitle()));
    Label3->setText(explanation());
    const QString address = MiscHelpers::WebSiteAddress().toHtmlEscaped();
    Label2->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(address));
    cmdLocate->setText(GetMsg(1, 196));
    Command2->setText(GetMsg(1, 197));
    Command1->setText(GetMsg(1, 198));
}

void NoBibles::ShowModal()
{
    DefaultInstance<NoBibles>::get().exec();
    // Whatever closed it, the program cannot go on without a Bible.
    desktop().endProgram(0);
}

void NoBibles::Register()
{
    CoreHooks::SetNoBiblesDialog([] { ShowModal(); });
}

void NoBibles::cmdLocate_Click()
{
    TrapErrors(QStringLiteral("NoBibles.cmdLocate_Click()"), [this] {
        const int answer = desktop().messageBox(
            GetMsg(0, 59, AppInfo::title()),
            MsgBoxStyle::YesNo | MsgBoxStyle::Question | MsgBoxStyle::DefaultButton2, windowTitle());
        if (answer == MsgBoxResult::Yes)
            MenuTargets::Get(MenuTargets::FolderChooser).showModal();
    });
}

void NoBibles::Command2_Click()
{
    // There is no context help here: the help file opens at its first page.
    TrapErrors(QStringLiteral("NoBibles.Command2_Click()"), [this] {
        if (!FileFunctions_::FileExists(gHelpFile)) {
            desktop().messageBox(GetMsg(0, HelpFileMissingMsg, gHelpFile), MsgBoxStyle::Information,
                                 windowTitle());
            return;
        }
        // The help service says why when the file cannot be shown.
        HelpService::setHelpFile(gHelpFile);
        HelpService::showHelp();
    });
}

void NoBibles::Label2_Click()
{
    TrapErrors(QStringLiteral("NoBibles.Label2_Click()"),
               [this] { OpenUrl(MiscHelpers::WebSiteAddress(), this); });
}

void NoBibles::Command1_Click()
{
    // The main window, when it exists, is unloaded first.
    if (gMainForm)
        IgnoreErrors([] { gMainForm->close(); });
    desktop().endProgram(0);
}

void NoBibles::Form_Unload()
{
    desktop().endProgram(0);
}

void NoBibles::reject()
{
    Form_Unload();
}

void NoBibles::closeEvent(QCloseEvent *event)
{
    event->accept();
    Form_Unload();
}
