#include "common/TestFixture.h"
#include "controls/FlatButton_.h"
#include "platform/OleColor.h"
#include "platform/RuntimeError.h"

#include <QImage>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

// A button whose pointer and left mouse button the test moves by hand.
class FakeMouseButton : public FlatButton_
{
public:
    bool over = true;
    bool leftDown = false;

protected:
    bool pointerIsOver() const override { return over; }
    bool leftButtonDown() const override { return leftDown; }
};

// Drives Timer1 on a fake clock: each tick comes when the timer's current interval
// has passed since the last one. Records when Click was raised, in ms since the
// press (a Click during the press itself counts at 0).
class FakeClock
{
public:
    explicit FakeClock(FakeMouseButton &button)
        : m_button(button)
    {
        QObject::connect(&button, &FlatButton_::Click, &m_context, [this] { clicks << m_now; });
    }

    // Ticks until `until` ms, or until the timer stops; `beforeTick` may change the
    // pointer or the mouse button at a given time.
    void runUntil(int until, const std::function<void(int)> &beforeTick = {})
    {
        while (m_button.Timer1->isActive() && m_now + m_button.Timer1->interval() <= until) {
            m_now += m_button.Timer1->interval();
            if (beforeTick)
                beforeTick(m_now);
            m_button.Timer1_Timer();
        }
    }
    int now() const { return m_now; }
    QList<int> clicks;

private:
    FakeMouseButton &m_button;
    QObject m_context;
    int m_now = 0;
};

QList<int> repeatTimes(int first, int last)
{
    QList<int> times;
    for (int t = first; t <= last; t += 50)
        times << t;
    return times;
}

// The columns from the first to the last one where anything differs from the
// background, in the rows strictly inside the edge.
QPair<int, int> inkColumns(const QImage &image, const QColor &background)
{
    int first = -1;
    int last = -1;
    for (int x = 1; x < image.width() - 1; ++x) {
        for (int y = 1; y < image.height() - 1; ++y) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - background.red()) + qAbs(c.green() - background.green()) +
                    qAbs(c.blue() - background.blue()) >
                60) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

QImage imageOf(QWidget &widget)
{
    return widget.grab().toImage();
}

} // namespace

class TestFlatButton : public QObject
{
    Q_OBJECT

private slots:
    void oneClickPerClick_data()
    {
        QTest::addColumn<bool>("clickOnMouseDown");
        QTest::addColumn<int>("clicksAfterPress");
        QTest::newRow("on the ordinary click") << false << 0;
        QTest::newRow("on the mouse-down") << true << 1;
    }
    void oneClickPerClick()
    {
        QFETCH(bool, clickOnMouseDown);
        QFETCH(int, clicksAfterPress);
        FakeMouseButton button;
        button.resize(80, 20);
        button.ClickOnMouseDown = clickOnMouseDown;
        QSignalSpy clicks(&button, &FlatButton_::Click);
        QSignalSpy downs(&button, &FlatButton_::MouseDown);
        QSignalSpy ups(&button, &FlatButton_::MouseUp);

        QTest::mousePress(&button, Qt::LeftButton);
        QCOMPARE(clicks.count(), clicksAfterPress);
        QCOMPARE(downs.count(), 1);
        QTest::mouseRelease(&button, Qt::LeftButton);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(ups.count(), 1);
    }

    void releaseOutsideIsNoClick()
    {
        FakeMouseButton button;
        button.resize(80, 20);
        QSignalSpy clicks(&button, &FlatButton_::Click);
        QTest::mousePress(&button, Qt::LeftButton);
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(200, 10));
        QCOMPARE(clicks.count(), 0);
    }

    void secondPressOfDoubleClick_data()
    {
        QTest::addColumn<bool>("clickOnMouseDown");
        QTest::addColumn<int>("clicks");
        // The second press counts as a press, not as a further ordinary click.
        QTest::newRow("on the ordinary click") << false << 1;
        QTest::newRow("on the mouse-down") << true << 2;
    }
    void secondPressOfDoubleClick()
    {
        QFETCH(bool, clickOnMouseDown);
        QFETCH(int, clicks);
        FakeMouseButton button;
        button.resize(80, 20);
        button.ClickOnMouseDown = clickOnMouseDown;
        QSignalSpy clickSpy(&button, &FlatButton_::Click);
        QSignalSpy downs(&button, &FlatButton_::MouseDown);
        QTest::mouseClick(&button, Qt::LeftButton);
        QTest::mouseDClick(&button, Qt::LeftButton);
        QTest::mouseRelease(&button, Qt::LeftButton);
        QCOMPARE(downs.count(), 2);
        QCOMPARE(clickSpy.count(), clicks);
    }

    void holdingRepeats_data()
    {
        QTest::addColumn<bool>("clickOnMouseDown");
        QTest::addColumn<bool>("clickOnMouseHold");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("down and hold") << true << true << (QList<int>{0} + repeatTimes(400, 1000));
        QTest::newRow("hold only") << false << true << repeatTimes(400, 1000);
        QTest::newRow("down only") << true << false << QList<int>{0};
        QTest::newRow("neither") << false << false << QList<int>{};
    }
    void holdingRepeats()
    {
        QFETCH(bool, clickOnMouseDown);
        QFETCH(bool, clickOnMouseHold);
        QFETCH(QList<int>, expected);
        FakeMouseButton button;
        button.resize(40, 20);
        button.ClickOnMouseDown = clickOnMouseDown;
        button.ClickOnMouseHold = clickOnMouseHold;
        FakeClock clock(button);

        button.leftDown = true;
        QTest::mousePress(&button, Qt::LeftButton);
        QVERIFY(button.Timer1->isActive());
        QCOMPARE(button.Timer1->interval(), 400);
        clock.runUntil(1000);
        QCOMPARE(clock.clicks, expected);
        // Without repetition the timer goes on tracking at the press's interval.
        QCOMPARE(button.Timer1->interval(), clickOnMouseHold ? 50 : 400);
        QVERIFY(button.Timer1->isActive());

        button.leftDown = false;
        QTest::mouseRelease(&button, Qt::LeftButton);
        QVERIFY(!button.Timer1->isActive());
        // The release is an ordinary click unless the press already counted.
        if (!clickOnMouseDown)
            expected << clock.now();
        QCOMPARE(clock.clicks, expected);
    }

    void repetitionStops_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("pointer leaves") << "leave";
        QTest::newRow("button hidden") << "hide";
        QTest::newRow("mouse button released") << "release";
    }
    void repetitionStops()
    {
        QFETCH(QString, how);
        FakeMouseButton button;
        button.resize(40, 20);
        button.ClickOnMouseDown = true;
        button.ClickOnMouseHold = true;
        button.show();
        FakeClock clock(button);
        button.leftDown = true;
        QTest::mousePress(&button, Qt::LeftButton);
        clock.runUntil(500);
        QCOMPARE(clock.clicks, (QList<int>{0, 400, 450, 500}));

        if (how == "leave") {
            button.over = false;
            clock.runUntil(550);
            // The tick that finds the pointer elsewhere raises nothing and stops.
            QVERIFY(!button.Timer1->isActive());
        } else if (how == "hide") {
            button.hide();
            QVERIFY(!button.Timer1->isActive());
        } else {
            button.leftDown = false;
            QTest::mouseRelease(&button, Qt::LeftButton);
            QVERIFY(!button.Timer1->isActive());
        }
        clock.runUntil(2000);
        QCOMPARE(clock.clicks, (QList<int>{0, 400, 450, 500}));
    }

    void otherMouseButtonsRaiseNothing_data()
    {
        QTest::addColumn<Qt::MouseButton>("mouseButton");
        QTest::newRow("right") << Qt::RightButton;
        QTest::newRow("middle") << Qt::MiddleButton;
    }
    void otherMouseButtonsRaiseNothing()
    {
        QFETCH(Qt::MouseButton, mouseButton);
        FakeMouseButton button;
        button.resize(40, 20);
        button.ClickOnMouseDown = true;
        button.ClickOnMouseHold = true;
        QSignalSpy clicks(&button, &FlatButton_::Click);
        QSignalSpy downs(&button, &FlatButton_::MouseDown);
        QSignalSpy ups(&button, &FlatButton_::MouseUp);
        QTest::mouseClick(&button, mouseButton);
        QTest::mouseDClick(&button, mouseButton);
        QTest::mouseRelease(&button, mouseButton);
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(downs.count(), 0);
        QCOMPARE(ups.count(), 0);
        QVERIFY(!button.Timer1->isActive());
    }

    void keys_data()
    {
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("clicks");
        QTest::newRow("Down") << Qt::Key_Down << Qt::KeyboardModifiers() << 1;
        QTest::newRow("Enter") << Qt::Key_Return << Qt::KeyboardModifiers() << 1;
        QTest::newRow("keypad Enter") << Qt::Key_Enter << Qt::KeyboardModifiers(Qt::KeypadModifier) << 1;
        QTest::newRow("Space") << Qt::Key_Space << Qt::KeyboardModifiers() << 1;
        QTest::newRow("Up") << Qt::Key_Up << Qt::KeyboardModifiers() << 0;
        QTest::newRow("Right") << Qt::Key_Right << Qt::KeyboardModifiers() << 0;
        QTest::newRow("Escape") << Qt::Key_Escape << Qt::KeyboardModifiers() << 0;
        QTest::newRow("letter") << Qt::Key_A << Qt::KeyboardModifiers() << 0;
    }
    void keys()
    {
        QFETCH(Qt::Key, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, clicks);
        FakeMouseButton button;
        QSignalSpy clickSpy(&button, &FlatButton_::Click);
        QTest::keyClick(&button, key, modifiers);
        QCOMPARE(clickSpy.count(), clicks);
    }

    void alignment_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::newRow("left") << 0;
        QTest::newRow("right") << 1;
        QTest::newRow("centred") << 2;
    }
    void alignment()
    {
        QFETCH(int, alignment);
        FakeMouseButton button;
        button.over = false;
        button.resize(200, 30);
        QCOMPARE(button.Alignment(), 2);
        button.setGlyph(QStringLiteral("\u25BC"));
        button.GlyphFont()->setPointSize(14);
        button.setCaption(QStringLiteral(" HHHH"));
        button.setAlignment(alignment);

        const QRectF run = button.textBounds();
        const QPair<int, int> ink = inkColumns(imageOf(button), button.palette().color(QPalette::Window));
        QVERIFY2(ink.first > 0, "nothing was painted");
        const int leftMargin = ink.first;
        const int rightMargin = button.width() - 1 - ink.second;
        switch (alignment) {
        case 0:
            QCOMPARE(run.left(), 1.0);
            QVERIFY2(leftMargin <= 4, qPrintable(QString::number(leftMargin)));
            QVERIFY(rightMargin > 50);
            break;
        case 1:
            QCOMPARE(run.right(), qreal(button.width()));
            QVERIFY2(rightMargin <= 4, qPrintable(QString::number(rightMargin)));
            QVERIFY(leftMargin > 50);
            break;
        default:
            QCOMPARE(run.left() + run.width() / 2, button.width() / 2.0);
            QVERIFY2(qAbs(leftMargin - rightMargin) <= 4,
                     qPrintable(QStringLiteral("%1 / %2").arg(leftMargin).arg(rightMargin)));
            break;
        }
    }

    void pressedTextMovesOnePixel()
    {
        FakeMouseButton button;
        button.over = false;
        button.resize(120, 30);
        button.setCaption(QStringLiteral("HHHH"));
        const QColor background = button.palette().color(QPalette::Window);
        const QRectF before = button.textBounds();
        const int inkBefore = inkColumns(imageOf(button), background).first;
        QTest::mousePress(&button, Qt::LeftButton);
        QCOMPARE(button.textBounds().topLeft(), before.topLeft() + QPointF(1, 1));
        QCOMPARE(inkColumns(imageOf(button), background).first, inkBefore + 1);
        QTest::mouseRelease(&button, Qt::LeftButton);
        QCOMPARE(button.textBounds(), before);
    }

    // A caption the button cannot hold, by as little as a pixel, is cut with "…"
    // inside the button and whole in its tool tip; widened to just its width, the
    // button draws it whole and drops the tip.
    void longCaptionIsCutVisibly()
    {
        const QString caption = QStringLiteral("Poetry and Wisdom");
        FakeMouseButton button;
        button.over = false;
        button.setGlyph(QStringLiteral("\u25BC "));
        button.setCaption(caption);
        button.resize(button.WidthFor(caption) - 1, 24);
        button.show();
        const QString shown = button.ShownCaption();
        QVERIFY2(shown.endsWith(QChar(0x2026)) && caption.startsWith(shown.chopped(1)), qPrintable(shown));
        QCOMPARE(button.toolTip(), caption);
        QVERIFY(button.textBounds().right() <= button.width());
        button.resize(button.WidthFor(caption), 24);
        QCOMPARE(button.ShownCaption(), caption);
        QCOMPARE(button.toolTip(), QString());
    }

    void edgeFollowsPointerAndButton_data()
    {
        QTest::addColumn<bool>("over");
        QTest::addColumn<bool>("leftDown");
        QTest::addColumn<quint32>("topLeft");
        QTest::addColumn<quint32>("bottomRight");
        const quint32 none = 0xFFFFFFFF;
        QTest::newRow("flat") << false << false << none << none;
        QTest::newRow("raised") << true << false << OleColor::Sys::ButtonHighlight
                                << OleColor::Sys::ButtonShadow;
        QTest::newRow("sunken") << true << true << OleColor::Sys::ButtonShadow
                                << OleColor::Sys::ButtonHighlight;
    }
    void edgeFollowsPointerAndButton()
    {
        QFETCH(bool, over);
        QFETCH(bool, leftDown);
        QFETCH(quint32, topLeft);
        QFETCH(quint32, bottomRight);
        FakeMouseButton button;
        button.resize(60, 20);
        button.over = over;
        button.leftDown = leftDown;
        // The two edge colours must be told apart from each other and from the face.
        QPalette palette = button.palette();
        palette.setColor(QPalette::Window, QColor(0x80, 0x80, 0xFF));
        button.setPalette(palette);
        QApplication::setPalette([] {
            QPalette p = QApplication::palette();
            p.setColor(QPalette::Dark, QColor(0x40, 0x40, 0x40));
            p.setColor(QPalette::Light, QColor(0xFF, 0xFF, 0xFF));
            return p;
        }());
        const QImage image = imageOf(button);
        const auto expect = [&](quint32 colour) {
            return colour == 0xFFFFFFFF ? button.palette().color(QPalette::Window)
                                        : OleColor::toQColor(colour);
        };
        QCOMPARE(image.pixelColor(0, 10), expect(topLeft));
        QCOMPARE(image.pixelColor(30, 0), expect(topLeft));
        QCOMPARE(image.pixelColor(59, 10), expect(bottomRight));
        QCOMPARE(image.pixelColor(30, 19), expect(bottomRight));
        // Painting with the pointer over the button starts hover tracking.
        QCOMPARE(button.Timer1->isActive(), over);
        if (over)
            QCOMPARE(button.Timer1->interval(), 200);
    }

    void glyphFontIsOneObject()
    {
        FlatButton_ button;
        const std::shared_ptr<QFont> first = button.GlyphFont();
        QVERIFY(first);
        QCOMPARE(button.GlyphFont(), first);
        // Changed in place, as a host does, it is what the glyph is drawn in.
        button.setGlyph(QStringLiteral("W"));
        const qreal before = button.textBounds().width();
        first->setPointSize(first->pointSize() * 3);
        QVERIFY(button.textBounds().width() > before * 2);

        auto other = std::make_shared<QFont>(QStringLiteral("Serif"), 20);
        button.setGlyphFont(other);
        QCOMPARE(button.GlyphFont(), other);
        button.setGlyphFont(nullptr);
        const std::shared_ptr<QFont> fresh = button.GlyphFont();
        QVERIFY(fresh && fresh != other);
    }

    void failingHandlerIsReportedOnceAndPressGoesOn()
    {
        TestFixture fixture;
        fixture.setUpFolders();
        FakeMouseButton button;
        button.resize(40, 20);
        button.ClickOnMouseDown = true;
        connect(&button, &FlatButton_::MouseDown, &button, [] { throw RuntimeError(5); });
        connect(&button, &FlatButton_::Click, &button, [] { throw RuntimeError(9); });
        QTest::mousePress(&button, Qt::LeftButton);
        QCOMPARE(fixture.desk().messageBoxes().size(), 1);
        QVERIFY(fixture.desk().lastMessage().contains(QLatin1String("FlatButton_.UserControl_MouseDown()")));
        QVERIFY(button.Timer1->isActive());
        QCOMPARE(button.Timer1->interval(), 400);
    }
};

QTEST_MAIN(TestFlatButton)
#include "tst_flatbutton.moc"
