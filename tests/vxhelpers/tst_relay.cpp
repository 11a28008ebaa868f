#include "abi/VirtualKeys.h"
#include "abi/VxHelpersAbi.h"

#include <QApplication>
#include <QLibrary>
#include <QMouseEvent>
#include <QPointer>
#include <QTextEdit>
#include <QtTest>
#include <functional>
#include <memory>
#include <vector>

// The notification relay of libVxHelpers.so, loaded on its own with a rich-edit
// window class of the test's own, so that nothing of the program is involved.

namespace {

// Stands in for the platform's rich-edit window under the class name the library asks for.
class TestRichEdit : public QTextEdit
{
    Q_OBJECT
    Q_PROPERTY(uint eventMask READ eventMask WRITE setEventMask)

public:
    Q_INVOKABLE explicit TestRichEdit(QWidget *parent = nullptr)
        : QTextEdit(parent)
    {
    }
    Q_INVOKABLE QObject *oleInterface() { return document(); }
    uint eventMask() const { return m_eventMask; }
    void setEventMask(uint mask) { m_eventMask = mask; }

private:
    uint m_eventMask = 0;
};

struct Helpers
{
    QLibrary library;
    VxAbi::CreateRtfWindowFn createRtfWindow = nullptr;
    VxAbi::GetMsgInfoFn getMsgInfo = nullptr;
    VxAbi::SetMsgInfoFn setMsgInfo = nullptr;
    VxAbi::SetMsgRetValFn setMsgRetVal = nullptr;
    VxAbi::SubclassTableCountFn subclassTableCount = nullptr;

    bool load()
    {
        library.setFileName(QStringLiteral(VX_PROGRAM_DIR "/libVxHelpers.so"));
        if (!library.load())
            return false;
        createRtfWindow = reinterpret_cast<VxAbi::CreateRtfWindowFn>(library.resolve("CreateRtfWindow"));
        getMsgInfo = reinterpret_cast<VxAbi::GetMsgInfoFn>(library.resolve("GetMsgInfo"));
        setMsgInfo = reinterpret_cast<VxAbi::SetMsgInfoFn>(library.resolve("SetMsgInfo"));
        setMsgRetVal = reinterpret_cast<VxAbi::SetMsgRetValFn>(library.resolve("SetMsgRetVal"));
        subclassTableCount =
            reinterpret_cast<VxAbi::SubclassTableCountFn>(library.resolve("SubclassTableCount"));
        return createRtfWindow && getMsgInfo && setMsgInfo && setMsgRetVal && subclassTableCount;
    }
};

Helpers &helpers()
{
    static Helpers instance;
    return instance;
}

struct Marker
{
    VxAbi::HWND hwndFrom = 0;
    uint32_t code = 0;
    uint32_t msg = 0;
    VxAbi::WPARAM wParam = 0;
    VxAbi::LPARAM lParam = 0;
    int shift = 0; // the modifier mask the marker carried
};

// A host that logs every marker and answers it through the given handler.
class LoggingHost : public QWidget
{
public:
    std::vector<Marker> markers;
    std::function<void(const Marker &)> answer;

protected:
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() != Qt::MiddleButton ||
            event->position().toPoint() != QPoint(VxAbi::MarkerX, VxAbi::MarkerY)) {
            QWidget::mouseReleaseEvent(event);
            return;
        }
        Marker marker;
        const VxAbi::HRESULT hr =
            helpers().getMsgInfo(&marker.hwndFrom, &marker.code, &marker.msg, &marker.wParam, &marker.lParam);
        if (hr != VxAbi::S_OK)
            marker.code = 0xDEAD;
        marker.shift = VirtualKeys::shiftMask(event->modifiers());
        markers.push_back(marker);
        event->accept();
        if (answer)
            answer(marker);
    }
};

struct Pane
{
    std::unique_ptr<LoggingHost> host;
    TestRichEdit *editor = nullptr;
    VxAbi::HWND handle = 0;
};

Pane makePane(uint mask)
{
    Pane pane;
    pane.host = std::make_unique<LoggingHost>();
    pane.host->resize(300, 200);
    void *document = nullptr;
    pane.handle =
        helpers().createRtfWindow(pane.host.get(), reinterpret_cast<VxAbi::HWND>(pane.host.get()), &document);
    pane.editor = qobject_cast<TestRichEdit *>(reinterpret_cast<QWidget *>(pane.handle));
    if (pane.editor)
        pane.editor->setEventMask(mask);
    pane.host->show();
    return pane;
}

constexpr uint AllEvents =
    VxAbi::ENM_CHANGE | VxAbi::ENM_SELCHANGE | VxAbi::ENM_KEYEVENTS | VxAbi::ENM_MOUSEEVENTS;

QString messageName(uint32_t msg)
{
    switch (msg) {
    case VxAbi::WM_KEYDOWN:
        return QStringLiteral("KEYDOWN");
    case VxAbi::WM_KEYUP:
        return QStringLiteral("KEYUP");
    case VxAbi::WM_MOUSEMOVE:
        return QStringLiteral("MOUSEMOVE");
    case VxAbi::WM_LBUTTONDOWN:
        return QStringLiteral("LBUTTONDOWN");
    case VxAbi::WM_LBUTTONUP:
        return QStringLiteral("LBUTTONUP");
    case VxAbi::WM_LBUTTONDBLCLK:
        return QStringLiteral("LBUTTONDBLCLK");
    case VxAbi::WM_RBUTTONDOWN:
        return QStringLiteral("RBUTTONDOWN");
    case VxAbi::WM_RBUTTONUP:
        return QStringLiteral("RBUTTONUP");
    case VxAbi::WM_MBUTTONDOWN:
        return QStringLiteral("MBUTTONDOWN");
    case VxAbi::WM_MBUTTONUP:
        return QStringLiteral("MBUTTONUP");
    default:
        return QStringLiteral("msg%1").arg(msg, 0, 16);
    }
}

// One line per marker: what it announced, in the terms the reading pane reads it.
QStringList summary(const Pane &pane)
{
    QStringList lines;
    for (const Marker &m : pane.host->markers) {
        QString line;
        if (m.code == VxAbi::EN_CHANGE && m.msg == VxAbi::WM_COMMAND && m.wParam == 0 && m.lParam == 0)
            line = QStringLiteral("CHANGE");
        else if (m.code == VxAbi::EN_SELCHANGE && m.msg == 0 && m.wParam == 0 && m.lParam == 0)
            line = QStringLiteral("SELCHANGE");
        else if (m.code == VxAbi::EN_MSGFILTER && (m.msg == VxAbi::WM_KEYDOWN || m.msg == VxAbi::WM_KEYUP))
            line = QStringLiteral("%1 %2 m%3").arg(messageName(m.msg)).arg(m.wParam, 0, 16).arg(m.shift);
        else if (m.code == VxAbi::EN_MSGFILTER)
            line = QStringLiteral("%1 %2 %3,%4")
                       .arg(messageName(m.msg))
                       .arg(m.wParam, 0, 16)
                       .arg(qint16(m.lParam & 0xFFFF))
                       .arg(qint16((m.lParam >> 16) & 0xFFFF));
        else
            line = QStringLiteral("code %1 msg %2").arg(m.code, 0, 16).arg(m.msg, 0, 16);
        if (m.hwndFrom != pane.handle)
            line += QStringLiteral(" from a stranger");
        lines << line;
    }
    return lines;
}

void sendMouse(QWidget *target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers, QPoint pos)
{
    QMouseEvent event(type, QPointF(pos), QPointF(target->mapToGlobal(pos)), button, buttons, modifiers);
    QApplication::sendEvent(target, &event);
}

void click(QWidget *target, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos)
{
    sendMouse(target, QEvent::MouseButtonPress, button, button, modifiers, pos);
    sendMouse(target, QEvent::MouseButtonRelease, button, Qt::NoButton, modifiers, pos);
}

void placeCursor(QTextEdit *editor, int anchor, int position)
{
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
}

// Answers the key-down of one virtual key as the reading pane does: SetMsgInfo with new values.
std::function<void(const Marker &)> answerKeyDown(int virtualKey, VxAbi::WPARAM newWParam,
                                                  VxAbi::LRESULT result)
{
    return [=](const Marker &m) {
        if (m.code == VxAbi::EN_MSGFILTER && m.msg == VxAbi::WM_KEYDOWN &&
            m.wParam == VxAbi::WPARAM(virtualKey))
            QCOMPARE(helpers().setMsgInfo(m.hwndFrom, m.code, m.msg, newWParam, m.lParam, result),
                     VxAbi::S_OK);
    };
}

using Action = std::function<void(Pane &)>;

} // namespace

Q_DECLARE_METATYPE(Action)

class tst_Relay : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(helpers().load(), qPrintable(helpers().library.errorString()));

        // Before the window class is registered nothing can be made.
        LoggingHost host;
        void *document = reinterpret_cast<void *>(&host);
        QCOMPARE(helpers().createRtfWindow(&host, reinterpret_cast<VxAbi::HWND>(&host), &document),
                 VxAbi::HWND(0));
        QVERIFY(host.findChildren<QTextEdit *>().isEmpty());
        QCOMPARE(document, reinterpret_cast<void *>(&host));

        qRegisterMetaType<TestRichEdit *>(VxAbi::RichEditClassName);
    }

    void createWindow()
    {
        LoggingHost host;
        host.resize(320, 240);
        QTextDocument stale;
        void *document = &stale;
        const VxAbi::HWND handle =
            helpers().createRtfWindow(&host, reinterpret_cast<VxAbi::HWND>(&host), &document);
        auto *editor = qobject_cast<TestRichEdit *>(reinterpret_cast<QWidget *>(handle));
        QVERIFY(editor);
        QCOMPARE(editor->parentWidget(), &host);
        QCOMPARE(editor->geometry(), QRect(0, 0, 320, 240));
        QVERIFY(!editor->isHidden());
        QCOMPARE(editor->windowTitle(), QStringLiteral("VerbanoxDisplay"));
        QCOMPARE(static_cast<QObject *>(document), static_cast<QObject *>(editor->document()));
    }

    void createWindowRejects_data()
    {
        QTest::addColumn<bool>("withOwner");
        QTest::addColumn<int>("hostKind"); // 0 the host, 1 none, 2 an address that is no widget
        QTest::addColumn<bool>("withDocument");
        QTest::newRow("no owner") << false << 0 << true;
        QTest::newRow("no host") << true << 1 << true;
        QTest::newRow("host that is no widget") << true << 2 << true;
        QTest::newRow("no document address") << true << 0 << false;
    }

    void createWindowRejects()
    {
        QFETCH(bool, withOwner);
        QFETCH(int, hostKind);
        QFETCH(bool, withDocument);
        LoggingHost host;
        QObject notAWidget;
        const VxAbi::HWND hostHandle = hostKind == 0   ? reinterpret_cast<VxAbi::HWND>(&host)
                                       : hostKind == 1 ? VxAbi::HWND(0)
                                                       : reinterpret_cast<VxAbi::HWND>(&notAWidget);
        void *document = nullptr;
        const uint32_t entries = helpers().subclassTableCount();
        QCOMPARE(helpers().createRtfWindow(withOwner ? &host : nullptr, hostHandle,
                                           withDocument ? &document : nullptr),
                 VxAbi::HWND(0));
        QVERIFY(host.findChildren<QTextEdit *>().isEmpty());
        QVERIFY(!document);
        QCOMPARE(helpers().subclassTableCount(), entries);
    }

    void oneMarkerPerNotification_data()
    {
        QTest::addColumn<QString>("initialText");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("typed letter")
            << QString() << Action([](Pane &p) { QTest::keyClick(p.editor, Qt::Key_A); })
            << QStringList{"KEYDOWN 41 m0", "SELCHANGE", "CHANGE", "KEYUP 41 m0"};
        QTest::newRow("shift and right arrow extend the selection")
            << QStringLiteral("abc")
            << Action([](Pane &p) { QTest::keyClick(p.editor, Qt::Key_Right, Qt::ShiftModifier); })
            << QStringList{"KEYDOWN 10 m1", "KEYDOWN 27 m1", "SELCHANGE", "KEYUP 27 m1", "KEYUP 10 m0"};
        QTest::newRow("ctrl and alt are in the marker's mask") << QString() << Action([](Pane &p) {
            QTest::keyClick(p.editor, Qt::Key_F5, Qt::ControlModifier | Qt::AltModifier);
        }) << QStringList{"KEYDOWN 11 m2", "KEYDOWN 12 m6", "KEYDOWN 74 m6",
                          "KEYUP 74 m6",   "KEYUP 12 m2",   "KEYUP 11 m0"};
        QTest::newRow("selection set by the program")
            << QStringLiteral("abc") << Action([](Pane &p) { placeCursor(p.editor, 1, 2); })
            << QStringList{"SELCHANGE"};
        QTest::newRow("same selection set again")
            << QStringLiteral("abc") << Action([](Pane &p) { placeCursor(p.editor, 0, 0); }) << QStringList{};
        QTest::newRow("text set by the program")
            << QString() << Action([](Pane &p) { p.editor->insertPlainText(QStringLiteral("xyz")); })
            << QStringList{"SELCHANGE", "CHANGE"};
        QTest::newRow("left click") << QString() << Action([](Pane &p) {
            click(p.editor->viewport(), Qt::LeftButton, Qt::NoModifier, {5, 7});
        }) << QStringList{"LBUTTONDOWN 1 5,7", "LBUTTONUP 0 5,7"};
        QTest::newRow("right click with shift and ctrl") << QString() << Action([](Pane &p) {
            click(p.editor->viewport(), Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier, {30, 2});
        }) << QStringList{"RBUTTONDOWN e 30,2", "RBUTTONUP c 30,2"};
        QTest::newRow("double click") << QString() << Action([](Pane &p) {
            QWidget *v = p.editor->viewport();
            click(v, Qt::LeftButton, Qt::NoModifier, {9, 9});
            sendMouse(v, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, {9, 9});
            sendMouse(v, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, Qt::NoModifier, {9, 9});
        }) << QStringList{"LBUTTONDOWN 1 9,9", "LBUTTONUP 0 9,9", "LBUTTONDBLCLK 1 9,9", "LBUTTONUP 0 9,9"};
        QTest::newRow("mouse move without a button") << QString() << Action([](Pane &p) {
            sendMouse(p.editor->viewport(), QEvent::MouseMove, Qt::NoButton, Qt::NoButton, Qt::NoModifier,
                      {40, 3});
        }) << QStringList{"MOUSEMOVE 0 40,3"};
        QTest::newRow("drag above and left of the window") << QString() << Action([](Pane &p) {
            sendMouse(p.editor->viewport(), QEvent::MouseMove, Qt::NoButton,
                      Qt::LeftButton | Qt::MiddleButton, Qt::NoModifier, {-3, -20});
        }) << QStringList{"MOUSEMOVE 11 -3,-20"};
    }

    void oneMarkerPerNotification()
    {
        QFETCH(QString, initialText);
        QFETCH(Action, action);
        QFETCH(QStringList, expected);
        Pane pane = makePane(AllEvents);
        QVERIFY(pane.editor);
        pane.editor->setPlainText(initialText);
        placeCursor(pane.editor, 0, 0);
        pane.host->markers.clear();
        action(pane);
        QCOMPARE(summary(pane), expected);
    }

    void keyAnswers_data()
    {
        QTest::addColumn<bool>("answered");
        QTest::addColumn<bool>("keepKey");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no answer") << false << true << 0 << QStringLiteral("xa");
        QTest::newRow("key unchanged, result 0") << true << true << 0 << QStringLiteral("xa");
        QTest::newRow("key set to 0, result 1") << true << false << 1 << QStringLiteral("x");
        QTest::newRow("key set to 0, result 0") << true << false << 0 << QStringLiteral("x");
        QTest::newRow("key unchanged, result 1") << true << true << 1 << QStringLiteral("x");
    }

    void keyAnswers()
    {
        QFETCH(bool, answered);
        QFETCH(bool, keepKey);
        QFETCH(int, result);
        QFETCH(QString, expected);
        Pane pane = makePane(AllEvents);
        pane.editor->setPlainText(QStringLiteral("x"));
        placeCursor(pane.editor, 1, 1);
        if (answered)
            pane.host->answer = answerKeyDown(VK::KeyA, keepKey ? VK::KeyA : 0, result);
        QTest::keyClick(pane.editor, Qt::Key_A);
        QCOMPARE(pane.editor->toPlainText(), expected);
    }

    void resultNotCarriedOver()
    {
        Pane pane = makePane(AllEvents);
        pane.host->answer = answerKeyDown(VK::KeyA, VK::KeyA, 1);
        QTest::keyClick(pane.editor, Qt::Key_A);
        QCOMPARE(pane.editor->toPlainText(), QString());
        // The next notification starts with a result of its own, whatever the last one got.
        pane.host->answer = nullptr;
        QTest::keyClick(pane.editor, Qt::Key_C);
        QCOMPARE(pane.editor->toPlainText(), QStringLiteral("c"));
    }

    void replacedKey_data()
    {
        QTest::addColumn<int>("newKey");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("cursor");
        QTest::newRow("another letter") << VK::KeyA + 1 << false << QStringLiteral("xyb") << 3;
        QTest::newRow("another letter with shift") << VK::KeyA + 1 << true << QStringLiteral("xyB") << 3;
        QTest::newRow("a digit") << VK::Key0 + 7 << false << QStringLiteral("xy7") << 3;
        QTest::newRow("a keypad digit") << VK::Numpad0 + 5 << false << QStringLiteral("xy5") << 3;
        QTest::newRow("a comma") << VK::OemComma << false << QStringLiteral("xy,") << 3;
        QTest::newRow("backspace") << VK::Back << false << QStringLiteral("x") << 1;
        QTest::newRow("left arrow") << VK::Left << false << QStringLiteral("xy") << 1;
        QTest::newRow("return") << VK::Return << false << QStringLiteral("xy\n") << 3;
    }

    void replacedKey()
    {
        QFETCH(int, newKey);
        QFETCH(bool, shift);
        QFETCH(QString, expected);
        QFETCH(int, cursor);
        Pane pane = makePane(AllEvents);
        pane.editor->setPlainText(QStringLiteral("xy"));
        placeCursor(pane.editor, 2, 2);
        pane.host->answer = answerKeyDown(VK::KeyA, VxAbi::WPARAM(newKey), 0);
        pane.host->markers.clear();
        QTest::keyClick(pane.editor, Qt::Key_A, shift ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(pane.editor->toPlainText(), expected);
        QCOMPARE(pane.editor->textCursor().position(), cursor);
        // The key put in its place reaches the editor without being announced again.
        int keyDowns = 0;
        for (const Marker &m : pane.host->markers)
            if (m.msg == VxAbi::WM_KEYDOWN && m.wParam != VxAbi::WPARAM(VK::Shift))
                ++keyDowns;
        QCOMPARE(keyDowns, 1);
    }

    void mismatch_data()
    {
        QTest::addColumn<int>("wrongField"); // 0 hwndFrom, 1 code, 2 msg
        QTest::addColumn<bool>("retValOnly");
        QTest::newRow("other window, SetMsgInfo") << 0 << false;
        QTest::newRow("other code, SetMsgInfo") << 1 << false;
        QTest::newRow("other message, SetMsgInfo") << 2 << false;
        QTest::newRow("other window, SetMsgRetVal") << 0 << true;
        QTest::newRow("other code, SetMsgRetVal") << 1 << true;
        QTest::newRow("other message, SetMsgRetVal") << 2 << true;
    }

    void mismatch()
    {
        QFETCH(int, wrongField);
        QFETCH(bool, retValOnly);
        Pane pane = makePane(AllEvents);
        bool checked = false;
        pane.host->answer = [&](const Marker &m) {
            if (m.msg != VxAbi::WM_KEYDOWN)
                return;
            const VxAbi::HWND from = wrongField == 0 ? m.hwndFrom + 8 : m.hwndFrom;
            const uint32_t code = wrongField == 1 ? VxAbi::EN_SELCHANGE : m.code;
            const uint32_t msg = wrongField == 2 ? VxAbi::WM_KEYUP : m.msg;
            const VxAbi::HRESULT hr = retValOnly ? helpers().setMsgRetVal(from, code, msg, 1)
                                                 : helpers().setMsgInfo(from, code, msg, 0, 0, 1);
            QCOMPARE(hr, VxAbi::E_INVALIDARG);
            Marker after;
            QCOMPARE(
                helpers().getMsgInfo(&after.hwndFrom, &after.code, &after.msg, &after.wParam, &after.lParam),
                VxAbi::S_OK);
            QCOMPARE(after.wParam, m.wParam);
            QCOMPARE(after.lParam, m.lParam);
            checked = true;
        };
        QTest::keyClick(pane.editor, Qt::Key_A);
        QVERIFY(checked);
        QCOMPARE(pane.editor->toPlainText(), QStringLiteral("a"));
    }

    void outsideNotifications()
    {
        Pane pane = makePane(AllEvents);
        QTest::keyClick(pane.editor, Qt::Key_A);
        // The last notification can still be read, but nothing is being answered.
        Marker last;
        QCOMPARE(helpers().getMsgInfo(&last.hwndFrom, &last.code, &last.msg, &last.wParam, &last.lParam),
                 VxAbi::S_OK);
        QCOMPARE(last.hwndFrom, pane.handle);
        QCOMPARE(last.code, VxAbi::EN_MSGFILTER);
        QCOMPARE(last.msg, VxAbi::WM_KEYUP);
        QCOMPARE(last.wParam, VxAbi::WPARAM(VK::KeyA));
        QCOMPARE(helpers().setMsgRetVal(last.hwndFrom, last.code, last.msg, 1), VxAbi::E_INVALIDARG);
    }

    void getMsgInfoNullAddress_data()
    {
        QTest::addColumn<int>("nullArgument");
        for (int i = 0; i < 5; ++i)
            QTest::addRow("argument %d", i + 1) << i;
    }

    void getMsgInfoNullAddress()
    {
        QFETCH(int, nullArgument);
        Marker m;
        QCOMPARE(helpers().getMsgInfo(
                     nullArgument == 0 ? nullptr : &m.hwndFrom, nullArgument == 1 ? nullptr : &m.code,
                     nullArgument == 2 ? nullptr : &m.msg, nullArgument == 3 ? nullptr : &m.wParam,
                     nullArgument == 4 ? nullptr : &m.lParam),
                 VxAbi::E_INVALIDARG);
    }

    void nestedNotification_data()
    {
        QTest::addColumn<bool>("outerSwallows");
        QTest::addColumn<QString>("expected");
        QTest::newRow("outer answer after the inner one") << true << QStringLiteral("xy");
        QTest::newRow("inner result stays with the inner one") << false << QStringLiteral("a");
    }

    void nestedNotification()
    {
        QFETCH(bool, outerSwallows);
        QFETCH(QString, expected);
        Pane pane = makePane(AllEvents);
        pane.editor->setPlainText(QStringLiteral("xy"));
        placeCursor(pane.editor, 2, 2);
        QList<uint32_t> innerCodes;
        bool answeringKey = false;
        Marker outerAfter;
        pane.host->answer = [&](const Marker &m) {
            if (m.code == VxAbi::EN_SELCHANGE) {
                if (answeringKey)
                    innerCodes << m.code;
                QCOMPARE(helpers().setMsgRetVal(m.hwndFrom, m.code, m.msg, 1), VxAbi::S_OK);
                return;
            }
            if (m.msg != VxAbi::WM_KEYDOWN)
                return;
            // Moving the selection while answering the key raises a notification inside this one.
            answeringKey = true;
            placeCursor(pane.editor, 0, 2);
            answeringKey = false;
            QCOMPARE(helpers().getMsgInfo(&outerAfter.hwndFrom, &outerAfter.code, &outerAfter.msg,
                                          &outerAfter.wParam, &outerAfter.lParam),
                     VxAbi::S_OK);
            if (outerSwallows)
                QCOMPARE(helpers().setMsgInfo(m.hwndFrom, m.code, m.msg, 0, m.lParam, 1), VxAbi::S_OK);
        };
        QTest::keyClick(pane.editor, Qt::Key_A);
        QCOMPARE(innerCodes, QList<uint32_t>{VxAbi::EN_SELCHANGE});
        QCOMPARE(outerAfter.hwndFrom, pane.handle);
        QCOMPARE(outerAfter.code, VxAbi::EN_MSGFILTER);
        QCOMPARE(outerAfter.msg, VxAbi::WM_KEYDOWN);
        QCOMPARE(outerAfter.wParam, VxAbi::WPARAM(VK::KeyA));
        QCOMPARE(pane.editor->toPlainText(), expected);
    }

    void eventMask_data()
    {
        QTest::addColumn<uint>("mask");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("none") << 0u << QStringList{};
        QTest::newRow("change") << uint(VxAbi::ENM_CHANGE) << QStringList{"CHANGE"};
        QTest::newRow("selection change")
            << uint(VxAbi::ENM_SELCHANGE) << QStringList{"SELCHANGE", "SELCHANGE", "SELCHANGE"};
        QTest::newRow("keys") << uint(VxAbi::ENM_KEYEVENTS) << QStringList{"KEYDOWN 41 m0", "KEYUP 41 m0"};
        QTest::newRow("mouse") << uint(VxAbi::ENM_MOUSEEVENTS)
                               << QStringList{"LBUTTONDOWN 1 4,4", "LBUTTONUP 0 4,4"};
    }

    void eventMask()
    {
        QFETCH(uint, mask);
        QFETCH(QStringList, expected);
        Pane pane = makePane(mask);
        QTest::keyClick(pane.editor, Qt::Key_A);                                // moves the cursor to 1
        click(pane.editor->viewport(), Qt::LeftButton, Qt::NoModifier, {4, 4}); // back to 0
        placeCursor(pane.editor, 0, 1);
        QCOMPARE(summary(pane), expected);
        QCOMPARE(pane.editor->toPlainText(), QStringLiteral("a"));
    }

    void destroyedHostLeavesNoEntry()
    {
        const uint32_t before = helpers().subclassTableCount();
        auto first = std::make_unique<LoggingHost>();
        auto second = std::make_unique<LoggingHost>();
        void *document = nullptr;
        QVERIFY(
            helpers().createRtfWindow(first.get(), reinterpret_cast<VxAbi::HWND>(first.get()), &document));
        QVERIFY(
            helpers().createRtfWindow(first.get(), reinterpret_cast<VxAbi::HWND>(first.get()), &document));
        QVERIFY(
            helpers().createRtfWindow(second.get(), reinterpret_cast<VxAbi::HWND>(second.get()), &document));
        QCOMPARE(helpers().subclassTableCount(), before + 3);
        first.reset();
        QCOMPARE(helpers().subclassTableCount(), before + 1);
        second.reset();
        QCOMPARE(helpers().subclassTableCount(), before);
    }

    void editorOutlivesItsHost()
    {
        const uint32_t before = helpers().subclassTableCount();
        Pane pane = makePane(AllEvents);
        QWidget keeper;
        QPointer<TestRichEdit> editor = pane.editor;
        editor->setParent(&keeper);
        pane.host.reset();
        QCOMPARE(helpers().subclassTableCount(), before);
        // Nothing is announced to the host that is gone, now or once its relay is deleted.
        QTest::keyClick(editor, Qt::Key_A);
        click(editor->viewport(), Qt::LeftButton, Qt::NoModifier, {3, 3}); // before the "a"
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_B);
        QCOMPARE(editor->toPlainText(), QStringLiteral("ba"));
    }

    void noFixedLimit()
    {
        const uint32_t before = helpers().subclassTableCount();
        std::vector<std::unique_ptr<LoggingHost>> hosts;
        TestRichEdit *last = nullptr;
        for (int i = 0; i < 1001; ++i) {
            hosts.push_back(std::make_unique<LoggingHost>());
            void *document = nullptr;
            const VxAbi::HWND handle = helpers().createRtfWindow(
                hosts.back().get(), reinterpret_cast<VxAbi::HWND>(hosts.back().get()), &document);
            last = qobject_cast<TestRichEdit *>(reinterpret_cast<QWidget *>(handle));
            QVERIFY(last);
        }
        QCOMPARE(helpers().subclassTableCount(), before + 1001);
        last->setEventMask(VxAbi::ENM_CHANGE);
        last->setPlainText(QStringLiteral("z"));
        QCOMPARE(hosts.back()->markers.size(), std::size_t(1));
        QCOMPARE(hosts.back()->markers.front().code, VxAbi::EN_CHANGE);
        hosts.clear();
        QCOMPARE(helpers().subclassTableCount(), before);
    }

    void hostHandsItsFocusToTheEditor()
    {
        Pane pane = makePane(AllEvents);
        QVERIFY(QTest::qWaitForWindowActive(pane.host.get()));
        pane.host->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(pane.editor));
        // Keys typed at the window, not at the editor, reach the text.
        QTest::keyClick(pane.host->windowHandle(), 'h');
        QTest::keyClick(pane.host->windowHandle(), 'i');
        QCOMPARE(pane.editor->toPlainText(), QStringLiteral("hi"));
        QVERIFY(summary(pane).contains(QStringLiteral("KEYDOWN 48 m0")));
    }
};

QTEST_MAIN(tst_Relay)
#include "tst_relay.moc"
