#include "common/TestFixture.h"
#include "controls/FlatButton_.h"
#include "controls/TabList_.h"
#include "platform/OleColor.h"
#include "platform/RuntimeError.h"

#include <QCursor>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// Records the list's events in the order they came.
struct EventLog
{
    explicit EventLog(TabList_ &list)
    {
        QObject::connect(&list, &TabList_::Click, &context, [this] { events << QStringLiteral("Click"); });
        QObject::connect(&list, &TabList_::ContextMenu, &context,
                         [this] { events << QStringLiteral("ContextMenu"); });
        QObject::connect(&list, &TabList_::OpenTabChosenAgain, &context,
                         [this] { events << QStringLiteral("OpenTabChosenAgain"); });
    }
    QStringList take() { return std::exchange(events, {}); }
    QObject context;
    QStringList events;
};

void fill(TabList_ &list, int count)
{
    for (int i = 0; i < count; ++i)
        list.AddItem(QStringLiteral("Item %1").arg(i), i);
}

QStringList captions(const TabList_ &list)
{
    QStringList all;
    for (int i = 0; i < list.ListCount(); ++i)
        all << list.Captions(i);
    return all;
}

// The list's height for exactly `rows` whole rows.
int heightFor(const TabList_ &list, int rows)
{
    return rows * list.RowHeight() + list.RowHeight() * 2 / 3;
}

QPoint rowCentre(const TabList_ &list, int screenRow)
{
    return QPoint(40, screenRow * list.RowHeight() + list.RowHeight() / 2);
}

// The first column, from the left, where the row's caption area differs from the face.
int captionInkStart(const QImage &image, const TabList_ &list, int screenRow, const QColor &face)
{
    // Inside the focus frame, which runs 3 px inside the row.
    const int top = screenRow * list.RowHeight() + 4;
    for (int x = 5; x < image.width() - 4; ++x)
        for (int y = top; y < top + list.RowHeight() - 8; ++y)
            if (qAbs(image.pixelColor(x, y).lightness() - face.lightness()) > 60)
                return x;
    return -1;
}

bool hasFocusFrame(const QImage &image, const TabList_ &list, int screenRow, const QColor &face)
{
    // The dotted frame's top edge runs from (3, y + 3) to the right.
    const int y = screenRow * list.RowHeight() + 3;
    int marked = 0;
    for (int x = image.width() / 2; x < image.width() - 6; ++x)
        if (image.pixelColor(x, y) != face)
            ++marked;
    return marked > 5;
}

} // namespace

class TestTabList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Keep the pointer away from the windows, so no scroll button hovers.
        QCursor::setPos(0, 0);
    }

    void startsEmptyWithNoChoice()
    {
        TabList_ list;
        QCOMPARE(list.ListCount(), 0);
        QCOMPARE(list.SelectedItem(), -1);
        QCOMPARE(list.CurrentIndex(), -1);
        QCOMPARE(list.UpperBound(), 50);
        QCOMPARE(list.CaptionOfSelected(), QString());
        QVERIFY(!list.DatumOfSelected().isValid());
        QVERIFY(list.btnUp->ClickOnMouseDown && list.btnUp->ClickOnMouseHold);
        QVERIFY(list.btnDown->ClickOnMouseDown && list.btnDown->ClickOnMouseHold);
    }

    void addItem_data()
    {
        QTest::addColumn<QList<int>>("indices");
        QTest::addColumn<QList<int>>("returned");
        QTest::addColumn<QStringList>("expected");
        const int append = TabList_::AppendIndex;
        QTest::newRow("append") << QList<int>{append, append, append} << QList<int>{0, 1, 2}
                                << QStringList{"a", "b", "c"};
        QTest::newRow("insert at the top")
            << QList<int>{append, append, 0} << QList<int>{0, 1, 0} << QStringList{"c", "a", "b"};
        QTest::newRow("insert in the middle")
            << QList<int>{append, append, 1} << QList<int>{0, 1, 1} << QStringList{"a", "c", "b"};
        QTest::newRow("past the count appends")
            << QList<int>{append, 7, 2} << QList<int>{0, 1, 2} << QStringList{"a", "b", "c"};
        QTest::newRow("negative inserts at the top")
            << QList<int>{append, append, -3} << QList<int>{0, 1, 0} << QStringList{"c", "a", "b"};
    }
    void addItem()
    {
        QFETCH(QList<int>, indices);
        QFETCH(QList<int>, returned);
        QFETCH(QStringList, expected);
        TabList_ list;
        const QStringList names{"a", "b", "c"};
        for (int i = 0; i < names.size(); ++i) {
            const QVariant at = list.AddItem(names[i], names[i].toUpper(), indices[i]);
            QCOMPARE(at.typeId(), QMetaType::Int);
            QCOMPARE(at.toInt(), returned[i]);
        }
        QCOMPARE(captions(list), expected);
        for (int i = 0; i < list.ListCount(); ++i)
            QCOMPARE(list.Data(i).toString(), expected[i].toUpper());
    }

    void growsAndKeepsItems()
    {
        TabList_ list;
        for (int i = 0; i < 50; ++i)
            list.AddItem(QString::number(i), i);
        QCOMPARE(list.UpperBound(), 50);
        list.AddItem(QStringLiteral("50"), 50);
        QCOMPARE(list.UpperBound(), 100);
        for (int i = 51; i < 150; ++i)
            list.AddItem(QString::number(i), i, i % 2 ? TabList_::AppendIndex : i);
        QCOMPARE(list.UpperBound(), 200);
        QCOMPARE(list.ListCount(), 150);
        for (int i = 0; i < 150; ++i) {
            QCOMPARE(list.Captions(i), QString::number(i));
            QCOMPARE(list.Data(i).toInt(), i);
        }
    }

    void outsideIndicesReadEmptyAndAreIgnored()
    {
        TabList_ list;
        list.setCaptionOfSelected(QStringLiteral("x"));
        list.setDatumOfSelected(1);
        fill(list, 2);
        for (int i : {-1, 2, 100}) {
            QCOMPARE(list.Captions(i), QString());
            QVERIFY(!list.Data(i).isValid());
            list.setCaptions(i, QStringLiteral("x"));
            list.setData(i, 99);
        }
        QCOMPARE(captions(list), (QStringList{"Item 0", "Item 1"}));
        QCOMPARE(list.Data(1).toInt(), 1);
        QCOMPARE(list.CaptionOfSelected(), QString());
        list.setSelectedItem(1);
        list.setCaptionOfSelected(QStringLiteral("renamed"));
        list.setDatumOfSelected(QStringLiteral("datum"));
        QCOMPARE(list.Captions(1), QStringLiteral("renamed"));
        QCOMPARE(list.Data(1).toString(), QStringLiteral("datum"));
    }

    void selectDatum_data()
    {
        QTest::addColumn<QVariantList>("data");
        QTest::addColumn<int>("committedBefore");
        QTest::addColumn<QVariant>("datum");
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("clicks");
        const QVariant byte5 = QVariant::fromValue<uchar>(5);
        const QVariant long5 = QVariant::fromValue<qint32>(5);
        QTest::newRow("Byte 5 finds Long 5") << QVariantList{1, long5, long5} << -1 << byte5 << 1 << 1;
        QTest::newRow("Long 5 finds Byte 5") << QVariantList{1, 3, byte5} << -1 << long5 << 2 << 1;
        QTest::newRow("no match selects the first") << QVariantList{1, 2} << 1 << QVariant(9) << 0 << 1;
        QTest::newRow("no match, first already open") << QVariantList{1, 2} << 0 << QVariant(9) << 0 << 0;
        QTest::newRow("match already open") << QVariantList{1, 2} << 1 << QVariant(2) << 1 << 0;
        QTest::newRow("empty list") << QVariantList{} << -1 << QVariant(9) << -1 << 0;
    }
    void selectDatum()
    {
        QFETCH(QVariantList, data);
        QFETCH(int, committedBefore);
        QFETCH(QVariant, datum);
        QFETCH(int, selected);
        QFETCH(int, clicks);
        TabList_ list;
        for (const QVariant &d : data)
            list.AddItem(QStringLiteral("x"), d);
        list.setSelectedItem(committedBefore);
        QSignalSpy spy(&list, &TabList_::Click);
        list.SelectDatum(datum);
        QCOMPARE(list.SelectedItem(), selected);
        QCOMPARE(list.CurrentIndex(), selected);
        QCOMPARE(spy.count(), clicks);
    }

    void selectedItem_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("after");
        QTest::addColumn<int>("clicks");
        QTest::newRow("negative clears") << 2 << -5 << -1 << 1;
        QTest::newRow("-1 clears") << 2 << -1 << -1 << 1;
        QTest::newRow("clear when none") << -1 << -5 << -1 << 0;
        QTest::newRow("another item") << 2 << 0 << 0 << 1;
        QTest::newRow("the same item") << 2 << 2 << 2 << 0;
        QTest::newRow("at the count: ignored") << 2 << 3 << 2 << 0;
        QTest::newRow("past the count: ignored") << 2 << 50 << 2 << 0;
    }
    void selectedItem()
    {
        QFETCH(int, before);
        QFETCH(int, value);
        QFETCH(int, after);
        QFETCH(int, clicks);
        TabList_ list;
        fill(list, 3);
        list.setSelectedItem(before);
        QSignalSpy spy(&list, &TabList_::Click);
        list.setSelectedItem(value);
        QCOMPARE(list.SelectedItem(), after);
        QCOMPARE(list.CurrentIndex(), after);
        QCOMPARE(spy.count(), clicks);
    }

    void mouse_data()
    {
        QTest::addColumn<int>("screenRow");
        QTest::addColumn<Qt::MouseButton>("mouseButton");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("committed");
        QTest::addColumn<QStringList>("events");
        const Qt::KeyboardModifiers none;
        const QStringList nothing;
        // Five items in four rows, scrolled by one, item 2 open and item 4 current:
        // screen row r shows item r + 1.
        QTest::newRow("left on another tab") << 2 << Qt::LeftButton << none << 3 << QStringList{"Click"};
        QTest::newRow("left on the open tab")
            << 1 << Qt::LeftButton << none << 2 << QStringList{"OpenTabChosenAgain"};
        QTest::newRow("left below the last item") << 4 << Qt::LeftButton << none << 2 << nothing;
        QTest::newRow("right on another tab")
            << 0 << Qt::RightButton << none << 1 << QStringList{"Click", "ContextMenu"};
        QTest::newRow("right on the open tab")
            << 1 << Qt::RightButton << none << 2 << QStringList{"ContextMenu"};
        QTest::newRow("right below the last item")
            << 4 << Qt::RightButton << none << 2 << QStringList{"ContextMenu"};
        QTest::newRow("shift-click") << 2 << Qt::LeftButton << Qt::KeyboardModifiers(Qt::ShiftModifier) << 2
                                     << nothing;
        QTest::newRow("ctrl-click") << 2 << Qt::LeftButton << Qt::KeyboardModifiers(Qt::ControlModifier) << 2
                                    << nothing;
        QTest::newRow("alt-right-click")
            << 2 << Qt::RightButton << Qt::KeyboardModifiers(Qt::AltModifier) << 2 << nothing;
    }
    void mouse()
    {
        QFETCH(int, screenRow);
        QFETCH(Qt::MouseButton, mouseButton);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, committed);
        QFETCH(QStringList, events);
        TabList_ list;
        list.resize(150, heightFor(list, 4));
        fill(list, 5);
        list.setSelectedItem(2);
        QTest::mouseClick(list.btnUp, Qt::LeftButton);
        QCOMPARE(list.TopIndex(), 1);
        int key = 35, shift = 0; // End: current on the last item
        list.pixFocus_KeyDown(key, shift);
        QCOMPARE(list.CurrentIndex(), 4);
        EventLog log(list);

        QTest::mouseClick(&list, mouseButton, modifiers, rowCentre(list, screenRow));
        QCOMPARE(log.take(), events);
        QCOMPARE(list.SelectedItem(), committed);
        // Every click that does something leaves the current row on the open tab.
        QCOMPARE(list.CurrentIndex(), modifiers ? 4 : committed);
    }

    void keys_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("committed");
        QTest::addColumn<QStringList>("events");
        const Qt::KeyboardModifiers none;
        const QStringList nothing;
        // Eight items, item 2 open, scrolled so that item 3 is at the top.
        QTest::newRow("Down") << QList<int>{Qt::Key_Down} << none << 3 << 2 << nothing;
        QTest::newRow("Down stops at the last") << QList<int>(9, Qt::Key_Down) << none << 7 << 2 << nothing;
        QTest::newRow("Up") << QList<int>{Qt::Key_Up} << none << 1 << 2 << nothing;
        QTest::newRow("Up stops at the first") << QList<int>(9, Qt::Key_Up) << none << 0 << 2 << nothing;
        QTest::newRow("Ctrl+Up goes to the top row")
            << QList<int>{Qt::Key_Up} << Qt::KeyboardModifiers(Qt::ControlModifier) << 3 << 2 << nothing;
        QTest::newRow("Ctrl+Shift+Up is a plain Up")
            << QList<int>{Qt::Key_Up} << (Qt::ControlModifier | Qt::ShiftModifier) << 1 << 2 << nothing;
        QTest::newRow("End") << QList<int>{Qt::Key_End} << none << 7 << 2 << nothing;
        QTest::newRow("Home") << QList<int>{Qt::Key_Home} << none << 0 << 2 << nothing;
        QTest::newRow("Esc goes back")
            << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Escape} << none << 2 << 2 << nothing;
        QTest::newRow("Enter commits")
            << QList<int>{Qt::Key_Down, Qt::Key_Return} << none << 3 << 3 << QStringList{"Click"};
        QTest::newRow("Space commits")
            << QList<int>{Qt::Key_Home, Qt::Key_Space} << none << 0 << 0 << QStringList{"Click"};
        QTest::newRow("Enter on the open tab")
            << QList<int>{Qt::Key_Return} << none << 2 << 2 << QStringList{"OpenTabChosenAgain"};
        QTest::newRow("Space on the open tab after moving back")
            << QList<int>{Qt::Key_Down, Qt::Key_Up, Qt::Key_Space} << none << 2 << 2
            << QStringList{"OpenTabChosenAgain"};
        QTest::newRow("context key commits first")
            << QList<int>{Qt::Key_End, Qt::Key_Menu} << none << 7 << 7 << QStringList{"Click", "ContextMenu"};
        QTest::newRow("context key on the open tab")
            << QList<int>{Qt::Key_Menu} << none << 2 << 2 << QStringList{"ContextMenu"};
        QTest::newRow("other keys") << QList<int>{Qt::Key_A, Qt::Key_Right, Qt::Key_PageDown} << none << 2
                                    << 2 << nothing;
    }
    void keys()
    {
        QFETCH(QList<int>, keys);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, current);
        QFETCH(int, committed);
        QFETCH(QStringList, events);
        TabList_ list;
        list.resize(150, heightFor(list, 3));
        fill(list, 8);
        list.setSelectedItem(2);
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(list.btnUp, Qt::LeftButton);
        QCOMPARE(list.TopIndex(), 3);
        EventLog log(list);
        for (int key : keys)
            QTest::keyClick(list.pixFocus, Qt::Key(key), modifiers);
        QCOMPARE(list.CurrentIndex(), current);
        QCOMPARE(list.SelectedItem(), committed);
        QCOMPARE(log.take(), events);
        // Moving the current row never scrolls.
        QCOMPARE(list.TopIndex(), 3);
    }

    void keysOnAnEmptyListChooseNothing_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::newRow("Home") << int(Qt::Key_Home) << Qt::KeyboardModifiers();
        QTest::newRow("End") << int(Qt::Key_End) << Qt::KeyboardModifiers();
        QTest::newRow("Up") << int(Qt::Key_Up) << Qt::KeyboardModifiers();
        QTest::newRow("Ctrl+Up") << int(Qt::Key_Up) << Qt::KeyboardModifiers(Qt::ControlModifier);
        QTest::newRow("Down") << int(Qt::Key_Down) << Qt::KeyboardModifiers();
    }
    void keysOnAnEmptyListChooseNothing()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        TabList_ list;
        fill(list, 3);
        list.setSelectedItem(1);
        list.Clear();
        EventLog log(list);
        QTest::keyClick(list.pixFocus, Qt::Key(key), modifiers);
        QCOMPARE(list.CurrentIndex(), -1);
        QTest::keyClick(list.pixFocus, Qt::Key_Return);
        QTest::keyClick(list.pixFocus, Qt::Key_Menu);
        QCOMPARE(list.SelectedItem(), -1);
        QCOMPARE(log.take(), QStringList{"ContextMenu"});
    }

    void shiftArgumentOfUpMustBeCtrlAlone_data()
    {
        QTest::addColumn<int>("shift");
        QTest::addColumn<int>("current");
        QTest::newRow("Ctrl") << 2 << 3;
        QTest::newRow("Shift") << 1 << 5;
        QTest::newRow("Ctrl+Alt") << 6 << 5;
    }
    void shiftArgumentOfUpMustBeCtrlAlone()
    {
        QFETCH(int, shift);
        QFETCH(int, current);
        TabList_ list;
        list.resize(150, heightFor(list, 3));
        fill(list, 8);
        list.setSelectedItem(6);
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(list.btnUp, Qt::LeftButton);
        int keyCode = 38;
        list.pixFocus_KeyDown(keyCode, shift);
        QCOMPARE(list.CurrentIndex(), current);
    }

    void leavingTheListCommits()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *before = new QLineEdit;
        auto *list = new TabList_;
        auto *other = new QLineEdit;
        layout->addWidget(before);
        layout->addWidget(list);
        layout->addWidget(other);
        list->setMinimumHeight(heightFor(*list, 4));
        fill(*list, 4);
        list->setSelectedItem(1);
        window.move(300, 300);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // Tab stops once on the list, whose keys go to its focus holder.
        before->setFocus();
        QTest::keyClick(before, Qt::Key_Tab);
        QVERIFY(list->pixFocus->hasFocus());
        QTest::keyClick(list->pixFocus, Qt::Key_Tab);
        QVERIFY(other->hasFocus());
        list->setFocus();
        QVERIFY(list->pixFocus->hasFocus());
        EventLog log(*list);

        QTest::keyClick(list->pixFocus, Qt::Key_Down);
        QTest::keyClick(list->pixFocus, Qt::Key_Down);
        QCOMPARE(log.take(), QStringList());
        other->setFocus();
        QCOMPARE(log.take(), QStringList{"Click"});
        QCOMPARE(list->SelectedItem(), 3);

        // A click on the list does not take the focus.
        QTest::mouseClick(list, Qt::LeftButton, {}, rowCentre(*list, 0));
        QVERIFY(other->hasFocus());
        QCOMPARE(list->SelectedItem(), 0);
    }

    void paintsOpenTabCurrentRowAndFocus()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *list = new TabList_;
        auto *other = new QLineEdit;
        layout->addWidget(list);
        layout->addWidget(other);
        list->setMinimumHeight(heightFor(*list, 5));
        for (int i = 0; i < 4; ++i)
            list->AddItem(QStringLiteral("HH"), i);
        list->setSelectedItem(1);
        window.move(300, 300);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const QColor face = list->palette().color(QPalette::Window);
        const QColor highlight = OleColor::toQColor(OleColor::Sys::ButtonHighlight);
        const QColor shadow = OleColor::toQColor(OleColor::Sys::ButtonShadow);

        list->setFocus();
        int key = 40, shift = 0;
        list->pixFocus_KeyDown(key, shift);
        QImage image = list->grab().toImage();
        const int rh = list->RowHeight();
        // The open tab has a highlighted top edge; the others a shadowed one.
        QCOMPARE(image.pixelColor(20, 1 * rh), highlight);
        QCOMPARE(image.pixelColor(20, 0 * rh), shadow);
        QCOMPARE(image.pixelColor(20, 2 * rh), shadow);
        // The current row's caption sits 3 px further left than the others.
        const int plain = captionInkStart(image, *list, 0, face);
        QVERIFY(plain > 0);
        QCOMPARE(captionInkStart(image, *list, 2, face), plain - 3);
        QCOMPARE(captionInkStart(image, *list, 3, face), plain);
        QVERIFY(hasFocusFrame(image, *list, 2, face));
        QVERIFY(!hasFocusFrame(image, *list, 3, face));

        // Clear drops the focus frame until the focus comes back.
        list->Clear();
        for (int i = 0; i < 4; ++i)
            list->AddItem(QStringLiteral("HH"), i);
        list->setSelectedItem(2);
        QVERIFY(list->pixFocus->hasFocus());
        QVERIFY(!hasFocusFrame(list->grab().toImage(), *list, 2, face));
        other->setFocus();
        list->setFocus();
        QVERIFY(hasFocusFrame(list->grab().toImage(), *list, 2, face));
    }

    void scrollButtons()
    {
        TabList_ list;
        list.resize(150, heightFor(list, 5));
        list.show();
        const auto shown = [&] {
            return QPair<bool, bool>(list.btnDown->isVisible(), list.btnUp->isVisible());
        };
        using Shown = QPair<bool, bool>;
        QCOMPARE(shown(), Shown(false, false));
        fill(list, 5);
        QCOMPARE(shown(), Shown(false, false));
        list.AddItem(QStringLiteral("sixth"), 6);
        QCOMPARE(shown(), Shown(false, true));

        // The scroll buttons sit at the right end, one at the top and one at the bottom.
        QCOMPARE(list.btnDown->geometry().right(), list.width() - 3);
        QCOMPARE(list.btnDown->y(), 1);
        QCOMPARE(list.btnUp->geometry().bottom(), list.height() - 2);

        QTest::mouseClick(list.btnUp, Qt::LeftButton);
        QCOMPARE(list.TopIndex(), 1);
        QCOMPARE(shown(), Shown(true, false));
        // Hiding the held button ended its repetition.
        QVERIFY(!list.btnUp->Timer1->isActive());

        list.resize(150, heightFor(list, 3));
        QCOMPARE(shown(), Shown(true, true));
        list.resize(150, heightFor(list, 5));
        QCOMPARE(shown(), Shown(true, false));

        list.AddItem(QStringLiteral("seventh"), 7);
        QCOMPARE(shown(), Shown(true, true));
        list.RemoveItem(0);
        QCOMPARE(shown(), Shown(true, false));

        QTest::mouseClick(list.btnDown, Qt::LeftButton);
        QCOMPARE(list.TopIndex(), 0);
        QCOMPARE(shown(), Shown(false, true));

        list.Clear();
        QCOMPARE(shown(), Shown(false, false));
        QCOMPARE(list.TopIndex(), 0);
    }

    void topIndexStaysOnAnItemAfterRemovals()
    {
        TabList_ list;
        list.resize(150, heightFor(list, 3));
        list.show();
        fill(list, 10);
        for (int i = 0; i < 7; ++i)
            QTest::mouseClick(list.btnUp, Qt::LeftButton);
        QCOMPARE(list.TopIndex(), 7);
        QVERIFY(!list.btnUp->isVisible());
        for (int i = 9; i >= 7; --i)
            list.RemoveItem(i);
        QCOMPARE(list.ListCount(), 7);
        QCOMPARE(list.TopIndex(), 6);
        QVERIFY(list.btnDown->isVisible());
        // A click on the first row reaches the item shown there.
        QTest::mouseClick(&list, Qt::LeftButton, {}, rowCentre(list, 0));
        QCOMPARE(list.CaptionOfSelected(), QStringLiteral("Item 6"));
        while (list.ListCount() > 0)
            list.RemoveItem(0);
        QCOMPARE(list.TopIndex(), 0);
        QVERIFY(!list.btnDown->isVisible());
    }

    void choiceFollowsItsItem_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("committedCaption");
        QTest::addColumn<QString>("currentCaption");
        QTest::addColumn<int>("clicks");
        // Before: a b c d e, "c" open (2), "d" current (3).
        QTest::newRow("insert before both") << "insert 0"
                                            << "c"
                                            << "d" << 0;
        QTest::newRow("insert between") << "insert 3"
                                        << "c"
                                        << "d" << 0;
        QTest::newRow("insert after both") << "insert 4"
                                           << "c"
                                           << "d" << 0;
        QTest::newRow("append") << "insert 99"
                                << "c"
                                << "d" << 0;
        QTest::newRow("remove before both") << "remove 0"
                                            << "c"
                                            << "d" << 0;
        QTest::newRow("remove after both") << "remove 4"
                                           << "c"
                                           << "d" << 0;
        QTest::newRow("remove the current row") << "remove 3"
                                                << "c"
                                                << "c" << 0;
        QTest::newRow("remove the open tab") << "remove 2"
                                             << ""
                                             << "d" << 1;
    }
    void choiceFollowsItsItem()
    {
        QFETCH(QString, change);
        QFETCH(QString, committedCaption);
        QFETCH(QString, currentCaption);
        QFETCH(int, clicks);
        TabList_ list;
        for (const char *name : {"a", "b", "c", "d", "e"})
            list.AddItem(QString::fromLatin1(name), QString::fromLatin1(name).toUpper());
        list.setSelectedItem(2);
        int key = 40, shift = 0;
        list.pixFocus_KeyDown(key, shift);
        QSignalSpy spy(&list, &TabList_::Click);

        const QStringList parts = change.split(QLatin1Char(' '));
        if (parts[0] == "insert")
            list.AddItem(QStringLiteral("new"), 0, parts[1].toInt());
        else
            list.RemoveItem(parts[1].toInt());

        QCOMPARE(spy.count(), clicks);
        QCOMPARE(list.CaptionOfSelected(), committedCaption);
        QCOMPARE(list.DatumOfSelected().toString(), committedCaption.toUpper());
        QCOMPARE(list.Captions(list.CurrentIndex()), currentCaption);
        // Committing the current row reports its own item.
        int enter = 13;
        list.pixFocus_KeyPress(enter);
        QCOMPARE(list.CaptionOfSelected(), currentCaption);
    }

    void removeItemOutsideIsIgnored()
    {
        TabList_ list;
        fill(list, 3);
        list.setSelectedItem(1);
        QSignalSpy spy(&list, &TabList_::Click);
        list.RemoveItem(-1);
        list.RemoveItem(3);
        QCOMPARE(captions(list), (QStringList{"Item 0", "Item 1", "Item 2"}));
        QCOMPARE(list.SelectedItem(), 1);
        QCOMPARE(spy.count(), 0);
        list.RemoveItem(2);
        list.AddItem(QStringLiteral("again"), 9);
        QCOMPARE(captions(list), (QStringList{"Item 0", "Item 1", "again"}));
        QCOMPARE(list.Data(2).toInt(), 9);
    }

    void failingHostHandlerIsReportedOnce()
    {
        TestFixture fixture;
        fixture.setUpFolders();
        TabList_ list;
        fill(list, 3);
        connect(&list, &TabList_::Click, &list, [] { throw RuntimeError(9); });
        connect(&list, &TabList_::ContextMenu, &list, [] { throw RuntimeError(5); });
        int key = 40, shift = 0;
        list.pixFocus_KeyDown(key, shift);
        key = TabList_::VkApps;
        list.pixFocus_KeyDown(key, shift);
        QCOMPARE(fixture.desk().messageBoxes().size(), 1);
        QVERIFY(fixture.desk().lastMessage().contains(QLatin1String("[0x00000009]")));
        QVERIFY(fixture.desk().lastMessage().contains(QLatin1String("TabList_.pixFocus_KeyDown()")));
        QCOMPARE(list.SelectedItem(), 0);
    }
};

QTEST_MAIN(TestTabList)
#include "tst_tablist.moc"
