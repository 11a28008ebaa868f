#include "common/TestFixture.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "mainwindow/Indemnity.h"
#include "mainwindow/Splash.h"
#include "mainwindow/frmAbout.h"
#include "platform/AppInfo.h"
#include "platform/DefaultInstance.h"
#include "platform/TextFile.h"
#include "platform/Twips.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>
#include <deque>

namespace {
const QByteArray StdTexts = "0008 No system information program was found on this computer.\r\n"
                            "0088 No favourite verses were found.\r\n"
                            "0091 Free software for reading and searching the Bible\r\n"
                            "0092 Warning: % is provided \"as is\", without warranty of any kind.\r\n"
                            "0093 % - Bible reader\r\n"
                            "0096 Version %\r\n";
const QByteArray FrmTexts = "0021 About %\r\n"
                            "0022 % - Licence Agreement\r\n";
const QString CRLF = QStringLiteral("\r\n");

// Random numbers from a script; when it runs out, a fixed value.
struct ScriptedRandom
{
    std::deque<double> values;
    double operator()()
    {
        if (values.empty())
            return 0.25;
        const double value = values.front();
        values.pop_front();
        return value;
    }
};

void releaseDeleted()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Writes an executable shell script that does nothing.
void writeProgram(const QString &path, bool executable = true)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\nexit 0\n");
    file.close();
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
        permissions |= QFile::ExeOwner;
    QVERIFY(file.setPermissions(permissions));
}
} // namespace

class TestHelpWindows : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    QByteArray m_oldPath;

    TestDesktop &desk() { return m_fx->desk(); }

    void useRandom(std::deque<double> values) { Splash::setRandomSource(ScriptedRandom{std::move(values)}); }
    void writeVerses(const QByteArray &bytes)
    {
        m_fx->writeFile(QStringLiteral("msg/ENGLISH_FavVerses.txt"), bytes);
    }
    void removeShipped(const QString &relative)
    {
        QFile::remove(m_fx->path(relative));
        QVERIFY(!QFile::exists(m_fx->path(relative)));
    }
    // A splash whose timer does not run by itself; the test ticks it.
    Splash &stoppedSplash()
    {
        Splash &splash = DefaultInstance<Splash>::get();
        splash.Timer1->stop();
        return splash;
    }
    // Another interface language, with its (empty) catalogs.
    void useGerman()
    {
        gLanguage = QStringLiteral("GERMAN");
        m_fx->writeFile(QStringLiteral("msg/GERMAN_STD.mes"), "# nothing translated\r\n");
        m_fx->writeFile(QStringLiteral("msg/GERMAN_FRM.mes"), "# nothing translated\r\n");
    }
    void tick(Splash &splash, int times)
    {
        for (int i = 0; i < times; ++i)
            splash.Timer1_Timer();
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
        gFavVersesFile = gLanguage + QStringLiteral("_FavVerses.txt");
        m_fx->writeFile(QStringLiteral("msg/ENGLISH_STD.mes"),
                        m_fx->readFile(QStringLiteral("msg/ENGLISH_STD.mes")) + StdTexts);
        m_fx->writeFile(QStringLiteral("msg/ENGLISH_FRM.mes"),
                        m_fx->readFile(QStringLiteral("msg/ENGLISH_FRM.mes")) + FrmTexts);
        Splash::setRandomSource(ScriptedRandom{});
        m_oldPath = qgetenv("PATH");
    }
    void cleanup()
    {
        qputenv("PATH", m_oldPath);
        DefaultInstance<frmAbout>::release();
        DefaultInstance<Indemnity>::release();
        DefaultInstance<Splash>::release();
        m_fx.reset();
    }

    // --- About box -------------------------------------------------------

    void aboutShowsItsFinalTexts()
    {
        frmAbout about;
        QVERIFY2(desk().messageBoxes().isEmpty(), qPrintable(desk().lastMessage()));
        QCOMPARE(about.windowTitle(), QStringLiteral("About Verbanox"));
        QCOMPARE(about.lblVersion->text(), QStringLiteral("Verbanox  ") + MiscHelpers::VersionString());
        QVERIFY(about.lblVersion->text().contains(QStringLiteral("Version %1.%2 Build 0%3")
                                                      .arg(AppInfo::versionMajor())
                                                      .arg(AppInfo::versionMinor())
                                                      .arg(AppInfo::versionRevision())));
        QCOMPARE(about.lblTitle->text(), QStringLiteral("Verbanox - Bible reader"));
        QCOMPARE(about.lblDisclaimer->text(), GetMsg(0, 92, QStringLiteral("Verbanox")));
        QVERIFY(about.lblDisclaimer->text().startsWith(QStringLiteral("Warning: Verbanox is")));
        QVERIFY(about.lWeb->text().contains(MiscHelpers::WebSiteAddress()));
        QCOMPARE(about.lblDescription->text(), MiscHelpers::AboutText());
        QVERIFY(!about.lblDescription->text().isEmpty());
    }

    void aboutAsksTheCatalogInItsOrder()
    {
        // With every text missing, each catalog file is told once, at the first text
        // asked of it: the caption's first, then the first message.
        m_fx->writeFile(QStringLiteral("msg/ENGLISH_STD.mes"), "# empty\r\n");
        m_fx->writeFile(QStringLiteral("msg/ENGLISH_FRM.mes"), "# empty\r\n");
        frmAbout about;
        QStringList told;
        for (const TestDesktop::Shown &box : desk().messageBoxes())
            told.append(box.text.section(QLatin1Char('/'), -1));
        QCOMPARE(
            told,
            (QStringList{
                QStringLiteral("ENGLISH_FRM.mes could not be read.\r\nIt has no text for message 21."),
                QStringLiteral("ENGLISH_STD.mes could not be read.\r\nIt has no text for message 96.")}));
        // The texts that need no catalog are there all the same.
        QCOMPARE(about.lblVersion->text(), QStringLiteral("Verbanox  ") + MiscHelpers::VersionString());
        QVERIFY(about.lWeb->text().contains(MiscHelpers::WebSiteAddress()));
    }

    void aboutLinkOpensTheWebSiteAndOkUnloads()
    {
        QPointer<frmAbout> about = &DefaultInstance<frmAbout>::get();
        about->show();
        emit about->lWeb->linkActivated(MiscHelpers::WebSiteAddress());
        QCOMPARE(desk().openedUrls, QStringList{MiscHelpers::WebSiteAddress()});

        QTest::mouseClick(about->cmdOK, Qt::LeftButton);
        QVERIFY(!about->isVisible());
        releaseDeleted();
        QVERIFY(about.isNull());
        QVERIFY(!DefaultInstance<frmAbout>::exists());
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void systemInformationProgramFoundOnThePath()
    {
        QTemporaryDir bin;
        QVERIFY(bin.isValid());
        // A file without the execute bit is no program.
        writeProgram(bin.filePath(QStringLiteral("hardinfo2")), false);
        writeProgram(bin.filePath(QStringLiteral("kinfocenter")));
        writeProgram(bin.filePath(QStringLiteral("gnome-system-monitor")));
        qputenv("PATH", QFile::encodeName(bin.path()));

        frmAbout about;
        QTest::mouseClick(about.cmdSysInfo, Qt::LeftButton);
        QCOMPARE(desk().startedPrograms, QStringList{bin.filePath(QStringLiteral("kinfocenter"))});
        QVERIFY(desk().messageBoxes().isEmpty());

        // An earlier one in the order wins.
        writeProgram(bin.filePath(QStringLiteral("hardinfo")));
        about.StartSysInfo();
        QCOMPARE(desk().startedPrograms.last(), bin.filePath(QStringLiteral("hardinfo")));
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void systemInformationProgramThatCannotStartTriesTheNext()
    {
        QTemporaryDir bin;
        writeProgram(bin.filePath(QStringLiteral("hardinfo")));
        writeProgram(bin.filePath(QStringLiteral("kinfocenter")));
        qputenv("PATH", QFile::encodeName(bin.path()));
        desk().canOpen = false;

        frmAbout about;
        about.cmdSysInfo_Click();
        QCOMPARE(desk().startedPrograms, (QStringList{bin.filePath(QStringLiteral("hardinfo")),
                                                      bin.filePath(QStringLiteral("kinfocenter"))}));
        QCOMPARE(desk().messageBoxes().size(), 1);
        QCOMPARE(desk().lastMessage(), GetMsg(0, 8));
    }

    void noSystemInformationProgramSaysSo()
    {
        QTemporaryDir bin;
        writeProgram(bin.filePath(QStringLiteral("unrelated-tool")));
        qputenv("PATH", QFile::encodeName(bin.path()));

        frmAbout about;
        about.cmdSysInfo_Click();
        QVERIFY(desk().startedPrograms.isEmpty());
        QCOMPARE(desk().messageBoxes().size(), 1);
        const TestDesktop::Shown box = desk().messageBoxes().first();
        QCOMPARE(box.text, QStringLiteral("No system information program was found on this computer."));
        QCOMPARE(box.style, MsgBoxStyle::OKOnly);
    }

    // --- Licence text viewer ---------------------------------------------

    void licenceTextStartsAndJoinsWithLineBreaks()
    {
        m_fx->writeFile(QStringLiteral("msg/ENGLISH_Licenceagreement.txt"),
                        "First\r\n\r\nThird line\r\nLast\r\n");
        Indemnity viewer;
        QVERIFY2(desk().messageBoxes().isEmpty(), qPrintable(desk().lastMessage()));
        QCOMPARE(viewer.licenceText(), QStringLiteral("\r\nFirst\r\n\r\nThird line\r\nLast"));
        // Shown as lines, without stray carriage returns.
        QCOMPARE(viewer.Text1->toPlainText(), QStringLiteral("\nFirst\n\nThird line\nLast"));
        QVERIFY(viewer.Text1->isReadOnly());
        QCOMPARE(viewer.windowTitle(), QStringLiteral("Verbanox - Licence Agreement"));
    }

    void licenceInTheInterfaceLanguageIsPreferred()
    {
        useGerman();
        m_fx->writeFile(QStringLiteral("msg/GERMAN_Licenceagreement.txt"), "Lizenz\r\n");
        Indemnity viewer;
        QCOMPARE(viewer.licenceText(), QStringLiteral("\r\nLizenz"));
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void licenceFallsBackToEnglish()
    {
        useGerman();
        // The shipped English file, whatever the case of its name.
        const QByteArray shipped = m_fx->readFile(QStringLiteral("msg/ENGLISH_Licenceagreement.txt"));
        QVERIFY(!shipped.isEmpty());
        Indemnity viewer;
        QVERIFY(desk().messageBoxes().isEmpty());
        QVERIFY(viewer.licenceText().startsWith(CRLF));
        QVERIFY(viewer.licenceText().contains(QStringLiteral("Copyright (c) 2026 The Verbanox developers")));
        QVERIFY(viewer.licenceText().contains(QStringLiteral("public domain")));
        QCOMPARE(viewer.licenceText(), CRLF + QString::fromLatin1(shipped).chopped(2));
    }

    void licenceMissingIsReportedAndTheWindowStaysUsable()
    {
        removeShipped(QStringLiteral("msg/ENGLISH_Licenceagreement.txt"));
        useGerman();
        QPointer<Indemnity> viewer = &DefaultInstance<Indemnity>::get();
        QCOMPARE(desk().messageBoxes().size(), 1);
        const QString report = desk().lastMessage();
        // A shipped file that is missing is the data's fault, named plainly.
        QCOMPARE(report, GetMsg(0, 47, gMsgFolder + QStringLiteral("ENGLISH_LicenceAgreement.txt")));
        QVERIFY(viewer->licenceText().isEmpty());
        QVERIFY(viewer->Text1->toPlainText().isEmpty());
        QCOMPARE(viewer->windowTitle(), GetMsg(1, 22, QStringLiteral("Verbanox")));
        QVERIFY(viewer->windowTitle().contains(QStringLiteral("Verbanox - Licence Agreement")));

        viewer->show();
        QTest::mouseClick(viewer->btnOkay, Qt::LeftButton);
        QVERIFY(!viewer->isVisible());
        releaseDeleted();
        QVERIFY(!DefaultInstance<Indemnity>::exists());
    }

    void licenceButtonStandsRightOfTheText()
    {
        Indemnity viewer;
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        const int m = viewer.Text1->x();
        QVERIFY(m > 0);
        const int buttonTop = viewer.btnOkay->y();
        const int buttonWidth = viewer.btnOkay->width();
        for (const QSize size : {QSize(720, 520), QSize(500, 300)}) {
            viewer.resize(size);
            QTRY_COMPARE(viewer.size(), size);
            QCOMPARE(viewer.Text1->geometry(),
                     QRect(m, m, size.width() - buttonWidth - 3 * m, size.height() - 2 * m));
            QCOMPARE(viewer.btnOkay->x(), m + viewer.Text1->width() + m);
            QCOMPARE(viewer.btnOkay->x() + buttonWidth + m, size.width());
            QCOMPARE(viewer.btnOkay->y(), buttonTop);
        }
    }

    // --- Splash window ---------------------------------------------------

    void splashPicksTheVerseFromTheFile()
    {
        QByteArray verses;
        for (int i = 1; i <= 10; ++i)
            verses += "Verse " + QByteArray::number(i) + "\r\n";
        writeVerses(verses);
        const QList<QPair<double, QString>> picks{{0.0, QStringLiteral("Verse 1")},
                                                  {0.55, QStringLiteral("Verse 6")},
                                                  {0.599, QStringLiteral("Verse 6")},
                                                  {0.6, QStringLiteral("Verse 7")},
                                                  {0.99999, QStringLiteral("Verse 10")}};
        for (const auto &[random, verse] : picks) {
            useRandom({random});
            Splash splash;
            splash.Timer1->stop();
            QCOMPARE(splash.lblScripture->text(), verse);
        }
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void splashSkipsBlankLinesAndReadsCodePage1252()
    {
        writeVerses("\r\nProverbs 16:9 A man\x92s heart deviseth his way\r\n   \r\nSecond\r\n");
        useRandom({0.0});
        Splash first;
        first.Timer1->stop();
        QCOMPARE(first.lblScripture->text(),
                 QStringLiteral("Proverbs 16:9 A man\u2019s heart deviseth his way"));
        useRandom({0.9});
        Splash second;
        second.Timer1->stop();
        QCOMPARE(second.lblScripture->text(), QStringLiteral("Second"));
    }

    void splashWithTheDefaultGeneratorShowsOneOfTheVerses()
    {
        Splash::setRandomSource({});
        const QStringList shipped =
            TextReader::fromFile(m_fx->path(QStringLiteral("msg/ENGLISH_FavVerses.txt"))).readAllLines();
        QVERIFY(shipped.size() > 24);
        QSet<QString> seen;
        for (int i = 0; i < 20; ++i) {
            Splash splash;
            splash.Timer1->stop();
            QVERIFY2(shipped.contains(splash.lblScripture->text()), qPrintable(splash.lblScripture->text()));
            seen.insert(splash.lblScripture->text());
        }
        QVERIFY(seen.size() > 1);
    }

    void splashWithoutVersesShowsMessage88()
    {
        removeShipped(QStringLiteral("msg/ENGLISH_FavVerses.txt"));
        {
            Splash splash;
            splash.Timer1->stop();
            QCOMPARE(splash.lblScripture->text(), QStringLiteral("No favourite verses were found."));
        }
        writeVerses("\r\n\r\n");
        Splash empty;
        empty.Timer1->stop();
        QCOMPARE(empty.lblScripture->text(), GetMsg(0, 88));
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void splashShowsVersionAndContactLines()
    {
        Splash splash;
        splash.Timer1->stop();
        const QString version = QStringLiteral("%1.%2.%3")
                                    .arg(AppInfo::versionMajor())
                                    .arg(AppInfo::versionMinor())
                                    .arg(AppInfo::versionRevision());
        const QStringList lines = splash.lblName->text().split(CRLF);
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines.at(0), GetMsg(0, 99, version));
        QVERIFY(lines.at(0).endsWith(version));
        QCOMPARE(lines.at(1), QStringLiteral("Free software for reading and searching the Bible"));
        QCOMPARE(lines.at(2), QStringLiteral("Website - ") + MiscHelpers::WebSiteAddress());
        QVERIFY(lines.at(3).startsWith(QStringLiteral("Email - ")));
        QVERIFY(lines.at(3).contains(QLatin1Char('@')));
        QCOMPARE(splash.lblVerbanox->text(), QStringLiteral("Verbanox"));
        QVERIFY(!splash.Image1->pixmap().isNull());
    }

    void splashHeightFollowsTheVerseLength()
    {
        const struct
        {
            int length;
            double twips;
        } cases[] = {{200, 200.0 / 66 * 370}, {20, 740}, {132, 740}, {300, 300.0 / 66 * 370}};
        for (const auto &c : cases) {
            writeVerses(QByteArray(c.length, 'a') + "\r\n");
            Splash splash;
            splash.Timer1->stop();
            QCOMPARE(splash.lblScripture->text().size(), c.length);
            const QLabel *verse = splash.lblScripture;
            QCOMPARE(verse->height(), Twips::toPixelsY(c.twips));
            QVERIFY(qAbs(Twips::fromPixelsY(verse->height()) - c.twips) <= Twips::perPixelY());
            const int verseBottom = verse->y() + verse->height();
            QVERIFY(qAbs(splash.lblName->y() - verseBottom) <= 1);
            const int nameBottom = splash.lblName->y() + splash.lblName->height();
            QVERIFY(qAbs(splash.height() - Twips::toPixelsY(Twips::fromPixelsY(nameBottom) + 100)) <= 1);
        }
        // The window's own figures: 200 characters make about three lines.
        QVERIFY(qAbs(200.0 / 66 * 370 - 1121) < 1);
    }

    void splashTitleStartsWhereChanceSays()
    {
        writeVerses("Verse\r\n");
        // verse, dx, dy (exactly the middle: forward, never standing still), x, y
        useRandom({0.0, 0.2, 0.5, 0.5, 0.25});
        Splash splash;
        splash.Timer1->stop();
        QCOMPARE(splash.titleStepX(), -70.0);
        QCOMPARE(splash.titleStepY(), 70.0);
        QVERIFY(splash.titleX() > 0);
        QVERIFY(splash.titleX() < splash.innerWidthTwips() / 2);
        QCOMPARE(splash.titleY(), 0.25 * splash.innerHeightTwips());
        QCOMPARE(splash.titleSize(), 1.0F);
        QCOMPARE(splash.titleSizeStep(), 0.5F);
        QCOMPARE(splash.lblVerbanox->pos(),
                 QPoint(Twips::toPixelsX(splash.titleX()), Twips::toPixelsY(splash.titleY())));
        QCOMPARE(splash.Timer1->interval(), 100);
    }

    void splashTitleBouncesOffTheEdges()
    {
        writeVerses("Verse\r\n");
        // Heading left from the left-hand edge and down from the bottom.
        useRandom({0.0, 0.1, 0.9, 0.0, 0.99999});
        Splash &splash = stoppedSplash();
        QCOMPARE(splash.titleX(), 0.0);
        const double y0 = splash.titleY();
        tick(splash, 1);
        QCOMPARE(splash.titleX(), -70.0);
        QCOMPARE(splash.titleStepX(), 70.0); // turned at the left edge
        QCOMPARE(splash.titleY(), y0 + 70);
        QCOMPARE(splash.titleStepY(), -70.0); // turned at the bottom
        tick(splash, 1);
        QCOMPARE(splash.titleX(), 0.0);
        QCOMPARE(splash.titleY(), y0);

        bool hitLeft = false, hitTop = false, hitBottom = false, hitRight = false;
        const QRect window = splash.rect();
        // The title turns only after it has passed an edge, and it may grow
        // meanwhile: it overshoots by one step and two ticks of growth at most.
        const int step = Twips::toPixelsX(Splash::TitleStep);
        QSize previous = splash.lblVerbanox->size(), beforePrevious = previous;
        for (int i = 0; i < 600; ++i) {
            const double dx = splash.titleStepX();
            const double dy = splash.titleStepY();
            tick(splash, 1);
            const QRect title = splash.lblVerbanox->geometry();
            const int growX = qMax(0, title.width() - previous.width()) +
                              qMax(0, previous.width() - beforePrevious.width());
            const int growY = qMax(0, title.height() - previous.height()) +
                              qMax(0, previous.height() - beforePrevious.height());
            const QRect allowed = window.adjusted(-step - 1, -step - 1, step + growX + 1, step + growY + 1);
            QVERIFY2(allowed.contains(title), qPrintable(QStringLiteral("tick %1: %2,%3 %4x%5")
                                                             .arg(i)
                                                             .arg(title.x())
                                                             .arg(title.y())
                                                             .arg(title.width())
                                                             .arg(title.height())));
            beforePrevious = previous;
            previous = title.size();
            QCOMPARE(qAbs(splash.titleStepX()), 70.0);
            QCOMPARE(qAbs(splash.titleStepY()), 70.0);
            if (dx < 0 && splash.titleStepX() > 0) {
                QVERIFY(splash.titleX() < 1);
                hitLeft = true;
            }
            if (dx > 0 && splash.titleStepX() < 0)
                hitRight = true;
            if (dy < 0 && splash.titleStepY() > 0) {
                QVERIFY(splash.titleY() < 1);
                hitTop = true;
            }
            if (dy > 0 && splash.titleStepY() < 0) {
                QVERIFY(splash.titleY() + Twips::fromPixelsY(title.height()) >=
                        splash.innerHeightTwips() - 1);
                hitBottom = true;
            }
        }
        QVERIFY(hitLeft && hitRight && hitTop && hitBottom);
    }

    void splashTitlePulses()
    {
        Splash &splash = stoppedSplash();
        tick(splash, 1);
        QCOMPARE(splash.titleSize(), 1.5F);
        QCOMPARE(splash.lblVerbanox->font().pointSizeF(), 1.5);
        tick(splash, 57);
        QCOMPARE(splash.titleSize(), 30.0F);
        QCOMPARE(splash.titleSizeStep(), -1.0F);
        const int widest = splash.lblVerbanox->width();
        tick(splash, 1);
        QCOMPARE(splash.titleSize(), 29.0F);
        QVERIFY(splash.lblVerbanox->width() < widest); // the label follows its font
        tick(splash, 28);
        QCOMPARE(splash.titleSize(), 1.0F);
        QCOMPARE(splash.titleSizeStep(), 0.5F);
        tick(splash, 1);
        QCOMPARE(splash.titleSize(), 1.5F);

        float smallest = 100, largest = 0;
        for (int i = 0; i < 400; ++i) {
            tick(splash, 1);
            smallest = qMin(smallest, splash.titleSize());
            largest = qMax(largest, splash.titleSize());
            QCOMPARE(splash.lblVerbanox->font().pointSizeF(), double(splash.titleSize()));
        }
        QCOMPARE(smallest, 1.0F);
        QCOMPARE(largest, 30.0F);
    }

    void splashClosesAfterTenSeconds_data()
    {
        QTest::addColumn<QDateTime>("opened");
        QTest::newRow("midday") << QDateTime(QDate(2024, 5, 1), QTime(12, 0, 0));
        QTest::newRow("just before midnight") << QDateTime(QDate(2024, 5, 1), QTime(23, 59, 55, 500));
        QTest::newRow("new year's eve") << QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59, 900));
    }
    void splashClosesAfterTenSeconds()
    {
        QFETCH(QDateTime, opened);
        desk().clock = opened;
        QPointer<Splash> splash = &DefaultInstance<Splash>::get();
        QVERIFY(splash->Timer1->isActive());
        splash->Timer1->stop();
        splash->show();
        for (int ms : {100, 5000, 9900, 9999}) {
            desk().clock = opened.addMSecs(ms);
            splash->Timer1_Timer();
            QVERIFY2(splash->isVisible(), qPrintable(QString::number(ms)));
        }
        desk().clock = opened.addMSecs(10000);
        splash->Timer1_Timer();
        QVERIFY(!splash->isVisible());
        releaseDeleted();
        QVERIFY(splash.isNull());
        QVERIFY(!DefaultInstance<Splash>::exists());
    }

    void splashClosesAfterTheClockWasSetBack()
    {
        desk().clock = QDateTime(QDate(2024, 5, 1), QTime(12, 0, 0));
        Splash &splash = stoppedSplash();
        splash.show();
        desk().clock = QDateTime(QDate(2024, 5, 1), QTime(11, 0, 0));
        splash.Timer1_Timer();
        desk().clock = desk().clock.addSecs(9);
        splash.Timer1_Timer();
        QVERIFY(splash.isVisible());
        desk().clock = desk().clock.addSecs(1);
        splash.Timer1_Timer();
        QVERIFY(!splash.isVisible());
    }

    void splashClosesOnEnterAndEscape_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
        QTest::newRow("Esc") << int(Qt::Key_Escape);
    }
    void splashClosesOnEnterAndEscape()
    {
        QFETCH(int, key);
        // Opened just before midnight: the keys close it all the same.
        desk().clock = QDateTime(QDate(2024, 5, 1), QTime(23, 59, 58));
        QPointer<Splash> splash = &stoppedSplash();
        splash->show();
        QTest::keyClick(splash.data(), Qt::Key_Space);
        QTest::keyClick(splash.data(), Qt::Key_A);
        QVERIFY(splash->isVisible());
        QTest::keyClick(splash.data(), Qt::Key(key));
        QVERIFY(!splash->isVisible());
        releaseDeleted();
        QVERIFY(splash.isNull());
    }

    // --- Shipped data ----------------------------------------------------

    void shippedFavouriteVersesAreExactKingJamesTexts()
    {
        QHash<QString, int> books;
        const QStringList bookLines =
            TextReader::fromFile(TestFixture::sourceDir() + QStringLiteral("/data/SysDefs/Books.txt"))
                .readAllLines();
        for (const QString &line : bookLines) {
            const QStringList fields = line.split(QLatin1Char('\t'));
            if (fields.size() >= 3)
                books.insert(fields.at(2), fields.at(0).toInt());
        }
        books.insert(QStringLiteral("Psalm"), 19);
        QHash<QString, QString> kjv;
        const QStringList bible =
            TextReader::fromFile(TestFixture::sourceDir() + QStringLiteral("/data/Modules/Bible/b_kjv.txt"))
                .readAllLines();
        for (const QString &line : bible) {
            const QStringList f = line.split(QLatin1Char('\t'));
            QString text = f.value(4);
            text.remove(QChar(0x00B6));
            kjv.insert(f.value(1) + QLatin1Char(' ') + f.value(2) + QLatin1Char(':') + f.value(3),
                       text.trimmed());
        }

        const QByteArray bytes =
            TextFiles::readAll(TestFixture::sourceDir() + QStringLiteral("/data/msg/ENGLISH_FavVerses.txt"));
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        const QStringList verses = TextReader::fromBytes(bytes, 1252, LineEnds::CrLfOnly).readAllLines();
        QVERIFY(verses.size() >= 24);
        const QRegularExpression reference(QStringLiteral("^((?:\\d )?[A-Za-z ]+?) (\\d+):(\\d+) (.+)$"));
        QSet<QString> seen;
        for (const QString &verse : verses) {
            const QRegularExpressionMatch m = reference.match(verse);
            QVERIFY2(m.hasMatch(), qPrintable(verse));
            QVERIFY2(books.contains(m.captured(1)), qPrintable(verse));
            const QString key = QString::number(books.value(m.captured(1))) + QLatin1Char(' ') +
                                m.captured(2) + QLatin1Char(':') + m.captured(3);
            QVERIFY2(!seen.contains(key), qPrintable(verse));
            seen.insert(key);
            QCOMPARE(m.captured(4), kjv.value(key));
        }
    }

    void shippedNamesDictionaryIsWellFormed()
    {
        const QByteArray bytes =
            TextFiles::readAll(TestFixture::sourceDir() + QStringLiteral("/data/Modules/Name/n_names.txt"));
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
        for (const char c : bytes)
            QVERIFY(uchar(c) < 0x80);
        const QStringList lines = TextReader::fromBytes(bytes, 1252, LineEnds::CrLfOnly).readAllLines();
        QVERIFY(lines.size() >= 200);
        QSet<QString> names;
        int number = 0;
        for (const QString &line : lines) {
            const QStringList fields = line.split(QLatin1Char('\t'));
            QCOMPARE(fields.size(), 3);
            QCOMPARE(fields.at(0), QString::number(++number));
            const QString name = fields.at(1);
            QVERIFY2(!name.isEmpty() && name == name.trimmed() && name.at(0).isUpper(), qPrintable(line));
            QVERIFY2(!names.contains(name.toUpper()),
                     qPrintable(line)); // a second entry would never be found
            names.insert(name.toUpper());
            QVERIFY2(!fields.at(2).trimmed().isEmpty() && fields.at(2) == fields.at(2).trimmed(),
                     qPrintable(line));
        }
        for (const char *name : {"ABRAHAM", "DAVID", "MARY", "PETER", "BETHLEHEM"})
            QVERIFY2(names.contains(QString::fromLatin1(name)), name);
    }
};

QTEST_MAIN(TestHelpWindows)
#include "tst_helpwindows.moc"
