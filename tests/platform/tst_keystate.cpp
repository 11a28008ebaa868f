#include "abi/VirtualKeys.h"
#include "platform/KeyState.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QtTest>

class tst_KeyState : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void keyDownUntilReleased();
    void severalKeys();
    void modifierKeys();
    void keypadKeys();
    void autoRepeatDoesNotRelease();
    void mouseButtons();
    void sentEventsAreNoPresses();
    void deactivationForgetsKeys();

private:
    QWidget m_widget;
};

void tst_KeyState::initTestCase()
{
    KeyState::instance();
    m_widget.resize(200, 100);
    m_widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&m_widget));
}

void tst_KeyState::init()
{
    KeyState::instance().reset();
}

void tst_KeyState::keyDownUntilReleased()
{
    KeyState &keys = KeyState::instance();
    QVERIFY(!keys.isKeyDown(VK::KeyA));
    QTest::keyPress(&m_widget, Qt::Key_A);
    QVERIFY(keys.isKeyDown(VK::KeyA));
    QVERIFY(!keys.isKeyDown(VK::KeyA + 1));
    QTest::keyRelease(&m_widget, Qt::Key_A);
    QVERIFY(!keys.isKeyDown(VK::KeyA));

    QTest::keyPress(&m_widget, Qt::Key_F5);
    QVERIFY(keys.isKeyDown(VK::F1 + 4));
    QTest::keyRelease(&m_widget, Qt::Key_F5);
    QVERIFY(!keys.isKeyDown(VK::F1 + 4));
}

void tst_KeyState::severalKeys()
{
    KeyState &keys = KeyState::instance();
    QTest::keyPress(&m_widget, Qt::Key_Left);
    QTest::keyPress(&m_widget, Qt::Key_Down);
    QVERIFY(keys.isKeyDown(VK::Left));
    QVERIFY(keys.isKeyDown(VK::Down));
    QTest::keyRelease(&m_widget, Qt::Key_Left);
    QVERIFY(!keys.isKeyDown(VK::Left));
    QVERIFY(keys.isKeyDown(VK::Down));
    QTest::keyRelease(&m_widget, Qt::Key_Down);
    QVERIFY(!keys.isKeyDown(VK::Down));
}

void tst_KeyState::modifierKeys()
{
    KeyState &keys = KeyState::instance();
    QTest::keyPress(&m_widget, Qt::Key_Control);
    QVERIFY(keys.isKeyDown(VK::Control));
    QVERIFY(!keys.isKeyDown(VK::Shift));
    QTest::keyPress(&m_widget, Qt::Key_Shift, Qt::ControlModifier);
    QVERIFY(keys.isKeyDown(VK::Shift));
    QTest::keyRelease(&m_widget, Qt::Key_Shift, Qt::ControlModifier);
    QTest::keyRelease(&m_widget, Qt::Key_Control);
    QVERIFY(!keys.isKeyDown(VK::Control));
    QVERIFY(!keys.isKeyDown(VK::Shift));
    QVERIFY(!keys.isKeyDown(VK::Menu));
}

void tst_KeyState::keypadKeys()
{
    KeyState &keys = KeyState::instance();
    QTest::keyPress(&m_widget, Qt::Key_5, Qt::KeypadModifier);
    QVERIFY(keys.isKeyDown(VK::Numpad0 + 5));
    QVERIFY(!keys.isKeyDown(VK::Key0 + 5));
    QTest::keyRelease(&m_widget, Qt::Key_5, Qt::KeypadModifier);
    QVERIFY(!keys.isKeyDown(VK::Numpad0 + 5));
}

void tst_KeyState::autoRepeatDoesNotRelease()
{
    KeyState &keys = KeyState::instance();
    QTest::keyPress(&m_widget, Qt::Key_Down);
    for (int i = 0; i < 3; ++i) {
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(&m_widget, &release);
        QVERIFY(keys.isKeyDown(VK::Down));
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(&m_widget, &press);
    }
    QTest::keyRelease(&m_widget, Qt::Key_Down);
    QVERIFY(!keys.isKeyDown(VK::Down));
}

void tst_KeyState::mouseButtons()
{
    KeyState &keys = KeyState::instance();
    const QPoint pos(10, 10);
    QTest::mousePress(&m_widget, Qt::LeftButton, Qt::NoModifier, pos);
    QVERIFY(keys.isKeyDown(VK::LButton));
    QVERIFY(!keys.isKeyDown(VK::RButton));
    QTest::mousePress(&m_widget, Qt::RightButton, Qt::NoModifier, pos);
    QVERIFY(keys.isKeyDown(VK::LButton));
    QVERIFY(keys.isKeyDown(VK::RButton));
    QTest::mouseRelease(&m_widget, Qt::LeftButton, Qt::NoModifier, pos);
    QVERIFY(!keys.isKeyDown(VK::LButton));
    QVERIFY(keys.isKeyDown(VK::RButton));
    QTest::mouseRelease(&m_widget, Qt::RightButton, Qt::NoModifier, pos);
    QVERIFY(!keys.isKeyDown(VK::RButton));

    QTest::mousePress(&m_widget, Qt::MiddleButton, Qt::NoModifier, pos);
    QVERIFY(keys.isKeyDown(VK::MButton));
    QTest::mouseRelease(&m_widget, Qt::MiddleButton, Qt::NoModifier, pos);
    QVERIFY(!keys.isKeyDown(VK::MButton));
}

void tst_KeyState::sentEventsAreNoPresses()
{
    KeyState &keys = KeyState::instance();
    const QPoint pos(10, 10);
    QTest::mousePress(&m_widget, Qt::LeftButton, Qt::NoModifier, pos);
    QTest::keyPress(&m_widget, Qt::Key_A);
    // What the program sends itself, such as the reading pane's marker (a middle
    // button released with no button held) or a replacement key, changes nothing.
    QMouseEvent marker(QEvent::MouseButtonRelease, QPointF(-17768, -292), QPointF(-17768, -292),
                       Qt::MiddleButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&m_widget, &marker);
    QKeyEvent replacement(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
    QApplication::sendEvent(&m_widget, &replacement);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier);
    QApplication::sendEvent(&m_widget, &release);
    QVERIFY(keys.isKeyDown(VK::LButton));
    QVERIFY(keys.isKeyDown(VK::KeyA));
    QVERIFY(!keys.isKeyDown(VK::KeyA + 1));
    QTest::keyRelease(&m_widget, Qt::Key_A);
    QTest::mouseRelease(&m_widget, Qt::LeftButton, Qt::NoModifier, pos);
    QVERIFY(!keys.isKeyDown(VK::KeyA));
    QVERIFY(!keys.isKeyDown(VK::LButton));
}

void tst_KeyState::deactivationForgetsKeys()
{
    KeyState &keys = KeyState::instance();
    QTest::keyPress(&m_widget, Qt::Key_A);
    QTest::mousePress(&m_widget, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QVERIFY(keys.isKeyDown(VK::KeyA));
    // The release goes to another application.
    QEvent deactivate(QEvent::ApplicationDeactivate);
    QApplication::sendEvent(qApp, &deactivate);
    QVERIFY(!keys.isKeyDown(VK::KeyA));
    QVERIFY(!keys.isKeyDown(VK::LButton));
    QTest::mouseRelease(&m_widget, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
}

QTEST_MAIN(tst_KeyState)
#include "tst_keystate.moc"
