#include "common/TestFixture.h"
#include "controls/ListboxImproved_.h"
#include "platform/RuntimeError.h"

#include <QListWidget>
#include <QSignalSpy>
#include <QtTest>

namespace {

QStringList texts(const ListboxImproved_ &list)
{
    QStringList all;
    for (int i = 0; i < list.ListCount(); ++i)
        all << list.List(i);
    return all;
}

QVariantList data(const ListboxImproved_ &list)
{
    QVariantList all;
    for (int i = 0; i < list.ListCount(); ++i)
        all << list.ItemData(i);
    return all;
}

} // namespace

class TestListboxImproved : public QObject
{
    Q_OBJECT

private slots:
    void dataFollowTheirItems()
    {
        ListboxImproved_ list;
        qint32 at = -99;
        list.AddItem(QStringLiteral("a"), 1, -1, at);
        QCOMPARE(at, 0);
        list.AddItem(QStringLiteral("b"), QStringLiteral("two"), -1, at);
        QCOMPARE(at, 1);
        list.AddItem(QStringLiteral("c"), 3.5, -1, at);
        QCOMPARE(at, 2);
        list.AddItem(QStringLiteral("x"), QStringLiteral("X"), 1, at);
        QCOMPARE(at, 1);
        list.AddItem(QStringLiteral("first"), 0, 0, at);
        QCOMPARE(at, 0);
        list.AddItem(QStringLiteral("last"), 9, list.ListCount(), at);
        QCOMPARE(at, 5);
        QCOMPARE(list.ListCount(), 6);
        QCOMPARE(texts(list), (QStringList{"first", "a", "x", "b", "c", "last"}));
        QCOMPARE(data(list), (QVariantList{0, 1, QStringLiteral("X"), QStringLiteral("two"), 3.5, 9}));

        // A datum set later still follows its item.
        list.setItemData(3, QStringLiteral("changed"));
        list.AddItem(QStringLiteral("top"), -1, 0);
        QCOMPARE(list.List(4), QStringLiteral("b"));
        QCOMPARE(list.ItemData(4), QVariant(QStringLiteral("changed")));
        list.setList(4, QStringLiteral("renamed"));
        QCOMPARE(list.List(4), QStringLiteral("renamed"));
        QCOMPARE(list.ItemData(4), QVariant(QStringLiteral("changed")));
    }

    void dataIndexesContinueAfterClear()
    {
        ListboxImproved_ list;
        list.AddItem(QStringLiteral("a"), 1);
        list.AddItem(QStringLiteral("b"), 2);
        list.setListIndex(1);
        QSignalSpy clicks(&list, &ListboxImproved_::Click);
        list.Clear();
        QCOMPARE(list.ListCount(), 0);
        QCOMPARE(list.ListIndex(), -1);
        QCOMPARE(clicks.count(), 0);

        list.AddItem(QStringLiteral("c"), 3);
        list.AddItem(QStringLiteral("d"), 4, 0);
        QCOMPARE(texts(list), (QStringList{"d", "c"}));
        QCOMPARE(data(list), (QVariantList{4, 3}));
        // The value list kept the old entries: the new items index after them.
        QCOMPARE(list.List1->item(0)->data(Qt::UserRole).toInt(), 3);
        QCOMPARE(list.List1->item(1)->data(Qt::UserRole).toInt(), 2);
    }

    void listIndexAndClick()
    {
        ListboxImproved_ list;
        for (const char *name : {"a", "b", "c"})
            list.AddItem(QString::fromLatin1(name), QString::fromLatin1(name));
        QCOMPARE(list.ListIndex(), -1);
        QSignalSpy clicks(&list, &ListboxImproved_::Click);
        list.setListIndex(2);
        QCOMPARE(list.ListIndex(), 2);
        QCOMPARE(clicks.count(), 1);
        list.setListIndex(2);
        QCOMPARE(clicks.count(), 1);

        // Inserting before the selection keeps the same item selected, quietly.
        list.AddItem(QStringLiteral("new"), 0, 0);
        QCOMPARE(list.ListIndex(), 3);
        QCOMPARE(list.List(list.ListIndex()), QStringLiteral("c"));
        QCOMPARE(clicks.count(), 1);
        // The item now at the old position is another choice.
        list.setListIndex(2);
        QCOMPARE(list.List(list.ListIndex()), QStringLiteral("b"));
        QCOMPARE(clicks.count(), 2);

        list.setListIndex(-1);
        QCOMPARE(list.ListIndex(), -1);
        QCOMPARE(clicks.count(), 3);
    }

    void clickWithTheMouse()
    {
        ListboxImproved_ list;
        list.resize(200, 200);
        for (const char *name : {"a", "b", "c"})
            list.AddItem(QString::fromLatin1(name), QString::fromLatin1(name).toUpper());
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QCOMPARE(list.List1->geometry(), list.rect());
        QSignalSpy clicks(&list, &ListboxImproved_::Click);
        const QRect second = list.List1->visualItemRect(list.List1->item(1));
        QTest::mouseClick(list.List1->viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(list.ListIndex(), 1);
        QCOMPARE(list.ItemData(list.ListIndex()), QVariant(QStringLiteral("B")));

        list.resize(120, 90);
        QCOMPARE(list.List1->geometry(), list.rect());
    }

    void badIndexesRaiseTheListBoxErrors()
    {
        ListboxImproved_ list;
        list.AddItem(QStringLiteral("a"), 1);
        QCOMPARE(raisedErrorNumber([&] { list.List(1); }), 381);
        QCOMPARE(raisedErrorNumber([&] { list.List(-1); }), 381);
        QCOMPARE(raisedErrorNumber([&] { list.setList(1, QString()); }), 381);
        QCOMPARE(raisedErrorNumber([&] { list.ItemData(1); }), 381);
        QCOMPARE(raisedErrorNumber([&] { list.setItemData(-1, 0); }), 381);
        QCOMPARE(raisedErrorNumber([&] { list.setListIndex(1); }), 380);
        QCOMPARE(raisedErrorNumber([&] { list.setListIndex(-2); }), 380);
        QCOMPARE(raisedErrorNumber([&] { list.AddItem(QStringLiteral("b"), 2, 2); }), 5);
        QCOMPARE(raisedErrorNumber([&] { list.AddItem(QStringLiteral("b"), 2, -2); }), 5);
        // A failed insertion stores nothing.
        QCOMPARE(list.ListCount(), 1);
        list.AddItem(QStringLiteral("b"), 2);
        QCOMPARE(list.List1->item(1)->data(Qt::UserRole).toInt(), 1);
    }

    void failingClickHandlerIsReported()
    {
        TestFixture fixture;
        fixture.setUpFolders();
        ListboxImproved_ list;
        list.AddItem(QStringLiteral("a"), 1);
        connect(&list, &ListboxImproved_::Click, &list, [] { throw RuntimeError(13); });
        list.setListIndex(0);
        QCOMPARE(fixture.desk().messageBoxes().size(), 1);
        QVERIFY(fixture.desk().lastMessage().contains(QLatin1String("ListboxImproved.List1_Click()")));
    }
};

QTEST_MAIN(TestListboxImproved)
#include "tst_listboximproved.moc"
