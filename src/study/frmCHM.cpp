#include "study/frmCHM.h"

#include "core/Bug_.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "core/Registry_.h"
#include "core/UrlHelpers_.h"
#include "mainwindow/MainMenu.h"
#include "mainwindow/MenuTargets.h"
#include "platform/DefaultInstance.h"
#include "platform/FileNames.h"
#include "platform/HelpService.h"
#include "platform/ModalOpener.h"
#include "platform/TextFile.h"

#include <QApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>

namespace {
constexpr int PathRole = Qt::UserRole + 1;
constexpr int NoRowChosenMsg = 284;
} // namespace

frmCHM::frmCHM(QWidget *parent)
    : QDialog(parent                         ? parent
              : QApplication::activeWindow() ? QApplication::activeWindow()
                                             : gMainForm)
{
    setWindowTitle(QStringLiteral("CHM Bible Selector"));
    setAttribute(Qt::WA_DeleteOnClose, true);
    // Modal to its parent only, so the help viewer beside it stays usable.
    setWindowModality(Qt::WindowModal);
    Label1 = new QLabel(QStringLiteral(" Double Click on the Bible you wish to view"), this);
    ListView1 = new QTreeWidget(this);
    ListView1->setHeaderLabels({QStringLiteral("Bible"), QStringLiteral("Filename")});
    ListView1->setRootIsDecorated(false);
    ListView1->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    cmdView = new QPushButton(QStringLiteral("&View"), this);
    cmdDownload = new QPushButton(QStringLiteral("&More..."), this);
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    auto *layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0, 1, 2);
    layout->addWidget(ListView1, 1, 0, 4, 1);
    layout->addWidget(cmdView, 1, 1);
    layout->addWidget(cmdDownload, 2, 1);
    layout->addWidget(cmdClose, 3, 1);
    layout->setRowStretch(4, 1);
    layout->addWidget(StatusBar1, 5, 0, 1, 2);
    for (QPushButton *button : {cmdView, cmdDownload, cmdClose})
        button->setAutoDefault(false);
    connect(cmdView, &QPushButton::clicked, this, [this] { cmdView_Click(); });
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this] { cmdView_Click(); });
    connect(cmdDownload, &QPushButton::clicked, this, [this] { cmdDownload_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    resize(560, 320);

    // Form_Load
    IgnoreErrors([this] { RestoreFormPosition(QStringLiteral("ChmSelector"), this); });
    const QList<ChmBible> bibles = FindChmBibles(gSysDefsFolder + QStringLiteral("Translations.txt"),
                                                 gModuleFolder + QStringLiteral("CHM/"));
    for (const ChmBible &bible : bibles)
        AddChmBible(bible);
    // Every file listed counts, "cf" files too: the count matches the rows.
    StatusBar1->showMessage(QString::number(bibles.size()) + QStringLiteral(" Modules found"));
    if (ListView1->topLevelItemCount() > 0)
        ListView1->setCurrentItem(ListView1->topLevelItem(0));
}

frmCHM::~frmCHM() = default;

void frmCHM::Register()
{
    MenuTargets::Register(MenuTargets::CHM, {{}, {}, [] { ShowModal(); }});
}

void frmCHM::ShowModal()
{
    ModalOpener<frmCHM>::show();
}

std::function<void()> frmCHM::setShowModal(std::function<void()> show)
{
    return ModalOpener<frmCHM>::replace(std::move(show));
}

QString frmCHM::ChmFileName(const QString &prefix, const QString &baseName)
{
    return prefix + baseName.mid(1) + QStringLiteral(".chm");
}

QList<frmCHM::ChmBible> frmCHM::FindChmBibles(const QString &moduleList, const QString &chmFolder)
{
    QList<ChmBible> found;
    if (!FileNames::existsIgnoringCase(moduleList))
        return found;
    RecordReader reader = RecordReader::fromFile(FileNames::resolve(moduleList));
    while (!reader.atEnd()) {
        // A short record names no module; the next one is read.
        const QStringList fields = reader.readRecord();
        if (fields.size() < 4)
            continue;
        for (const QString &prefix : {QStringLiteral("cn"), QStringLiteral("cf")}) {
            const QString name = ChmFileName(prefix, fields[3]);
            // A base name that is a path names no file of the CHM folder.
            if (!FileNames::isPlainFileName(name))
                continue;
            const QString path = FileNames::resolve(chmFolder + name);
            if (QFileInfo(path).isFile())
                found.append({fields[2], name, path});
        }
    }
    return found;
}

void frmCHM::AddChmBible(const ChmBible &bible)
{
    auto *item = new QTreeWidgetItem(ListView1, {bible.displayName, bible.fileName});
    item->setData(0, PathRole, bible.path);
}

void frmCHM::cmdView_Click()
{
    TrapErrors(QStringLiteral("frmCHM.cmdView_Click()"), [this] {
        QTreeWidgetItem *item = ListView1->currentItem();
        if (!item) {
            StatusBar1->showMessage(GetMsg(0, NoRowChosenMsg));
            return;
        }
        gHelpFile = item->data(0, PathRole).toString();
        HelpService::setHelpFile(gHelpFile);
        HelpService::showHelp();
    });
}

void frmCHM::cmdDownload_Click()
{
    TrapErrors(QStringLiteral("frmCHM.cmdDownload_Click()"),
               [this] { OpenUrl(MainMenu::ChmBiblesAddress(), this); });
}

void frmCHM::done(int result)
{
    // F1 shows the program's own help again once the selector is gone.
    gHelpFile = FileNames::resolve(gProgramFolder + QStringLiteral("help.chm"));
    HelpService::setHelpFile(gHelpFile);
    IgnoreErrors([this] { SaveFormPosition(QStringLiteral("ChmSelector"), this); });
    QDialog::done(result);
}
