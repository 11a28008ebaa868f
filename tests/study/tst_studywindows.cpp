#include "common/ModuleBuilder.h"
#include "common/ReadOnlyFolder.h"
#include "common/TestFixture.h"
#include "core/CoreHooks.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "core/ProgressLog.h"
#include "core/TranslationHelpers.h"
#include "mainwindow/MainMenu.h"
#include "mainwindow/MenuTargets.h"
#include "platform/RichTextBox.h"
#include "platform/SettingsStore.h"
#include "study/Commentaries.h"
#include "study/Dictionary.h"
#include "study/MultiBib.h"
#include "study/frmNameDictionary.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QtTest>

namespace {
const QString CRLF = QStringLiteral("\r\n");

// A progress log that lets a test act where the real one lets events run.
class ActingLog : public ProgressLog
{
public:
    std::function<void()> onAdd;
    QString text;
    bool cancelled = false;
    void MsgShow(const QString &t, bool) override { text = t; }
    void MsgAddMessage(const QString &t, bool, bool) override
    {
        text += t;
        if (onAdd)
            onAdd();
    }
    void MsgDone() override {}
    void MsgHideIfOpen() override { text.clear(); }
    bool Cancelled() const override { return cancelled; }
    void SetCancelled(bool c) override { cancelled = c; }
};

void deleteClosedWindows()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct StudyCase
{
    MenuTargets::Target target;
    const char *prefix;
    bool *openFlag;
};
} // namespace

Q_DECLARE_METATYPE(MenuTargets::Target)

class TestStudyWindows : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    std::unique_ptr<ActingLog> m_log;
    std::unique_ptr<MainMenu> m_main;

    void installModules()
    {
        ModuleBuilder kjv;
        kjv.verse(1, 1, 1, QStringLiteral("In the beginning"))
            .verse(1, 1, 2, QStringLiteral("And the earth"))
            .verse(1, 2, 1, QStringLiteral("Thus the heavens"))
            .verse(43, 1, 1, QStringLiteral("In the beginning was the Word"));
        m_fx->writeFile(QStringLiteral("Modules/Bible/b_one.txt"), kjv.bytes(1252));
        ModuleBuilder other;
        other.verse(1, 1, 1, QStringLiteral("At first"))
            .verse(1, 1, 2, QStringLiteral("The land"))
            .verse(2, 1, 1, QStringLiteral("These are the names"));
        m_fx->writeFile(QStringLiteral("Modules/Bible/b_two.txt"), other.bytes(1252));
        gBibles.Add(QStringLiteral("First Bible"), QStringLiteral("b_one.txt"), true, 0);
        gBibles.Add(QStringLiteral("Second Bible"), QStringLiteral("b_two.txt"), true, 0);

        ModuleBuilder notes;
        notes.verse(1, 1, 1, QStringLiteral("[Creation]\u00E3God made it."));
        m_fx->writeFile(QStringLiteral("Modules/Commentary/c_notes.txt"), notes.bytes(1252));
        gCommentaries.Add(QStringLiteral("Notes"), QStringLiteral("c_notes.txt"), true, 0);

        m_fx->writeFile(QStringLiteral("Modules/Dictionary/d_one.txt"), "1\tAlpha\tfirst|see \xAF"
                                                                        "00002\r\n2\tBeta\tsecond, see \xAF"
                                                                        "00003\r\n"
                                                                        "3\tGamma\tthird, back to \xAF"
                                                                        "00001\r\n");
        m_fx->writeFile(QStringLiteral("Modules/Dictionary/d_two.txt"), "1\tOther\tword\r\n");
        gDictionaries.Add(QStringLiteral("Dictionary One"), QStringLiteral("d_one.txt"), true, 0);
        gDictionaries.Add(QStringLiteral("Dictionary Two"), QStringLiteral("d_two.txt"), true, 0);

        m_fx->writeFile(
            QStringLiteral("Modules/Name/n_names.txt"),
            "1\tAaron\thigh mountain\r\n2\tAbba\tfather\r\n3\tBenjamin\tson of the right hand\r\n");
        gNameDictionaries.Add(QStringLiteral("Names"), QStringLiteral("n_names.txt"), true, 0);
    }

    static QString setting(const QString &key)
    {
        return SettingsStore::instance().value(QStringLiteral("Settings"), key, QString());
    }

    QList<TestDesktop::Shown> boxes() { return m_fx->desk().messageBoxes(); }

    static StudyCase studyCase(MenuTargets::Target target)
    {
        switch (target) {
        case MenuTargets::MultiBib:
            return {target, "ScreenV1", &gMultiBibOpen};
        case MenuTargets::Commentaries:
            return {target, "ScreenCoMM", &gCommentariesOpen};
        case MenuTargets::Dictionary:
            return {target, "ScreenDict", &gDictionaryOpen};
        default:
            return {target, "ScreenN", &gNameDictionaryOpen};
        }
    }

    static void addTargets()
    {
        QTest::addColumn<MenuTargets::Target>("target");
        QTest::newRow("comparison") << MenuTargets::MultiBib;
        QTest::newRow("commentaries") << MenuTargets::Commentaries;
        QTest::newRow("dictionary") << MenuTargets::Dictionary;
        QTest::newRow("names") << MenuTargets::NameDictionary;
    }

    MultiBib &openComparison()
    {
        MultiBib *window = MultiBib::Open();
        Q_ASSERT(window);
        return *window;
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpWindowTest();
        m_log = std::make_unique<ActingLog>();
        SetProgressLogFactory([this]() -> ProgressLog & { return *m_log; });
        installModules();
        MultiBib::Register();
        Commentaries::Register();
        Dictionary::Register();
        frmNameDictionary::Register();
    }

    void cleanup()
    {
        for (MenuTargets::Target t : {MenuTargets::MultiBib, MenuTargets::Commentaries,
                                      MenuTargets::Dictionary, MenuTargets::NameDictionary})
            if (QWidget *w = MenuTargets::Loaded(t))
                delete w;
        m_main.reset();
        m_fx.reset();
        m_log.reset();
    }

    // --- Opening, raising, closing -----------------------------------------------------

    void opensAndRaises_data() { addTargets(); }
    void opensAndRaises()
    {
        QFETCH(MenuTargets::Target, target);
        const StudyCase study = studyCase(target);
        QWidget *window = MenuTargets::Get(target).instance();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QVERIFY(*study.openFlag);
        QCOMPARE(MenuTargets::Loaded(target), window);
        QVERIFY(!window->windowTitle().isEmpty());
        window->showMinimized();
        QWidget *again = MenuTargets::Get(target).instance();
        QCOMPARE(again, window);
        QVERIFY(!(again->windowState() & Qt::WindowMinimized));
        QVERIFY(again->isVisible());
        QVERIFY(boxes().isEmpty());
    }

    void closeSavesPositionAndUnloads_data() { addTargets(); }
    void closeSavesPositionAndUnloads()
    {
        QFETCH(MenuTargets::Target, target);
        const StudyCase study = studyCase(target);
        QWidget *window = MenuTargets::Get(target).instance();
        window->setGeometry(120, 110, 640, 420);
        QVERIFY(window->close());
        deleteClosedWindows();
        QVERIFY(!*study.openFlag);
        QCOMPARE(MenuTargets::Loaded(target), nullptr);
        QVERIFY(!setting(QLatin1String(study.prefix) + QStringLiteral("Width")).isEmpty());
        // The next opening loads a fresh window at the saved place.
        QWidget *fresh = MenuTargets::Get(target).instance();
        QVERIFY(fresh);
        QCOMPARE(fresh->width(), 640);
    }

    void exitOfTheMainWindowSavesPositions()
    {
        m_main = std::make_unique<MainMenu>();
        gMainForm = m_main.get();
        for (MenuTargets::Target t : {MenuTargets::MultiBib, MenuTargets::Commentaries,
                                      MenuTargets::Dictionary, MenuTargets::NameDictionary})
            QVERIFY(MenuTargets::Get(t).instance());
        // The View items are enabled once the windows are registered.
        QVERIFY(m_main->mWindowMultiBible->isEnabled());
        QVERIFY(m_main->mWindowNames->isEnabled());
        SettingsStore::instance().removeSection(QStringLiteral("Settings"));
        bool cancel = false;
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, m_main->Form_Unload(cancel));
        for (const char *prefix : {"ScreenV1", "ScreenCoMM", "ScreenDict", "ScreenN"})
            QVERIFY2(!setting(QLatin1String(prefix) + QStringLiteral("Height")).isEmpty(), prefix);
        gMainForm = nullptr;
    }

    void nothingInstalledSaysSoAndLeavesNoWindow_data()
    {
        QTest::addColumn<MenuTargets::Target>("target");
        QTest::addColumn<int>("message");
        QTest::addColumn<bool>("withAddress");
        QTest::addColumn<QString>("title");
        QTest::newRow("commentaries")
            << MenuTargets::Commentaries << 2 << false << QStringLiteral("No Commentary - Verbanox");
        QTest::newRow("dictionary") << MenuTargets::Dictionary << 3 << true << QString();
        QTest::newRow("names") << MenuTargets::NameDictionary << 1 << true << QString();
    }
    void nothingInstalledSaysSoAndLeavesNoWindow()
    {
        QFETCH(MenuTargets::Target, target);
        QFETCH(int, message);
        QFETCH(bool, withAddress);
        QFETCH(QString, title);
        gCommentaries.Clear();
        gDictionaries.Clear();
        gNameDictionaries.Clear();
        const StudyCase study = studyCase(target);
        QCOMPARE(MenuTargets::Get(target).instance(), nullptr);
        QCOMPARE(MenuTargets::Loaded(target), nullptr);
        QVERIFY(!*study.openFlag);
        QCOMPARE(boxes().size(), 1);
        QCOMPARE(boxes()[0].text,
                 GetMsg(0, message, withAddress ? MiscHelpers::WebSiteAddress() : QString()));
        QVERIFY(!boxes()[0].text.startsWith(QLatin1Char('S')));
        QCOMPARE(boxes()[0].style, MsgBoxStyle::Information);
        QCOMPARE(boxes()[0].title, title);
    }

    // --- Page layout ---------------------------------------------------------------------

    void pageLayoutWhenAskedForEveryWindow_data()
    {
        QTest::addColumn<MenuTargets::Target>("target");
        QTest::addColumn<bool>("everyWindow");
        for (const bool every : {true, false}) {
            const char *suffix = every ? ", every window" : ", not asked";
            QTest::addRow("comparison%s", suffix) << MenuTargets::MultiBib << every;
            QTest::addRow("commentaries%s", suffix) << MenuTargets::Commentaries << every;
            QTest::addRow("dictionary%s", suffix) << MenuTargets::Dictionary << every;
        }
    }
    void pageLayoutWhenAskedForEveryWindow()
    {
        QFETCH(MenuTargets::Target, target);
        QFETCH(bool, everyWindow);
        gApplyToAllForms = everyWindow;
        gFitToDesktop = false;
        gWidthPage = 190;
        gMarginLeft = 20;
        gMarginRight = 15;
        std::function<void()> show;
        QList<RichTextBox *> panes;
        if (target == MenuTargets::MultiBib) {
            MultiBib &window = openComparison();
            window.optChap->click();
            show = [&window] { window.cmdGo_Click(); };
            panes = {window.RT};
        } else if (target == MenuTargets::Commentaries) {
            Commentaries *window = Commentaries::Open();
            window->chkChap->click();
            show = [window] { window->cmdGo_Click(); };
            panes = {window->RTb, window->RTc};
        } else {
            Dictionary *window = Dictionary::Open();
            window->cboLookup_GotFocus();
            show = [window] { window->cboLookup_Click(); };
            panes = {window->RT};
        }
        // Settings changed after the opening do not reach a pane already open.
        gMarginLeft = 40;
        gMarginRight = 0;
        for (int round = 0; round < 2; ++round) {
            show();
            for (RichTextBox *pane : panes) {
                QCOMPARE(pane->RightMargin(), everyWindow ? 9922.5f : 0.0f);
                QVERIFY(pane->document()->blockCount() > 1);
                // Every paragraph of every text shown has the indent.
                for (QTextBlock block = pane->document()->begin(); block.isValid(); block = block.next()) {
                    pane->setSelStart(block.position());
                    QVERIFY2(qAbs(pane->SelIndent() - (everyWindow ? 1134.0f : 0.0f)) < 15,
                             qPrintable(QString::number(pane->SelIndent())));
                }
            }
        }
        QVERIFY(boxes().isEmpty());
    }

    // Each read-only pane keeps a caret that the arrow keys move; typing changes nothing.
    void readOnlyPanesKeepAKeyboardCaret_data()
    {
        QTest::addColumn<MenuTargets::Target>("target");
        QTest::addColumn<bool>("severalLines");
        QTest::newRow("comparison") << MenuTargets::MultiBib << true;
        QTest::newRow("commentaries") << MenuTargets::Commentaries << true;
        QTest::newRow("commentaries, Bible pane") << MenuTargets::Commentaries << false;
        QTest::newRow("dictionary") << MenuTargets::Dictionary << true;
        QTest::newRow("names") << MenuTargets::NameDictionary << false;
    }
    void readOnlyPanesKeepAKeyboardCaret()
    {
        QFETCH(MenuTargets::Target, target);
        QFETCH(bool, severalLines);
        const QString tag = QString::fromLatin1(QTest::currentDataTag());
        QAbstractScrollArea *pane = nullptr;
        if (target == MenuTargets::MultiBib) {
            MultiBib &window = openComparison();
            window.cmdGo_Click();
            pane = window.RT;
        } else if (target == MenuTargets::Commentaries) {
            Commentaries *window = Commentaries::Open();
            window->cmdGo_Click();
            pane = tag.endsWith(QLatin1String("Bible pane")) ? window->RTb : window->RTc;
        } else if (target == MenuTargets::Dictionary) {
            Dictionary *window = Dictionary::Open();
            window->cboLookup_GotFocus();
            window->cboLookup_Click();
            pane = window->RT;
        } else {
            frmNameDictionary *window = frmNameDictionary::Open();
            window->cboWord_Click();
            pane = window->Text1;
        }
        auto *rich = qobject_cast<QTextEdit *>(pane);
        auto *plain = qobject_cast<QPlainTextEdit *>(pane);
        const auto caret = [&] { return rich ? rich->textCursor() : plain->textCursor(); };
        const auto text = [&] { return rich ? rich->toPlainText() : plain->toPlainText(); };
        QTextCursor start = caret();
        start.setPosition(0);
        rich ? rich->setTextCursor(start) : plain->setTextCursor(start);
        const QString before = text();
        QVERIFY(before.size() > 1);
        QTest::keyClick(pane, Qt::Key_Right);
        QVERIFY(caret().position() > 0);
        QTest::keyClick(pane, Qt::Key_Down);
        QCOMPARE(caret().blockNumber(), severalLines ? 1 : 0);
        QTest::keyClicks(pane, QStringLiteral("xy"));
        QTest::keyClick(pane, Qt::Key_Backspace);
        QCOMPARE(text(), before);
    }

    // --- Comparison ---------------------------------------------------------------------

    void comparisonShowsPicksAndTypedNumbers()
    {
        MultiBib &window = openComparison();
        QCOMPARE(window.cboBook->currentText(), QStringLiteral("Genesis"));
        QCOMPARE(window.cboChap->count(), 2);
        // The window opens empty: the first pick or Refresh builds the comparison.
        QVERIFY(window.RT->Text().isEmpty());
        window.cmdGo_Click();
        QCOMPARE(window.RT->Text(), QStringLiteral("First Bible") + CRLF +
                                        QStringLiteral("GEN 1:1 In the beginning") + CRLF + CRLF + CRLF +
                                        QStringLiteral("Second Bible") + CRLF +
                                        QStringLiteral("GEN 1:1 At first") + CRLF);
        QCOMPARE(window.Panel1->text(), QStringLiteral("Ready"));
        // The length counts both characters of every line break.
        QCOMPARE(window.Panel2->text(), QStringLiteral("Length: 75 Bytes 2 Bibles"));
        QVERIFY(window.RT->isVisible());

        window.optChap->click();
        window.cboChap->setEditText(QStringLiteral("2"));
        QTest::keyClick(window.cboChap->lineEdit(), Qt::Key_Return);
        QCOMPARE(window.SelectedChapter(), 2);
        QCOMPARE(window.RT->Text(), QStringLiteral("First Bible") + CRLF +
                                        QStringLiteral("2:1 Thus the heavens") + CRLF + CRLF +
                                        QStringLiteral("Second Bible"));

        window.cboChap->setEditText(QStringLiteral("99999999999"));
        int enter = 13;
        window.cboChap_KeyDown(enter);
        QCOMPARE(enter, 0);
        QCOMPARE(window.RT->Text(),
                 QStringLiteral("First Bible") + CRLF + CRLF + QStringLiteral("Second Bible"));

        window.cboBook_Click(42); // John: the pick shows its first chapter
        QCOMPARE(window.RT->Text(), QStringLiteral("First Bible") + CRLF +
                                        QStringLiteral("1:1 In the beginning was the Word") + CRLF + CRLF +
                                        QStringLiteral("Second Bible"));
        QVERIFY(boxes().isEmpty());
    }

    void comparisonOfABookBibleZeroLacks()
    {
        MultiBib &window = openComparison();
        window.cboBook_Click(1); // Exodus: only the second Bible has it
        QCOMPARE(window.cboChap->count(), 0);
        QCOMPARE(window.cboVs->count(), 0);
        QCOMPARE(window.SelectedVerse(), 1);
        QCOMPARE(window.RT->Text(), QStringLiteral("First Bible") + CRLF + CRLF +
                                        QStringLiteral("Second Bible") + CRLF +
                                        QStringLiteral("EXO 1:1 These are the names") + CRLF);
    }

    void comparisonWholeVerseSelection()
    {
        MultiBib &window = openComparison();
        window.cmdGo_Click();
        QTextCursor caret = window.RT->textCursor();
        const QTextBlock line = window.RT->document()->findBlockByNumber(5); // GEN 1:1 At first
        caret.setPosition(line.position() + 3);
        window.RT->setTextCursor(caret);
        window.RT_Click();
        QCOMPARE(window.Panel1->text(), QStringLiteral("Second Bible"));
        QCOMPARE(window.RT->textCursor().selectedText(), QStringLiteral("GEN 1:1 At first"));
        QCOMPARE(window.Panel2->text(), QStringLiteral("16 Bytes"));
    }

    // A Bible cut short after its index was built (in Genesis 1:2): at the next
    // start its index is built anew and the reader is told. Its block says where
    // its text stops, as the reading pane does: after the verse cut, and for a
    // book after the cut that the file has no text for it.
    void comparisonOfABibleCutShort_data()
    {
        QTest::addColumn<int>("bookIndex");
        QTest::addColumn<int>("verseIndex"); // -1: the whole chapter
        QTest::addColumn<QString>("block");  // 254 and 252 stand for those messages
        QTest::newRow("a verse before the cut") << 0 << 0 << "\r\nGEN 1:1 At first\r\n";
        QTest::newRow("the verse cut") << 0 << 1 << "\r\nGEN 1:2 The \r\n254\r\n";
        QTest::newRow("the chapter cut") << 0 << -1 << "\r\n1:1 At first\r\n1:2 The \r\n254";
        QTest::newRow("a book after the cut") << 1 << 0 << "\r\n252\r\n";
    }
    void comparisonOfABibleCutShort()
    {
        QFETCH(int, bookIndex);
        QFETCH(int, verseIndex);
        QFETCH(QString, block);
        openComparison().cmdGo_Click();
        const QByteArray bytes = m_fx->readFile(QStringLiteral("Modules/Bible/b_two.txt"));
        m_fx->writeFile(QStringLiteral("Modules/Bible/b_two.txt"), bytes.left(bytes.indexOf("land")));
        MenuTargets::Loaded(MenuTargets::MultiBib)->close();
        deleteClosedWindows();
        for (qint32 i = 0; i < gBibles.Count(); ++i)
            gBibles.SetTag(i, nullptr);

        MultiBib &window = openComparison();
        if (verseIndex < 0)
            window.optChap_Click();
        window.cboBook_Click(bookIndex);
        if (verseIndex > 0)
            window.cboVs_Click(verseIndex);
        const QString module = gBibleFolder + QStringLiteral("b_two.txt");
        block.replace(QStringLiteral("254"), GetMsg(0, 254, module))
            .replace(QStringLiteral("252"), GetMsg(0, 252, module));
        const QString text = window.RT->Text();
        QCOMPARE(text.mid(text.indexOf(QStringLiteral("Second Bible"))),
                 QStringLiteral("Second Bible") + block);
        QCOMPARE(boxes().size(), 1);
        QVERIFY(boxes()[0].text.startsWith(GetMsg(0, 255, module)));
    }

    // An index folder that cannot take the indexes: the comparison and the
    // commentaries read every module with the index held in memory; the reader
    // is told once.
    void studyWindowsReadWhenTheIndexCannotBeStored()
    {
        ReadOnlyFolder index(gIndexFolder);
        if (!index.active())
            QSKIP("This system cannot make a folder read-only for this user");
        openComparison().cmdGo_Click();
        const QString compared = MultiBib::Open()->RT->Text();
        Commentaries *commentaries = Commentaries::Open();
        commentaries->cmdGo_Click();
        QCOMPARE(compared, QStringLiteral("First Bible") + CRLF + QStringLiteral("GEN 1:1 In the beginning") +
                               CRLF + CRLF + CRLF + QStringLiteral("Second Bible") + CRLF +
                               QStringLiteral("GEN 1:1 At first") + CRLF);
        QCOMPARE(commentaries->RTb->Text(), QStringLiteral("GEN 1:1 In the beginning"));
        QCOMPARE(commentaries->RTc->Text(),
                 QStringLiteral("Creation ") + CRLF + QStringLiteral("God made it."));
        QCOMPARE(boxes().size(), 1);
        QVERIFY2(boxes()[0].text.startsWith(GetMsg(0, 258, gIndexFolder + QStringLiteral("b_one.txt.INDEX"))),
                 qPrintable(boxes()[0].text));
        QVERIFY(ReadOnlyFolder::endsWithTheRefusal(boxes()[0].text));
    }

    // A module deleted while the program runs: its Bible is left out, the file
    // is named once as the data's fault, and the other Bibles still show.
    void comparisonModuleDeletedIsNamedAndLeftOut_data()
    {
        QTest::addColumn<int>("bookIndex");
        QTest::newRow("a book it had") << 0;
        QTest::newRow("a book it never had") << 42;
    }
    void comparisonModuleDeletedIsNamedAndLeftOut()
    {
        QFETCH(int, bookIndex);
        MultiBib &window = openComparison();
        window.cmdGo_Click();
        const QString module = m_fx->path(QStringLiteral("Modules/Bible/b_two.txt"));
        QVERIFY(QFile::remove(module));
        window.cboBook_Click(bookIndex);
        QCOMPARE(boxes().size(), 1);
        QCOMPARE(boxes()[0].text, GetMsg(0, 47, module));
        QCOMPARE(boxes()[0].style, int(MsgBoxStyle::Exclamation));
        QCOMPARE(boxes()[0].title, QString());
        QVERIFY(window.RT->Text().startsWith(QStringLiteral("First Bible")));
        QVERIFY(window.RT->Text().contains(QStringLiteral("In the beginning")));
        QVERIFY(!window.RT->Text().contains(QStringLiteral("Second Bible")));
        QCOMPARE(window.Panel1->text(), QStringLiteral("Ready"));
        QVERIFY(window.RT->isVisible());
        QCOMPARE(m_fx->desk().waitCursorDepth, 0);
    }

    void comparisonPicksDuringIndexPassAreQueued()
    {
        MultiBib &window = openComparison();
        gBibles.SetTag(1, nullptr); // in the list with its index, not in use: the pass reports it
        int reports = 0, nested = 0;
        m_log->onAdd = [&] {
            ++reports;
            if (reports > 1)
                return;
            // Three picks while the pass lets events run: one rebuild follows.
            window.cboVs_Click(1);
            window.cmdGo_Click();
            window.cmdGo_Click();
            nested += window.Building() ? 0 : 1;
        };
        window.cmdGo_Click();
        QCOMPARE(nested, 0);
        QCOMPARE(window.SelectedVerse(), 2);
        QVERIFY(window.RT->Text().contains(QStringLiteral("GEN 1:2 The land")));
        QVERIFY(!window.Building());
    }

    void comparisonClosedDuringIndexPass()
    {
        MultiBib &window = openComparison();
        QPointer<MultiBib> watched(&window);
        window.setGeometry(100, 100, 600, 400);
        gBibles.SetTag(1, nullptr);
        m_log->onAdd = [&] {
            if (watched && watched->isVisible()) {
                watched->close();
                watched->cmdGo_Click();
                // The worst the events let run here can do: deletions carried out at once.
                deleteClosedWindows();
                QVERIFY(watched);
            }
        };
        window.cmdGo_Click();
        m_log->onAdd = nullptr;
        deleteClosedWindows();
        QVERIFY(watched.isNull());
        QVERIFY(!gMultiBibOpen);
        QCOMPARE(setting(QStringLiteral("ScreenV1Width")).isEmpty(), false);
        QCOMPARE(MenuTargets::Loaded(MenuTargets::MultiBib), nullptr);
        // Opened again, it is a fresh window.
        QVERIFY(MultiBib::Open());
    }

    // --- Commentaries -------------------------------------------------------------------

    void commentaryShowsPassageAndNotes()
    {
        Commentaries *window = Commentaries::Open();
        QVERIFY(window);
        QCOMPARE(window->cboTrans->currentText(), QStringLiteral("First Bible"));
        QCOMPARE(window->cboComm->currentText(), QStringLiteral("Notes"));
        QVERIFY(window->RTb->Text().isEmpty());
        window->cmdGo_Click();
        QCOMPARE(window->RTb->Text(), QStringLiteral("GEN 1:1 In the beginning"));
        QCOMPARE(window->RTc->Text(), QStringLiteral("Creation ") + CRLF + QStringLiteral("God made it."));

        window->cboBook_Click(42);
        QCOMPARE(window->cboChap->count(), 1);
        window->chkChap->click();
        QVERIFY(window->cboVs->isHidden());
        window->cmdGo_Click();
        QCOMPARE(window->RTb->Text(), QStringLiteral(" JOH 1:1 In the beginning was the Word") + CRLF);
        QCOMPARE(window->RTc->Text(), QStringLiteral("There is no Commentary for this selection"));
        QVERIFY(boxes().isEmpty());
    }

    void commentaryFileDeletedIsNamed()
    {
        Commentaries *window = Commentaries::Open();
        window->cmdGo_Click();
        QVERIFY(QFile::remove(m_fx->path(QStringLiteral("Modules/Commentary/c_notes.txt"))));
        window->cmdGo_Click();
        // The commentary is named, not the Bible beside it.
        QCOMPARE(boxes().size(), 1);
        QCOMPARE(boxes()[0].text,
                 GetMsg(0, 47, m_fx->path(QStringLiteral("Modules/Commentary/c_notes.txt"))));
        QCOMPARE(window->RTb->Text(), QStringLiteral("GEN 1:1 In the beginning"));
        QVERIFY(window->RTc->Text().isEmpty());
        QVERIFY(window->RTb->isVisible());
        QCOMPARE(m_fx->desk().waitCursorDepth, 0);
    }

    void commentaryListsShowWholeNames_data()
    {
        QTest::addColumn<int>("width");
        QTest::newRow("opened at its usual size") << 0;
        QTest::newRow("as narrow as the reader had it") << 534;
        QTest::newRow("made narrower than its lists") << 200;
    }
    // The lists show the long names of Bibles and commentaries whole, inside the
    // window, and so do their labels.
    void commentaryListsShowWholeNames()
    {
        QFETCH(int, width);
        gBibles.Add(QStringLiteral("King James Version (1769)"), QStringLiteral("b_one.txt"), true, 0);
        gCommentaries.Add(QStringLiteral("Scofield Reference Notes (1917)"), QStringLiteral("c_notes.txt"),
                          true, 0);
        Commentaries *window = Commentaries::Open();
        QVERIFY(window);
        if (width > 0)
            window->resize(width, window->height());
        const QList<QComboBox *> lists{window->cboTrans, window->cboBook, window->cboChap, window->cboVs,
                                       window->cboComm};
        const QList<QLabel *> labels{window->lbl1, window->lbl2, window->lbl3, window->lbl4, window->lbl5};
        QCOMPARE(window->cboComm->itemText(1), QStringLiteral("Scofield Reference Notes (1917)"));
        for (qsizetype i = 0; i < lists.size(); ++i) {
            QComboBox *list = lists[i];
            // The edit field keeps two pixels each side of its text.
            const int shown = list->lineEdit()->width() - 4;
            for (int item = 0; item < list->count(); ++item)
                QVERIFY2(shown >= list->fontMetrics().horizontalAdvance(list->itemText(item)),
                         qPrintable(list->itemText(item)));
            QVERIFY(list->geometry().right() < window->width());
            QVERIFY(labels[i]->width() >= labels[i]->fontMetrics().horizontalAdvance(labels[i]->text()));
        }
    }

    // --- Dictionary ---------------------------------------------------------------------

    void dictionaryWalksReferences()
    {
        Dictionary *window = Dictionary::Open();
        QVERIFY(window);
        QCOMPARE(window->CurrentDictionary(), 255);
        QCOMPARE(window->cboLookup->count(), 0);
        window->cboLookup_GotFocus();
        QCOMPARE(window->CurrentDictionary(), 0);
        QCOMPARE(window->cboLookup->count(), 3);
        QCOMPARE(window->cboLookup->currentText(), QStringLiteral("Alpha"));
        QVERIFY(window->lbl1->text().isEmpty());
        QVERIFY(window->RT->Text().isEmpty());

        window->cboLookup_Click();
        QCOMPARE(window->RT->Text(), QStringLiteral("Alpha") + CRLF + QStringLiteral("first") + CRLF +
                                         QStringLiteral("see \u00AF00002"));
        for (const char *next : {"Beta", "Gamma", "Alpha"}) {
            QCOMPARE(window->cboAlt->currentText(), QLatin1String(next));
            window->cboAlt_Click();
            QVERIFY(window->RT->Text().startsWith(QLatin1String(next) + CRLF));
        }
        window->RT->setSelStart(1);
        QCOMPARE(window->RT->currentCharFormat().fontPointSize(), double(gBib1Fontsize + 2));

        window->cboTranslation_Click(1);
        QCOMPARE(window->cboLookup->count(), 1);
        window->cboLookup_GotFocus();
        QCOMPARE(window->CurrentDictionary(), 1);
        QVERIFY(boxes().isEmpty());
    }

    void dictionaryThatCannotBeReadIsReportedOnce()
    {
        Dictionary *window = Dictionary::Open();
        QVERIFY(QFile::remove(m_fx->path(QStringLiteral("Modules/Dictionary/d_one.txt"))));
        window->cboLookup_GotFocus();
        window->cboLookup_GotFocus();
        QCOMPARE(boxes().size(), 1);
        QCOMPARE(boxes()[0].text, GetMsg(0, 47, m_fx->path(QStringLiteral("Modules/Dictionary/d_one.txt"))));
        QVERIFY(window->lbl1->text().isEmpty());
        // Another dictionary still loads.
        window->cboTranslation_Click(1);
        QCOMPARE(window->cboLookup->count(), 1);
        QCOMPARE(window->CurrentDictionary(), 1);
    }

    void dictionaryThatFailsToLoadLeavesTheWayBack()
    {
        Dictionary *window = Dictionary::Open();
        window->cboLookup_GotFocus();
        QCOMPARE(window->cboLookup->count(), 3);
        QVERIFY(QFile::remove(m_fx->path(QStringLiteral("Modules/Dictionary/d_two.txt"))));
        window->cboTranslation_Click(1);
        QCOMPARE(boxes().size(), 1);
        QCOMPARE(window->cboLookup->count(), 0);
        // The list no longer holds the first dictionary's words: choosing it loads them again.
        window->cboTranslation_Click(0);
        QCOMPARE(window->CurrentDictionary(), 0);
        QCOMPARE(window->cboLookup->count(), 3);
        window->cboLookup_Click();
        QVERIFY(window->RT->Text().startsWith(QStringLiteral("Alpha")));
        QCOMPARE(boxes().size(), 1);
    }

    // --- Names --------------------------------------------------------------------------

    void namesLookUpAndJump()
    {
        frmNameDictionary *window = frmNameDictionary::Open();
        QVERIFY(window);
        QCOMPARE(window->cboWord->count(), 3);
        QCOMPARE(window->cboWord->currentText(), QStringLiteral("Aaron"));
        QCOMPARE(window->cboWhichNames->currentText(), QStringLiteral("Names"));
        QVERIFY(window->Text1->toPlainText().isEmpty());
        window->cboWord->setEditText(QStringLiteral("ben"));
        QTest::keyClick(window->cboWord->lineEdit(), Qt::Key_Return);
        QCOMPARE(window->cboWord->currentText(), QStringLiteral("Benjamin"));
        QCOMPARE(window->Text1->toPlainText(), QStringLiteral("son of the right hand"));
        window->cboWord->setEditText(QStringLiteral("zz"));
        int key = 13;
        window->cboWord_KeyPress(key);
        QCOMPARE(key, 13);
        QCOMPARE(window->Text1->toPlainText(), QStringLiteral("son of the right hand"));
    }

    void namesFileDeletedIsNamed()
    {
        frmNameDictionary *window = frmNameDictionary::Open();
        const QString file = m_fx->path(QStringLiteral("Modules/Name/n_names.txt"));
        QVERIFY(QFile::remove(file));
        window->cboWord->setCurrentIndex(1);
        window->cboWord_Click();
        QCOMPARE(boxes().size(), 1);
        QCOMPARE(boxes()[0].text, GetMsg(0, 47, file));
        QCOMPARE(boxes()[0].style, int(MsgBoxStyle::Exclamation));
        QVERIFY(window->isVisible());
        QVERIFY(window->Text1->toPlainText().isEmpty());
        QCOMPARE(window->cboWord->count(), 3);
    }
};

QTEST_MAIN(TestStudyWindows)
#include "tst_studywindows.moc"
