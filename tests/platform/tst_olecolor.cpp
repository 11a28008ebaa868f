#include "platform/OleColor.h"

#include <QApplication>
#include <QPalette>
#include <QtTest>

class tst_OleColor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void rgbRoundTrip_data();
    void rgbRoundTrip();
    void systemColoursFromPalette_data();
    void systemColoursFromPalette();
    void invalidValuesFail_data();
    void invalidValuesFail();

private:
    QPalette m_original;
};

namespace {
// A palette in which every role and group has its own colour, so that a system
// colour taken from the wrong role cannot pass.
QPalette distinctPalette()
{
    QPalette palette;
    int n = 1;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            if (role == QPalette::NoRole)
                continue;
            palette.setColor(group, QPalette::ColorRole(role), QColor(n, 255 - n, (n * 7) % 256));
            ++n;
        }
    }
    return palette;
}
} // namespace

void tst_OleColor::initTestCase()
{
    m_original = QApplication::palette();
    QApplication::setPalette(distinctPalette());
}

void tst_OleColor::cleanupTestCase()
{
    QApplication::setPalette(m_original);
}

void tst_OleColor::rgbRoundTrip_data()
{
    QTest::addColumn<quint32>("ole");
    QTest::addColumn<QColor>("color");

    QTest::newRow("black") << 0x00000000u << QColor(0, 0, 0);
    QTest::newRow("white") << 0x00FFFFFFu << QColor(255, 255, 255);
    QTest::newRow("red is the low byte") << 0x000000FFu << QColor(255, 0, 0);
    QTest::newRow("green") << 0x0000FF00u << QColor(0, 255, 0);
    QTest::newRow("blue is the high byte") << 0x00FF0000u << QColor(0, 0, 255);
    QTest::newRow("mixed") << 0x00336699u << QColor(0x99, 0x66, 0x33);
    QTest::newRow("rgb()") << OleColor::rgb(1, 2, 3) << QColor(1, 2, 3);
}

void tst_OleColor::rgbRoundTrip()
{
    QFETCH(quint32, ole);
    QFETCH(QColor, color);
    QCOMPARE(OleColor::toQColor(ole), color);
    QCOMPARE(OleColor::fromQColor(color), ole);
    quint32 rgb = 0xDEADBEEF;
    QVERIFY(OleColor::translate(ole, &rgb));
    QCOMPARE(rgb, ole);
    QVERIFY(!OleColor::isSystemColor(ole));
}

void tst_OleColor::systemColoursFromPalette_data()
{
    QTest::addColumn<quint32>("ole");
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("role");

    namespace Sys = OleColor::Sys;
    QTest::newRow("button face") << Sys::ButtonFace << int(QPalette::Active) << int(QPalette::Button);
    QTest::newRow("button text") << Sys::ButtonText << int(QPalette::Active) << int(QPalette::ButtonText);
    QTest::newRow("window") << Sys::Window << int(QPalette::Active) << int(QPalette::Base);
    QTest::newRow("window text") << Sys::WindowText << int(QPalette::Active) << int(QPalette::Text);
    QTest::newRow("highlight") << Sys::Highlight << int(QPalette::Active) << int(QPalette::Highlight);
    QTest::newRow("highlight text") << Sys::HighlightText << int(QPalette::Active)
                                    << int(QPalette::HighlightedText);
    QTest::newRow("grey text") << Sys::GrayText << int(QPalette::Disabled) << int(QPalette::Text);
    QTest::newRow("menu") << Sys::Menu << int(QPalette::Active) << int(QPalette::Window);
    QTest::newRow("menu text") << Sys::MenuText << int(QPalette::Active) << int(QPalette::WindowText);
    QTest::newRow("button shadow") << Sys::ButtonShadow << int(QPalette::Active) << int(QPalette::Dark);
    QTest::newRow("button highlight")
        << Sys::ButtonHighlight << int(QPalette::Active) << int(QPalette::Light);
    QTest::newRow("info text") << Sys::InfoText << int(QPalette::Active) << int(QPalette::ToolTipText);
    QTest::newRow("info background") << Sys::InfoBackground << int(QPalette::Active)
                                     << int(QPalette::ToolTipBase);
    QTest::newRow("menu bar, the last one")
        << (OleColor::SystemFlag | 30u) << int(QPalette::Active) << int(QPalette::Window);
}

void tst_OleColor::systemColoursFromPalette()
{
    QFETCH(quint32, ole);
    QFETCH(int, group);
    QFETCH(int, role);
    const QColor expected =
        QApplication::palette().color(QPalette::ColorGroup(group), QPalette::ColorRole(role));
    QVERIFY(OleColor::isSystemColor(ole));
    quint32 rgb = 0;
    QVERIFY(OleColor::translate(ole, &rgb));
    QCOMPARE(rgb, OleColor::fromQColor(expected));
    QCOMPARE(OleColor::translateOrZero(ole), rgb);
    QCOMPARE(OleColor::toQColor(ole), expected);
}

void tst_OleColor::invalidValuesFail_data()
{
    QTest::addColumn<quint32>("ole");

    QTest::newRow("system index past the end") << 0x8000001Fu;
    QTest::newRow("system index huge") << 0x80FFFFFFu;
    QTest::newRow("system index in the middle byte") << 0x80000105u;
    QTest::newRow("system with stray high bit") << 0x81000005u;
    QTest::newRow("system with stray bit 30") << 0xC000000Fu;
    QTest::newRow("palette index") << 0x01000005u;
    QTest::newRow("high byte 0x02") << 0x02336699u;
    QTest::newRow("bit 30") << 0x40000000u;
    QTest::newRow("all bits") << 0xFFFFFFFFu;
}

void tst_OleColor::invalidValuesFail()
{
    QFETCH(quint32, ole);
    quint32 rgb = 0x12345678;
    QVERIFY(!OleColor::translate(ole, &rgb));
    QCOMPARE(rgb, 0u);
    QCOMPARE(OleColor::translateOrZero(ole), 0u);
    QCOMPARE(OleColor::toQColor(ole), QColor(0, 0, 0));
}

QTEST_MAIN(tst_OleColor)
#include "tst_olecolor.moc"
