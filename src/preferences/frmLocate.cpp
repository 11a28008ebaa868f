#include "preferences/frmLocate.h"
#include "mainwindow/MenuTargets.h"
#include "preferences/frmDirlist.h"

#include "core/Bug_.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "core/Registry_.h"
#include "core/VerbanoxRoutines.h"
#include "platform/AppInfo.h"
#include "platform/DefaultInstance.h"
#include "platform/Desktop.h"
#include "platform/FileNames.h"
#include "platform/ModalOpener.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int NoBibleMsg = 10;
constexpr int ListAtFaultMsg = 256;
// Catalog text: the chosen folder does not exist.
constexpr qint32 FolderMissingMsg = 292;

QLabel *wrappedLabel(QWidget *parent, bool bold = false)
{
    auto *label = new QLabel(parent);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}
} // namespace

frmLocate::frmLocate()
{
    setWindowTitle(QStringLiteral("Locate MODULE folder"));
    // The window unloads when it closes; the next opening starts afresh.
    setAttribute(Qt::WA_DeleteOnClose, true);
    setAttribute(Qt::WA_QuitOnClose, false);

    Label2 = wrappedLabel(this);
    Label1 = wrappedLabel(this, true);
    Label3 = wrappedLabel(this);
    Label4 = wrappedLabel(this, true);
    Label5 = wrappedLabel(this);
    cmdDefault = new QPushButton(this);
    cmdLocate = new QPushButton(this);
    cmdClose = new QPushButton(this);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton *button : {cmdDefault, cmdLocate, cmdClose}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label2);
    layout->addWidget(Label1);
    layout->addSpacing(8);
    layout->addWidget(Label3);
    layout->addWidget(Label4);
    layout->addSpacing(8);
    layout->addWidget(Label5);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setMinimumWidth(480);

    connect(cmdDefault, &QPushButton::clicked, this, [this] { cmdDefault_Click(); });
    connect(cmdLocate, &QPushButton::clicked, this, [this] { cmdLocate_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });

    // Form_Load
    Label2->setText(GetMsg(1, 102));
    Label1->setText(gModuleFolder);
    Label3->setText(GetMsg(0, 103));
    Label4->setText(DefaultModuleFolder());
    Label5->setText(GetMsg(0, 104));
    cmdDefault->setText(GetMsg(1, 181));
    cmdLocate->setText(GetMsg(1, 182));
    cmdClose->setText(GetMsg(1, 183));
}

void frmLocate::ShowModal()
{
    ModalOpener<frmLocate>::show();
}

void frmLocate::Register()
{
    MenuTargets::Register(MenuTargets::FolderChooser, {{}, {}, [] { ShowModal(); }});
}

std::function<void()> frmLocate::setShowModal(std::function<void()> show)
{
    return ModalOpener<frmLocate>::replace(std::move(show));
}

QString frmLocate::DefaultModuleFolder()
{
    const QString program = gProgramFolder.isEmpty() ? AppInfo::programFolder() : gProgramFolder;
    return Folders::DefaultModuleFolder(FileNames::normalize(program, true));
}

bool frmLocate::HasBibleModule(const QString &folder)
{
    return VerbanoxRoutines::FindBibles(folder).biblesFound > 0;
}

QString frmLocate::NoBibleMessage(const QString &folder)
{
    const VerbanoxRoutines::BibleSearch search = VerbanoxRoutines::FindBibles(folder);
    QString text = GetMsg(0, NoBibleMsg, folder);
    if (search.ListAtFault())
        text += QStringLiteral("\r\n\r\n") + GetMsg(0, ListAtFaultMsg, search.listPath);
    return text;
}

QString frmLocate::NormalizedFolder(const QString &typed)
{
    const QString trimmed = typed.trimmed();
    if (trimmed.isEmpty())
        return trimmed;
    const QString absolute = QDir::cleanPath(QFileInfo(trimmed).absoluteFilePath());
    return FileNames::normalize(FileNames::resolve(absolute), true);
}

bool frmLocate::AcceptModuleFolder(const QString &folder, const QString &caption)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        desktop().messageBox(GetMsg(0, FolderMissingMsg, folder), MsgBoxStyle::Exclamation, caption);
        return false;
    }
    // Saved before the test: a folder without a Bible is kept too.
    gModuleFolder = folder;
    if (!Registry_::StoreChoices([&] {
            SettingsStore::instance().setValue(QStringLiteral("Module_Path"), QStringLiteral("ModulePath"),
                                               folder);
        }))
        return false;
    if (HasBibleModule(folder)) {
        desktop().messageBox(GetMsg(0, 9, AppInfo::title()), MsgBoxStyle::Information, caption);
        // The running program keeps its old module lists; the next start uses the new folder.
        desktop().endProgram(0);
    }
    return true;
}

void frmLocate::cmdDefault_Click()
{
    TrapErrors(QStringLiteral("frmLocate.cmdDefault_Click()"), [this] {
        if (!AcceptModuleFolder(DefaultModuleFolder(), windowTitle()))
            return;
        desktop().messageBox(NoBibleMessage(gModuleFolder), MsgBoxStyle::OKOnly, QString());
    });
}

void frmLocate::cmdLocate_Click()
{
    TrapErrors(QStringLiteral("frmLocate.cmdLocate_Click()"), [] { frmDirlist::ShowModal(); });
}

void frmLocate::cmdClose_Click()
{
    close();
}
