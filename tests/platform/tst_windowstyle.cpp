#include "platform/WindowStyle.h"

#include <QLabel>
#include <QTextEdit>
#include <QWidget>
#include <QtTest>

using namespace WindowStyle;

class tst_WindowStyle : public QObject
{
    Q_OBJECT

private slots:
    void readsWidgetState();
    void scrollBars();
    void visibleAndDisabled();
    void disabledBitIsTheControlsOwn();
    void hiddenChildOfUnshownParentStaysHidden();
    void borderAndClientEdge();
    void unknownBitsReadBack();
    void widgetsWithoutTheFeature();
};

void tst_WindowStyle::readsWidgetState()
{
    QWidget window;
    auto *edit = new QTextEdit(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const quint32 style = bits(edit, false);
    QVERIFY(style & WS_VISIBLE);
    QVERIFY(style & WS_CHILD);
    QVERIFY(style & WS_VSCROLL);
    QVERIFY(style & WS_HSCROLL);
    QVERIFY(!(style & WS_DISABLED));
    QVERIFY(!(style & WS_BORDER)); // the text edit's frame is sunken: a client edge
    QVERIFY(bits(edit, true) & WS_EX_CLIENTEDGE);

    QVERIFY(!(bits(&window, false) & WS_CHILD));
    QCOMPARE(bits(nullptr, false), 0u);
}

void tst_WindowStyle::scrollBars()
{
    QWidget window;
    auto *edit = new QTextEdit(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    setBits(edit, bits(edit, false) & ~WS_VSCROLL, false);
    QCOMPARE(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(edit->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    QVERIFY(!(bits(edit, false) & WS_VSCROLL));
    QVERIFY(bits(edit, false) & WS_HSCROLL);

    setBits(edit, bits(edit, false) & ~WS_HSCROLL, false);
    QCOMPARE(edit->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    setBits(edit, bits(edit, false) | WS_VSCROLL, false);
    QCOMPARE(edit->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    QVERIFY(bits(edit, false) & WS_VSCROLL);
    QVERIFY(!(bits(edit, false) & WS_HSCROLL));

    // A scroll bar that is always on is kept as it is while the bit stays set.
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setBits(edit, bits(edit, false) | WS_TABSTOP, false);
    QCOMPARE(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

void tst_WindowStyle::visibleAndDisabled()
{
    QWidget window;
    auto *edit = new QTextEdit(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    setBits(edit, bits(edit, false) & ~WS_VISIBLE, false);
    QVERIFY(edit->isHidden());
    QVERIFY(!(bits(edit, false) & WS_VISIBLE));
    setBits(edit, bits(edit, false) | WS_VISIBLE, false);
    QVERIFY(edit->isVisible());

    setBits(edit, bits(edit, false) | WS_DISABLED, false);
    QVERIFY(!edit->isEnabled());
    QVERIFY(bits(edit, false) & WS_DISABLED);
    setBits(edit, bits(edit, false) & ~WS_DISABLED, false);
    QVERIFY(edit->isEnabled());
}

void tst_WindowStyle::disabledBitIsTheControlsOwn()
{
    QWidget window;
    auto *panel = new QWidget(&window);
    auto *edit = new QTextEdit(panel);
    panel->setEnabled(false);
    // Disabled through its parent only: its own bit is clear.
    QVERIFY(!(bits(edit, false) & WS_DISABLED));
    QVERIFY(bits(panel, false) & WS_DISABLED);

    // Disabling it while the parent is disabled must last beyond the parent.
    setBits(edit, bits(edit, false) | WS_DISABLED, false);
    QVERIFY(bits(edit, false) & WS_DISABLED);
    panel->setEnabled(true);
    QVERIFY(!edit->isEnabled());
    setBits(edit, bits(edit, false) & ~WS_DISABLED, false);
    QVERIFY(edit->isEnabled());
}

void tst_WindowStyle::hiddenChildOfUnshownParentStaysHidden()
{
    // Forms set up their controls before they are shown.
    QWidget window;
    auto *edit = new QTextEdit(&window);
    auto *label = new QLabel(QStringLiteral("x"), &window);
    QVERIFY(bits(edit, false) & WS_VISIBLE);
    setBits(edit, bits(edit, false) & ~WS_VISIBLE, false);
    QVERIFY(!(bits(edit, false) & WS_VISIBLE));
    QVERIFY(bits(label, false) & WS_VISIBLE);

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!edit->isVisible());
    QVERIFY(label->isVisible());

    // A window that has not been shown yet is not visible.
    QWidget topLevel;
    QVERIFY(!(bits(&topLevel, false) & WS_VISIBLE));
}

void tst_WindowStyle::borderAndClientEdge()
{
    QWidget window;
    auto *edit = new QTextEdit(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    setBits(edit, bits(edit, true) & ~WS_EX_CLIENTEDGE, true);
    QCOMPARE(edit->frameShape(), QFrame::NoFrame);
    QVERIFY(!(bits(edit, true) & WS_EX_CLIENTEDGE));
    QVERIFY(!(bits(edit, false) & WS_BORDER));

    setBits(edit, bits(edit, false) | WS_BORDER, false);
    QVERIFY(edit->frameShape() != QFrame::NoFrame);
    QVERIFY(bits(edit, false) & WS_BORDER);
    QVERIFY(!(bits(edit, true) & WS_EX_CLIENTEDGE));

    setBits(edit, bits(edit, true) | WS_EX_CLIENTEDGE, true);
    QCOMPARE(edit->frameShadow(), QFrame::Sunken);
    QVERIFY(bits(edit, true) & WS_EX_CLIENTEDGE);
}

void tst_WindowStyle::unknownBitsReadBack()
{
    QWidget window;
    auto *edit = new QTextEdit(&window);
    const quint32 extra = ES_MULTILINE | ES_WANTRETURN | WS_TABSTOP | WS_CLIPSIBLINGS | 0x00000001u;
    const quint32 before = bits(edit, false);
    setBits(edit, before | extra, false);
    QCOMPARE(bits(edit, false), before | extra);
    setBits(edit, bits(edit, false) & ~ES_WANTRETURN, false);
    QCOMPARE(bits(edit, false), (before | extra) & ~ES_WANTRETURN);

    const quint32 exBefore = bits(edit, true);
    setBits(edit, exBefore | 0x00000020u, true);
    QCOMPARE(bits(edit, true), exBefore | 0x00000020u);
    // The two sets are kept apart.
    QVERIFY(!(bits(edit, false) & 0x00000020u));
    QVERIFY(!(bits(edit, true) & ES_MULTILINE));
}

void tst_WindowStyle::widgetsWithoutTheFeature()
{
    QWidget window;
    auto *label = new QLabel(QStringLiteral("x"), &window);
    const quint32 before = bits(label, false);
    QVERIFY(!(before & (WS_VSCROLL | WS_HSCROLL)));
    setBits(label, before | WS_VSCROLL | WS_HSCROLL, false);
    QVERIFY(!(bits(label, false) & (WS_VSCROLL | WS_HSCROLL)));
    auto *plain = new QWidget(&window);
    setBits(plain, bits(plain, false) | WS_BORDER, false);
    QVERIFY(!(bits(plain, false) & WS_BORDER));
    setBits(nullptr, WS_VISIBLE, false);
}

QTEST_MAIN(tst_WindowStyle)
#include "tst_windowstyle.moc"
