#include "preferences/frmDirlist.h"
#include "preferences/frmLocate.h"

#include "core/Bug_.h"
#include "core/MsgSupport.h"
#include "platform/DefaultInstance.h"
#include "platform/Desktop.h"
#include "platform/ModalOpener.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace {
bool isUnder(const QString &path, const QString &root)
{
    if (root == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/'));
    return path == root || path.startsWith(root + QLatin1Char('/'));
}

QString withTrailingSlash(const QString &path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}
} // namespace

frmDirlist::frmDirlist()
{
    setWindowTitle(QStringLiteral("Locate MODULE Folder"));
    setAttribute(Qt::WA_DeleteOnClose, true);
    setAttribute(Qt::WA_QuitOnClose, false);

    Drive1 = new QComboBox(this);
    for (const QString &root : driveRoots())
        Drive1->addItem(root, root);

    m_folders = new QFileSystemModel(this);
    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_folders->setRootPath(QDir::rootPath());
    Dir1 = new QTreeView(this);
    Dir1->setModel(m_folders);
    for (int column = 1; column < m_folders->columnCount(); ++column)
        Dir1->hideColumn(column);
    Dir1->setHeaderHidden(true);

    Label1 = new QLabel(QStringLiteral("Currently selected Folder"), this);
    Text1 = new QLineEdit(this);
    cmdDone = new QPushButton(this);
    cmsClose = new QPushButton(this);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton *button : {cmdDone, cmsClose}) {
        // Enter in the folder line must not take the folder by accident.
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Drive1);
    layout->addWidget(Dir1, 1);
    layout->addWidget(Label1);
    layout->addWidget(Text1);
    layout->addLayout(buttons);
    resize(460, 440);

    connect(Drive1, &QComboBox::currentIndexChanged, this, [this] { Drive1_Change(); });
    connect(Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    setDirPath(m_folders->filePath(current));
            });
    // Folders are read and sorted in the background; once those on the way to the
    // selected folder have settled, it is brought into view.
    m_reveal = new QTimer(this);
    m_reveal->setSingleShot(true);
    m_reveal->setInterval(100);
    connect(m_reveal, &QTimer::timeout, this,
            [this] { Dir1->scrollTo(m_folders->index(m_dirPath), QAbstractItemView::PositionAtCenter); });
    connect(m_folders, &QFileSystemModel::directoryLoaded, this, [this](const QString &loaded) {
        if (isUnder(m_dirPath, QDir::cleanPath(loaded)))
            m_reveal->start();
    });
    connect(cmdDone, &QPushButton::clicked, this, [this] { cmdDone_Click(); });
    connect(cmsClose, &QPushButton::clicked, this, [this] { cmsClose_Click(); });

    // Form_Load: the tree starts in the process's current folder, under the
    // root that holds it.
    cmdDone->setText(GetMsg(1, 184));
    cmsClose->setText(GetMsg(1, 185));
    const QString start = QDir::cleanPath(QDir::currentPath());
    int best = 0;
    for (int i = 0; i < Drive1->count(); ++i)
        if (isUnder(start, Drive1->itemText(i)) &&
            Drive1->itemText(i).size() >= Drive1->itemText(best).size())
            best = i;
    {
        const QSignalBlocker quiet(Drive1);
        Drive1->setCurrentIndex(best);
    }
    showDrive(Drive1->itemText(best));
    setDirPath(start);
}

void frmDirlist::ShowModal()
{
    ModalOpener<frmDirlist>::show();
}

std::function<void()> frmDirlist::setShowModal(std::function<void()> show)
{
    return ModalOpener<frmDirlist>::replace(std::move(show));
}

QStringList frmDirlist::driveRoots()
{
    QStringList roots{QDir::rootPath()};
    const QString home = QDir::cleanPath(QDir::homePath());
    if (QFileInfo(home).isDir())
        roots.append(home);
    QStringList mounts;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        const QString path = QDir::cleanPath(volume.rootPath());
        if (volume.isValid() && volume.isReady() &&
            (isUnder(path, QStringLiteral("/media")) || isUnder(path, QStringLiteral("/mnt"))))
            mounts.append(path);
    }
    mounts.sort();
    roots += mounts;
    roots.removeDuplicates();
    return roots;
}

void frmDirlist::setDirPath(const QString &path)
{
    const QString clean = QDir::cleanPath(path);
    if (clean == m_dirPath)
        return;
    m_dirPath = clean;
    const QModelIndex index = m_folders->index(clean);
    if (index.isValid() && Dir1->currentIndex() != index) {
        Dir1->setCurrentIndex(index);
        Dir1->scrollTo(index, QAbstractItemView::PositionAtCenter);
    }
    Dir1_Change();
}

void frmDirlist::showDrive(const QString &root)
{
    Dir1->setRootIndex(m_folders->index(root));
}

void frmDirlist::Drive1_Change()
{
    // A root that cannot be read leaves the tree where it was.
    IgnoreErrors([this] {
        const QString root = Drive1->currentData().toString();
        const QFileInfo info(root);
        if (!info.isDir() || !info.isReadable())
            return;
        showDrive(root);
        setDirPath(root);
    });
}

void frmDirlist::Dir1_Change()
{
    // At the root the path already ends with the separator; a second one would
    // only make the folder line harder to read.
    Text1->setText(withTrailingSlash(m_dirPath));
}

void frmDirlist::cmdDone_Click()
{
    TrapErrors(QStringLiteral("frmDirlist.cmdDone_Click()"), [this] {
        // Judged as it is saved: a folder typed without its final "/" is the same folder.
        if (!frmLocate::AcceptModuleFolder(frmLocate::NormalizedFolder(Text1->text()), windowTitle()))
            return;
        desktop().messageBox(frmLocate::NoBibleMessage(QString()), MsgBoxStyle::Critical, windowTitle());
    });
}

void frmDirlist::cmsClose_Click()
{
    close();
}
