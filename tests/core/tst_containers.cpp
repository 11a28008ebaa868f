#include "common/TestFixture.h"
#include "core/ArrayDictionary_.h"
#include "core/ArrayList_.h"
#include "core/GlobalVars.h"
#include "core/VariantHelpers_.h"

#include <QtTest>

namespace {
struct Thing
{
    QString name;
};
} // namespace
Q_DECLARE_METATYPE(std::shared_ptr<Thing>)

class TestContainers : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;

private Q_SLOTS:
    void init() { m_fx = std::make_unique<TestFixture>(); }
    void cleanup() { m_fx.reset(); }

    void growth()
    {
        QCOMPARE(GrownUpperBound(10, 11), 15);
        QCOMPARE(GrownUpperBound(15, 16), 22); // 22.5 rounds half to even
        QCOMPARE(GrownUpperBound(22, 23), 33);
        QCOMPARE(GrownUpperBound(33, 34), 50); // 49.5 rounds half to even
        QCOMPARE(GrownUpperBound(50, 51), 75);
        QCOMPARE(GrownUpperBound(0, 5), 5);
        QCOMPARE(GrownUpperBound(10, 3), 10);

        ArrayList_ list;
        QCOMPARE(list.UpperBound(), 10);
        for (int i = 0; i < 11; ++i)
            list.Add(i);
        QCOMPARE(list.UpperBound(), 10);
        list.Add(11); // the 12th value
        QCOMPARE(list.UpperBound(), 15);
        for (int i = 12; i < 1000; ++i)
            list.Add(i);
        QCOMPARE(list.Count(), 1000);
        for (int i = 0; i < 1000; ++i)
            QCOMPARE(list.Item(i).toInt(), i);
    }

    void badIndexes()
    {
        ArrayList_ list;
        list.Add(QStringLiteral("a"));
        QVERIFY(!list.Item(-1).isValid());
        QVERIFY(!list.Item(1).isValid());
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
        gDebugMode = true;
        QVERIFY(!list.Item(1).isValid());
        QCOMPARE(m_fx->desk().lastMessage(),
                 QStringLiteral("ASSERT FAILED: \r\nIndex out of range.  index=1, size of list=1"));
        list.SetItem(5, 7);
        QCOMPARE(list.Count(), 1);
        list.SetItem(0, 7);
        QCOMPARE(list.Item(0).toInt(), 7);
    }

    void keysAndSearch()
    {
        ArrayList_ list;
        QCOMPARE(list.IndexOfKey(QStringLiteral("x"), -5), -5); // no key index yet
        list.Add(10, QStringLiteral("ten"));
        list.Add(20);
        list.Add(2.0, QStringLiteral("two"));
        QCOMPARE(list.IndexOfKey(QStringLiteral("ten")), 0);
        QCOMPARE(list.IndexOfKey(QStringLiteral("two")), 2);
        QCOMPARE(list.IndexOfKey(QStringLiteral("missing"), 99), 99);
        QVERIFY(list.Contains(20));
        QVERIFY(list.Contains(2));                    // numbers compare by value across types
        QVERIFY(list.Contains(QStringLiteral("20"))); // as variants do: the text is read as a number
        QVERIFY(!list.Contains(QStringLiteral("twenty")));
        QCOMPARE(list.FindByValue(30, QStringLiteral("none")).toString(), QStringLiteral("none"));
    }

    void objectsCompareByIdentity()
    {
        auto a = std::make_shared<Thing>(Thing{QStringLiteral("same")});
        auto b = std::make_shared<Thing>(Thing{QStringLiteral("same")});
        ArrayDictionary_ dict;
        dict.Add(VariantHelpers_::FromObject(a), QStringLiteral("A"));
        QVERIFY(dict.Contains(VariantHelpers_::FromObject(a)));
        QVERIFY(!dict.Contains(VariantHelpers_::FromObject(b)));
        dict.AddOrSet(VariantHelpers_::FromObject(b), QStringLiteral("B"));
        dict.AddOrSet(VariantHelpers_::FromObject(a), QStringLiteral("A2"));
        QCOMPARE(dict.Count(), 2);
        QCOMPARE(dict.FindByKey(VariantHelpers_::FromObject(a)).toString(), QStringLiteral("A2"));
        QCOMPARE(dict.FindByKey(VariantHelpers_::FromObject(b)).toString(), QStringLiteral("B"));
        // The stored object is the same object.
        QCOMPARE(VariantHelpers_::ToObject<Thing>(dict.FindKeyByIndex(0)).get(), a.get());

        ArrayList_ list;
        list.Add(VariantHelpers_::FromObject(a));
        QVERIFY(list.Contains(VariantHelpers_::FromObject(a)));
        QVERIFY(!list.Contains(VariantHelpers_::FromObject(b)));
        QVERIFY(!list.Contains(QVariant()));
    }

    void dictionaryOrderAndDuplicates()
    {
        ArrayDictionary_ dict;
        dict.Add(QStringLiteral("k"), 1);
        dict.Add(QStringLiteral("k"), 2); // Add does not look for the key
        QCOMPARE(dict.Count(), 2);
        QCOMPARE(dict.FindByKey(QStringLiteral("k")).toInt(), 1);
        QCOMPARE(dict.FindByKey(QStringLiteral("K"), -1).toInt(), -1); // keys are case-sensitive
        QCOMPARE(dict.FindValueByIndex(1).toInt(), 2);
        QCOMPARE(dict.FindValueByIndex(2, 9).toInt(), 9);
        QCOMPARE(dict.FindKeyByIndex(-1, QStringLiteral("d")).toString(), QStringLiteral("d"));
        for (int i = 0; i < 100; ++i)
            dict.AddOrSet(i, i * i);
        QCOMPARE(dict.Count(), 102);
        QCOMPARE(dict.FindByKey(99).toInt(), 9801);
        QVERIFY(dict.UpperBound() >= 101);
    }
};

QTEST_GUILESS_MAIN(TestContainers)
#include "tst_containers.moc"
