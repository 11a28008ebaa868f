#include "common/TestFixture.h"
#include "controls/RichTextHelpers_.h"
#include "platform/AppInfo.h"
#include "platform/TestDesktop.h"

#include <QtTest>
#include <clocale>

// The typographic rewriting, run through the loaded libVxHelpers.so.
class tst_Typography : public QObject
{
    Q_OBJECT

private:
    // The program's set: opening and closing double, opening and closing single.
    const QString programQuotes = QStringLiteral("\u201C\u201D\u2018\u2019");
    // A set unlike any input quote, so that every replacement shows which slot it took.
    const QString guillemets = QStringLiteral("\u00AB\u00BB\u2039\u203A");
    std::unique_ptr<TestDesktopScope> m_desktop;

private slots:
    void initTestCase()
    {
        // The C library's character classes differ in the "C" locale; ours must not.
        std::setlocale(LC_ALL, "C");
        m_desktop = std::make_unique<TestDesktopScope>();
        // The library as the build made it, where the build put it.
        AppInfo::setProgramFolder(
            QFileInfo(TestFixture::builtFile(QStringLiteral("libVxHelpers.so"))).path());
        QVERIFY(RichTextHelpers_::LoadRichEditLibraries());
        QVERIFY((*m_desktop)->messageBoxes().isEmpty());
    }

    void cleanupTestCase() { m_desktop.reset(); }

    void smartQuotes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("programSet");
        QTest::addColumn<QString>("expected");

        QTest::newRow("double quotes around a word after a space")
            << QStringLiteral("say \"word\" now") << true << QStringLiteral("say \u201Cword\u201D now");
        QTest::newRow("double quote at the start of the text")
            << QStringLiteral("\"In the beginning\"") << true
            << QStringLiteral("\u201CIn the beginning\u201D");
        QTest::newRow("apostrophe inside a word")
            << QStringLiteral("don't") << true << QStringLiteral("don\u2019t");
        QTest::newRow("apostrophe at the start opens")
            << QStringLiteral("'tis") << true << QStringLiteral("\u2018tis");
        QTest::newRow("a straight quote leaves the flag alone")
            << QStringLiteral(" \"\"") << true << QStringLiteral(" \u201C\u201C");
        QTest::newRow("straight single quotes in a sentence")
            << QStringLiteral("he said, 'go'.") << false << QStringLiteral("he said, \u2039go\u203A.");
        QTest::newRow("typographic closing single stays closing (program set)")
            << QStringLiteral("the LORD\u2019s word") << true << QStringLiteral("the LORD\u2019s word");
        QTest::newRow("typographic closing single stays closing")
            << QStringLiteral("the LORD\u2019s word") << false << QStringLiteral("the LORD\u203As word");
        QTest::newRow("typographic double quotes keep their direction")
            << QStringLiteral("\u201Cword\u201D") << false << QStringLiteral("\u00ABword\u00BB");
        QTest::newRow("typographic single quotes keep their direction")
            << QStringLiteral(" \u2018a\u2019 ") << false << QStringLiteral(" \u2039a\u203A ");
        QTest::newRow("after a directional opening quote a straight one opens")
            << QStringLiteral("x\u201C'a") << false << QStringLiteral("x\u00AB\u2039a");
        QTest::newRow("after a directional closing quote a straight one closes")
            << QStringLiteral(" \u201D'") << false << QStringLiteral(" \u00BB\u203A");
        QTest::newRow("guillemets decided by position, flag unchanged")
            << QStringLiteral(" \u00AB\u00BB") << true << QStringLiteral(" \u201C\u201C");
        QTest::newRow("guillemets around a word")
            << QStringLiteral("\u00BBword\u00AB") << true << QStringLiteral("\u201Cword\u201D");
        QTest::newRow("backticks are single quotes decided by position")
            << QStringLiteral("`word`") << true << QStringLiteral("\u2018word\u2019");
        QTest::newRow("single angle quotes decided by position")
            << QStringLiteral("\u203Aa\u2039") << false << QStringLiteral("\u2039a\u203A");
        QTest::newRow("parenthesis") << QStringLiteral("(\"a\")") << true
                                     << QStringLiteral("(\u201Ca\u201D)");
        QTest::newRow("bracket") << QStringLiteral("[\"a\"]") << true << QStringLiteral("[\u201Ca\u201D]");
        QTest::newRow("brace") << QStringLiteral("{'a'}") << true << QStringLiteral("{\u2018a\u2019}");
        QTest::newRow("less-than") << QStringLiteral("<\"a\">") << true << QStringLiteral("<\u201Ca\u201D>");
        QTest::newRow("tab") << QStringLiteral("a\t\"b\"") << true << QStringLiteral("a\t\u201Cb\u201D");
        QTest::newRow("line feed") << QStringLiteral("a\n\"b\"") << true
                                   << QStringLiteral("a\n\u201Cb\u201D");
        QTest::newRow("carriage return")
            << QStringLiteral("a\r\"b\"") << true << QStringLiteral("a\r\u201Cb\u201D");
        QTest::newRow("en quad U+2000")
            << QStringLiteral("a\u2000\"b") << true << QStringLiteral("a\u2000\u201Cb");
        QTest::newRow("zero-width non-joiner U+200C")
            << QStringLiteral("a\u200C\"b") << true << QStringLiteral("a\u200C\u201Cb");
        QTest::newRow("zero-width joiner U+200D does not open")
            << QStringLiteral("a\u200D\"b") << true << QStringLiteral("a\u200D\u201Db");
        QTest::newRow("line separator")
            << QStringLiteral("a\u2028'b") << true << QStringLiteral("a\u2028\u2018b");
        QTest::newRow("paragraph separator")
            << QStringLiteral("a\u2029'b") << true << QStringLiteral("a\u2029\u2018b");
        QTest::newRow("no-break space does not open")
            << QStringLiteral("a\u00A0\"b") << true << QStringLiteral("a\u00A0\u201Db");
        QTest::newRow("closing parenthesis does not open")
            << QStringLiteral("(a) \"b\" (c)\"") << true << QStringLiteral("(a) \u201Cb\u201D (c)\u201D");
        QTest::newRow("empty text") << QString() << true << QString();
    }

    void smartQuotes()
    {
        QFETCH(QString, text);
        QFETCH(bool, programSet);
        QFETCH(QString, expected);
        RichTextHelpers_::SmartQuotes(text, programSet ? programQuotes : guillemets);
        QCOMPARE(text, expected);
    }

    void smartQuotesResult_data()
    {
        QTest::addColumn<QString>("quotes");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("expected");
        const QString text = QStringLiteral("\"a\"");
        QTest::newRow("four characters") << QStringLiteral("ABCD") << VxAbi::S_OK << QStringLiteral("AaB");
        QTest::newRow("three characters") << QStringLiteral("ABC") << VxAbi::E_INVALIDARG << text;
        QTest::newRow("five characters") << QStringLiteral("ABCDE") << VxAbi::E_INVALIDARG << text;
        QTest::newRow("no characters") << QString() << VxAbi::E_INVALIDARG << text;
    }

    void smartQuotesResult()
    {
        QFETCH(QString, quotes);
        QFETCH(int, result);
        QFETCH(QString, expected);
        QString text = QStringLiteral("\"a\"");
        QCOMPARE(RichTextHelpers_::exports().SmartQuotes(
                     reinterpret_cast<char16_t *>(text.data()), int32_t(text.size()),
                     reinterpret_cast<const char16_t *>(quotes.constData()), int32_t(quotes.size())),
                 result);
        QCOMPARE(text, expected);

        QString throughWrapper = QStringLiteral("\"a\"");
        RichTextHelpers_::SmartQuotes(throughWrapper, quotes);
        QCOMPARE(throughWrapper, expected);
    }

    void smartQuotesOnlyWithinLength()
    {
        QString text = QStringLiteral("\"a\" \"b\"");
        const QString quotes = QStringLiteral("ABCD");
        QCOMPARE(RichTextHelpers_::exports().SmartQuotes(
                     reinterpret_cast<char16_t *>(text.data()), 3,
                     reinterpret_cast<const char16_t *>(quotes.constData()), 4),
                 VxAbi::S_OK);
        QCOMPARE(text, QStringLiteral("AaB \"b\""));
    }

    void fixSpacesAndDashes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");

        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("white space only") << QStringLiteral(" \t \r\n ") << QString();
        QTest::newRow("leading white space") << QStringLiteral("  In the") << QStringLiteral("In the");
        QTest::newRow("two spaces between words") << QStringLiteral("in  the") << QStringLiteral("in the");
        QTest::newRow("three spaces become two") << QStringLiteral("a   b") << QStringLiteral("a  b");
        QTest::newRow("four spaces become two") << QStringLiteral("a    b") << QStringLiteral("a  b");
        QTest::newRow("two spaces after a full stop kept")
            << QStringLiteral("end.  Next") << QStringLiteral("end.  Next");
        QTest::newRow("two spaces after a symbol kept")
            << QStringLiteral("cost $  5") << QStringLiteral("cost $  5");
        QTest::newRow("two spaces after an ideographic full stop kept")
            << QStringLiteral("a\u3002  b") << QStringLiteral("a\u3002  b");
        QTest::newRow("two ideographic spaces")
            << QStringLiteral("a\u3000\u3000b") << QStringLiteral("a\u3000b");
        QTest::newRow("two no-break spaces")
            << QStringLiteral("a\u00A0\u00A0b") << QStringLiteral("a\u00A0b");
        QTest::newRow("spaced double hyphen joins the words")
            << QStringLiteral("word -- word") << QStringLiteral("word\u2014word");
        QTest::newRow("double hyphen before a word keeps the space")
            << QStringLiteral("word --word") << QStringLiteral("word \u2014word");
        QTest::newRow("double hyphen between letters")
            << QStringLiteral("a--b") << QStringLiteral("a\u2014b");
        QTest::newRow("three hyphens") << QStringLiteral("a---b") << QStringLiteral("a\u2014-b");
        QTest::newRow("four hyphens") << QStringLiteral("a----b") << QStringLiteral("a\u2014\u2014b");
        QTest::newRow("spaced double hyphen at the end")
            << QStringLiteral("a -- ") << QStringLiteral("a\u2014");
        QTest::newRow("double hyphen at the very end")
            << QStringLiteral("a --") << QStringLiteral("a \u2014");
        QTest::newRow("single hyphen") << QStringLiteral("well-known") << QStringLiteral("well-known");
        QTest::newRow("doubled space before a double hyphen")
            << QStringLiteral("x  -- y") << QStringLiteral("x \u2014 y");
        QTest::newRow("two spaces after an em dash kept")
            << QStringLiteral("a--  b") << QStringLiteral("a\u2014  b");
        QTest::newRow("trailing space kept") << QStringLiteral("trail ") << QStringLiteral("trail ");
        QTest::newRow("two trailing spaces become one")
            << QStringLiteral("trail  ") << QStringLiteral("trail ");
        QTest::newRow("nothing to do")
            << QStringLiteral("In the beginning.") << QStringLiteral("In the beginning.");
    }

    void fixSpacesAndDashes()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        RichTextHelpers_::FixSpacesAndDashes(text);
        QCOMPARE(text, expected);
    }

    void fixSpacesAndDashesResult()
    {
        QString text = QStringLiteral("a  b--c");
        int32_t length = int32_t(text.size());
        const auto fix = RichTextHelpers_::exports().FixSpacesAndDashes;
        QCOMPARE(fix(reinterpret_cast<char16_t *>(text.data()), &length), VxAbi::S_OK);
        QCOMPARE(length, 5);
        QCOMPARE(text.left(length), QStringLiteral("a b\u2014c"));

        QCOMPARE(fix(reinterpret_cast<char16_t *>(text.data()), nullptr), VxAbi::E_INVALIDARG);
        int32_t negative = -1;
        QCOMPARE(fix(reinterpret_cast<char16_t *>(text.data()), &negative), VxAbi::E_INVALIDARG);
        int32_t some = 3;
        QCOMPARE(fix(nullptr, &some), VxAbi::E_INVALIDARG);
        QCOMPARE(some, 3);
    }
};

QTEST_MAIN(tst_Typography)
#include "tst_typography.moc"
