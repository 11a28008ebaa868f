#include "abi/VirtualKeys.h"
#include "controls/WinApi_.h"
#include "core/ArrayDictionary_.h"
#include "core/VariantHelpers_.h"
#include "platform/KeyState.h"
#include "platform/Twips.h"
#include "platform/WindowStyle.h"

#include <QAction>
#include <QImage>
#include <QLibrary>
#include <QLibraryInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextEdit>
#include <QtTest>

using namespace WindowStyle;

namespace {

// Whether the widget itself shows the effect of a style bit.
bool widgetShows(const QTextEdit &edit, quint32 bit, bool extended)
{
    const bool framed = edit.frameShape() != QFrame::NoFrame;
    if (extended)
        return framed && edit.frameShadow() == QFrame::Sunken;
    switch (bit) {
    case WS_VISIBLE:
        return !edit.isHidden();
    case WS_DISABLED:
        return !edit.isEnabled();
    case WS_BORDER:
        return framed && edit.frameShadow() != QFrame::Sunken;
    case WS_VSCROLL:
        return edit.verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
    case WS_HSCROLL:
        return edit.horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
    default:
        return false;
    }
}

// Records the region of every paint event the widget gets.
class PaintRecorder : public QWidget
{
public:
    QRegion painted;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        painted += event->region();
        ++paints;
    }
};

QIcon solidIcon(Qt::GlobalColor colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

// The names of the widget's child widgets, lowest first.
QStringList stackOrder(const QWidget &parent)
{
    QStringList names;
    for (QObject *child : parent.children())
        if (child->isWidgetType())
            names << child->objectName();
    return names;
}

} // namespace

class TestWinApi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // As at program start: the key tracker sees every input event from then on.
        KeyState::instance();
    }

    void modifyWindowStyleClearsAndToggles_data()
    {
        QTest::addColumn<quint32>("bit");
        QTest::addColumn<bool>("extended");
        QTest::newRow("visible") << WS_VISIBLE << false;
        QTest::newRow("border") << WS_BORDER << false;
        QTest::newRow("vertical scroll bar") << WS_VSCROLL << false;
        QTest::newRow("horizontal scroll bar") << WS_HSCROLL << false;
        QTest::newRow("disabled") << WS_DISABLED << false;
        QTest::newRow("sunken client edge") << WS_EX_CLIENTEDGE << true;
    }

    void modifyWindowStyleClearsAndToggles()
    {
        QFETCH(quint32, bit);
        QFETCH(bool, extended);
        QWidget window;
        auto *edit = new QTextEdit(&window);
        if (bit == WS_BORDER)
            edit->setFrameStyle(QFrame::Box | QFrame::Plain);
        if (bit == WS_DISABLED)
            edit->setEnabled(false);
        window.show();
        QVERIFY(widgetShows(*edit, bit, extended));
        const quint32 before = WinApi_::GetWindowStyleBits(edit, extended);
        QVERIFY(before & bit);

        WinApi_::ModifyWindowStyle(edit, ~bit, 0, extended);
        QVERIFY(!widgetShows(*edit, bit, extended));
        QCOMPARE(WinApi_::GetWindowStyleBits(edit, extended), before & ~bit);

        WinApi_::ModifyWindowStyle(edit, 0xFFFFFFFFu, bit, extended);
        QVERIFY(widgetShows(*edit, bit, extended));
        WinApi_::ModifyWindowStyle(edit, quint32(-1), bit, extended);
        QVERIFY(!widgetShows(*edit, bit, extended));
    }

    void modifyWindowStyleLeavesOtherBits()
    {
        QWidget window;
        auto *edit = new QTextEdit(&window);
        window.show();
        WinApi_::ModifyWindowStyle(edit, ~WS_VSCROLL, ES_MULTILINE, false);
        QVERIFY(!edit->isHidden());
        QCOMPARE(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(edit->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
        const quint32 bits = WinApi_::GetWindowStyleBits(edit, false);
        QVERIFY(bits & ES_MULTILINE);
        QVERIFY(bits & WS_HSCROLL);
        QVERIFY(WinApi_::GetWindowStyleBits(edit, true) & WS_EX_CLIENTEDGE);
    }

    void hiddenByStyleThenShownAgain()
    {
        // How the reading pane is hidden while it fills and shown afterwards.
        QWidget window;
        auto *edit = new QTextEdit(&window);
        window.show();
        WinApi_::ModifyWindowStyle(edit, 0xEFFFFFFFu, 0, false);
        QVERIFY(!edit->isVisible());
        WinApi_::ShowWindowDefault(edit);
        QVERIFY(edit->isVisible());
        QVERIFY(WinApi_::GetWindowStyleBits(edit, false) & WS_VISIBLE);
    }

    void pixelRect_data()
    {
        QTest::addColumn<QList<int>>("given");
        QTest::addColumn<int>("scaleMode");
        QTest::addColumn<QList<int>>("leftTopRightBottom");
        QTest::newRow("twips") << QList<int>{15, 15, 150, 30} << int(Twips::ScaleMode::Twips)
                               << QList<int>{1, 1, 11, 3};
        // 22 twips are 1.47 pixels: the right edge is 1 + 1, not round(44 / 15) = 3.
        QTest::newRow("each part rounded on its own")
            << QList<int>{22, 23, 22, 23} << int(Twips::ScaleMode::Twips) << QList<int>{1, 2, 2, 4};
        QTest::newRow("pixels") << QList<int>{2, 3, 10, 20} << int(Twips::ScaleMode::Pixels)
                                << QList<int>{2, 3, 12, 23};
    }

    void pixelRect()
    {
        QFETCH(QList<int>, given);
        QFETCH(int, scaleMode);
        QFETCH(QList<int>, leftTopRightBottom);
        // The offscreen screen has 96 dpi.
        QCOMPARE(Twips::perPixelX(), 15.0);
        QCOMPARE(Twips::perPixelY(), 15.0);
        const QRect rect = WinApi_::pixelRect(given[0], given[1], given[2], given[3], scaleMode);
        const QList<int> edges{rect.x(), rect.y(), rect.x() + rect.width(), rect.y() + rect.height()};
        QCOMPARE(edges, leftTopRightBottom);
    }

    void drawFocusRectangleFramesTheRectangle_data()
    {
        QTest::addColumn<QList<int>>("given");
        QTest::addColumn<int>("scaleMode");
        QTest::newRow("twips") << QList<int>{30, 45, 300, 150} << int(Twips::ScaleMode::Twips);
        QTest::newRow("pixels") << QList<int>{2, 3, 20, 10} << int(Twips::ScaleMode::Pixels);
    }

    void drawFocusRectangleFramesTheRectangle()
    {
        QFETCH(QList<int>, given);
        QFETCH(int, scaleMode);
        const QRect frame(2, 3, 20, 10); // pixels 2..21 across, 3..12 down
        QImage blank(30, 20, QImage::Format_ARGB32_Premultiplied);
        blank.fill(Qt::white);
        QImage image = blank;
        {
            QPainter painter(&image);
            WinApi_::DrawFocusRectangle(&painter, given[0], given[1], given[2], given[3], scaleMode);
        }
        int top = 0, bottom = 0, left = 0, right = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) == blank.pixel(x, y))
                    continue;
                const bool onFrame = frame.contains(x, y) && !frame.adjusted(1, 1, -1, -1).contains(x, y);
                QVERIFY2(onFrame, qPrintable(QStringLiteral("pixel %1,%2 drawn").arg(x).arg(y)));
                top += y == frame.top();
                bottom += y == frame.bottom();
                left += x == frame.left();
                right += x == frame.right();
            }
        }
        QVERIFY(top > 0 && bottom > 0 && left > 0 && right > 0);
        QVERIFY(image.pixel(frame.topLeft()) != blank.pixel(frame.topLeft()));

        // Like the system's focus rectangle, a second one takes the first away.
        {
            QPainter painter(&image);
            WinApi_::DrawFocusRectangle(&painter, given[0], given[1], given[2], given[3], scaleMode);
        }
        QCOMPARE(image, blank);
    }

    void drawFocusRectangleShowsOnDarkBackground()
    {
        QImage image(30, 20, QImage::Format_RGB32);
        image.fill(Qt::black);
        {
            QPainter painter(&image);
            painter.setPen(Qt::black);
            WinApi_::DrawFocusRectangle(&painter, 2, 3, 20, 10, Twips::ScaleMode::Pixels);
        }
        QCOMPARE(QColor(image.pixel(2, 3)), QColor(Qt::white));
    }

    void invalidateRepaintsTheRectangle()
    {
        PaintRecorder widget;
        widget.resize(100, 60);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QTRY_VERIFY(widget.paints > 0);

        widget.painted = QRegion();
        WinApi_::InvalidateRectangle(&widget, 15, 15, 150, 30, Twips::ScaleMode::Twips);
        QTRY_VERIFY(!widget.painted.isEmpty());
        QCOMPARE(widget.painted.boundingRect(), QRect(1, 1, 10, 2));

        widget.painted = QRegion();
        WinApi_::InvalidateWholeWindow(&widget);
        QTRY_COMPARE(widget.painted, QRegion(widget.rect()));
    }

    void windowUnderCursor()
    {
        QWidget window;
        window.resize(100, 100);
        auto *child = new QWidget(&window);
        child->setGeometry(10, 10, 30, 30);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QCursor::setPos(child->mapToGlobal(QPoint(15, 15)));
        QCOMPARE(WinApi_::WindowUnderCursor(), child);
        QCursor::setPos(window.mapToGlobal(QPoint(80, 80)));
        QCOMPARE(WinApi_::WindowUnderCursor(), &window);
        QCursor::setPos(window.mapToGlobal(QPoint(300, 300)));
        QCOMPARE(WinApi_::WindowUnderCursor(), nullptr);
    }

    void isKeyDownFollowsTheLeftButton()
    {
        QWidget widget;
        widget.resize(50, 50);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QVERIFY(!WinApi_::IsKeyDown(VK::LButton));

        QTest::mousePress(&widget, Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(WinApi_::IsKeyDown(VK::LButton));
        QVERIFY(!WinApi_::IsKeyDown(VK::RButton));
        QTest::mouseRelease(&widget, Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(!WinApi_::IsKeyDown(VK::LButton));
    }

    void isKeyDownFollowsLetterKeys()
    {
        QWidget widget;
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QTest::keyPress(&widget, Qt::Key_D);
        QTest::keyPress(&widget, Qt::Key_B);
        QVERIFY(WinApi_::IsKeyDown(VK::KeyA + 3));
        QVERIFY(WinApi_::IsKeyDown(VK::KeyA + 1));
        QTest::keyRelease(&widget, Qt::Key_D);
        QVERIFY(!WinApi_::IsKeyDown(VK::KeyA + 3));
        QVERIFY(WinApi_::IsKeyDown(VK::KeyA + 1));
        QTest::keyRelease(&widget, Qt::Key_B);
        QVERIFY(!WinApi_::IsKeyDown(VK::KeyA + 1));
    }

    void setWindowPosition_data()
    {
        QTest::addColumn<int>("place"); // 0 top, 1 bottom, 2 behind "a"
        QTest::addColumn<quint32>("flags");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<bool>("visible");
        const QRect start(0, 0, 50, 50);
        const QRect moved(10, 20, 30, 40);
        using namespace WinApi_;
        QTest::newRow("move, size, top") << 0 << quint32(0) << moved << QStringList{"a", "c", "b"} << true;
        QTest::newRow("bottom") << 1 << quint32(0) << moved << QStringList{"b", "a", "c"} << true;
        QTest::newRow("behind a") << 2 << quint32(0) << moved << QStringList{"b", "a", "c"} << true;
        QTest::newRow("no size") << 0 << SWP_NOSIZE << QRect(10, 20, 50, 50) << QStringList{"a", "c", "b"}
                                 << true;
        QTest::newRow("no move") << 0 << SWP_NOMOVE << QRect(0, 0, 30, 40) << QStringList{"a", "c", "b"}
                                 << true;
        QTest::newRow("no z-order") << 1 << (SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE) << start
                                    << QStringList{"a", "b", "c"} << true;
        QTest::newRow("hide") << 0 << (SWP_HIDEWINDOW | SWP_NOZORDER) << moved << QStringList{"a", "b", "c"}
                              << false;
    }

    void setWindowPosition()
    {
        QFETCH(int, place);
        QFETCH(quint32, flags);
        QFETCH(QRect, geometry);
        QFETCH(QStringList, order);
        QFETCH(bool, visible);
        QWidget parent;
        parent.resize(200, 200);
        QWidget *siblings[3];
        for (int i = 0; i < 3; ++i) {
            siblings[i] = new QWidget(&parent);
            siblings[i]->setObjectName(QString(QChar('a' + i)));
            siblings[i]->setGeometry(0, 0, 50, 50);
        }
        parent.show();
        QWidget *b = siblings[1];

        bool done = false;
        if (place == 2)
            done = WinApi_::SetWindowPosition(b, siblings[0], 10, 20, 30, 40, flags);
        else
            done = WinApi_::SetWindowPosition(b, place == 0 ? WinApi_::ZOrder::Top : WinApi_::ZOrder::Bottom,
                                              10, 20, 30, 40, flags);
        QVERIFY(done);
        QCOMPARE(b->geometry(), geometry);
        QCOMPARE(stackOrder(parent), order);
        QCOMPARE(b->isVisible(), visible);
    }

    void setWindowPositionNoWindowPutsOnTopAndShows()
    {
        // The reading pane: no z-order window, show.
        QWidget parent;
        auto *pane = new QWidget(&parent);
        pane->setObjectName(QStringLiteral("pane"));
        auto *other = new QWidget(&parent);
        other->setObjectName(QStringLiteral("other"));
        pane->hide();
        parent.show();
        QVERIFY(WinApi_::SetWindowPosition(pane, nullptr, 0, 0, 120, 80, WinApi_::SWP_SHOWWINDOW));
        QVERIFY(pane->isVisible());
        QCOMPARE(pane->geometry(), QRect(0, 0, 120, 80));
        QCOMPARE(stackOrder(parent), (QStringList{"other", "pane"}));
        QVERIFY(!WinApi_::SetWindowPosition(nullptr, nullptr, 0, 0, 1, 1, 0));
    }

    void setWindowPositionActivatesUnlessAsked()
    {
        QWidget first, second;
        first.show();
        second.show();
        first.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&first));

        WinApi_::SetWindowPosition(&second, nullptr, 0, 0, 0, 0,
                                   WinApi_::SWP_NOMOVE | WinApi_::SWP_NOSIZE | WinApi_::SWP_NOACTIVATE);
        QTest::qWait(50);
        QCOMPARE(QApplication::activeWindow(), &first);
        WinApi_::SetWindowPosition(&second, nullptr, 0, 0, 0, 0, WinApi_::SWP_NOMOVE | WinApi_::SWP_NOSIZE);
        QVERIFY(QTest::qWaitForWindowActive(&second));
    }

    void loadLibraryByName()
    {
        const QString qtCore = QLibraryInfo::path(QLibraryInfo::LibrariesPath) +
                               QStringLiteral("/libQt6Core.so.") + QString::number(QT_VERSION_MAJOR);
        std::unique_ptr<QLibrary> library = WinApi_::LoadLibraryByName(qtCore);
        QVERIFY(library);
        QVERIFY(library->isLoaded());
        QVERIFY(library->resolve("qVersion"));

        QVERIFY(!WinApi_::LoadLibraryByName(QStringLiteral("/nonexistent/libNothing.so")));
        QVERIFY(!WinApi_::LoadLibraryByName(QString()));
    }

    void getMenuItemCaption_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("caption");
        QTest::newRow("shortcut text dropped") << 0 << QStringLiteral("&Find");
        QTest::newRow("separator") << 1 << QString();
        QTest::newRow("leading Tab kept") << 2 << QStringLiteral("\tIndented");
        QTest::newRow("long caption whole")
            << 3 << QStringLiteral("A caption that is much longer than forty-nine characters, and more");
        QTest::newRow("submenu") << 4 << QStringLiteral("&Recent");
        QTest::newRow("past the end") << 5 << QString();
        QTest::newRow("negative") << -1 << QString();
    }

    void getMenuItemCaption()
    {
        QFETCH(int, position);
        QFETCH(QString, caption);
        QMenu menu;
        menu.addAction(QStringLiteral("&Find\tCtrl+F"));
        menu.addSeparator();
        menu.addAction(QStringLiteral("\tIndented"));
        menu.addAction(
            QStringLiteral("A caption that is much longer than forty-nine characters, and more\tF2"));
        menu.addMenu(QStringLiteral("&Recent"));
        QCOMPARE(WinApi_::GetMenuItemCaption(&menu, position), caption);
    }

    void applyMenuBitmaps()
    {
        const QString longCaption = QStringLiteral("&Search all modules for the words in the selected text");
        QVERIFY(longCaption.size() > 49);
        QMainWindow window;
        QMenu *file = window.menuBar()->addMenu(QStringLiteral("&File"));
        QAction *open = file->addAction(QStringLiteral("&Open\tCtrl+O"));
        QAction *separator = file->addSeparator();
        QAction *search = file->addAction(longCaption);
        QAction *plain = file->addAction(QStringLiteral("Open"));
        QMenu *recent = file->addMenu(QStringLiteral("&Recent"));
        QAction *nested = recent->addAction(QStringLiteral("&Open"));
        QMenu *edit = window.menuBar()->addMenu(QStringLiteral("&Edit"));
        QAction *find = edit->addAction(QStringLiteral("&Find\tCtrl+F"));
        QAction *editOpen = edit->addAction(QStringLiteral("&Open"));

        const QIcon openIcon = solidIcon(Qt::red);
        const QIcon searchIcon = solidIcon(Qt::green);
        QPixmap findPixmap(16, 16);
        findPixmap.fill(Qt::blue);
        auto filePictures = std::make_shared<ArrayDictionary_>();
        filePictures->Add(QStringLiteral("&Open"), openIcon);
        filePictures->Add(longCaption, searchIcon);
        auto editPictures = std::make_shared<ArrayDictionary_>();
        editPictures->Add(QStringLiteral("&Find"), findPixmap);
        ArrayDictionary_ pictures;
        pictures.Add(QStringLiteral("&File"), VariantHelpers_::FromObject(filePictures));
        pictures.Add(QStringLiteral("&Edit"), VariantHelpers_::FromObject(editPictures));

        WinApi_::ApplyMenuBitmaps(&window, pictures);

        QCOMPARE(open->icon().cacheKey(), openIcon.cacheKey());
        QCOMPARE(search->icon().cacheKey(), searchIcon.cacheKey());
        QCOMPARE(find->icon().pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::blue));
        QVERIFY(separator->icon().isNull());
        QVERIFY(plain->icon().isNull());
        QVERIFY(recent->menuAction()->icon().isNull());
        QVERIFY(nested->icon().isNull());
        QVERIFY(editOpen->icon().isNull());
    }

    void applyMenuBitmapsWithoutMenuBarCreatesNone()
    {
        QMainWindow window;
        ArrayDictionary_ pictures;
        pictures.Add(QStringLiteral("&File"),
                     VariantHelpers_::FromObject(std::make_shared<ArrayDictionary_>()));
        WinApi_::ApplyMenuBitmaps(&window, pictures);
        QCOMPARE(window.menuWidget(), nullptr);
        WinApi_::ApplyMenuBitmaps(nullptr, pictures);
    }

    void applyMenuBitmapsOnWidgetWithMenuBarChild()
    {
        QWidget window;
        auto *bar = new QMenuBar(&window);
        QMenu *file = bar->addMenu(QStringLiteral("&File"));
        QAction *open = file->addAction(QStringLiteral("&Open"));
        auto inner = std::make_shared<ArrayDictionary_>();
        const QIcon icon = solidIcon(Qt::red);
        inner->Add(QStringLiteral("&Open"), icon);
        ArrayDictionary_ pictures;
        pictures.Add(QStringLiteral("&File"), VariantHelpers_::FromObject(inner));
        WinApi_::ApplyMenuBitmaps(&window, pictures);
        QCOMPARE(open->icon().cacheKey(), icon.cacheKey());
    }
};

QTEST_MAIN(TestWinApi)
#include "tst_winapi.moc"
