#include "search/MediaBibleButtons.h"
#include "search/WorkspaceToolbar.h"

#include "core/Bug_.h"
#include "core/GlobalVars.h"
#include "mainwindow/CommonMenus.h"
#include "mainwindow/MenuTargets.h"
#include "platform/FileNames.h"

#include <QBitmap>
#include <QDir>
#include <QPixmap>
#include <QToolButton>

namespace {
const char *const PictureProperty = "Picture";

bool anyMp3Bible()
{
    const QString folder = FileNames::resolve(gModuleFolder + QStringLiteral("MP3/"));
    return !QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty();
}
} // namespace

MediaBibleButtons::MediaBibleButtons(QWidget *parent)
    : QObject(parent)
    , m_chmFallback(WorkspaceToolbar::ThemePicture("help-browser", QStyle::SP_FileDialogInfoView))
    , m_mp3Fallback(WorkspaceToolbar::ThemePicture("audio-x-generic", QStyle::SP_MediaPlay))
{
    cmdCHM = WorkspaceToolbar::MakeButton(parent, "cmdCHM", m_chmFallback);
    cmdMP3 = WorkspaceToolbar::MakeButton(parent, "cmdMP3", m_mp3Fallback);
    connect(cmdCHM, &QToolButton::clicked, this, [this] { cmdCHM_Click(); });
    connect(cmdMP3, &QToolButton::clicked, this, [this] { cmdMP3_Click(); });
}

void MediaBibleButtons::MarkInstalled()
{
    m_chm = CommonMenus::ChmBiblesInstalled();
    SetPicture(cmdCHM, m_chm ? QStringLiteral("c.gif") : QStringLiteral("cX.gif"), m_chmFallback);
    SetPicture(cmdMP3, anyMp3Bible() ? QStringLiteral("v.bmp") : QStringLiteral("vX.bmp"), m_mp3Fallback);
    // Without its window the selector cannot open; the download question always can.
    cmdCHM->setEnabled(!m_chm || MenuTargets::IsRegistered(MenuTargets::CHM));
    cmdMP3->setEnabled(MenuTargets::IsRegistered(MenuTargets::MP3));
}

QString MediaBibleButtons::PictureName(const QToolButton *button)
{
    return button->property(PictureProperty).toString();
}

// A picture missing from the program folder leaves the button its own; magenta
// is the transparent colour of the BMP pictures, which have no transparency.
void MediaBibleButtons::SetPicture(QToolButton *button, const QString &fileName, const QIcon &fallback)
{
    QPixmap picture(FileNames::resolve(gProgramFolder + fileName));
    if (!picture.isNull())
        picture.setMask(picture.createMaskFromColor(Qt::magenta));
    button->setIcon(picture.isNull() ? fallback : QIcon(picture));
    button->setProperty(PictureProperty, fileName);
}

// Bibles installed or removed since the workspace loaded show on the picture
// now, and the click does what the picture says.
void MediaBibleButtons::cmdCHM_Click()
{
    TrapErrors(QStringLiteral("AdvancedSearch.cmdCHM_Click()"), [this] {
        MarkInstalled();
        CommonMenus::OpenChmBibles(m_chm, cmdCHM->window());
    });
}

void MediaBibleButtons::cmdMP3_Click()
{
    TrapErrors(QStringLiteral("AdvancedSearch.cmdMP3_Click()"), [] {
        if (QWidget *player = MenuTargets::Get(MenuTargets::MP3).instance())
            player->setVisible(true);
    });
}
