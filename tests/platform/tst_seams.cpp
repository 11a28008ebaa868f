#include "platform/DefaultInstance.h"
#include "platform/Seams.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <QtTest>
#include <functional>

namespace {
// Registrations live as long as the program: what they touch is static.
QStringList &order()
{
    static QStringList list;
    return list;
}
int firstSeam = 0;
int secondSeam = 0;
int window = 0;

class ProbeWindow : public QWidget
{
};
} // namespace

class TestSeams : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void windowsGoFirstAndEachSeamResetsOnce()
    {
        Seams::OnReset(&firstSeam, [] { order() << QStringLiteral("first"); });
        Seams::OnReset(&firstSeam, [] { order() << QStringLiteral("first again"); });
        Seams::OnRelease(&window, [] { order() << QStringLiteral("window"); });
        Seams::OnReset(&secondSeam, [] { order() << QStringLiteral("second"); });
        Seams::ResetAll();
        QCOMPARE(order(),
                 (QStringList{QStringLiteral("window"), QStringLiteral("first"), QStringLiteral("second")}));
        order().clear();
        Seams::ResetAll();
        QCOMPARE(order(),
                 (QStringList{QStringLiteral("window"), QStringLiteral("first"), QStringLiteral("second")}));
    }

    void aReplacedSeamGoesBackOnReset()
    {
        static Seam<std::function<int()>> source{[] { return 1; }};
        QCOMPARE(source.replace([] { return 2; })(), 1);
        QCOMPARE(source.get()(), 2);
        QCOMPARE(source.replace([] { return 3; })(), 2);
        Seams::ResetAll();
        QCOMPARE(source.get()(), 1);
        source.replace([] { return 4; });
        QCOMPARE(source.replace({})(), 4); // an empty replacement is the standard one
        QCOMPARE(source.get()(), 1);
    }

    void defaultInstancesAreReleasedAndMadeAnew()
    {
        QPointer<ProbeWindow> first = &DefaultInstance<ProbeWindow>::get();
        Seams::ResetAll();
        QVERIFY(first.isNull());
        QVERIFY(!DefaultInstance<ProbeWindow>::exists());
        QPointer<ProbeWindow> second = &DefaultInstance<ProbeWindow>::get();
        QVERIFY(second);
        Seams::ResetAll();
        QVERIFY(second.isNull());
    }
};

QTEST_MAIN(TestSeams)
#include "tst_seams.moc"
