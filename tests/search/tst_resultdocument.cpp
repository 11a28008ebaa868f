// The result document of the search and notes workspace as it is switched in:
// the document shown before is freed, the new one keeps the pane's page, and
// the colours are those of the terms.

#include "common/ModuleBuilder.h"
#include "common/TestFixture.h"
#include "core/GlobalVars.h"
#include "platform/OleColor.h"
#include "platform/RichTextBox.h"
#include "search/AdvancedSearch.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPointer>
#include <QRadioButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

class TestResultDocument : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;

    AdvancedSearch &searchFor(const QString &text)
    {
        AdvancedSearch &window = AdvancedSearch::Instance();
        window.setPollInterval(0);
        window.show();
        window.cboSearch->setEditText(text);
        window.optAnyOrder->setChecked(true);
        window.chkIgnoreCase->setChecked(true);
        window.cboBooks->setCurrentIndex(71);
        window.cmdSearch_Click();
        return window;
    }

    static QColor colourAt(const QTextDocument *document, int position)
    {
        QTextCursor cursor(const_cast<QTextDocument *>(document));
        cursor.setPosition(position + 1);
        return cursor.charFormat().foreground().color();
    }

private slots:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpWindowTest();
        ModuleBuilder module;
        for (int verse = 1; verse <= 200; ++verse)
            module.verse(19, 1, verse, QStringLiteral("The LORD is my shepherd; the Lord\u2019s own."));
        m_fx->addBible(QStringLiteral("Psalms"), QStringLiteral("b_psalms.txt"), module.bytes(1252));
        AdvancedSearch::Register();
    }
    void cleanup() { m_fx.reset(); }

    void switchingDocuments()
    {
        AdvancedSearch &first = searchFor(QStringLiteral("lord*shepherd"));
        const QPointer<QTextDocument> before = first.RT->document();
        const QSizeF page = before->pageSize();
        const qreal margin = before->documentMargin();
        AdvancedSearch &window = searchFor(QStringLiteral("lord's"));
        const QTextDocument *shown = window.RT->document();
        // One document per search is kept, not one per search ever run.
        QVERIFY(before.isNull());
        QCOMPARE(shown->pageSize(), page);
        QCOMPARE(shown->documentMargin(), margin);
        QVERIFY(!shown->isUndoAvailable());
        QVERIFY(!shown->isModified());
        const QString text = shown->toPlainText();
        QCOMPARE(text.count(QLatin1Char('\n')), 200);
        // Each hit in its term's colour, the rest in the text colour.
        const int hit = int(text.indexOf(QStringLiteral("Lord\u2019s")));
        QCOMPARE(colourAt(shown, hit), OleColor::toQColor(gBib1H1));
        QCOMPARE(colourAt(shown, hit + 5), OleColor::toQColor(gBib1H1));
        QCOMPARE(colourAt(shown, hit + 6), OleColor::toQColor(gBib1TC));
        QCOMPARE(colourAt(shown, hit - 2), OleColor::toQColor(gBib1TC));
    }
};

QTEST_MAIN(TestResultDocument)
#include "tst_resultdocument.moc"
