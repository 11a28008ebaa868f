#include "common/ModuleBuilder.h"
#include "common/TestFixture.h"
#include "common/UnwritableFolder.h"
#include "controls/MenuTable.h"
#include "core/GlobalNotifier.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "core/Registry_.h"
#include "core/Translation.h"
#include "mainwindow/MenuTargets.h"
#include "mainwindow/Splash.h"
#include "platform/DefaultInstance.h"
#include "platform/OleColor.h"
#include "platform/RichTextBox.h"
#include "platform/SettingsStore.h"
#include "search/AdvancedSearch.h"
#include "search/FormatToolbar.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QtTest>

namespace {
const QString Settings = QStringLiteral("Settings");
const QString History = QStringLiteral("Search History");

// Genesis, Psalms and John, with typographic quotes and a Tab inside a text.
ModuleBuilder sampleModule()
{
    ModuleBuilder module;
    module.verse(1, 1, 1, QStringLiteral("In the beginning God created the heaven."))
        .verse(1, 1, 2, QStringLiteral("And God so showed love to the earth."))
        .verse(19, 23, 1, QStringLiteral("The LORD is my shepherd."))
        .verse(19, 23, 2, QStringLiteral("For the Lord\u2019s sake, love and God\tagain."))
        .verse(43, 3, 16, QStringLiteral("For God so loved the world."))
        .verse(43, 14, 27, QStringLiteral("\u201CPeace\u201D I leave with you, \u00E9lan."));
    return module;
}

QColor colourAt(const RichTextBox *rt, int position)
{
    QTextCursor cursor(rt->document());
    cursor.setPosition(position + 1);
    return cursor.charFormat().foreground().color();
}
} // namespace

class TestAdvancedSearch : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    int m_splashes = 0;

    TestDesktop &desk() { return m_fx->desk(); }

    void addBible(const QString &name, const QString &file, const ModuleBuilder &module, int codePage)
    {
        m_fx->addBible(name, file, module.bytes(codePage == 65001 ? 65001 : 1252), true, codePage);
    }

    AdvancedSearch &open()
    {
        AdvancedSearch &window = AdvancedSearch::Instance();
        window.setPollInterval(0);
        window.show();
        return window;
    }

    // Runs a search with the given choices.
    void search(AdvancedSearch &window, const QString &text, QRadioButton *mode, bool ignoreCase, int code)
    {
        window.cboSearch->setEditText(text);
        mode->setChecked(true);
        window.chkIgnoreCase->setChecked(ignoreCase);
        window.cboBooks->setCurrentIndex(code - 1);
        window.cmdSearch_Click();
    }

    QStringList summary(const AdvancedSearch &window)
    {
        QStringList lines;
        for (int i = 0; i < window.cboResults->count(); ++i)
            lines.append(window.cboResults->itemText(i));
        return lines;
    }

private slots:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpWindowTest();
        m_splashes = 0;
        Splash::setShowModal([this] { ++m_splashes; });
        addBible(QStringLiteral("Sample Bible"), QStringLiteral("b_sample.txt"), sampleModule(), 0);
        AdvancedSearch::Register();
    }
    void cleanup() { m_fx.reset(); }

    void typedNotesAreInTheFontTheToolbarNames_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("size");
        QTest::newRow("default") << QStringLiteral("Times New Roman") << 12;
        QTest::newRow("chosen before") << QStringLiteral("DejaVu Serif") << 17;
    }
    // A new workspace's notes are typed in the font and size its toolbar shows,
    // and so are those of a new document.
    void typedNotesAreInTheFontTheToolbarNames()
    {
        QFETCH(QString, family);
        QFETCH(int, size);
        gDefaultFont = family;
        gBib1Fontsize = quint8(size);
        AdvancedSearch &window = open();
        for (int pass = 0; pass < 2; ++pass) {
            QTest::keyClicks(window.RT, QStringLiteral("A note"));
            const QTextCharFormat typed = window.RT->textCursor().charFormat();
            const QFont font = typed.font().resolve(window.RT->document()->defaultFont());
            QCOMPARE(font.family(), window.FormatBar()->cboFont->currentText());
            QCOMPARE(QString::number(font.pointSize()), window.FormatBar()->cboSize->currentText());
            QCOMPARE(font.family(), family);
            QCOMPARE(font.pointSize(), size);
            window.RT->document()->setModified(false);
            window.Menus().action(QStringLiteral("mFileNew"))->trigger();
        }
    }

    void loadsWithItsChoices()
    {
        gShowSplash = true;
        AdvancedSearch &window = open();
        QCOMPARE(m_splashes, 1);
        QVERIFY(gAdvancedSearchOpen);
        QCOMPARE(MenuTargets::Loaded(MenuTargets::AdvancedSearch), &window);
        QCOMPARE(window.windowTitle(), MiscHelpers::ProductTitle());
        QCOMPARE(window.cboBooks->count(), 72);
        QCOMPARE(window.cboBooks->itemText(0), QStringLiteral("Genesis"));
        QCOMPARE(window.cboBooks->itemText(68), QStringLiteral("New Testament"));
        // First start: the New Testament.
        QCOMPARE(window.cboBooks->currentIndex(), 68);
        QCOMPARE(window.BookRangeCode(), 69);
        QCOMPARE(window.cboTranslation->currentText(), QStringLiteral("Sample Bible"));
        QCOMPARE(window.cboSearch->currentText(), QStringLiteral("*"));
        QVERIFY(window.optNone->isChecked());
        QVERIFY(!window.cmdStopSearch->isVisible());
        QVERIFY(!window.ProgressBar1->isVisible());
        QCOMPARE(window.optAnyOrder->text(), QStringLiteral("&Ignore Order"));
        QVERIFY(!window.TextChanged());
    }

    void restoresTheSavedRange_data()
    {
        QTest::addColumn<QString>("saved");
        QTest::addColumn<int>("index");
        QTest::newRow("Matthew") << QStringLiteral("39") << 39;
        QTest::newRow("whole Bible") << QStringLiteral("71") << 71;
        QTest::newRow("not a number") << QStringLiteral("x1") << 68;
        QTest::newRow("past the list") << QStringLiteral("72") << 68;
        QTest::newRow("negative") << QStringLiteral("-1") << 68;
    }
    void restoresTheSavedRange()
    {
        QFETCH(QString, saved);
        QFETCH(int, index);
        m_fx->settings().setValue(Settings, QStringLiteral("CBOBookmark"), saved);
        AdvancedSearch &window = open();
        QCOMPARE(window.cboBooks->currentIndex(), index);
        QCOMPARE(window.BookRangeCode(), index + 1);
        window.cboBooks->setCurrentIndex(4);
        QCOMPARE(window.BookRangeCode(), 5);
        QCOMPARE(m_fx->settings().value(Settings, QStringLiteral("CBOBookmark"), QString()),
                 QStringLiteral("4"));
        // A change of language keeps the range.
        gNotifier->NotifyOfEvent(GlobalNotifier::InternationalChanged);
        QCOMPARE(window.cboBooks->count(), 72);
        QCOMPARE(window.cboBooks->currentIndex(), 4);
    }

    void savedTranslationIsChosen()
    {
        addBible(QStringLiteral("Second Bible"), QStringLiteral("b_second.txt"), sampleModule(), 0);
        Registry_::SaveString(QStringLiteral("AdvancedSearchTranslation"), QStringLiteral("b_second.txt"));
        AdvancedSearch &window = open();
        QCOMPARE(window.cboTranslation->currentText(), QStringLiteral("Second Bible"));
        QCOMPARE(window.CurrentTranslation()->FileName, QStringLiteral("b_second.txt"));
        window.cboTranslation->setCurrentIndex(0);
        QCOMPARE(window.CurrentTranslation()->FileName, QStringLiteral("b_sample.txt"));
        QCOMPARE(Registry_::GetString(QStringLiteral("AdvancedSearchTranslation"), QString()),
                 QStringLiteral("b_sample.txt"));
    }

    void statusAndSummary_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("ignoreCase");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("summary");
        QTest::newRow("every verse, no terms") << "*" << 0 << false << 72 << "6 Verses" << QStringList{};
        QTest::newRow("pattern, no hit")
            << "love" << 0 << false << 72 << "0 Matches 0 Verses" << QStringList{"0 love"};
        QTest::newRow("two terms") << "*love*God*" << 1 << false << 72 << "6 Matches 3 Verses"
                                   << QStringList{"3 love", "3 God"};
        QTest::newRow("case ignored, summary upper")
            << "lord" << 2 << true << 72 << "2 Matches 2 Verses" << QStringList{"2 LORD"};
        QTest::newRow("one book") << "*" << 3 << false << 43 << "2 Verses" << QStringList{};
        QTest::newRow("typed quotes") << "\"Peace\"*lord's" << 2 << true << 72 << "2 Matches 2 Verses"
                                      << QStringList{"1 \"PEACE\"", "1 LORD'S"};
        QTest::newRow("utf-8 letter")
            << "*\u00E9lan*" << 0 << false << 72 << "1 Matches 1 Verses" << QStringList{"1 \u00E9lan"};
    }
    void statusAndSummary()
    {
        QFETCH(QString, text);
        QFETCH(int, mode);
        QFETCH(bool, ignoreCase);
        QFETCH(int, code);
        QFETCH(QString, status);
        QFETCH(QStringList, summary);
        // The same module once in code page 1252 and once in UTF-8.
        for (const int codePage : {0, 65001}) {
            gBibles.Clear();
            addBible(QStringLiteral("Bible"), QStringLiteral("b_cp%1.txt").arg(codePage), sampleModule(),
                     codePage);
            AdvancedSearch &window = open();
            QRadioButton *options[] = {window.optNone, window.optAnyOrder, window.optAnyTerms,
                                       window.optAllVerses};
            search(window, text, options[mode], ignoreCase, code);
            QCOMPARE(window.txtStatusTextR->text(), status);
            QCOMPARE(this->summary(window), summary);
            QCOMPARE(window.cboResults->palette().color(QPalette::Text), QColor(Qt::black));
            if (!summary.isEmpty())
                QCOMPARE(window.cboResults->currentText(), QStringLiteral("SEARCH SUMMARY"));
            const qsizetype lines = window.RT->toPlainText().count(QLatin1Char('\n'));
            QCOMPARE(QStringLiteral("%1 Verses").arg(lines), status.section(QLatin1Char(' '), -2));
            DefaultInstance<AdvancedSearch>::release();
        }
    }

    // A Bible whose module file was cut short in Psalms 23:2: a search tells, once
    // a search, the books of the range that the file does not hold whole.
    void searchOfABibleCutShortSaysWhatItCouldNotSearch_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("notSearched"); // empty: nothing told
        QTest::newRow("a book before the cut") << 1 << QString();
        QTest::newRow("the book cut") << 19 << "Psalms";
        QTest::newRow("the New Testament") << 69 << "Matthew - Revelation";
        QTest::newRow("the whole module") << 72 << "Psalms - Revelation";
    }
    void searchOfABibleCutShortSaysWhatItCouldNotSearch()
    {
        QFETCH(int, code);
        QFETCH(QString, notSearched);
        const QByteArray bytes = sampleModule().bytes(1252);
        gBibles.Clear();
        m_fx->addBible(QStringLiteral("Cut"), QStringLiteral("b_cut.txt"),
                       bytes.left(bytes.indexOf("love and")));
        AdvancedSearch &window = open();
        const QString told = GetMsg(0, 257, gBibleFolder + QStringLiteral("b_cut.txt"));
        for (int search = 1; search <= 2; ++search) {
            this->search(window, QStringLiteral("*"), window.optAllVerses, false, code);
            QStringList tellings;
            for (const TestDesktop::Shown &box : desk().messageBoxes())
                if (box.text.startsWith(told))
                    tellings.append(box.text);
            QCOMPARE(tellings, QStringList(notSearched.isEmpty() ? 0 : search,
                                           told + QStringLiteral("\r\n\r\n") + notSearched));
        }
    }

    void resultLinesAndColours()
    {
        AdvancedSearch &window = open();
        search(window, QStringLiteral("*love*God*"), window.optAnyOrder, false, 72);
        const QStringList lines = window.RT->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines,
                 (QStringList{QStringLiteral("GEN 1:2 And God so showed love to the earth."),
                              QStringLiteral("PSA 23:2 For the Lord\u2019s sake, love and God\tagain."),
                              QStringLiteral("JOH 3:16 For God so loved the world.")}));
        const QString text = window.RT->toPlainText();
        const int love = int(text.indexOf(QStringLiteral("love")));
        const int god = int(text.indexOf(QStringLiteral("God")));
        QCOMPARE(colourAt(window.RT, love), OleColor::toQColor(gBib1H1));
        QCOMPARE(colourAt(window.RT, god), OleColor::toQColor(gBib1H2));
        QCOMPARE(colourAt(window.RT, 0), OleColor::toQColor(gBib1TC));
        QCOMPARE(window.MatchCount(), 6);
        // The result keeps its font and size when it is saved as RTF (a bookmark).
        const QString rtf = window.RT->TextRTF();
        QVERIFY2(rtf.contains(gDefaultFont), qPrintable(rtf.left(300)));
        QVERIFY(rtf.contains(QStringLiteral("\\fs") + QString::number(2 * gBib1Fontsize)));
    }

    void sixthAndSeventhTermColours()
    {
        gBibles.Clear();
        ModuleBuilder module;
        module.verse(1, 1, 1, QStringLiteral("aa bb cc dd ee ff gg"));
        addBible(QStringLiteral("Letters"), QStringLiteral("b_letters.txt"), module, 0);
        AdvancedSearch &window = open();
        search(window, QStringLiteral("aa*bb*cc*dd*ee*ff*gg"), window.optAnyOrder, false, 72);
        const QString text = window.RT->toPlainText();
        QCOMPARE(colourAt(window.RT, int(text.indexOf(QStringLiteral("ff")))), QColor(255, 255, 0));
        QCOMPARE(colourAt(window.RT, int(text.indexOf(QStringLiteral("gg")))), OleColor::toQColor(gBib1H1));
        QCOMPARE(colourAt(window.RT, int(text.indexOf(QStringLiteral("ee")))), OleColor::toQColor(gBib1H5));
    }

    void limitTurnsTheSummaryRed()
    {
        gBibles.Clear();
        ModuleBuilder module;
        module.verse(1, 1, 1, QString(25, QLatin1Char('x')) + QStringLiteral(" yy"));
        addBible(QStringLiteral("Letters"), QStringLiteral("b_letters.txt"), module, 0);
        gMaxCountSize = 10;
        AdvancedSearch &window = open();
        search(window, QStringLiteral("x*y"), window.optAnyOrder, false, 72);
        QCOMPARE(summary(window), (QStringList{QStringLiteral("10 x"), QStringLiteral("1 y")}));
        QCOMPARE(window.cboResults->palette().color(QPalette::Text), QColor(Qt::red));
        QCOMPARE(window.txtStatusTextR->text(), QStringLiteral("11 Matches 1 Verses"));
        const int lineStart = int(window.RT->toPlainText().indexOf(QLatin1Char('x')));
        QCOMPARE(colourAt(window.RT, lineStart + 9), OleColor::toQColor(gBib1H1));
        QCOMPARE(colourAt(window.RT, lineStart + 10), OleColor::toQColor(gBib1TC));
        // The next search starts with the limit unset.
        gMaxCountSize = 500;
        search(window, QStringLiteral("x*y"), window.optAnyOrder, false, 72);
        QCOMPARE(summary(window), (QStringList{QStringLiteral("25 x"), QStringLiteral("2 y")}));
        QCOMPARE(window.cboResults->palette().color(QPalette::Text), QColor(Qt::black));
    }

    void refusedSearches_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("pattern");
        QTest::addColumn<QString>("message");
        QString many;
        for (int i = 0; i < 31; ++i)
            many += QStringLiteral("w%1*").arg(i);
        QTest::newRow("invalid pattern") << "*[z-a]*" << true << "is not a valid pattern";
        QTest::newRow("unclosed list") << "*[abc" << true << "is not a valid pattern";
        QTest::newRow("31 terms") << many << false << "more than 30 terms";
    }
    void refusedSearches()
    {
        QFETCH(QString, text);
        QFETCH(bool, pattern);
        QFETCH(QString, message);
        AdvancedSearch &window = open();
        search(window, QStringLiteral("*"), window.optNone, false, 72);
        const QString before = window.RT->toPlainText();
        search(window, text, pattern ? window.optNone : window.optAnyTerms, false, 72);
        QCOMPARE(desk().messageBoxes().size(), 1);
        QVERIFY(desk().messageBoxes().first().text.contains(message));
        QCOMPARE(window.RT->toPlainText(), before);
        QVERIFY(window.cmdSearch->isEnabled());
        QVERIFY(!window.SearchRunning());
    }

    void historyKeepsTheNewestTexts()
    {
        for (int i = 0; i < 150; ++i)
            m_fx->settings().setValue(History, QString::number(i), QStringLiteral("text %1").arg(i));
        AdvancedSearch &window = open();
        QCOMPARE(window.cboSearch->count(), 101);
        QCOMPARE(window.cboSearch->itemText(100), QStringLiteral("text 100"));

        // Enter saves the text before the search reads a verse.
        bool savedBeforeScan = false;
        AdvancedSearch::setSourceFactory([&](const Translation &) -> TermSearch::VerseSource {
            return [&](const VerseReader::Visitor &) {
                savedBeforeScan = m_fx->settings().value(History, QStringLiteral("100"), QString()) ==
                                  QStringLiteral("new text");
                return true;
            };
        });
        window.cboSearch->setEditText(QStringLiteral("new text"));
        window.cboSearch->setFocus();
        QTest::keyClick(window.cboSearch, Qt::Key_Return);
        QVERIFY(savedBeforeScan);
        QCOMPARE(window.cboSearch->currentText(), QStringLiteral("new text"));
        QCOMPARE(window.txtStatusTextR->text(), QStringLiteral("0 Matches 0 Verses"));
        // The oldest text made room; the rest moved up by one.
        QCOMPARE(m_fx->settings().value(History, QStringLiteral("0"), QString()), QStringLiteral("text 1"));
        QVERIFY(!m_fx->settings().contains(History, QStringLiteral("101")));
        QVERIFY(!m_fx->settings().contains(History, QStringLiteral("149")));

        window.PopulateHistoryCombo();
        QCOMPARE(window.cboSearch->count(), 101);
        QCOMPARE(window.cboSearch->itemText(100), QStringLiteral("new text"));
        // The same text again is stored once.
        window.cboSearch->setEditText(QStringLiteral("new text"));
        window.SaveComboHistory();
        QCOMPARE(window.cboSearch->count(), 101);
        QCOMPARE(window.cboSearch->currentText(), QStringLiteral("new text"));
        // A text differing in case only is a new one.
        window.cboSearch->setEditText(QStringLiteral("New text"));
        window.SaveComboHistory();
        QCOMPARE(m_fx->settings().value(History, QStringLiteral("100"), QString()),
                 QStringLiteral("New text"));
    }

    void searchBoxKeepsWhatWasTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("offered"); // the listed text is offered below the box
        QTest::addColumn<bool>("chosen");  // the reader moves to it there before Enter
        QTest::addColumn<QString>("searched");
        const QString listed = QString::fromUtf8("*Señor*");
        QTest::newRow("other case of a listed text")
            << QString::fromUtf8("*señor*") << false << false << QString::fromUtf8("*señor*");
        QTest::newRow("listed text itself") << listed << true << false << listed;
        // A listed text that begins with what was typed is offered, not filled in.
        QTest::newRow("beginning of a listed text")
            << QStringLiteral("*Se") << true << false << QStringLiteral("*Se");
        QTest::newRow("beginning, the offered text chosen")
            << QStringLiteral("*Se") << true << true << listed;
        QTest::newRow("beginning in the other case")
            << QStringLiteral("*se") << false << false << QStringLiteral("*se");
    }
    // Searched with Enter, the text in the box is the one searched, then and the
    // next time; texts that differ in case are listed apart.
    void searchBoxKeepsWhatWasTyped()
    {
        QFETCH(QString, typed);
        QFETCH(bool, offered);
        QFETCH(bool, chosen);
        QFETCH(QString, searched);
        m_fx->settings().setValue(History, QStringLiteral("0"), QString::fromUtf8("*Señor*"));
        QStringList texts;
        AdvancedSearch &window = open();
        AdvancedSearch::setSourceFactory([&](const Translation &) -> TermSearch::VerseSource {
            texts << window.cboSearch->currentText();
            return [](const VerseReader::Visitor &) { return true; };
        });
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.cboSearch->setFocus();
        window.cboSearch->lineEdit()->clear();
        // Key by key through the window, as a keyboard types them (ñ too).
        QWindow *keyboard = window.windowHandle();
        for (const QChar c : typed)
            QTest::sendKeyEvent(QTest::Click, keyboard, Qt::Key_unknown, QString(c), Qt::NoModifier);
        // Nothing is filled in beyond what was typed; a listed text may be offered below.
        QCOMPARE(window.cboSearch->currentText(), typed);
        QVERIFY(!window.cboSearch->lineEdit()->hasSelectedText());
        const QWidget *list = window.cboSearch->completer()->popup();
        QCOMPARE(list->isVisible(), offered);
        if (chosen)
            QTest::keyClick(keyboard, Qt::Key_Down);
        QTest::keyClick(keyboard, Qt::Key_Return);
        QVERIFY(!list->isVisible());
        // The search put the caret into the document; the box lost the focus.
        QVERIFY(!window.cboSearch->hasFocus());
        QCOMPARE(window.cboSearch->currentText(), searched);
        window.cmdSearch_Click();
        QCOMPARE(texts, QStringList(2, searched));
        QStringList listed;
        for (int i = 0; i < window.cboSearch->count(); ++i)
            listed << window.cboSearch->itemText(i);
        QStringList expected{QString::fromUtf8("*Señor*")};
        if (!expected.contains(searched))
            expected << searched;
        QCOMPARE(listed, expected);
    }

    // Settings that cannot be written: Enter still searches, the history holds
    // for the run, and the reader is told once (the folder and the reason).
    void unwritableSettingsStillSearch()
    {
        AdvancedSearch &window = open();
        const QString file = m_fx->settings().filePath();
        QFile::remove(file);
        QVERIFY(QDir().mkpath(file)); // a folder where the file should be
        for (const QString &text : {QStringLiteral("God"), QStringLiteral("love")}) {
            window.cboSearch->setEditText(text);
            window.cboSearch->setFocus();
            QTest::keyClick(window.cboSearch, Qt::Key_Return);
            QVERIFY(window.cboResults->count() > 0);
            QVERIFY2(window.txtStatusTextR->text().endsWith(QStringLiteral(" Verses")),
                     qPrintable(window.txtStatusTextR->text()));
            QVERIFY(window.cboSearch->findText(text) >= 0);
        }
        QCOMPARE(m_fx->settings().value(History, QStringLiteral("1"), QString()), QStringLiteral("love"));
        QCOMPARE(desk().messageBoxes().size(), 1);
        QVERIFY(desk().lastMessage().startsWith(GetMsg(0, 271, m_fx->settings().folder())));
        QVERIFY(desk().lastMessage().contains(file));
        QVERIFY(QFileInfo(file).isDir());
        QVERIFY(QDir().rmdir(file));
    }

    void clearHistory_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("entries");
        QTest::newRow("yes") << int(MsgBoxResult::Yes) << 0;
        QTest::newRow("no") << int(MsgBoxResult::No) << 2;
    }
    void clearHistory()
    {
        QFETCH(int, answer);
        QFETCH(int, entries);
        m_fx->settings().setValue(History, QStringLiteral("0"), QStringLiteral("a"));
        m_fx->settings().setValue(History, QStringLiteral("1"), QStringLiteral("b"));
        AdvancedSearch &window = open();
        desk().messageBoxAnswers.push_back(answer);
        window.cmdClear_Click();
        QCOMPARE(window.cboSearch->count(), entries);
        QCOMPARE(m_fx->settings().keys(History).size(), entries);
        QCOMPARE(window.cboSearch->currentText(), QStringLiteral("*"));
    }

    // Enter while a search runs starts nothing; the busy state is on during the
    // scan and off afterwards.
    void busyDuringTheScan()
    {
        AdvancedSearch &window = open();
        int searches = 0;
        bool stopShown = false;
        bool searchEnabled = true;
        AdvancedSearch::setSourceFactory([&](const Translation &) -> TermSearch::VerseSource {
            return [&](const VerseReader::Visitor &visit) {
                ++searches;
                stopShown = window.cmdStopSearch->isVisible();
                searchEnabled = window.cmdSearch->isEnabled();
                QTest::keyClick(window.cboSearch->lineEdit(), Qt::Key_Return);
                return visit(Verse{1, 43, 1, 1, QStringLiteral("x")});
            };
        });
        search(window, QStringLiteral("*"), window.optNone, false, 72);
        QCOMPARE(searches, 1);
        QVERIFY(stopShown);
        QVERIFY(!searchEnabled);
        QVERIFY(!window.cmdStopSearch->isVisible());
        QVERIFY(window.cmdSearch->isEnabled());
        QVERIFY(!window.SearchRunning());
        QCOMPARE(window.txtStatusTextR->text(), QStringLiteral("1 Verses"));
    }

    // A failure in the middle of the search is reported once, and the busy
    // state is undone all the same.
    void failureUndoesTheBusyState()
    {
        AdvancedSearch &window = open();
        AdvancedSearch::setSourceFactory([](const Translation &) -> TermSearch::VerseSource {
            return [](const VerseReader::Visitor &) -> bool {
                raiseError(RtErr::FileNotFound, QStringLiteral("Verbanox.VerseReader"),
                           QStringLiteral("File not found: b_sample.txt"));
            };
        });
        search(window, QStringLiteral("word"), window.optAnyTerms, false, 72);
        QCOMPARE(desk().messageBoxes().size(), 1);
        QVERIFY(desk().messageBoxes().first().text.contains(QStringLiteral("File not found")));
        QVERIFY(!window.SearchRunning());
        QVERIFY(!window.cmdStopSearch->isVisible());
        QVERIFY(window.cmdSearch->isEnabled());
        QVERIFY(!window.ProgressBar1->isVisible());
    }

    // Range and translation are those of the moment the search started, even
    // when the boxes change while it runs.
    void choicesAreTakenAtTheStart()
    {
        addBible(QStringLiteral("Second Bible"), QStringLiteral("b_second.txt"), sampleModule(), 0);
        AdvancedSearch &window = open();
        window.cboTranslation->setCurrentIndex(0);
        AdvancedSearch::setSourceFactory([&](const Translation &translation) -> TermSearch::VerseSource {
            return [&](const VerseReader::Visitor &visit) {
                window.cboTranslation->setCurrentIndex(1);
                window.cboBooks->setCurrentIndex(0);
                window.optAllVerses->setChecked(true);
                return VerseReader(translation).ForEachInModule(visit);
            };
        });
        search(window, QStringLiteral("*love*"), window.optNone, false, 19);
        QCOMPARE(window.txtStatusTextR->text(), QStringLiteral("1 Matches 1 Verses"));
        QVERIFY(m_fx->readFile(QStringLiteral("Scratch/BibTmp_b_sample.txt")).startsWith("PSA 23:2 "));
        QVERIFY(!QFile::exists(m_fx->path(QStringLiteral("Scratch/BibTmp_b_second.txt"))));
        QVERIFY(m_fx->readFile(QStringLiteral("Scratch/b_sample.txt")).contains("shepherd"));
        // The next search takes the new choices.
        window.cmdSearch_Click();
        QCOMPARE(window.txtStatusTextR->text(), QStringLiteral("1 Matches 2 Verses"));
        QVERIFY(QFile::exists(m_fx->path(QStringLiteral("Scratch/BibTmp_b_second.txt"))));
    }

    void translationListFollowsTheNotifier()
    {
        AdvancedSearch &window = open();
        QCOMPARE(window.cboTranslation->count(), 1);
        addBible(QStringLiteral("Second Bible"), QStringLiteral("b_second.txt"), sampleModule(), 0);
        gBibles.SetEnabled(0, false);
        gNotifier->NotifyOfEvent(GlobalNotifier::TranslationsAvailListChanged);
        QCOMPARE(window.cboTranslation->count(), 1);
        QCOMPARE(window.cboTranslation->currentText(), QStringLiteral("Second Bible"));
        QCOMPARE(window.CurrentTranslation()->FileName, QStringLiteral("b_second.txt"));
    }

    void stopDuringTheScan()
    {
        AdvancedSearch &window = open();
        AdvancedSearch::setSourceFactory([](const Translation &) -> TermSearch::VerseSource {
            return [](const VerseReader::Visitor &visit) {
                for (int i = 1; i <= 1000; ++i) {
                    if (!visit(Verse{i, 43, 1, i, QStringLiteral("word")}))
                        return false;
                }
                return true;
            };
        });
        QTimer::singleShot(0, window.cmdStopSearch, [&] { window.cmdStopSearch->click(); });
        search(window, QStringLiteral("word"), window.optAnyTerms, false, 72);
        // Stopped at the first look at the events, after 64 lines; what was
        // found is shown and coloured.
        QCOMPARE(window.txtStatusTextR->text(), QStringLiteral("63 Matches 63 Verses"));
        QCOMPARE(summary(window), QStringList{QStringLiteral("63 word")});
        QVERIFY(!window.cmdStopSearch->isVisible());
        QVERIFY(window.cmdSearch->isEnabled());
        QCOMPARE(window.cboResults->palette().color(QPalette::Text), QColor(Qt::black));
        // The next search runs to the end; the colouring stops at the limit.
        search(window, QStringLiteral("word"), window.optAnyTerms, false, 72);
        QCOMPARE(window.txtStatusTextR->text(), QStringLiteral("500 Matches 1000 Verses"));
        QCOMPARE(window.cboResults->palette().color(QPalette::Text), QColor(Qt::red));
    }

    void stopDuringTheColouring()
    {
        gBibles.Clear();
        ModuleBuilder module;
        module.verse(1, 1, 1, QStringLiteral("ab ab ab ab ab ab"));
        addBible(QStringLiteral("Letters"), QStringLiteral("b_letters.txt"), module, 0);
        AdvancedSearch &window = open();
        QTimer::singleShot(0, window.cmdStopSearch, [&] { window.cmdStopSearch->click(); });
        search(window, QStringLiteral("a*b"), window.optAnyOrder, false, 72);
        const QString text = window.RT->toPlainText();
        const int first = int(text.indexOf(QStringLiteral("ab")));
        // One batch was coloured before the stop was seen, and it is all that is
        // counted; the second term was never reached.
        QCOMPARE(colourAt(window.RT, first), OleColor::toQColor(gBib1H1));
        QCOMPARE(colourAt(window.RT, first + 3), OleColor::toQColor(gBib1TC));
        QCOMPARE(summary(window), QStringList{QStringLiteral("1 a")});
        QCOMPARE(window.txtStatusTextR->text(), QStringLiteral("1 Matches 1 Verses"));
        QCOMPARE(window.MatchCount(), 1);
        QVERIFY(!window.cmdStopSearch->isVisible());
        QVERIFY(!window.ProgressBar1->isVisible());
    }

    void closingDuringASearch()
    {
        AdvancedSearch &window = open();
        QPointer<AdvancedSearch> alive(&window);
        bool stillOpenAfterClose = false;
        AdvancedSearch::setSourceFactory([&](const Translation &) -> TermSearch::VerseSource {
            return [&](const VerseReader::Visitor &visit) {
                window.close();
                stillOpenAfterClose = !alive.isNull() && window.isVisible();
                for (int i = 1; i <= 1000; ++i) {
                    if (!visit(Verse{i, 43, 1, i, QStringLiteral("word")}))
                        return false;
                }
                return true;
            };
        });
        search(window, QStringLiteral("word"), window.optAnyTerms, false, 72);
        QVERIFY(stillOpenAfterClose);
        QCOMPARE(window.txtStatusTextR->text(), QStringLiteral("63 Matches 63 Verses"));
        QTRY_VERIFY(alive.isNull());
        QVERIFY(!gAdvancedSearchOpen);
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void captionAndChangedFlag_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("savedTo");
        QTest::addColumn<bool>("searched");
        QTest::newRow("no") << int(MsgBoxResult::No) << QString() << true;
        QTest::newRow("cancel") << int(MsgBoxResult::Cancel) << QString() << false;
        QTest::newRow("yes, saved") << int(MsgBoxResult::Yes) << QStringLiteral("notes.rtf") << true;
        QTest::newRow("yes, not saved") << int(MsgBoxResult::Yes) << QString() << false;
    }
    void captionAndChangedFlag()
    {
        QFETCH(int, answer);
        QFETCH(QString, savedTo);
        QFETCH(bool, searched);
        AdvancedSearch &window = open();
        search(window, QStringLiteral("*"), window.optNone, false, 72);
        QVERIFY(!window.TextChanged());
        window.setWindowTitle(QStringLiteral("somewhere.rtf"));
        // Typing marks the document changed.
        window.RT->setFocus();
        QTest::keyClicks(window.RT, QStringLiteral("my note"));
        QVERIFY(window.TextChanged());

        desk().messageBoxAnswers.push_back(answer);
        const QString path = savedTo.isEmpty() ? QString() : m_fx->path(savedTo);
        desk().fileAnswers.push_back(path);
        search(window, QStringLiteral("*"), window.optAnyOrder, false, 43);
        QCOMPARE(desk().messageBoxes().size(), 1);
        QCOMPARE(desk().messageBoxes().first().title,
                 QStringLiteral("Save File ") + MiscHelpers::ProductTitle());
        QCOMPARE(window.RT->toPlainText().contains(QStringLiteral("my note")), !searched);
        QCOMPARE(window.TextChanged(), !searched);
        QCOMPARE(window.windowTitle(),
                 searched ? MiscHelpers::ProductTitle() : QStringLiteral("somewhere.rtf"));
        if (!path.isEmpty())
            QVERIFY(m_fx->readFile(savedTo).startsWith("{\\rtf"));
        // After a search, closing asks nothing.
        if (searched) {
            QPointer<AdvancedSearch> alive(&window);
            window.close();
            QTRY_VERIFY(alive.isNull());
            QCOMPARE(desk().messageBoxes().size(), 1);
        }
    }

    void closingWithChangesAsks_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closed");
        QTest::newRow("no") << int(MsgBoxResult::No) << true;
        QTest::newRow("cancel") << int(MsgBoxResult::Cancel) << false;
    }
    void closingWithChangesAsks()
    {
        QFETCH(int, answer);
        QFETCH(bool, closed);
        AdvancedSearch &window = open();
        QPointer<AdvancedSearch> alive(&window);
        QTest::keyClicks(window.RT, QStringLiteral("note"));
        desk().messageBoxAnswers.push_back(answer);
        window.close();
        QCOMPARE(desk().messageBoxes().size(), 1);
        QTRY_COMPARE(alive.isNull(), closed);
        QCOMPARE(gAdvancedSearchOpen, !closed);
        if (closed)
            QVERIFY(
                m_fx->settings().contains(QStringLiteral("Settings"), QStringLiteral("AdvancedSearchWidth")));
    }

    // The real reader over module files: a book missing from the module, and more
    // lines than 16 bits count.
    void realModules()
    {
        gBibles.Clear();
        ModuleBuilder module;
        for (const int book : {40, 42}) {
            for (int chapter = 1; chapter <= 200; ++chapter)
                module.chapter(book, chapter, 100, QStringLiteral(" word"));
        }
        addBible(QStringLiteral("Large"), QStringLiteral("b_large.txt"), module, 0);
        AdvancedSearch &window = open();
        window.setPollInterval(50);
        search(window, QStringLiteral("*"), window.optAllVerses, false, 69);
        QCOMPARE(window.txtStatusTextR->text(), QStringLiteral("40000 Verses"));
        search(window, QStringLiteral("*"), window.optAllVerses, false, 71);
        QCOMPARE(window.txtStatusTextR->text(), QStringLiteral("40000 Verses"));
        search(window, QStringLiteral("*"), window.optAllVerses, false, 41);
        QCOMPARE(window.txtStatusTextR->text(), QStringLiteral("0 Verses"));
        search(window, QStringLiteral("*"), window.optAllVerses, false, 42);
        QCOMPARE(window.txtStatusTextR->text(), QStringLiteral("20000 Verses"));
        QCOMPARE(window.RT->toPlainText().left(20), QStringLiteral("LUK 1:1 42.1.1 word\n"));
        QCOMPARE(window.ProgressBar1->maximum(), 40000);
        // The result and the range copy are written to the scratch folder.
        QVERIFY(m_fx->readFile(QStringLiteral("Scratch/BibTmp_b_large.txt"))
                    .startsWith("LUK 1:1 42.1.1 word\r\n"));
        QVERIFY(m_fx->readFile(QStringLiteral("Scratch/b_large.txt")).contains("42.1.1 word"));
    }

    // A scratch folder that cannot take the copy of the book range (read-only, or
    // on a full disk): the searches, which never read the copy back, give their
    // results, and the reader is told once a run, not at every search.
    void scratchFolderThatCannotBeWrittenIsToldOnce_data() { UnwritableFolder::addRows(); }
    void scratchFolderThatCannotBeWrittenIsToldOnce()
    {
        QFETCH(int, kind);
        gBibles.Clear();
        ModuleBuilder module;
        for (int chapter = 1; chapter <= 40; ++chapter)
            module.chapter(43, chapter, 20, QStringLiteral(" word"));
        addBible(QStringLiteral("Large"), QStringLiteral("b_large.txt"), module, 0);
        AdvancedSearch &window = open();
        QStringList statuses;
        QString told;
        {
            // The copy of John takes some 28 KB, the settings far less.
            UnwritableFolder scratch(gScratchFolder, UnwritableFolder::Kind(kind), 8192);
            if (!scratch.active())
                QSKIP("This system cannot make a folder read-only for this user");
            // John alone, then the Gospels: both ranges are copied.
            for (const int range : {43, 70}) {
                search(window, QStringLiteral("*"), window.optAllVerses, false, range);
                statuses << window.txtStatusTextR->text() + QLatin1Char(' ') +
                                window.RT->toPlainText().section(QLatin1Char('\n'), -2, -2);
            }
            told = desk().lastMessage();
            QVERIFY2(scratch.endsWithTheReason(told), qPrintable(told));
        }
        const QString result = QStringLiteral("800 Verses JOH 40:20 43.40.20 word");
        QCOMPARE(statuses, (QStringList{result, result}));
        QCOMPARE(desk().messageBoxes().size(), 1);
        QVERIFY2(told.startsWith(GetMsg(0, 265, gScratchFolder + QStringLiteral("b_large.txt"))),
                 qPrintable(told));
        QVERIFY(!told.contains(QStringLiteral("Report a Bug")));
        QVERIFY(!QFileInfo::exists(gScratchFolder + QStringLiteral("b_large.txt")));
    }
};

QTEST_MAIN(TestAdvancedSearch)
#include "tst_advancedsearch.moc"
