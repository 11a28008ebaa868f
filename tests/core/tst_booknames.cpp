#include "common/TestFixture.h"
#include "core/BibleBookNames.h"
#include "core/GlobalNotifier.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "platform/SettingsStore.h"

#include <QSignalSpy>
#include <QtTest>

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

    void expectRecovery()
    {
        SettingsStore::instance().setValue(QStringLiteral("Settings"), QStringLiteral("L"),
                                           QStringLiteral("ENGLISH_"));
        bool ended = false;
        try {
            BookNames();
        } catch (const ProgramEnded &) {
            ended = true;
        }
        QVERIFY(ended);
        const auto boxes = m_fx->desk().messageBoxes();
        QVERIFY(boxes.size() >= 2);
        QCOMPARE(boxes.first().text,
                 GetMsg(0, 97, gSysDefsFolder) + GetMsg(0, 98, QStringLiteral("Books.txt")));
        QVERIFY(
            boxes.last().text.startsWith(QStringLiteral("An unexpected error has occured. Verbanox\r\n")));
        QVERIFY(!SettingsStore::instance().contains(QStringLiteral("Settings"), QStringLiteral("L")));
        QVERIFY(QFileInfo(m_fx->path(QStringLiteral("Modules/SNotes"))).isDir());
        QVERIFY(QFileInfo(m_fx->path(QStringLiteral("Index"))).isDir());
    }

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

    void missingFileRecovers() { expectRecovery(); }

    void tooFewLinesRecovers()
    {
        m_fx->writeFile(QStringLiteral("SysDefs/Books.txt"), booksFile(71, normalLine));
        expectRecovery();
    }

    void tooFewFieldsRecovers()
    {
        m_fx->writeFile(QStringLiteral("SysDefs/Books.txt"), booksFile(72, [](int i) {
                            return i == 40 ? QStringLiteral("40\tMat") : normalLine(i);
                        }));
        expectRecovery();
    }

    void nonNumericFirstFieldRecovers()
    {
        m_fx->writeFile(QStringLiteral("SysDefs/Books.txt"), booksFile(72, [](int i) {
                            return i == 2 ? QStringLiteral("two\tExo\tExodus") : normalLine(i);
                        }));
        expectRecovery();
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
