#include "study/frmMapViewer.h"
#include "study/MapLayout.h"

#include "core/Bug_.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "core/Registry_.h"
#include "mainwindow/MenuTargets.h"
#include "platform/DefaultInstance.h"
#include "platform/FileNames.h"
#include "platform/SettingsStore.h"
#include "platform/VbConvert.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QStatusBar>

namespace {
constexpr int CaptionId = 6;
constexpr int PictureUnreadableMsg = 281;
const QString MapScaleKey = QStringLiteral("MapScale");
const QString Settings = QStringLiteral("Settings");
} // namespace

frmMapViewer::frmMapViewer()
{
    setAttribute(Qt::WA_DeleteOnClose, true);
    setAttribute(Qt::WA_QuitOnClose, false);
    pixToolbar = new QWidget(this);
    Combo1 = new QComboBox(pixToolbar);
    chkScale = new QCheckBox(QStringLiteral("&Scale to Window"), pixToolbar);
    pixScroll = new QWidget(this);
    pixScroll->setAutoFillBackground(true);
    pixMover = new QWidget(pixScroll);
    Image1 = new QLabel(pixMover);
    Image1->setScaledContents(true);
    Image1->installEventFilter(this);
    Image1->setCursor(Qt::OpenHandCursor);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
    connect(chkScale, &QCheckBox::toggled, this, [this] { chkScale_Click(); });
    resize(800, 600);
    Form_Load();
}

frmMapViewer::~frmMapViewer()
{
    gMapViewerOpen = false;
}

void frmMapViewer::Register()
{
    MenuTargets::Register(MenuTargets::MapViewer,
                          {[]() -> QWidget * { return &DefaultInstance<frmMapViewer>::get(); },
                           []() -> QWidget * { return DefaultInstance<frmMapViewer>::peek(); },
                           {}});
}

void frmMapViewer::Form_Load()
{
    gMapViewerOpen = true;
    IgnoreErrors([this] { RestoreFormPosition(QStringLiteral("ScreenMap"), this); });
    // The stored value is rounded to a whole number; one outside 0..1 means the
    // default, fitting, while a text that is no number leaves fitting off.
    const std::optional<qint16> scale =
        VbConvert::toInt16(SettingsStore::instance().value(Settings, MapScaleKey, QStringLiteral("1")));
    chkScale->setChecked(scale && *scale != 0);
    const int comboHeight = Combo1->sizeHint().height();
    pixToolbar->setGeometry(0, 0, width(), comboHeight + 2);
    Combo1->move(1, 1);
    Combo1->resize(Combo1->width(), comboHeight);
    FillMapList();
    Form_Resize();
}

QList<frmMapViewer::MapItem> frmMapViewer::ListMaps(const QString &folder)
{
    QList<MapItem> items;
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QString &name : names) {
        const QString extension = name.right(4).toLower();
        if (extension != QLatin1String(".bmp") && extension != QLatin1String(".jpg") &&
            extension != QLatin1String(".gif"))
            continue;
        items.append({name.left(name.size() - 4), ComputeEnumFromExtension(extension)});
    }
    std::stable_sort(items.begin(), items.end(), [](const MapItem &a, const MapItem &b) {
        return a.text.compare(b.text, Qt::CaseInsensitive) < 0;
    });
    return items;
}

QString frmMapViewer::ComputeExtensionFromEnum(int type)
{
    switch (type) {
    case Bmp:
        return QStringLiteral(".bmp");
    case Jpg:
        return QStringLiteral(".jpg");
    case Gif:
        return QStringLiteral(".gif");
    default:
        Assert(false, QStringLiteral("Invalid ch in frmMapViewer.ComputeExtensionFromEnum(ch)"));
        return QStringLiteral(".");
    }
}

int frmMapViewer::ComputeEnumFromExtension(const QString &extension)
{
    if (extension == QLatin1String(".bmp"))
        return Bmp;
    if (extension == QLatin1String(".jpg"))
        return Jpg;
    if (extension == QLatin1String(".gif"))
        return Gif;
    Assert(false, QStringLiteral("Invalid sExt in frmMapViewer.ComputeEnumFromExtension(sExt)"));
    return -1;
}

QImage frmMapViewer::LoadPicture(const QString &path, QString &reason)
{
    QImageReader reader(path);
    reader.setAllocationLimit(AllocationLimitMb);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() <= 0 || size.height() <= 0)) {
        reason = QStringLiteral("the picture has no size");
        return QImage();
    }
    QImage image = reader.read();
    if (image.isNull()) {
        reason = reader.errorString();
        return QImage();
    }
    if (image.width() <= 0 || image.height() <= 0) {
        reason = QStringLiteral("the picture has no size");
        return QImage();
    }
    return image;
}

void frmMapViewer::FillMapList()
{
    setWindowTitle(GetMsg(1, CaptionId, MiscHelpers::ProductTitle()));
    m_items = ListMaps(gMapsFolder);
    const QSignalBlocker quiet(Combo1);
    Combo1->clear();
    for (const MapItem &item : m_items)
        Combo1->addItem(item.text, item.type);
    if (Combo1->count() == 0)
        return;
    Combo1->setCurrentIndex(0);
    Combo1_Click();
}

void frmMapViewer::Combo1_Click()
{
    TrapErrors(QStringLiteral("frmMapViewer.Combo1_Click()"), [this] {
        const int index = Combo1->currentIndex();
        if (index < 0)
            return;
        // The list shows the extension in lower case; the file on disk may differ in case.
        const QString path = FileNames::resolve(gMapsFolder + Combo1->itemText(index) +
                                                ComputeExtensionFromEnum(Combo1->itemData(index).toInt()));
        QString reason;
        const QImage image = LoadPicture(path, reason);
        Image1->setPixmap(image.isNull() ? QPixmap() : QPixmap::fromImage(image));
        m_mapSize = image.isNull() ? QSizeF() : QSizeF(image.size());
        m_pan = QPointF(0, 0);
        if (image.isNull())
            StatusBar1->showMessage(GetMsg(0, PictureUnreadableMsg, QFileInfo(path).fileName()) +
                                    QStringLiteral(" (") + reason + QLatin1Char(')'));
        else
            StatusBar1->showMessage(QStringLiteral("%1 × %2").arg(image.width()).arg(image.height()));
        Form_Resize();
    });
}

void frmMapViewer::chkScale_Click()
{
    Form_Resize();
    IgnoreErrors([this] {
        SettingsStore::instance().setValue(Settings, MapScaleKey,
                                           chkScale->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    });
}

void frmMapViewer::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmMapViewer::Form_Resize()
{
    if (isMinimized())
        return;
    const int scaleWidth = width();
    const int scaleHeight = height() - StatusBar1->sizeHint().height();
    const int checkWidth =
        chkScale->fontMetrics().horizontalAdvance(chkScale->text().remove(QLatin1Char('&'))) + 30;
    chkScale->setGeometry(scaleWidth - checkWidth, 0, checkWidth, Combo1->height());
    Combo1->resize(std::max(0, scaleWidth - checkWidth - 11), Combo1->height());
    const int top = Combo1->y() + Combo1->height() + 2;
    pixToolbar->setGeometry(0, 0, scaleWidth, top);
    pixScroll->setGeometry(0, top, scaleWidth, std::max(0, scaleHeight - top));
    StatusBar1->setGeometry(0, scaleHeight, scaleWidth, height() - scaleHeight);
    const MapLayout::Placement placement =
        MapLayout::place(QSizeF(pixScroll->size()), m_mapSize, chkScale->isChecked(), m_pan);
    pixMover->setVisible(placement.valid);
    if (!placement.valid)
        return;
    const QRect rect = placement.picture.toRect();
    pixMover->setGeometry(rect);
    Image1->setGeometry(0, 0, rect.width(), rect.height());
}

bool frmMapViewer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != Image1)
        return QWidget::eventFilter(watched, event);
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return QWidget::eventFilter(watched, event);
    auto *mouse = static_cast<QMouseEvent *>(event);
    const QPointF point = mouse->position() + QPointF(pixMover->pos());
    if (type == QEvent::MouseButtonRelease) {
        m_anchor = QPointF(-1, -1);
        return true;
    }
    // Only the left button alone drags.
    if (mouse->buttons() != Qt::LeftButton)
        return true;
    if (type == QEvent::MouseButtonPress) {
        m_anchor = point;
        return true;
    }
    if (chkScale->isChecked() || m_anchor.x() == -1 || m_anchor.y() == -1)
        return true;
    m_pan = MapLayout::dragged(m_pan, m_anchor, point);
    m_anchor = point;
    Form_Resize();
    return true;
}

void frmMapViewer::closeEvent(QCloseEvent *event)
{
    IgnoreErrors([this] { SaveFormPosition(QStringLiteral("ScreenMap"), this); });
    gMapViewerOpen = false;
    event->accept();
}
