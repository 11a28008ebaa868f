// The search run without a window: what it shows, in which order, and how a stop
// during the scan and during the colouring ends it.

#include "common/TestFixture.h"
#include "core/GlobalVars.h"
#include "platform/OleColor.h"
#include "search/BookRange.h"
#include "search/SearchRun.h"
#include "search/SearchView.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace {
// What a run showed, in order; progress steps and events are counted apart.
class RecordingView : public SearchView
{
public:
    QStringList log;
    QList<qint64> progress;
    QStringList summary;
    bool limitReached = false;
    bool watchesColouring = false;
    int eventsRun = 0;
    std::function<void()> onEvents;
    QTextDocument *shown = nullptr;

    void ShowProgress(qint64 maximum) override { log << QStringLiteral("progress %1").arg(maximum); }
    void SetProgress(qint64 value) override { progress << value; }
    void HideProgress() override { log << QStringLiteral("hide progress"); }
    void ShowStatus(const QString &text, bool emphasised) override
    {
        log << (emphasised ? QStringLiteral("STATUS ") : QStringLiteral("status ")) + text;
    }
    QFont DocumentFont() const override { return QFont(); }
    void ShowDocument(QTextDocument *document) override
    {
        log << (document == shown ? QStringLiteral("show again") : QStringLiteral("show new"));
        if (document != shown)
            m_owned.emplace_back(document);
        shown = document;
    }
    bool WatchesColouring() const override { return watchesColouring; }
    void ShowSummary(const QStringList &lines, bool limit) override
    {
        summary = lines;
        limitReached = limit;
        log << QStringLiteral("summary ") + lines.join(QLatin1Char('|'));
    }
    void LetEventsRun() override
    {
        ++eventsRun;
        if (onEvents)
            onEvents();
    }

private:
    std::vector<std::unique_ptr<QTextDocument>> m_owned;
};

TermSearch::VerseSource sourceOf(const QStringList &texts)
{
    return [texts](const VerseReader::Visitor &visit) {
        for (int i = 0; i < texts.size(); ++i) {
            if (!visit(Verse{i + 1, 43, 1, i + 1, texts[i]}))
                return false;
        }
        return true;
    };
}

TermSearch search(const QString &text, SearchMode mode, bool ignoreCase = false)
{
    return TermSearch({text, mode, ignoreCase, BookRange::WholeModule},
                      [](int book) { return QStringLiteral("B%1").arg(book); });
}

QColor colourAt(QTextDocument *document, int position)
{
    QTextCursor cursor(document);
    cursor.setPosition(position + 1);
    return cursor.charFormat().foreground().color();
}
} // namespace

class TestSearchRun : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    std::unique_ptr<RecordingView> m_view;
    std::unique_ptr<SearchRun> m_run;

    void run(const TermSearch &termSearch, const QStringList &verses)
    {
        m_run->Run(termSearch, SearchSource{sourceOf(verses), verses.size(), nullptr});
    }

private slots:
    void init()
    {
        m_fx = std::make_unique<TestFixture>(false);
        m_view = std::make_unique<RecordingView>();
        m_run = std::make_unique<SearchRun>(*m_view);
        m_run->SetPollInterval(0);
    }
    void cleanup()
    {
        m_run.reset();
        m_view.reset();
        m_fx.reset();
    }

    // The old result makes way for an empty document first; the new one is shown
    // once it is coloured, or before that with Active Update.
    void phases_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("watch");
        QTest::addColumn<bool>("withSource");
        QTest::addColumn<QStringList>("log");
        const QStringList start{"show new", "summary ", "status ", "progress 2", "hide progress"};
        const auto colouring = [](const QString &show) {
            return QStringList{"progress 2",    "STATUS Highlighting \"God\"", show, "hide progress",
                               "summary 2 God", "status 2 Matches 2 Verses"};
        };
        QTest::newRow("no terms") << "*" << false << true
                                  << start + QStringList{"show new", "status 2 Verses"};
        QTest::newRow("coloured, then shown") << "God" << false << true << start + colouring("show new");
        QTest::newRow("Active Update: shown, then coloured")
            << "God" << true << true << start + QStringList{"show new"} + colouring("show again");
        QTest::newRow("no translation")
            << "God" << false << false
            << QStringList{"show new", "summary ",      "status ",       "progress 0",
                           "show new", "hide progress", "summary 0 God", "status 0 Matches 0 Verses"};
    }
    void phases()
    {
        QFETCH(QString, text);
        QFETCH(bool, watch);
        QFETCH(bool, withSource);
        QFETCH(QStringList, log);
        m_view->watchesColouring = watch;
        const QStringList verses{QStringLiteral("For God so loved"), QStringLiteral("God is love")};
        if (withSource)
            run(search(text, SearchMode::EveryVerse), verses);
        else
            m_run->Run(search(text, SearchMode::EveryVerse), SearchSource{});
        QCOMPARE(m_view->log, log);
        QCOMPARE(gActiveUpdateBib1, watch);
        QVERIFY(!m_run->Running());
    }

    // Each accepted verse is one line in the plain colour, each hit in its term's colour.
    void resultIsColouredByTerm()
    {
        run(search(QStringLiteral("*love*God*"), SearchMode::AllTerms),
            {QStringLiteral("God is love"), QStringLiteral("nothing here"), QStringLiteral("love of God")});
        QTextDocument *document = m_view->shown;
        const QString text = document->toPlainText();
        QCOMPARE(text, QStringLiteral("B43 1:1 God is love\nB43 1:3 love of God\n"));
        QCOMPARE(colourAt(document, int(text.indexOf(QStringLiteral("love")))), OleColor::toQColor(gBib1H1));
        QCOMPARE(colourAt(document, int(text.indexOf(QStringLiteral("God")))), OleColor::toQColor(gBib1H2));
        QCOMPARE(colourAt(document, 0), OleColor::toQColor(gBib1TC));
        QVERIFY(document->isUndoRedoEnabled());
        QVERIFY(!document->isUndoAvailable());
        QCOMPARE(m_run->Matches(), 4);
        // One progress step per hit: poll interval 0 colours one hit a batch.
        QCOMPARE(m_view->progress.mid(m_view->progress.size() - 4), (QList<qint64>{1, 2, 3, 4}));
    }

    void summary_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("ignoreCase");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QStringList>("summary");
        QTest::addColumn<bool>("limitReached");
        QTest::addColumn<QString>("status");
        const int anyTerm = int(SearchMode::AnyTerm);
        QTest::newRow("no terms") << "*" << int(SearchMode::EveryVerse) << false << 500 << QStringList{}
                                  << false << "3 Verses";
        QTest::newRow("term without a hit") << "*zeal*" << int(SearchMode::Pattern) << false << 500
                                            << QStringList{"0 zeal"} << false << "0 Matches 0 Verses";
        QTest::newRow("upper case when case is ignored")
            << "lord*grace" << anyTerm << true << 500 << QStringList{"3 LORD", "1 GRACE"} << false
            << "4 Matches 3 Verses";
        QTest::newRow("own case otherwise")
            << "Lord" << anyTerm << false << 500 << QStringList{"1 Lord"} << false << "1 Matches 1 Verses";
        QTest::newRow("limit: later terms keep their first hit")
            << "o*r" << anyTerm << false << 4 << QStringList{"4 o", "1 r"} << true << "5 Matches 3 Verses";
    }
    void summary()
    {
        QFETCH(QString, text);
        QFETCH(int, mode);
        QFETCH(bool, ignoreCase);
        QFETCH(int, limit);
        QFETCH(QStringList, summary);
        QFETCH(bool, limitReached);
        QFETCH(QString, status);
        gMaxCountSize = limit;
        run(search(text, SearchMode(mode), ignoreCase),
            {QStringLiteral("The LORD of grace"), QStringLiteral("my Lord"),
             QStringLiteral("lord of words")});
        QCOMPARE(m_view->summary, summary);
        QCOMPARE(m_view->limitReached, limitReached);
        QCOMPARE(m_view->log.last(), QStringLiteral("status ") + status);
    }

    // The scan ends at its first look at the events (after 64 lines); what was
    // found is coloured all the same, and the next run starts afresh.
    void stopDuringTheScan()
    {
        const QStringList verses(1000, QStringLiteral("word"));
        m_view->onEvents = [this] {
            if (m_view->eventsRun == 1)
                m_run->Stop();
        };
        run(search(QStringLiteral("word"), SearchMode::AnyTerm), verses);
        QCOMPARE(m_view->summary, QStringList{QStringLiteral("63 word")});
        QCOMPARE(m_view->log.last(), QStringLiteral("status 63 Matches 63 Verses"));
        const QString text = m_view->shown->toPlainText();
        QCOMPARE(colourAt(m_view->shown, int(text.lastIndexOf(QStringLiteral("word")))),
                 OleColor::toQColor(gBib1H1));
        m_view->onEvents = {};
        run(search(QStringLiteral("word"), SearchMode::AnyTerm), verses);
        QCOMPARE(m_view->log.last(), QStringLiteral("status 500 Matches 1000 Verses"));
    }

    // One hit is coloured per batch, and a stop is seen after the batch: the
    // summary, "Matches" and the limit count what was coloured, the term being
    // coloured with the hits it had when it stopped, a term not begun not at all.
    void stopDuringTheColouring_data()
    {
        QTest::addColumn<int>("stopAfter"); // batches
        QTest::addColumn<int>("limit");
        QTest::addColumn<QStringList>("summary");
        QTest::addColumn<bool>("limitReached");
        QTest::newRow("first hit") << 1 << 500 << QStringList{"1 a"} << false;
        QTest::newRow("first term done, second not begun") << 6 << 500 << QStringList{"6 a"} << false;
        QTest::newRow("second term begun") << 7 << 500 << QStringList{"6 a", "1 b"} << false;
        QTest::newRow("before the limit") << 2 << 3 << QStringList{"2 a"} << false;
        QTest::newRow("at the limit") << 3 << 3 << QStringList{"3 a"} << true;
    }
    void stopDuringTheColouring()
    {
        QFETCH(int, stopAfter);
        QFETCH(int, limit);
        QFETCH(QStringList, summary);
        QFETCH(bool, limitReached);
        gMaxCountSize = limit;
        m_view->onEvents = [this, stopAfter] {
            if (m_view->eventsRun == stopAfter)
                m_run->Stop();
        };
        run(search(QStringLiteral("a*b"), SearchMode::AllTerms), {QStringLiteral("ab ab ab ab ab ab")});
        QCOMPARE(m_view->eventsRun, stopAfter);
        const QString text = m_view->shown->toPlainText();
        const int first = int(text.indexOf(QStringLiteral("ab")));
        const int hitsOfA = std::min(stopAfter, 6);
        QCOMPARE(colourAt(m_view->shown, first + 3 * (hitsOfA - 1)), OleColor::toQColor(gBib1H1));
        if (hitsOfA < 6)
            QCOMPARE(colourAt(m_view->shown, first + 3 * hitsOfA), OleColor::toQColor(gBib1TC));
        QCOMPARE(m_view->summary, summary);
        QCOMPARE(m_view->limitReached, limitReached);
        QCOMPARE(m_view->log.last(), QStringLiteral("status %1 Matches 1 Verses").arg(stopAfter));
        QCOMPARE(m_run->Matches(), stopAfter);
        QVERIFY(!m_run->Running());
    }

    // A source that fails ends the run; the error reaches the caller and the next run goes.
    void failingSource()
    {
        const TermSearch::VerseSource failing = [](const VerseReader::Visitor &) -> bool {
            raiseError(RtErr::FileNotFound, QStringLiteral("test"), QStringLiteral("gone"));
        };
        QCOMPARE(raisedErrorNumber([&] {
                     m_run->Run(search(QStringLiteral("x"), SearchMode::AnyTerm),
                                SearchSource{failing, 1, nullptr});
                 }),
                 qint32(RtErr::FileNotFound));
        QVERIFY(!m_run->Running());
        run(search(QStringLiteral("x"), SearchMode::AnyTerm), {QStringLiteral("x")});
        QCOMPARE(m_view->log.last(), QStringLiteral("status 1 Matches 1 Verses"));
    }
};

QTEST_MAIN(TestSearchRun)
#include "tst_searchrun.moc"
