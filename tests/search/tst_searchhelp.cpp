// The help page on searching, as the compiled help file holds it: every search
// it gives as an example, run in the search window on the shipped King James
// module, shows the status the page says it shows.

#include "common/TestFixture.h"
#include "core/GlobalVars.h"
#include "platform/ChmArchive.h"
#include "search/AdvancedSearch.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTextDocumentFragment>
#include <QtTest>

namespace {
const QString Page = QStringLiteral("/searching.html");

struct Example
{
    QString text;
    QString mode;
    QString ignoreCase;
    QString books;
    QString status;
};

QString pageSource()
{
    ChmArchive help;
    QByteArray bytes;
    if (!help.open(TestFixture::builtFile(QStringLiteral("Help.chm"))) || !help.read(Page, bytes))
        return QString();
    return ChmArchive::decodeText(bytes);
}

QString plainText(const QString &html)
{
    return QTextDocumentFragment::fromHtml(html).toPlainText().trimmed();
}

QStringList captures(const QString &html, const QString &pattern)
{
    QStringList found;
    const QRegularExpression expression(pattern, QRegularExpression::DotMatchesEverythingOption |
                                                     QRegularExpression::CaseInsensitiveOption);
    for (const QRegularExpressionMatch &match : expression.globalMatch(html))
        found.append(match.captured(1));
    return found;
}

// The rows of the page's table of examples: the search text, the mode, whether
// case is ignored, the books, and the status after the search.
QList<Example> examples(const QString &page)
{
    QList<Example> found;
    const QStringList tables =
        captures(page, QStringLiteral("<table[^>]*id=\"examples\"[^>]*>(.*?)</table>"));
    for (const QString &row : captures(tables.value(0), QStringLiteral("<tr>(.*?)</tr>"))) {
        const QStringList cells = captures(row, QStringLiteral("<td[^>]*>(.*?)</td>"));
        if (cells.size() == 5)
            found.append({plainText(cells[0]), plainText(cells[1]), plainText(cells[2]), plainText(cells[3]),
                          plainText(cells[4])});
    }
    return found;
}
} // namespace

class TestSearchHelp : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;

private slots:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpWindowTest();
        QFile kjv(TestFixture::sourceDir() + QStringLiteral("/data/Modules/Bible/b_kjv.txt"));
        QVERIFY(kjv.open(QIODevice::ReadOnly));
        m_fx->addBible(QStringLiteral("King James Version (1769)"), QStringLiteral("b_kjv.txt"),
                       kjv.readAll());
        AdvancedSearch::Register();
    }
    void cleanup() { m_fx.reset(); }

    // Every search text the page shows the reader to type is one of its examples.
    void everyTypedTextIsAnExample()
    {
        const QString page = pageSource();
        QStringList examined;
        for (const Example &example : examples(page))
            examined.append(example.text);
        QVERIFY2(examined.size() >= 10, qPrintable(QStringLiteral("%1 examples").arg(examined.size())));
        for (const QString &typed : captures(page, QStringLiteral("<kbd>(.*?)</kbd>")))
            QVERIFY2(examined.contains(plainText(typed)), qPrintable(plainText(typed)));
    }

    void examplesFindWhatThePageSays_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("ignoreCase");
        QTest::addColumn<QString>("books");
        QTest::addColumn<QString>("status");
        const QList<Example> found = examples(pageSource());
        QVERIFY2(!found.isEmpty(), "the help page has no table of examples");
        for (const Example &e : found)
            QTest::addRow("%s, %s, case %s, %s", qPrintable(e.text), qPrintable(e.mode),
                          qPrintable(e.ignoreCase), qPrintable(e.books))
                << e.text << e.mode << e.ignoreCase << e.books << e.status;
    }
    void examplesFindWhatThePageSays()
    {
        QFETCH(QString, text);
        QFETCH(QString, mode);
        QFETCH(QString, ignoreCase);
        QFETCH(QString, books);
        QFETCH(QString, status);
        AdvancedSearch &window = AdvancedSearch::Instance();
        window.setPollInterval(0);
        window.show();
        // The choices as the window names them.
        QRadioButton *option = nullptr;
        for (QRadioButton *candidate :
             {window.optNone, window.optAnyOrder, window.optAnyTerms, window.optAllVerses})
            if (candidate->text().remove(QLatin1Char('&')) == mode)
                option = candidate;
        QVERIFY2(option, qPrintable(QStringLiteral("no mode \"%1\"").arg(mode)));
        const int range = window.cboBooks->findText(books);
        QVERIFY2(range >= 0, qPrintable(QStringLiteral("no books \"%1\"").arg(books)));
        QVERIFY2(ignoreCase == QLatin1String("on") || ignoreCase == QLatin1String("off"),
                 qPrintable(ignoreCase));
        window.cboSearch->setEditText(text);
        option->setChecked(true);
        window.chkIgnoreCase->setChecked(ignoreCase == QLatin1String("on"));
        window.cboBooks->setCurrentIndex(range);
        window.cmdSearch_Click();
        QCOMPARE(window.txtStatusTextR->text(), status);
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
    }
};

QTEST_MAIN(TestSearchHelp)
#include "tst_searchhelp.moc"
