#include "abi/VirtualKeys.h"

#include <QKeyEvent>
#include <QtTest>

class tst_VirtualKeys : public QObject
{
    Q_OBJECT

private slots:
    void fromQtKey_data();
    void fromQtKey();
    void toQtKey_data();
    void toQtKey();
    void everyCodeReadsBack();
    void fromEvent();
    void shiftMask_data();
    void shiftMask();
};

void tst_VirtualKeys::fromQtKey_data()
{
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<bool>("keypad");
    QTest::addColumn<int>("vk");

    QTest::newRow("A") << int(Qt::Key_A) << false << 0x41;
    QTest::newRow("Z") << int(Qt::Key_Z) << false << 0x5A;
    QTest::newRow("0") << int(Qt::Key_0) << false << 0x30;
    QTest::newRow("9") << int(Qt::Key_9) << false << 0x39;
    QTest::newRow("F1") << int(Qt::Key_F1) << false << 0x70;
    QTest::newRow("F12") << int(Qt::Key_F12) << false << 0x7B;
    QTest::newRow("F24") << int(Qt::Key_F24) << false << 0x87;
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << false << 0x08;
    QTest::newRow("Tab") << int(Qt::Key_Tab) << false << 0x09;
    QTest::newRow("Shift+Tab") << int(Qt::Key_Backtab) << false << 0x09;
    QTest::newRow("Return") << int(Qt::Key_Return) << false << 0x0D;
    QTest::newRow("Shift") << int(Qt::Key_Shift) << false << 0x10;
    QTest::newRow("Control") << int(Qt::Key_Control) << false << 0x11;
    QTest::newRow("Alt") << int(Qt::Key_Alt) << false << 0x12;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << false << 0x1B;
    QTest::newRow("Space") << int(Qt::Key_Space) << false << 0x20;
    QTest::newRow("Page Up") << int(Qt::Key_PageUp) << false << 0x21;
    QTest::newRow("Page Down") << int(Qt::Key_PageDown) << false << 0x22;
    QTest::newRow("End") << int(Qt::Key_End) << false << 0x23;
    QTest::newRow("Home") << int(Qt::Key_Home) << false << 0x24;
    QTest::newRow("Left") << int(Qt::Key_Left) << false << 0x25;
    QTest::newRow("Down") << int(Qt::Key_Down) << false << 0x28;
    QTest::newRow("Insert") << int(Qt::Key_Insert) << false << 0x2D;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << false << 0x2E;
    QTest::newRow("minus") << int(Qt::Key_Minus) << false << 0xBD;
    QTest::newRow("period") << int(Qt::Key_Period) << false << 0xBE;
    QTest::newRow("comma") << int(Qt::Key_Comma) << false << 0xBC;
    QTest::newRow("slash") << int(Qt::Key_Slash) << false << 0xBF;
    QTest::newRow("backslash") << int(Qt::Key_Backslash) << false << 0xDC;

    // The same Qt keys from the keypad are other keys.
    QTest::newRow("keypad 0") << int(Qt::Key_0) << true << 0x60;
    QTest::newRow("keypad 9") << int(Qt::Key_9) << true << 0x69;
    QTest::newRow("keypad *") << int(Qt::Key_Asterisk) << true << 0x6A;
    QTest::newRow("keypad +") << int(Qt::Key_Plus) << true << 0x6B;
    QTest::newRow("keypad -") << int(Qt::Key_Minus) << true << 0x6D;
    QTest::newRow("keypad .") << int(Qt::Key_Period) << true << 0x6E;
    QTest::newRow("keypad , (decimal key of many layouts)") << int(Qt::Key_Comma) << true << 0x6E;
    QTest::newRow("keypad /") << int(Qt::Key_Slash) << true << 0x6F;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << true << 0x0D;
    // With Num Lock off the keypad moves the caret.
    QTest::newRow("keypad Up") << int(Qt::Key_Up) << true << 0x26;
    QTest::newRow("keypad Home") << int(Qt::Key_Home) << true << 0x24;
    QTest::newRow("keypad Delete") << int(Qt::Key_Delete) << true << 0x2E;

    QTest::newRow("no code: Meta") << int(Qt::Key_Meta) << false << 0;
    QTest::newRow("no code: unknown") << int(Qt::Key_unknown) << false << 0;
    QTest::newRow("no code: F25") << int(Qt::Key_F25) << false << 0;
    QTest::newRow("no code: a letter outside A-Z") << int(Qt::Key_Adiaeresis) << false << 0;
}

void tst_VirtualKeys::fromQtKey()
{
    QFETCH(int, qtKey);
    QFETCH(bool, keypad);
    QFETCH(int, vk);
    const Qt::KeyboardModifiers modifiers = keypad ? Qt::KeypadModifier : Qt::NoModifier;
    QCOMPARE(VirtualKeys::fromQtKey(qtKey, modifiers), vk);
    // Shift, Ctrl and Alt never change the key.
    QCOMPARE(
        VirtualKeys::fromQtKey(qtKey, modifiers | Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier),
        vk);
}

void tst_VirtualKeys::toQtKey_data()
{
    QTest::addColumn<int>("vk");
    QTest::addColumn<int>("qtKey");

    QTest::newRow("A") << 0x41 << int(Qt::Key_A);
    QTest::newRow("5") << 0x35 << int(Qt::Key_5);
    QTest::newRow("numpad 5") << 0x65 << int(Qt::Key_5);
    QTest::newRow("multiply") << 0x6A << int(Qt::Key_Asterisk);
    QTest::newRow("add") << 0x6B << int(Qt::Key_Plus);
    QTest::newRow("subtract") << 0x6D << int(Qt::Key_Minus);
    QTest::newRow("decimal") << 0x6E << int(Qt::Key_Period);
    QTest::newRow("divide") << 0x6F << int(Qt::Key_Slash);
    QTest::newRow("return") << 0x0D << int(Qt::Key_Return);
    QTest::newRow("tab") << 0x09 << int(Qt::Key_Tab);
    QTest::newRow("F24") << 0x87 << int(Qt::Key_F24);
    QTest::newRow("Shift") << 0x10 << int(Qt::Key_Shift);
    QTest::newRow("no key: 0") << 0 << 0;
    QTest::newRow("no key: mouse button") << 0x01 << 0;
    QTest::newRow("no key: after Z") << 0x5B << 0;
    QTest::newRow("no key: after F24") << 0x88 << 0;
    QTest::newRow("no key: separator") << 0x6C << 0;
    QTest::newRow("no key: out of range") << 0x1000 << 0;
    QTest::newRow("no key: negative") << -1 << 0;
}

void tst_VirtualKeys::toQtKey()
{
    QFETCH(int, vk);
    QFETCH(int, qtKey);
    QCOMPARE(VirtualKeys::toQtKey(vk), qtKey);
}

void tst_VirtualKeys::everyCodeReadsBack()
{
    int mapped = 0;
    for (int vk = 0; vk < 256; ++vk) {
        const int qtKey = VirtualKeys::toQtKey(vk);
        if (!qtKey)
            continue;
        ++mapped;
        const bool keypad = vk >= VK::Numpad0 && vk <= VK::Divide;
        QCOMPARE(VirtualKeys::fromQtKey(qtKey, keypad ? Qt::KeypadModifier : Qt::NoModifier), vk);
    }
    // Letters, digits, keypad, F-keys and the named keys at the least.
    QVERIFY2(mapped >= 26 + 10 + 15 + 24 + 30, qPrintable(QString::number(mapped)));
}

void tst_VirtualKeys::fromEvent()
{
    const QKeyEvent keypadFive(QEvent::KeyPress, Qt::Key_5, Qt::KeypadModifier, QStringLiteral("5"));
    QCOMPARE(VirtualKeys::fromEvent(&keypadFive), VK::Numpad0 + 5);
    const QKeyEvent shiftedA(QEvent::KeyPress, Qt::Key_A, Qt::ShiftModifier, QStringLiteral("A"));
    QCOMPARE(VirtualKeys::fromEvent(&shiftedA), VK::KeyA);
    const QKeyEvent release(QEvent::KeyRelease, Qt::Key_F5, Qt::NoModifier);
    QCOMPARE(VirtualKeys::fromEvent(&release), VK::F1 + 4);
}

void tst_VirtualKeys::shiftMask_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("mask");

    QTest::newRow("none") << int(Qt::NoModifier) << 0;
    QTest::newRow("Shift") << int(Qt::ShiftModifier) << 1;
    QTest::newRow("Ctrl") << int(Qt::ControlModifier) << 2;
    QTest::newRow("Alt") << int(Qt::AltModifier) << 4;
    QTest::newRow("Shift+Ctrl") << int(Qt::ShiftModifier | Qt::ControlModifier) << 3;
    QTest::newRow("Ctrl+Alt") << int(Qt::ControlModifier | Qt::AltModifier) << 6;
    QTest::newRow("all three") << int(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier) << 7;
}

void tst_VirtualKeys::shiftMask()
{
    QFETCH(int, modifiers);
    QFETCH(int, mask);
    const Qt::KeyboardModifiers mods = Qt::KeyboardModifiers::fromInt(modifiers);
    QCOMPARE(VirtualKeys::shiftMask(mods), mask);
    QCOMPARE(VirtualKeys::modifiersFromMask(mask), mods);
    // Meta and the keypad flag are not part of the mask; other mask bits are ignored.
    QCOMPARE(VirtualKeys::shiftMask(mods | Qt::MetaModifier | Qt::KeypadModifier), mask);
    QCOMPARE(VirtualKeys::modifiersFromMask(mask | 8 | 16), mods);
}

QTEST_GUILESS_MAIN(tst_VirtualKeys)
#include "tst_virtualkeys.moc"
