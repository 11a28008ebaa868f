#include "common/FileSizeLimit.h"
#include "common/TestFixture.h"
#include "core/BibleBookNames.h"
#include "core/GlobalNotifier.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "platform/SettingsStore.h"

#include <QSignalSpy>
#include <QtTest>
#include <optional>

namespace {
QByteArray booksFile(int lines, const std::function<QString(int)> &line)
{
    QByteArray out;
    for (int i = 1; i <= lines; ++i)
        out += line(i).toLatin1() + "\r\n";
    return out;
}

QString normalLine(int i)
{
    return QStringLiteral("%1\tB%1\tBook %1").arg(i);
}
} // namespace

class TestBookNames : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
    }
    void cleanup() { m_fx.reset(); }

    void shippedNames()
    {
        m_fx->copyShippedData(QStringLiteral("SysDefs"));
        QCOMPARE(BookNames().Abbreviation(1), QStringLiteral("Gen"));
        QCOMPARE(BookNames().FullName(19), QStringLiteral("Psalms"));
        QCOMPARE(BookNames().FullName(66), QStringLiteral("Revelation"));
        QVERIFY(!BookNames().FullName(72).isEmpty());
        QVERIFY_THROWS_EXCEPTION(RuntimeError, BookNames().Abbreviation(0));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, BookNames().FullName(73));
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
    }

    void caseOfTheFileNameDoesNotMatter()
    {
        m_fx->writeFile(QStringLiteral("SysDefs/BOOKS.TXT"), booksFile(72, normalLine));
        QCOMPARE(BookNames().FullName(5), QStringLiteral("Book 5"));
    }

    void mismatchedNumberAssertsButKeepsTheName()
    {
        gDebugMode = true;
        m_fx->writeFile(QStringLiteral("SysDefs/Books.txt"), booksFile(72, [](int i) {
                            return i == 5 ? QStringLiteral("6\tDeu\tDeuteronomy") : normalLine(i);
                        }));
        QCOMPARE(BookNames().FullName(5), QStringLiteral("Deuteronomy"));
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        QVERIFY(m_fx->desk().lastMessage().endsWith(QStringLiteral("Books.txt (5)")));
    }

    void extraFieldsAndLinesIgnored()
    {
        m_fx->writeFile(QStringLiteral("SysDefs/Books.txt"),
                        booksFile(80, [](int i) { return normalLine(i) + QStringLiteral("\textra"); }));
        QCOMPARE(BookNames().FullName(72), QStringLiteral("Book 72"));
    }

    // A damaged file is the file's fault: the settings stay, the reader is told
    // which file and what is wrong and offered the reference names, and the
    // program goes on either way.
    void damagedFileOffersTheReferenceNames_data()
    {
        QTest::addColumn<QByteArray>("file"); // empty: no file at all
        QTest::addColumn<QString>("problem");
        QTest::addColumn<int>("firstBadBook");
        const QByteArray normal = booksFile(72, normalLine);
        QTest::newRow("missing") << QByteArray() << QStringLiteral("File not found") << 1;
        QTest::newRow("cut to 44 lines")
            << booksFile(44, normalLine) << QStringLiteral("The file has 44 lines instead of 72.") << 45;
        QTest::newRow("too few fields")
            << booksFile(72, [](int i) { return i == 40 ? QStringLiteral("40\tMat") : normalLine(i); })
            << QStringLiteral("Line 40 has fewer than three fields.") << 40;
        QTest::newRow("no book number")
            << booksFile(72,
                         [](int i) { return i == 2 ? QStringLiteral("two\tExo\tExodus") : normalLine(i); })
            << QStringLiteral("Line 2 does not start with a book number.") << 2;
    }
    void damagedFileOffersTheReferenceNames()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, problem);
        QFETCH(int, firstBadBook);
        m_fx->copyShippedData(QStringLiteral("SysDefs"));
        const QString books = m_fx->path(QStringLiteral("SysDefs/Books.txt"));
        QFile::remove(books);
        if (!file.isEmpty())
            m_fx->writeFile(QStringLiteral("SysDefs/Books.txt"), file);
        SettingsStore::instance().setValue(QStringLiteral("Settings"), QStringLiteral("L"),
                                           QStringLiteral("ENGLISH_"));

        // Declined: the names that could be read, the others by number.
        m_fx->desk().messageBoxAnswers = {MsgBoxResult::No};
        QCOMPARE(BookNames().FullName(qint16(firstBadBook)), QString::number(firstBadBook));
        if (firstBadBook > 1)
            QCOMPARE(BookNames().FullName(1), QStringLiteral("Book 1"));
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        const TestDesktop::Shown offer = m_fx->desk().messageBoxes().first();
        QVERIFY2(offer.text.startsWith(GetMsg(0, 275, books)), qPrintable(offer.text));
        QVERIFY2(offer.text.contains(problem), qPrintable(offer.text));
        QCOMPARE(offer.style & MsgBoxStyle::ButtonsMask, MsgBoxStyle::YesNo);
        QCOMPARE(m_fx->readFile(QStringLiteral("SysDefs/Books.txt")), file);

        // Accepted: the reference names, written over the file.
        m_fx->desk().messageBoxAnswers = {MsgBoxResult::Yes};
        BookNames().ReloadBookNames();
        QCOMPARE(BookNames().FullName(1), QStringLiteral("Genesis"));
        QCOMPARE(BookNames().Abbreviation(66), QStringLiteral("Rev"));
        QCOMPARE(m_fx->readFile(QStringLiteral("SysDefs/Books.txt")),
                 m_fx->readFile(QStringLiteral("SysDefs/ref.txt")));
        QCOMPARE(m_fx->desk().messageBoxes().size(), 2);
        QCOMPARE(SettingsStore::instance().value(QStringLiteral("Settings"), QStringLiteral("L"), QString()),
                 QStringLiteral("ENGLISH_"));
    }

    // The repair cannot be made: without the reference file, or on a disk that
    // fills up while the names are written. The file stays as it was.
    void failedRepairIsToldAndTheProgramGoesOn_data()
    {
        QTest::addColumn<bool>("shortWrite");
        QTest::newRow("no ref.txt") << false;
        QTest::newRow("short write") << true;
    }
    void failedRepairIsToldAndTheProgramGoesOn()
    {
        QFETCH(bool, shortWrite);
        m_fx->copyShippedData(QStringLiteral("SysDefs"));
        const QByteArray damaged = booksFile(44, normalLine);
        m_fx->writeFile(QStringLiteral("SysDefs/Books.txt"), damaged);
        if (!shortWrite)
            QVERIFY(QFile::remove(m_fx->path(QStringLiteral("SysDefs/ref.txt"))));
        m_fx->desk().messageBoxAnswers = {MsgBoxResult::Yes};
        {
            std::optional<FileSizeLimit> limit;
            if (shortWrite)
                limit.emplace(damaged.size());
            QCOMPARE(BookNames().FullName(44), QStringLiteral("Book 44"));
        }
        QCOMPARE(BookNames().FullName(45), QStringLiteral("45"));
        QCOMPARE(m_fx->desk().messageBoxes().size(), 2);
        const QString failed = shortWrite ? GetMsg(0, 289, m_fx->path(QStringLiteral("SysDefs/Books.txt")))
                                          : GetMsg(0, 288, m_fx->path(QStringLiteral("SysDefs/ref.txt")));
        QVERIFY2(m_fx->desk().lastMessage().startsWith(failed), qPrintable(m_fx->desk().lastMessage()));
        QCOMPARE(m_fx->readFile(QStringLiteral("SysDefs/Books.txt")), damaged);
    }

    void internationalChangeReloadsBeforeListeners()
    {
        m_fx->writeFile(QStringLiteral("SysDefs/Books.txt"), booksFile(72, normalLine));
        m_fx->writeFile(QStringLiteral("msg/ENGLISH_STD.mes"), "0001 Old\r\n");
        QCOMPARE(GetMsg(0, 1), QStringLiteral("Old"));
        QCOMPARE(BookNames().FullName(1), QStringLiteral("Book 1"));

        m_fx->writeFile(QStringLiteral("msg/ENGLISH_STD.mes"), "0001 New\r\n");
        m_fx->writeFile(QStringLiteral("SysDefs/Books.txt"),
                        booksFile(72, [](int i) { return QStringLiteral("%1\tN%1\tNew %1").arg(i); }));
        GlobalNotifier notifier;
        QStringList seen;
        connect(&notifier, &GlobalNotifier::Notify, this, [&](const QString &name) {
            seen << name + QLatin1Char(':') + GetMsg(0, 1) + QLatin1Char(':') + BookNames().FullName(1);
        });
        notifier.NotifyOfEvent(QStringLiteral("EVT_TranslationsAvailListChanged"));
        notifier.NotifyOfEvent(QStringLiteral("evt_internationalchanged")); // names are case-sensitive
        QCOMPARE(seen, (QStringList{QStringLiteral("EVT_TranslationsAvailListChanged:Old:Book 1"),
                                    QStringLiteral("evt_internationalchanged:Old:Book 1")}));
        notifier.NotifyOfEvent(QStringLiteral("EVT_InternationalChanged"));
        QCOMPARE(seen.last(), QStringLiteral("EVT_InternationalChanged:New:New 1"));
    }
};

QTEST_GUILESS_MAIN(TestBookNames)
#include "tst_booknames.moc"
