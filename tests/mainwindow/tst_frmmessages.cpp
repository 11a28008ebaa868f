#include "common/TestFixture.h"
#include "core/GlobalVars.h"
#include "mainwindow/frmMessages.h"
#include "platform/DefaultInstance.h"
#include "platform/RichTextBox.h"
#include "platform/SettingsStore.h"
#include "platform/Twips.h"

#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

// The core's accessor function hides the class name; spell the type out once.
using MessagesWindow = frmMessages;

class TestFrmMessages : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    std::unique_ptr<QWidget> m_main;

    static MessagesWindow &form() { return MessagesWindow::Instance(); }

    // A main window that is up and can own the log.
    void showMainWindow()
    {
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
        gMainForm = m_main.get();
    }
    QString setting(const QString &key) const
    {
        return SettingsStore::instance().value(QStringLiteral("Settings"), key, QString());
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpWindowTest();
        m_main = std::make_unique<QWidget>();
        m_main->setWindowTitle(QStringLiteral("main"));
        m_main->resize(400, 300);
    }
    void cleanup()
    {
        DefaultInstance<MessagesWindow>::release();
        m_main.reset();
        m_fx.reset();
    }

    void registeredAsTheProgramsProgressLog()
    {
        MessagesWindow::Register();
        ProgressLog &log = ProgressMessages();
        QCOMPARE(dynamic_cast<MessagesWindow *>(&log), &form());
        log.MsgAddMessage(QStringLiteral("from the core"), true, false);
        QCOMPARE(form().RichTextBox1->Text(), QStringLiteral("from the core"));
    }

    void loadsIdle()
    {
        MessagesWindow &f = form();
        QCOMPARE(f.windowTitle(), QStringLiteral("Progress Messages"));
        QCOMPARE(f.btnCancel->text(), QStringLiteral("Cancel"));
        QCOMPARE(f.btnClose->text(), QStringLiteral("Close"));
        QVERIFY(!f.isVisible());
        QVERIFY(!f.Timer1->isActive());
        QVERIFY(f.closeWhenDone());
        QVERIFY(!f.Cancelled());
        QVERIFY(f.RichTextBox1->Locked());
        QVERIFY(f.Timer1->interval() >= 500 && f.Timer1->interval() <= 1500);
    }

    void msgShowWhileVisibleReplacesTheText()
    {
        showMainWindow();
        MessagesWindow &f = form();
        f.MsgShow(QStringLiteral("First run"), false);
        QVERIFY(f.isVisible());
        QVERIFY(f.Timer1->isActive());
        f.MsgAddMessage(QStringLiteral("\r\nline"), false, false);
        QCOMPARE(f.RichTextBox1->Text(), QStringLiteral("First run\r\nline"));

        f.MsgShow(QStringLiteral("Second run"), false);
        QVERIFY(f.isVisible());
        QCOMPARE(f.RichTextBox1->Text(), QStringLiteral("Second run"));
    }

    void messagesAppendAtTheEndWithoutLineBreaks()
    {
        showMainWindow();
        MessagesWindow &f = form();
        f.MsgShow(QStringLiteral("Start"), false);
        // The caret may have been put anywhere; appending still goes to the end.
        f.RichTextBox1->setSelStart(0);
        f.MsgAddMessage(QStringLiteral(" one"), true, false);
        f.MsgAddMessage(QStringLiteral(" two"), true, false);
        QCOMPARE(f.RichTextBox1->Text(), QStringLiteral("Start one two"));
    }

    void addWithoutKeepingAutoCloseLeavesTheRunOpen()
    {
        showMainWindow();
        MessagesWindow &f = form();
        f.MsgShow(QStringLiteral("Checking modules"), true);
        f.MsgAddMessage(QStringLiteral("\r\nA module is damaged."), false, false);
        QVERIFY(!f.closeWhenDone());
        f.MsgDone();
        QVERIFY(f.isVisible());
        QVERIFY(f.btnClose->isEnabled());
        QVERIFY(!f.btnCancel->isEnabled());
        QCOMPARE(f.RichTextBox1->Text(), QStringLiteral("Checking modules\r\nA module is damaged."));
        // Still open on later ticks, whichever window is active.
        f.Timer1_Timer();
        QVERIFY(f.isVisible());

        QTest::mouseClick(f.btnClose, Qt::LeftButton);
        QVERIFY(!f.isVisible());
        QCOMPARE(f.RichTextBox1->Text(), QString());
        QVERIFY(!f.Timer1->isActive());
        QVERIFY(f.closeWhenDone());
    }

    void runThatClosesWhenDoneHidesAtDone()
    {
        showMainWindow();
        MessagesWindow &f = form();
        f.MsgShow(QStringLiteral("Reloading"), true);
        f.MsgAddMessage(QStringLiteral(" index"), true, false);
        QVERIFY(f.isVisible());
        f.MsgDone();
        QVERIFY(!f.isVisible());
        QCOMPARE(f.RichTextBox1->Text(), QString());
        QVERIFY(!f.Timer1->isActive());
    }

    void activatingAnotherWindowHidesAnAutoClosingRun()
    {
        showMainWindow();
        MessagesWindow &f = form();
        f.MsgShow(QStringLiteral("Reloading indexes"), true);
        QVERIFY(f.isVisible());
        // Shown windows are activated once the window system has answered.
        QTRY_VERIFY(f.isActiveWindow());
        f.Timer1_Timer();
        QVERIFY(f.isVisible()); // active itself: stays

        m_main->activateWindow();
        QTRY_VERIFY(m_main->isActiveWindow());
        f.Timer1_Timer();
        QVERIFY(!f.isVisible());
        QCOMPARE(f.RichTextBox1->Text(), QString());
        QVERIFY(!f.Timer1->isActive());

        // A run that must stay open does not hide when it loses activation.
        f.MsgShow(QStringLiteral("Comparing"), false);
        QVERIFY(f.isVisible());
        QTRY_VERIFY(f.isActiveWindow());
        m_main->activateWindow();
        QTRY_VERIFY(m_main->isActiveWindow());
        f.Timer1_Timer();
        QVERIFY(f.isVisible());
        QCOMPARE(f.RichTextBox1->Text(), QStringLiteral("Comparing"));
    }

    void cancelSetsTheFlagUntilTheNextRun()
    {
        showMainWindow();
        MessagesWindow &f = form();
        f.MsgShow(QStringLiteral("Checking"), false);
        QVERIFY(f.btnCancel->isEnabled());
        QTest::mouseClick(f.btnCancel, Qt::LeftButton);
        QVERIFY(f.Cancelled());
        QVERIFY(!f.btnCancel->isEnabled());

        f.MsgShow(QStringLiteral("Checking again"), false);
        QVERIFY(!f.Cancelled());
        QVERIFY(f.btnCancel->isEnabled());

        f.btnCancel_Click();
        QVERIFY(f.Cancelled());
        f.MsgHideIfOpen();
        QVERIFY(!f.Cancelled());
    }

    void waitsUntilTheMainWindowIsUp()
    {
        MessagesWindow &f = form();
        QVERIFY(!gMainForm);
        f.MsgShow(QStringLiteral("Creating index"), false);
        QVERIFY(!f.isVisible());
        QVERIFY(f.Timer1->isActive());
        f.Timer1_Timer();
        QVERIFY(!f.isVisible());

        // A second run while the first waits joins it.
        f.MsgShow(QStringLiteral("Second"), false);
        QCOMPARE(f.RichTextBox1->Text(), QStringLiteral("Creating index\r\n\r\nSecond"));

        gMainForm = m_main.get(); // exists, not shown yet
        f.Timer1_Timer();
        QVERIFY(!f.isVisible());

        m_main->setEnabled(false);
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
        f.Timer1_Timer();
        QVERIFY(!f.isVisible());

        m_main->setEnabled(true);
        f.Timer1_Timer();
        QVERIFY(f.isVisible());
        QCOMPARE(f.RichTextBox1->Text(), QStringLiteral("Creating index\r\n\r\nSecond"));
    }

    void autoClosingRunIsDroppedWhenItCannotBeShown()
    {
        MessagesWindow &f = form();
        f.MsgShow(QStringLiteral("Reloading"), true);
        QVERIFY(!f.isVisible());
        f.Timer1_Timer();
        QVERIFY(!f.isVisible());
        QVERIFY(!f.Timer1->isActive());
        QCOMPARE(f.RichTextBox1->Text(), QString());
    }

    void messagesWhileIdleCollectUntilTheNextRun()
    {
        showMainWindow();
        MessagesWindow &f = form();
        f.MsgAddMessage(QStringLiteral("Creating index for KJV"), true, false);
        QVERIFY(!f.isVisible());
        QVERIFY(!f.Timer1->isActive());
        QCOMPARE(f.RichTextBox1->Text(), QStringLiteral("Creating index for KJV"));
        f.MsgShow(QStringLiteral("New run"), false);
        QCOMPARE(f.RichTextBox1->Text(), QStringLiteral("New run"));
    }

    void positionIsSavedWhenTheLogCloses()
    {
        showMainWindow();
        QPoint saved;
        {
            MessagesWindow &f = form();
            f.MsgShow(QStringLiteral("run"), false);
            f.setGeometry(100, 120, 640, 420);
            QCoreApplication::processEvents();
            const QPoint position = f.pos();
            const QSize size = f.size();
            saved = position;
            f.MsgHideIfOpen();
            QCOMPARE(setting(QStringLiteral("ScreenProgMsgsWidth")).toDouble(),
                     Twips::fromPixelsX(size.width()));
            QCOMPARE(setting(QStringLiteral("ScreenProgMsgsHeight")).toDouble(),
                     Twips::fromPixelsY(size.height()));
            QCOMPARE(setting(QStringLiteral("ScreenProgMsgsLeft")).toDouble(),
                     Twips::fromPixelsX(position.x()));
            QCOMPARE(setting(QStringLiteral("ScreenProgMsgsTop")).toDouble(),
                     Twips::fromPixelsY(position.y()));
        }
        DefaultInstance<MessagesWindow>::release();
        // A newly loaded log comes back where the last one was.
        MessagesWindow &again = form();
        QCOMPARE(again.size(), QSize(640, 420));
        QCOMPARE(again.pos(), saved);

        // Closing the window unloads it and keeps its place too.
        again.MsgShow(QStringLiteral("run"), false);
        again.setGeometry(50, 60, 500, 300);
        QCoreApplication::processEvents();
        const int width = again.width();
        again.close();
        QCOMPARE(setting(QStringLiteral("ScreenProgMsgsWidth")).toDouble(), Twips::fromPixelsX(width));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!DefaultInstance<MessagesWindow>::exists());
    }

    void layoutKeepsButtonsBelowTheLog()
    {
        MessagesWindow &f = form();
        f.show();
        f.resize(600, 400);
        const int m = f.RichTextBox1->x();
        QVERIFY(m > 0);
        const QRect log = f.RichTextBox1->geometry();
        QCOMPARE(log.width(), 600 - 2 * m);
        QCOMPARE(log.height(), 400 - 3 * m - f.btnClose->height());
        QCOMPARE(f.btnCancel->geometry().right() + 1, 600 - m);
        QCOMPARE(f.btnCancel->y(), log.bottom() + 1 + m);
        QCOMPARE(f.btnClose->y(), f.btnCancel->y());
        QCOMPARE(f.btnClose->geometry().right() + 1, f.btnCancel->x() - m);
        QCOMPARE(f.btnCancel->geometry().bottom() + 1, 400 - m);

        // At the smallest size the buttons still do not overlap.
        f.resize(10, 10);
        QVERIFY(f.width() >= f.minimumWidth());
        QVERIFY(f.btnClose->x() >= 0);
        QVERIFY(!f.btnClose->geometry().intersects(f.btnCancel->geometry()));
    }

    void cancellableMessageLetsOnlyTheLogTakeInput()
    {
        showMainWindow();
        auto *command = new QPushButton(QStringLiteral("Start another operation"), m_main.get());
        command->show();
        int started = 0;
        connect(command, &QPushButton::clicked, this, [&] { ++started; });

        MessagesWindow &f = form();
        f.MsgShow(QStringLiteral("Checking"), false);
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        bool timerRan = false;
        QTimer::singleShot(0, this, [&] {
            timerRan = true;
            QTest::mouseClick(command, Qt::LeftButton);
            QTest::mouseClick(f.btnCancel, Qt::LeftButton);
        });
        f.MsgAddMessage(QStringLiteral("\r\nbook 1"), true, true);
        QVERIFY(timerRan);
        QCOMPARE(started, 0);
        QVERIFY(f.Cancelled());

        // Outside the operation the other window takes clicks again.
        QTest::mouseClick(command, Qt::LeftButton);
        QCOMPARE(started, 1);
    }

    void aModalWindowOpenedDuringTheRunCanBeAnswered()
    {
        showMainWindow();
        MessagesWindow &f = form();
        f.MsgShow(QStringLiteral("Checking"), false);
        int answer = -1;
        QTimer::singleShot(0, this, [&] {
            // An error report that a timer of another window shows meanwhile.
            QDialog report(m_main.get());
            auto *ok = new QPushButton(QStringLiteral("OK"), &report);
            connect(ok, &QPushButton::clicked, &report, &QDialog::accept);
            QTimer::singleShot(50, &report, [ok] { QTest::mouseClick(ok, Qt::LeftButton); });
            QTimer::singleShot(3000, &report, [&report] { report.done(2); }); // never hang
            answer = report.exec();
        });
        f.MsgAddMessage(QStringLiteral(" more"), true, true);
        QCOMPARE(answer, int(QDialog::Accepted));
    }

    void closingTheLogDuringTheRunKeepsItForTheOperation()
    {
        showMainWindow();
        MessagesWindow &f = form();
        f.MsgShow(QStringLiteral("Checking"), false);
        QTimer::singleShot(0, &f, [&f] { f.close(); });
        f.MsgAddMessage(QStringLiteral(" more"), true, true);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(DefaultInstance<MessagesWindow>::exists());
        QVERIFY(!f.isVisible());
        QCOMPARE(f.RichTextBox1->Text(), QString());
        QVERIFY(!f.Timer1->isActive());
        // The operation goes on reporting into the same, now idle, window.
        f.MsgAddMessage(QStringLiteral("later"), true, true);
        QCOMPARE(f.RichTextBox1->Text(), QStringLiteral("later"));
    }

    void nestedCancellableMessageDoesNotLetEventsRunAgain()
    {
        showMainWindow();
        MessagesWindow &f = form();
        f.MsgShow(QStringLiteral("Checking"), false);
        bool laterRan = false;
        bool laterRanInsideNested = true;
        QTimer::singleShot(0, this, [&] {
            QTimer::singleShot(0, this, [&] { laterRan = true; });
            f.MsgAddMessage(QStringLiteral(" nested"), true, true);
            laterRanInsideNested = laterRan;
        });
        f.MsgAddMessage(QStringLiteral(" outer"), true, true);
        QVERIFY(!laterRanInsideNested);
        QCOMPARE(f.RichTextBox1->Text(), QStringLiteral("Checking outer nested"));
        QTRY_VERIFY(laterRan);
    }
};

QTEST_MAIN(TestFrmMessages)
#include "tst_frmmessages.moc"
