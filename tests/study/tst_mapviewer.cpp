#include "common/TestFixture.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "platform/DefaultInstance.h"
#include "platform/SettingsStore.h"
#include "study/MapLayout.h"
#include "study/frmMapViewer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QStatusBar>
#include <QtTest>

namespace {
// A BMP header claiming a size, with no pixels behind it.
QByteArray bmpHeader(qint32 width, qint32 height)
{
    QByteArray b(54, '\0');
    auto put32 = [&b](int at, qint32 v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = char((v >> (8 * i)) & 0xFF);
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, 54);
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    b[26] = 1;
    b[28] = 24;
    return b;
}

void sendMouse(QWidget *target, QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}
} // namespace

class TestMapViewer : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;

    void writeImage(const QString &name, QSize size, const char *format)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        QVERIFY(image.save(gMapsFolder + name, format));
    }
    void copyShippedMap(const QString &shipped, const QString &as)
    {
        QVERIFY(QFile::copy(TestFixture::sourceDir() + QStringLiteral("/data/Modules/Maps/") + shipped,
                            gMapsFolder + as));
    }
    QString setting() const
    {
        return SettingsStore::instance().value(QStringLiteral("Settings"), QStringLiteral("MapScale"),
                                               QStringLiteral("<none>"));
    }

private slots:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
    }
    void cleanup()
    {
        DefaultInstance<frmMapViewer>::release();
        m_fx.reset();
    }

    void listingRules()
    {
        writeImage(QStringLiteral("Coast.BMP"), {40, 30}, "BMP");
        writeImage(QStringLiteral("Roads.jpeg"), {40, 30}, "JPG");
        writeImage(QStringLiteral("Israel.jpg"), {40, 30}, "JPG");
        copyShippedMap(QStringLiteral("Journeys.gif"), QStringLiteral("Israel.gif"));
        m_fx->writeFile(QStringLiteral("Modules/Maps/readme.txt"), "x");
        QDir().mkpath(gMapsFolder + QStringLiteral("sub.jpg"));
        const QList<frmMapViewer::MapItem> items = frmMapViewer::ListMaps(gMapsFolder);
        QStringList texts;
        QList<int> types;
        for (const frmMapViewer::MapItem &item : items) {
            texts << item.text;
            types << item.type;
        }
        QCOMPARE(texts,
                 (QStringList{QStringLiteral("Coast"), QStringLiteral("Israel"), QStringLiteral("Israel")}));
        QCOMPARE(types[0], int(frmMapViewer::Bmp));
        QCOMPARE(QSet<int>(types.begin() + 1, types.end()),
                 (QSet<int>{frmMapViewer::Jpg, frmMapViewer::Gif}));
        QVERIFY(frmMapViewer::ListMaps(gMapsFolder + QStringLiteral("none/")).isEmpty());
    }

    void extensionsAndTypes()
    {
        QCOMPARE(frmMapViewer::ComputeExtensionFromEnum(2), QStringLiteral(".gif"));
        QCOMPARE(frmMapViewer::ComputeExtensionFromEnum(7), QStringLiteral("."));
        QCOMPARE(frmMapViewer::ComputeEnumFromExtension(QStringLiteral(".jpg")), 1);
        QCOMPARE(frmMapViewer::ComputeEnumFromExtension(QStringLiteral(".JPG")), -1);
    }

    void unreadablePictures_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("broken") << QByteArray("\xFF\xD8 this is not a picture", 24);
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("0x0") << bmpHeader(0, 0);
        QTest::newRow("huge") << bmpHeader(40000, 40000);
    }
    void unreadablePictures()
    {
        QFETCH(QByteArray, bytes);
        m_fx->writeFile(QStringLiteral("Modules/Maps/Bad.bmp"), bytes);
        QString reason;
        QVERIFY(frmMapViewer::LoadPicture(gMapsFolder + QStringLiteral("Bad.bmp"), reason).isNull());
        QVERIFY(!reason.isEmpty());

        // The window shows an empty area and says which file, without dividing by zero.
        frmMapViewer &viewer = DefaultInstance<frmMapViewer>::get();
        QCOMPARE(viewer.Combo1->count(), 1);
        QVERIFY(!viewer.pixMover->isVisible());
        QVERIFY(viewer.StatusBar1->currentMessage().startsWith(GetMsg(0, 281, QStringLiteral("Bad.bmp"))));
        viewer.chkScale->setChecked(false);
        viewer.resize(300, 200);
        viewer.Form_Resize();
        QVERIFY(!viewer.pixMover->isVisible());
    }

    void placement_data()
    {
        QTest::addColumn<QSizeF>("area");
        QTest::addColumn<QSizeF>("picture");
        QTest::addColumn<bool>("fit");
        QTest::addColumn<QPointF>("pan");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<QPointF>("panAfter");
        QTest::newRow("fit, width limits") << QSizeF(400, 300) << QSizeF(200, 100) << true << QPointF(30, 40)
                                           << true << QRectF(4, 51, 388, 194) << QPointF(0, 0);
        QTest::newRow("fit enlarges") << QSizeF(112, 212) << QSizeF(10, 10) << true << QPointF() << true
                                      << QRectF(4, 54, 100, 100) << QPointF(0, 0);
        QTest::newRow("natural size, panned")
            << QSizeF(400, 300) << QSizeF(200, 100) << false << QPointF(10, -5) << true
            << QRectF(88, 103, 200, 100) << QPointF(10, -5);
        QTest::newRow("area below the margin") << QSizeF(5, 5) << QSizeF(200, 100) << true << QPointF()
                                               << true << QRectF(0.5, 0.5, 0, 0) << QPointF(0, 0);
        QTest::newRow("0x0 picture") << QSizeF(400, 300) << QSizeF(0, 0) << true << QPointF() << false
                                     << QRectF() << QPointF();
        QTest::newRow("no picture") << QSizeF(400, 300) << QSizeF() << false << QPointF(1, 1) << false
                                    << QRectF() << QPointF(1, 1);
    }
    void placement()
    {
        QFETCH(QSizeF, area);
        QFETCH(QSizeF, picture);
        QFETCH(bool, fit);
        QFETCH(QPointF, pan);
        QFETCH(bool, valid);
        QFETCH(QRectF, rect);
        QFETCH(QPointF, panAfter);
        const MapLayout::Placement p = MapLayout::place(area, picture, fit, pan);
        QCOMPARE(p.valid, valid);
        if (valid)
            QCOMPARE(p.picture, rect);
        QCOMPARE(pan, panAfter);
    }

    void dragFollowsThePointer()
    {
        QCOMPARE(MapLayout::dragged(QPointF(5, 5), QPointF(10, 10), QPointF(110, 30)), QPointF(-95, -15));
    }

    void storedScale_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("fit");
        QTest::newRow("missing") << QString() << true;
        QTest::newRow("1") << "1" << true;
        QTest::newRow("0") << "0" << false;
        QTest::newRow("5") << "5" << true;
        QTest::newRow("-1") << "-1" << true;
        QTest::newRow("not a number") << "abc" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("rounded up to 1") << "0.6" << true;
        QTest::newRow("rounded down to 0") << "0.4" << false;
        QTest::newRow("blanks around 0") << " 0 " << false;
    }
    void storedScale()
    {
        QFETCH(QString, stored);
        QFETCH(bool, fit);
        if (!stored.isNull())
            SettingsStore::instance().setValue(QStringLiteral("Settings"), QStringLiteral("MapScale"),
                                               stored);
        frmMapViewer &viewer = DefaultInstance<frmMapViewer>::get();
        QCOMPARE(viewer.chkScale->isChecked(), fit);
        viewer.chkScale->setChecked(!fit);
        QCOMPARE(setting(), fit ? QStringLiteral("0") : QStringLiteral("1"));
    }

    void openAndPan()
    {
        writeImage(QStringLiteral("Coast.BMP"), {600, 400}, "BMP");
        frmMapViewer &viewer = DefaultInstance<frmMapViewer>::get();
        viewer.resize(500, 400);
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QCOMPARE(viewer.windowTitle(), GetMsg(1, 6, QStringLiteral("Verbanox")));
        QCOMPARE(viewer.Combo1->currentText(), QStringLiteral("Coast"));
        QCOMPARE(viewer.mapSize(), QSizeF(600, 400));
        QVERIFY(viewer.pixMover->width() < 500);

        // Fitted, a drag does nothing.
        const QPoint before = viewer.pixMover->pos();
        sendMouse(viewer.Image1, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
        sendMouse(viewer.Image1, QEvent::MouseMove, {110, 10}, Qt::LeftButton);
        sendMouse(viewer.Image1, QEvent::MouseButtonRelease, {110, 10}, Qt::NoButton);
        QCOMPARE(viewer.pixMover->pos(), before);

        viewer.chkScale->setChecked(false);
        QCOMPARE(viewer.pixMover->size(), QSize(600, 400));
        const QPoint natural = viewer.pixMover->pos();
        sendMouse(viewer.Image1, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
        sendMouse(viewer.Image1, QEvent::MouseMove, {60, 10}, Qt::LeftButton);
        // The picture moved under the pointer: the same point of it is at the pointer again.
        sendMouse(viewer.Image1, QEvent::MouseMove, {60, 30}, Qt::LeftButton);
        sendMouse(viewer.Image1, QEvent::MouseButtonRelease, {60, 30}, Qt::NoButton);
        QCOMPARE(viewer.pixMover->pos(), natural + QPoint(100, 20));
        // A move without the button pressed does nothing.
        sendMouse(viewer.Image1, QEvent::MouseMove, {90, 90}, Qt::NoButton);
        QCOMPARE(viewer.pixMover->pos(), natural + QPoint(100, 20));

        // The pan survives a resize; fitting resets it.
        viewer.resize(520, 420);
        viewer.Form_Resize();
        QCOMPARE(viewer.pan(), QPointF(-100, -20));
        viewer.chkScale->setChecked(true);
        viewer.chkScale->setChecked(false);
        QCOMPARE(viewer.pan(), QPointF(0, 0));
    }

    void theLoadFindsTheFileWhateverItsCase()
    {
        writeImage(QStringLiteral("Coast.BMP"), {64, 48}, "BMP");
        frmMapViewer &viewer = DefaultInstance<frmMapViewer>::get();
        QCOMPARE(viewer.mapSize(), QSizeF(64, 48));
        QVERIFY(viewer.pixMover->isVisibleTo(&viewer));
    }
};

QTEST_MAIN(TestMapViewer)
#include "tst_mapviewer.moc"
