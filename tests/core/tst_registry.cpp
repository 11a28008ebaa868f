#include "common/TestFixture.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "core/Registry_.h"
#include "platform/SettingsStore.h"
#include "platform/Twips.h"

#include <QDir>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>
#include <QtTest>

class TestRegistry : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;

    void store(const QString &key, const QString &value)
    {
        SettingsStore::instance().setValue(QStringLiteral("Settings"), key, value);
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        Registry_::Initialize(QStringLiteral("  Settings "));
    }
    void cleanup() { m_fx.reset(); }

    void sections()
    {
        QCOMPARE(gSettingsSection, QStringLiteral("Settings"));
        QCOMPARE(Registry_::ResolveSection(Registry_::DefaultSection), QStringLiteral("Settings"));
        QCOMPARE(Registry_::ResolveSection(QStringLiteral("Module_Path")), QStringLiteral("Module_Path"));
        SaveString(QStringLiteral("ModulePath"), QStringLiteral("/m/"), QStringLiteral("Module_Path"));
        QCOMPARE(
            SettingsStore::instance().value(QStringLiteral("Module_Path"), QStringLiteral("modulepath"), {}),
            QStringLiteral("/m/"));

        gSettingsSection.clear();
        gDebugMode = true;
        QCOMPARE(Registry_::ResolveSection(Registry_::DefaultSection), QStringLiteral("Default"));
        QCOMPARE(m_fx->desk().lastMessage(),
                 QStringLiteral("ASSERT FAILED: \r\nRegistry_.Initialize() was not called!"));
        Registry_::Initialize(QStringLiteral("   "));
        QVERIFY(m_fx->desk().lastMessage().contains(
            QStringLiteral("cannot be called with an empty string! ('   ')")));
    }

    void parseBoolean_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");
        for (const char *f : {"0", "", "false", "FALSE", "f", "F", "no", "No", "n", "N"})
            QTest::newRow(f[0] ? f : "empty") << QString::fromLatin1(f) << false;
        for (const char *t : {"yes", "1", "-1", "True", "t", "anything", " 0", "0.0"})
            QTest::newRow(t) << QString::fromLatin1(t) << true;
    }
    void parseBoolean()
    {
        QFETCH(QString, text);
        QFETCH(bool, expected);
        QCOMPARE(Registry_::ParseBoolean(text), expected);
    }

    void typedReadsWithDefaults()
    {
        QCOMPARE(GetBoolean(QStringLiteral("Missing"), true), true);
        QCOMPARE(GetSingle(QStringLiteral("Missing"), 2.5f), 2.5f);
        QCOMPARE(GetInteger(QStringLiteral("Missing"), qint16(-3)), qint16(-3));
        QCOMPARE(GetLong(QStringLiteral("Missing"), 70000), 70000);
        QCOMPARE(GetString(QStringLiteral("Missing"), QStringLiteral("d")), QStringLiteral("d"));

        store(QStringLiteral("B"), QStringLiteral("No"));
        QCOMPARE(GetBoolean(QStringLiteral("B"), true), false);
        store(QStringLiteral("S"), QStringLiteral(" 12.25 "));
        QCOMPARE(GetSingle(QStringLiteral("S"), 0), 12.25f);
        store(QStringLiteral("I"), QStringLiteral(" 12.5 "));
        QCOMPARE(GetInteger(QStringLiteral("I"), 0), qint16(12)); // halves round to even
        store(QStringLiteral("L"), QStringLiteral("&H10"));
        QCOMPARE(GetLong(QStringLiteral("L"), 0), 16);
    }

    void badStoredTextGivesTheDefault()
    {
        for (const char *bad : {"abc", "12abc", "", "1e999", "--5"}) {
            store(QStringLiteral("V"), QString::fromLatin1(bad));
            QCOMPARE(GetSingle(QStringLiteral("V"), 4.0f), 4.0f);
            QCOMPARE(GetInteger(QStringLiteral("V"), qint16(4)), qint16(4));
            QCOMPARE(GetLong(QStringLiteral("V"), 4), 4);
        }
        store(QStringLiteral("V"), QStringLiteral("40000"));
        QCOMPARE(GetInteger(QStringLiteral("V"), qint16(4)), qint16(4)); // beyond 16 bits
        QCOMPARE(GetLong(QStringLiteral("V"), 4), 40000);
        store(QStringLiteral("V"), QStringLiteral("3000000000"));
        QCOMPARE(GetLong(QStringLiteral("V"), 4), 4);
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
    }

    void savesReadBack()
    {
        SaveBoolean(QStringLiteral("B"), false);
        QCOMPARE(GetString(QStringLiteral("B"), {}), QStringLiteral("False"));
        QCOMPARE(GetBoolean(QStringLiteral("B"), true), false);
        SaveSingle(QStringLiteral("S"), 0.1f);
        QCOMPARE(GetString(QStringLiteral("S"), {}), QStringLiteral("0.1"));
        QCOMPARE(GetSingle(QStringLiteral("S"), 0), 0.1f);
        SaveInteger(QStringLiteral("I"), -32768);
        QCOMPARE(GetInteger(QStringLiteral("I"), 0), qint16(-32768));
        SaveString(QStringLiteral("T"), QStringLiteral("line1\r\nline2"));
        QCOMPARE(GetString(QStringLiteral("t"), {}), QStringLiteral("line1\r\nline2"));
    }

    void formPositions()
    {
        QWidget form;
        form.setGeometry(100, 120, 400, 300);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        SaveFormPosition(QStringLiteral("ScreenX"), &form);
        QCOMPARE(GetSingle(QStringLiteral("ScreenXLeft"), -1), float(Twips::fromPixelsX(form.pos().x())));
        QCOMPARE(GetSingle(QStringLiteral("ScreenXWidth"), -1), float(Twips::fromPixelsX(400)));

        // Restoring before the window is shown, then saving again, keeps the size.
        for (int cycle = 0; cycle < 3; ++cycle) {
            QWidget other;
            QVERIFY(RestoreFormPosition(QStringLiteral("ScreenX"), &other));
            other.show();
            QVERIFY(QTest::qWaitForWindowExposed(&other));
            QCOMPARE(other.size(), QSize(400, 300));
            QCOMPARE(other.pos(), form.pos());
            SaveFormPosition(QStringLiteral("ScreenX"), &other);
        }
    }

    void windowThatGrowsStaysOnTheScreen_data()
    {
        QTest::addColumn<QPoint>("stored");   // where the window was, in the screen's free area
        QTest::addColumn<QSize>("minimum");   // what its controls need
        QTest::addColumn<QPoint>("expected"); // where it is put; -1: the far edge less its size
        const QSize room = QGuiApplication::primaryScreen()->availableGeometry().size();
        const QPoint nearTheEnd(room.width() - 400, room.height() - 300);
        QTest::newRow("fits where stored") << nearTheEnd << QSize(300, 200) << nearTheEnd;
        QTest::newRow("needs more width than stored")
            << nearTheEnd << QSize(700, 200) << QPoint(-1, nearTheEnd.y());
        QTest::newRow("needs more height than stored")
            << nearTheEnd << QSize(300, 500) << QPoint(nearTheEnd.x(), -1);
        QTest::newRow("stored left of the screen") << QPoint(-200, 30) << QSize(300, 200) << QPoint(0, 30);
    }
    // A window is never put where part of it runs off the screen, even when its
    // controls make it larger than the stored size.
    void windowThatGrowsStaysOnTheScreen()
    {
        QFETCH(QPoint, stored);
        QFETCH(QSize, minimum);
        QFETCH(QPoint, expected);
        const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
        SaveSingle(QStringLiteral("ScreenGLeft"), float(Twips::fromPixelsX(room.x() + stored.x())));
        SaveSingle(QStringLiteral("ScreenGTop"), float(Twips::fromPixelsY(room.y() + stored.y())));
        SaveSingle(QStringLiteral("ScreenGWidth"), float(Twips::fromPixelsX(250)));
        SaveSingle(QStringLiteral("ScreenGHeight"), float(Twips::fromPixelsY(150)));
        QWidget form;
        auto *layout = new QVBoxLayout(&form);
        auto *content = new QWidget(&form);
        content->setMinimumSize(minimum);
        layout->addWidget(content);
        QVERIFY(RestoreFormPosition(QStringLiteral("ScreenG"), &form));
        const QSize needed = form.minimumSizeHint();
        QVERIFY(needed.width() >= minimum.width());
        const QPoint want(room.x() + (expected.x() < 0 ? room.width() - needed.width() : expected.x()),
                          room.y() + (expected.y() < 0 ? room.height() - needed.height() : expected.y()));
        QCOMPARE(form.pos(), want);
    }

    void minimisedOrHiddenWindowsKeepTheirPosition()
    {
        SaveSingle(QStringLiteral("ScreenYLeft"), 1500);
        QWidget hidden;
        hidden.setGeometry(10, 10, 300, 300);
        SaveFormPosition(QStringLiteral("ScreenY"), &hidden);
        QWidget maximised;
        maximised.showMaximized();
        SaveFormPosition(QStringLiteral("ScreenY"), &maximised);
        QCOMPARE(GetSingle(QStringLiteral("ScreenYLeft"), -1), 1500.0f);
        QVERIFY(
            !SettingsStore::instance().contains(QStringLiteral("Settings"), QStringLiteral("ScreenYWidth")));
    }

    void rejectedPositionIsCentred()
    {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        SaveSingle(QStringLiteral("ScreenZLeft"), 300);
        SaveSingle(QStringLiteral("ScreenZTop"), 300);
        SaveSingle(QStringLiteral("ScreenZWidth"), 1999);
        SaveSingle(QStringLiteral("ScreenZHeight"), 5000);
        QWidget form;
        QVERIFY(!RestoreFormPosition(QStringLiteral("ScreenZ"), &form));
        QCOMPARE(form.size(), QSize(Twips::toPixelsX(8000), Twips::toPixelsY(8000)));
        const double left = Twips::fromPixelsX(screen.width()) / 2 - 4000;
        const double top = Twips::fromPixelsY(screen.height()) / 3 - 8000.0 / 3;
        QCOMPARE(form.pos(),
                 QPoint(Twips::toPixelsX(std::max(left, 0.0)), Twips::toPixelsY(std::max(top, 0.0))));

        // Larger than the screen is rejected too.
        SaveSingle(QStringLiteral("ScreenZWidth"), float(Twips::fromPixelsX(screen.width())));
        SaveSingle(QStringLiteral("ScreenZHeight"), 5000);
        QVERIFY(!RestoreFormPosition(QStringLiteral("ScreenZ"), &form));
    }

    void rejectedPositionFollowsTheActiveWindow()
    {
        QWidget active;
        active.setGeometry(60, 50, 600, 500); // the window put over it fits on the screen
        active.show();
        active.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&active));
        const QRect a = active.frameGeometry();
        QWidget form;
        QVERIFY(!RestoreFormPosition(QStringLiteral("Nothing"), &form));
        const double left = Twips::fromPixelsX(a.x()) + Twips::fromPixelsX(a.width()) / 2 - 4000;
        const double top = Twips::fromPixelsY(a.y()) + Twips::fromPixelsY(a.height()) / 3 - 8000.0 / 3;
        QCOMPARE(form.pos(),
                 QPoint(Twips::toPixelsX(std::max(left, 0.0)), Twips::toPixelsY(std::max(top, 0.0))));
    }

    // Settings that cannot be written: the first failure of the run tells the
    // reader once; a dialog whose choices cannot be stored says so itself, and
    // its own message stands for the notice when it comes first.
    void unsavedSettingsAreTold_data()
    {
        QTest::addColumn<QStringList>("steps"); // "background" or "dialog", in order
        QTest::addColumn<QList<int>>("messages");
        QTest::newRow("background writes: once")
            << QStringList{"background", "background"} << QList<int>{271};
        QTest::newRow("dialog after the notice")
            << QStringList{"background", "dialog", "dialog"} << QList<int>{271, 272, 272};
        QTest::newRow("dialog first stands for the notice")
            << QStringList{"dialog", "background"} << QList<int>{272};
    }
    void unsavedSettingsAreTold()
    {
        QFETCH(QStringList, steps);
        QFETCH(QList<int>, messages);
        m_fx->setUpFolders(); // the message catalog
        const QString file = SettingsStore::instance().filePath();
        QVERIFY(QDir().mkpath(file)); // a folder where the file should be
        int n = 0;
        for (const QString &step : steps) {
            const QString key = QStringLiteral("K%1").arg(++n);
            if (step == QLatin1String("dialog"))
                QVERIFY(!Registry_::StoreChoices([&] { SaveString(key, QStringLiteral("v")); }));
            else
                SaveString(key, QStringLiteral("v"));
            QCOMPARE(GetString(key, QString()), QStringLiteral("v"));
        }
        QList<int> shown;
        for (const TestDesktop::Shown &box : m_fx->desk().messageBoxes()) {
            shown.append(box.text.startsWith(GetMsg(0, 271, SettingsStore::instance().folder())) ? 271 : 272);
            QVERIFY(box.text.contains(file));
        }
        QCOMPARE(shown, messages);
        QVERIFY(QDir().rmdir(file));
        QVERIFY(Registry_::StoreChoices([] { SaveString(QStringLiteral("Last"), QStringLiteral("v")); }));
        QCOMPARE(m_fx->desk().messageBoxes().size(), messages.size());
    }
};

QTEST_MAIN(TestRegistry)
#include "tst_registry.moc"
