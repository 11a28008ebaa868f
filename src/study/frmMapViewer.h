#pragma once

#include <QImage>
#include <QList>
#include <QPointF>
#include <QString>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QStatusBar;

// Shows one map picture of the maps folder at a time, fitted to the window or at
// natural size and panned by dragging.
class frmMapViewer : public QWidget
{
    Q_OBJECT

public:
    enum MapFileType { Bmp = 0, Jpg = 1, Gif = 2 };
    struct MapItem
    {
        QString text; // the file name without its extension
        int type = Bmp;
    };
    // Pictures larger than this (decoded, in megabytes) are refused.
    static constexpr int AllocationLimitMb = 96;

    frmMapViewer();
    ~frmMapViewer() override;
    static void Register();

    // The map files of a folder as the list shows them: sorted by text, one item
    // per ".bmp", ".jpg" or ".gif" file whatever the case of its extension.
    static QList<MapItem> ListMaps(const QString &folder);
    static QString ComputeExtensionFromEnum(int type);
    static int ComputeEnumFromExtension(const QString &extension);
    // Decodes a picture; an empty image and the reason when it cannot be shown.
    static QImage LoadPicture(const QString &path, QString &reason);

    void Combo1_Click();
    void chkScale_Click();
    void Form_Resize();

    QWidget *pixToolbar = nullptr;
    QComboBox *Combo1 = nullptr;
    QCheckBox *chkScale = nullptr;
    QWidget *pixScroll = nullptr;
    QWidget *pixMover = nullptr;
    QLabel *Image1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;

    QPointF pan() const { return m_pan; }
    QSizeF mapSize() const { return m_mapSize; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    void FillMapList();

    QList<MapItem> m_items;
    QSizeF m_mapSize;
    QPointF m_pan;
    QPointF m_anchor{-1, -1};
};
