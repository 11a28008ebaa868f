#include "platform/Twips.h"

#include <QtTest>

class tst_Twips : public QObject
{
    Q_OBJECT

private slots:
    void fifteenTwipsPerPixelOffscreen();
    void toPixelsRoundsHalfToEven_data();
    void toPixelsRoundsHalfToEven();
    void rectToPixels();
    void pixelsReadBack();
    void scaleModes();
};

void tst_Twips::fifteenTwipsPerPixelOffscreen()
{
    // The offscreen platform reports 96 dpi.
    QCOMPARE(Twips::perPixelX(), 15.0);
    QCOMPARE(Twips::perPixelY(), 15.0);
    QCOMPARE(Twips::toPixelsX(1440), 96);
    QCOMPARE(Twips::toPixelsY(1440), 96);
}

void tst_Twips::toPixelsRoundsHalfToEven_data()
{
    QTest::addColumn<double>("twips");
    QTest::addColumn<int>("pixels");

    QTest::newRow("0") << 0.0 << 0;
    QTest::newRow("one pixel") << 15.0 << 1;
    QTest::newRow("below half") << 7.0 << 0;
    QTest::newRow("above half") << 8.0 << 1;
    QTest::newRow("0.5 px") << 7.5 << 0;
    QTest::newRow("1.5 px") << 22.5 << 2;
    QTest::newRow("2.5 px") << 37.5 << 2;
    QTest::newRow("3.5 px") << 52.5 << 4;
    QTest::newRow("-1.5 px") << -22.5 << -2;
    QTest::newRow("-2.5 px") << -37.5 << -2;
    QTest::newRow("one inch") << 1440.0 << 96;
    QTest::newRow("a form width") << 9600.0 << 640;
}

void tst_Twips::toPixelsRoundsHalfToEven()
{
    QFETCH(double, twips);
    QFETCH(int, pixels);
    QCOMPARE(Twips::toPixelsX(twips), pixels);
    QCOMPARE(Twips::toPixelsY(twips), pixels);
}

void tst_Twips::rectToPixels()
{
    QCOMPARE(Twips::rectToPixels(15, 15, 150, 30), QRect(1, 1, 10, 2));
    QCOMPARE(Twips::rectToPixels(0, 0, 0, 0), QRect(0, 0, 0, 0));
    QCOMPARE(Twips::rectToPixels(-150, 22.5, 37.5, 1440), QRect(-10, 2, 2, 96));
}

void tst_Twips::pixelsReadBack()
{
    for (int px = -50; px <= 3000; ++px) {
        QCOMPARE(Twips::fromPixelsX(px), px * 15.0);
        QCOMPARE(Twips::toPixelsX(Twips::fromPixelsX(px)), px);
        QCOMPARE(Twips::toPixelsY(Twips::fromPixelsY(px)), px);
    }
}

void tst_Twips::scaleModes()
{
    QCOMPARE(Twips::toPixels(150, Twips::ScaleMode::Twips, false), 10);
    QCOMPARE(Twips::toPixels(30, Twips::ScaleMode::Twips, true), 2);
    QCOMPARE(Twips::toPixels(150, Twips::ScaleMode::Pixels, false), 150);
    QCOMPARE(Twips::toPixels(2.5, Twips::ScaleMode::Pixels, true), 2);
    QCOMPARE(Twips::toPixels(3.5, Twips::ScaleMode::Pixels, false), 4);
}

QTEST_MAIN(tst_Twips)
#include "tst_twips.moc"
