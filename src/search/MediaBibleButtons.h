#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

class QToolButton;
class QWidget;

// The two buttons beside the search modes that open the Bibles of other kinds:
// the CHM Bible selector and the MP3 player. Each shows by its picture whether
// such Bibles are installed; without CHM Bibles the CHM button asks whether to
// open their download page instead of opening the selector.
class MediaBibleButtons : public QObject
{
public:
    explicit MediaBibleButtons(QWidget *parent);

    // The pictures from the program folder by what is installed now: "c.gif" or
    // "cX.gif", "v.bmp" or "vX.bmp".
    void MarkInstalled();
    // The file of the picture a button shows.
    static QString PictureName(const QToolButton *button);

    void cmdCHM_Click();
    void cmdMP3_Click();

    QToolButton *cmdCHM = nullptr;
    QToolButton *cmdMP3 = nullptr;

private:
    static void SetPicture(QToolButton *button, const QString &fileName, const QIcon &fallback);

    QIcon m_chmFallback;
    QIcon m_mp3Fallback;
    bool m_chm = false;
};
