#include "common/FileSizeLimit.h"
#include "common/ReadOnlyFolder.h"
#include "common/TestFixture.h"
#include "core/BibleBookNames.h"
#include "core/GlobalNotifier.h"
#include "core/GlobalVars.h"
#include "core/MainStartup.h"
#include "core/MsgSupport.h"
#include "platform/ChmViewer.h"
#include "platform/CodePage.h"
#include "platform/HelpService.h"
#include "platform/SettingsStore.h"
#include "preferences/LanguageE.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

namespace {
// The desktop style where a single click activates an item of a list.
class SingleClickStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == QStyle::SH_ItemView_ActivateItemOnSingleClick)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};
} // namespace

class TestLanguageEditor : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    QStringList m_events;

    TestDesktop &desk() { return m_fx->desk(); }
    QStringList sysDefsFiles() const { return QDir(gSysDefsFolder).entryList(QDir::Files, QDir::Name); }
    QStringList fileLines(const QString &name) const
    {
        const QString text = CodePage::decode(m_fx->readFile(QStringLiteral("SysDefs/") + name), 1252);
        QStringList lines = text.split(QStringLiteral("\r\n"));
        if (lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }
    QStringList languages(const LanguageE &form) const
    {
        QStringList texts;
        for (int i = 0; i < form.LSel->count(); ++i)
            texts.append(form.LSel->item(i)->text());
        return texts;
    }
    // Choosing from code runs the list's handler, as a click does.
    void choose(LanguageE &form, const QString &language)
    {
        form.LSel->setCurrentItem(form.LSel->findItems(language, Qt::MatchExactly).value(0));
    }
    int inputBoxesShown() const
    {
        return int(
            std::count_if(m_fx->desk().shown.cbegin(), m_fx->desk().shown.cend(),
                          [](const TestDesktop::Shown &s) { return s.kind == QLatin1String("inputbox"); }));
    }
    QString name(const LanguageE &form, int row, int column) const
    {
        return form.LV->topLevelItem(row)->text(column);
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpWindowTest();
        gLanguage = QStringLiteral("ENGLISH");
        MsgSupport::ReloadAllMessages();
        m_events.clear();
        connect(gNotifier, &GlobalNotifier::Notify, this, [this](const QString &e) { m_events.append(e); });
    }
    void cleanup() { m_fx.reset(); }

    void loadsLanguagesAndReferenceNames()
    {
        LanguageE form;
        QCOMPARE(languages(form), (QStringList{"CREATE NEW LANGUAGE", "ENGLISH", "SPANISH"}));
        QCOMPARE(form.LV->topLevelItemCount(), 72);
        QCOMPARE(name(form, 0, 1), QStringLiteral("Genesis"));
        QCOMPARE(name(form, 71, 0), QStringLiteral("72"));
        QCOMPARE(form.windowTitle(), GetMsg(1, 13, QStringLiteral("Verbanox")));
        QCOMPARE(form.cDefault->text(), GetMsg(1, 161));
        QVERIFY(form.BookFile().isEmpty());
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    // Entries 67-72 of a book-name file name the search's book ranges (the
    // Law ... the whole Bible), whatever the language: the range box lists them
    // by number, so any other book there makes a range search the wrong books.
    void shippedFilesNameTheBookRanges_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("english") << QStringLiteral("books_ENGLISH.txt");
        QTest::newRow("spanish") << QStringLiteral("books_SPANISH.txt");
        QTest::newRow("reference") << QStringLiteral("ref.txt");
    }
    void shippedFilesNameTheBookRanges()
    {
        QFETCH(QString, file);
        const QStringList active = fileLines(QStringLiteral("Books.txt"));
        const QStringList lines = fileLines(file);
        QCOMPARE(lines.size(), 72);
        for (int row = 66; row < 72; ++row) {
            QCOMPARE(lines.at(row).section(QLatin1Char('\t'), 0, 1),
                     active.at(row).section(QLatin1Char('\t'), 0, 1));
            QVERIFY(!lines.at(row).section(QLatin1Char('\t'), 2).isEmpty());
        }
        if (file != QStringLiteral("books_SPANISH.txt"))
            QCOMPARE(lines.mid(66), active.mid(66));
    }

    void creatingFrench()
    {
        desk().inputAnswers = {QStringLiteral("french")};
        {
            LanguageE form;
            choose(form, LanguageE::CreateNewLanguage);
            QCOMPARE(form.BookFile(), QStringLiteral("books_FRENCH.txt"));
            QCOMPARE(desk().lastMessage(), GetMsg(0, 34, QStringLiteral("books_FRENCH.txt")));
            QCOMPARE(languages(form), (QStringList{"CREATE NEW LANGUAGE", "ENGLISH", "FRENCH", "SPANISH"}));
            QCOMPARE(form.lbl->text(), GetMsg(1, 191, QStringLiteral("books_FRENCH.txt")));
        }
        const QStringList lines = fileLines(QStringLiteral("books_FRENCH.txt"));
        QCOMPARE(lines.size(), 72);
        QCOMPARE(lines.first(), QStringLiteral("1\tShort Name.\tDouble Click to Edit."));
        QCOMPARE(lines.last(), QStringLiteral("72\tShort Name.\tDouble Click to Edit."));
        QCOMPARE(m_events, QStringList{GlobalNotifier::InternationalChanged});
        LanguageE reopened;
        QCOMPARE(languages(reopened), (QStringList{"CREATE NEW LANGUAGE", "ENGLISH", "FRENCH", "SPANISH"}));
    }

    // A language file an older editor named BOOKS_<LANG>.txt is named as it is
    // on disk, and Save rewrites it: no second file beside it.
    void olderBookFileKeepsItsName()
    {
        const QString file = QStringLiteral("BOOKS_GERMAN.txt");
        m_fx->writeFile(QStringLiteral("SysDefs/") + file, m_fx->readFile(QStringLiteral("SysDefs/ref.txt")));
        const QStringList before = sysDefsFiles();
        LanguageE form;
        choose(form, QStringLiteral("GERMAN"));
        QCOMPARE(form.BookFile(), file);
        desk().messageBoxAnswers = {MsgBoxResult::Yes};
        form.cSave_Click();
        QCOMPARE(desk().lastMessage(), GetMsg(0, 34, file));
        QCOMPARE(form.lbl->text(), GetMsg(1, 191, file));
        QCOMPARE(sysDefsFiles(), before);
    }

    // Under a desktop style where one click also activates an entry, a click
    // still asks once; clicking the chosen entry again asks again.
    void oneClickAsksForANewLanguageOnce()
    {
        SingleClickStyle style;
        LanguageE form;
        form.LSel->setStyle(&style);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QListWidgetItem *create =
            form.LSel->findItems(LanguageE::CreateNewLanguage, Qt::MatchExactly).value(0);
        const QPoint at = form.LSel->visualItemRect(create).center();
        QTest::mouseClick(form.LSel->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(inputBoxesShown(), 1);
        QVERIFY(form.BookFile().isEmpty());
        desk().inputAnswers = {QStringLiteral("french")};
        QTest::mouseClick(form.LSel->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(inputBoxesShown(), 2);
        QCOMPARE(form.BookFile(), QStringLiteral("books_FRENCH.txt"));
    }

    // Walking the list with the arrow keys loads each language as it is reached.
    void arrowKeysLoadTheLanguage()
    {
        LanguageE form;
        choose(form, QStringLiteral("ENGLISH"));
        QCOMPARE(name(form, 0, 2), QStringLiteral("Genesis"));
        form.LSel->setFocus();
        QTest::keyClick(form.LSel, Qt::Key_Down);
        QCOMPARE(form.BookFile(), QStringLiteral("books_SPANISH.txt"));
        QCOMPARE(name(form, 0, 2), QStringLiteral("G\u00E9nesis"));
        QTest::keyClick(form.LSel, Qt::Key_Up);
        QCOMPARE(form.BookFile(), QStringLiteral("books_ENGLISH.txt"));
        // Enter on the chosen language adds nothing.
        QTest::keyClick(form.LSel, Qt::Key_Return);
        QCOMPARE(inputBoxesShown(), 0);
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void refusedLanguageNames_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("message");
        QTest::addColumn<QString>("argument");
        QTest::newRow("digit") << "FR2" << 37 << "2";
        QTest::newRow("accent") << "FRÉ" << 37 << "É";
        QTest::newRow("blank") << "NEW GREEK" << 37 << " ";
        QTest::newRow("exists, other case") << "spanish" << 38 << "SPANISH";
        QTest::newRow("cancelled") << QString() << 0 << QString();
    }
    void refusedLanguageNames()
    {
        QFETCH(QString, typed);
        QFETCH(int, message);
        QFETCH(QString, argument);
        if (!typed.isNull())
            desk().inputAnswers = {typed};
        const QStringList before = sysDefsFiles();
        LanguageE form;
        choose(form, LanguageE::CreateNewLanguage);
        QVERIFY(form.BookFile().isEmpty());
        QCOMPARE(sysDefsFiles(), before);
        if (message == 0) {
            QVERIFY(desk().messageBoxes().isEmpty());
            return;
        }
        QCOMPARE(desk().lastMessage(), GetMsg(0, message, argument));
        form.cSave_Click();
        QCOMPARE(desk().lastMessage(), GetMsg(0, 31));
    }

    void saveWritesTheLanguageFileInPlace()
    {
        LanguageE form;
        choose(form, QStringLiteral("SPANISH"));
        QCOMPARE(name(form, 1, 2), QStringLiteral("Éxodo"));
        QCOMPARE(name(form, 1, 3), QStringLiteral("Éxo"));
        form.LV->setCurrentItem(form.LV->topLevelItem(1));
        desk().inputAnswers = {QStringLiteral("Éxodo\tsegundo\r\nlibro"), std::nullopt};
        form.LV_DblClick();
        QVERIFY(form.Modified());
        QCOMPARE(name(form, 1, 2), QStringLiteral("Éxodo segundo  libro"));
        QCOMPARE(name(form, 1, 3), QStringLiteral("Éxo"));
        desk().messageBoxAnswers = {MsgBoxResult::Yes};
        form.cSave_Click();
        QCOMPARE(desk().messageBoxes().first().text, GetMsg(0, 33, QStringLiteral("books_SPANISH.txt")));
        QVERIFY(!form.Modified());
        // The existing "books_SPANISH.txt" is rewritten; no second file beside it.
        QVERIFY(!sysDefsFiles().contains(QStringLiteral("BOOKS_SPANISH.txt")));
        const QStringList lines = fileLines(QStringLiteral("books_SPANISH.txt"));
        QCOMPARE(lines.size(), 72);
        QCOMPARE(lines[1], QStringLiteral("2\tÉxo\tÉxodo segundo  libro"));
        QCOMPARE(lines[0], QStringLiteral("1\tGén\tGénesis"));
        QCOMPARE(m_events, QStringList{GlobalNotifier::InternationalChanged});
    }

    // Names outside code page 1252 are written as UTF-8 with a byte-order mark,
    // read back by the editor and by the program's book names.
    void namesOutsideTheAnsiCodePageAreKept()
    {
        const QString greek = QStringLiteral("\u0393\u03AD\u03BD\u03B5\u03C3\u03B9\u03C2");
        LanguageE form;
        choose(form, QStringLiteral("ENGLISH"));
        form.LV->setCurrentItem(form.LV->topLevelItem(0));
        desk().inputAnswers = {greek, QStringLiteral("\u0393\u03AD\u03BD")};
        form.LV_DblClick();
        desk().messageBoxAnswers = {MsgBoxResult::Yes};
        form.cSave_Click();
        QCOMPARE(desk().lastMessage(), GetMsg(0, 34, QStringLiteral("books_ENGLISH.txt")));
        const QByteArray saved = m_fx->readFile(QStringLiteral("SysDefs/books_ENGLISH.txt"));
        QVERIFY(saved.startsWith("\xEF\xBB\xBF"
                                 "1\t"));
        QCOMPARE(QString::fromUtf8(saved.mid(3)).split(QStringLiteral("\r\n")).value(0),
                 QStringLiteral("1\t\u0393\u03AD\u03BD\t") + greek);
        QCOMPARE(QString::fromUtf8(saved.mid(3)).split(QStringLiteral("\r\n")).value(1),
                 QStringLiteral("2\tExo\tExodus"));

        form.cDefault_Click();
        QCOMPARE(BookNames().FullName(1), greek);
        LanguageE again;
        choose(again, QStringLiteral("ENGLISH"));
        QCOMPARE(name(again, 0, 2), greek);
    }

    // Closing with edits, the reader chooses to save them first; when that save
    // does not happen, the window stays open with the edits.
    void closingKeepsTheEditsWhenTheirSaveFails_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<QList<int>>("answers"); // close unsaved?, then replace the file? where asked
        QTest::addColumn<int>("toldId");         // the last message, about this file or folder
        QTest::addColumn<QString>("toldAbout");
        const int no = MsgBoxResult::No, yes = MsgBoxResult::Yes;
        QTest::newRow("disk full") << QStringLiteral("full") << QList<int>{no, yes} << 289
                                   << QStringLiteral("books_ENGLISH.txt");
        QTest::newRow("overwrite declined") << QString() << QList<int>{no, no} << 0 << QString();
        QTest::newRow("read-only program folder")
            << QStringLiteral("readonly") << QList<int>{no} << 295 << QString();
    }
    void closingKeepsTheEditsWhenTheirSaveFails()
    {
        QFETCH(QString, obstacle);
        QFETCH(QList<int>, answers);
        QFETCH(int, toldId);
        QFETCH(QString, toldAbout);
        const QByteArray before = m_fx->readFile(QStringLiteral("SysDefs/books_ENGLISH.txt"));
        QPointer<LanguageE> form = new LanguageE;
        form->show();
        choose(*form, QStringLiteral("ENGLISH"));
        form->LV->setCurrentItem(form->LV->topLevelItem(0));
        desk().inputAnswers = {QStringLiteral("Genesys")};
        form->LV_DblClick();
        std::optional<ReadOnlyFolder> readOnly;
        if (obstacle == QLatin1String("readonly")) {
            readOnly.emplace(gSysDefsFolder);
            if (!readOnly->active())
                QSKIP("This system cannot make a folder read-only for this user");
        }
        const qsizetype shownBefore = desk().messageBoxes().size();
        desk().messageBoxAnswers.assign(answers.cbegin(), answers.cend());
        {
            const FileSizeLimit limit(obstacle == QLatin1String("full") ? 64 : RLIM_INFINITY);
            QVERIFY(!form->close());
        }
        QVERIFY(form && form->isVisible());
        QVERIFY(form->Modified());
        QCOMPARE(name(*form, 0, 2), QStringLiteral("Genesys"));
        QCOMPARE(m_fx->readFile(QStringLiteral("SysDefs/books_ENGLISH.txt")), before);
        if (toldId != 0) {
            // Each question answered, then the one message of why the save failed.
            QCOMPARE(desk().messageBoxes().size() - shownBefore, answers.size() + 1);
            const QString told = desk().lastMessage();
            QVERIFY2(told.startsWith(GetMsg(0, toldId, gSysDefsFolder + toldAbout)), qPrintable(told));
        }
        if (readOnly)
            QVERIFY2(ReadOnlyFolder::endsWithTheRefusal(desk().lastMessage()),
                     qPrintable(desk().lastMessage()));
        // Escape asks the same; the file is not replaced then.
        desk().messageBoxAnswers.assign(answers.cbegin(), answers.cend());
        desk().messageBoxAnswers.back() = MsgBoxResult::No;
        QTest::keyClick(form, Qt::Key_Escape);
        QVERIFY(form && form->isVisible());
        desk().messageBoxAnswers = {MsgBoxResult::Yes};
        QVERIFY(form->close());
        QTRY_VERIFY(!form);
    }

    // A line without Tabs is told and shown whole, so that Save keeps its text.
    void lineWithoutTabsIsReportedAndKept()
    {
        QStringList lines = fileLines(QStringLiteral("books_SPANISH.txt"));
        lines[4] = QStringLiteral("Deuteronomio");
        m_fx->writeFile(QStringLiteral("SysDefs/books_SPANISH.txt"),
                        CodePage::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"), 1252));
        LanguageE form;
        choose(form, QStringLiteral("SPANISH"));
        QCOMPARE(desk().messageBoxes().size(), 1);
        const QString path = gSysDefsFolder + QStringLiteral("books_SPANISH.txt");
        QVERIFY(desk().lastMessage().startsWith(GetMsg(0, 277, path)));
        QVERIFY(desk().lastMessage().endsWith(QStringLiteral("5: Deuteronomio")));
        QCOMPARE(name(form, 4, 2), QStringLiteral("Deuteronomio"));
        QCOMPARE(name(form, 5, 2), QStringLiteral("Josu\u00E9"));
        desk().messageBoxAnswers = {MsgBoxResult::Yes};
        form.cSave_Click();
        QCOMPARE(fileLines(QStringLiteral("books_SPANISH.txt")).value(4),
                 QStringLiteral("5\t\tDeuteronomio"));
    }

    void saveAnsweredNoWritesNothing()
    {
        LanguageE form;
        choose(form, QStringLiteral("ENGLISH"));
        const QByteArray before = m_fx->readFile(QStringLiteral("SysDefs/books_ENGLISH.txt"));
        desk().messageBoxAnswers = {MsgBoxResult::No};
        form.cSave_Click();
        QCOMPARE(m_fx->readFile(QStringLiteral("SysDefs/books_ENGLISH.txt")), before);
        QVERIFY(m_events.isEmpty());
    }

    void shortFileClearsTheRest()
    {
        m_fx->writeFile(QStringLiteral("SysDefs/books_SHORT.txt"), "1\tA\tAaa\r\n2\tB\tBbb\r\n3\tC\r\n");
        LanguageE form;
        choose(form, QStringLiteral("SPANISH"));
        choose(form, QStringLiteral("SHORT"));
        QCOMPARE(name(form, 1, 2), QStringLiteral("Bbb"));
        QCOMPARE(name(form, 2, 3), QStringLiteral("C"));
        QCOMPARE(name(form, 2, 2), QString());
        QCOMPARE(name(form, 40, 2), QString());
        QCOMPARE(name(form, 40, 3), QString());
    }

    void makeDefaultSwitchesTheLanguage()
    {
        LanguageE form;
        choose(form, QStringLiteral("SPANISH"));
        form.cDefault_Click();
        // "Books.txt" is replaced in place; no "BOOKS.TXT" appears beside it.
        QVERIFY(!sysDefsFiles().contains(QStringLiteral("BOOKS.TXT")));
        QCOMPARE(fileLines(QStringLiteral("Books.txt")), fileLines(QStringLiteral("books_SPANISH.txt")));
        QCOMPARE(gLanguage, QStringLiteral("SPANISH"));
        QCOMPARE(SettingsStore::instance().value(QStringLiteral("Settings"), QStringLiteral("L"), {}),
                 QStringLiteral("SPANISH_"));
        QCOMPARE(BookNames().FullName(19), QStringLiteral("Salmos"));
        QCOMPARE(GetMsg(1, 95), QStringLiteral("&Opciones..."));
        QCOMPARE(desk().lastMessage(), GetMsg(0, 32));
        QVERIFY(desk().lastMessage().startsWith(QStringLiteral("Los nombres")));
        QCOMPARE(form.cSave->text(), QStringLiteral("&Guardar"));
    }

    // The language buttons grow with their captions: the Spanish ones are longer.
    void captionsFitTheirButtonsInEveryLanguage()
    {
        LanguageE form;
        form.show();
        choose(form, QStringLiteral("SPANISH"));
        form.cDefault_Click();
        QCoreApplication::sendPostedEvents();
        form.layout()->activate();
        QCoreApplication::sendPostedEvents();
        for (const QPushButton *button : {form.cDefault, form.cSave}) {
            QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
        }
    }

    void makeDefaultWithoutCatalogFallsBackToEnglish()
    {
        m_fx->writeFile(QStringLiteral("SysDefs/books_LATIN.txt"), "1\tGen\tLiber Genesis\r\n");
        gLanguage = QStringLiteral("SPANISH");
        LanguageE form;
        choose(form, QStringLiteral("LATIN"));
        form.cDefault_Click();
        QCOMPARE(gLanguage, QStringLiteral("ENGLISH"));
        QCOMPARE(SettingsStore::instance().value(QStringLiteral("Settings"), QStringLiteral("L"), {}),
                 QStringLiteral("ENGLISH_"));
        const QList<TestDesktop::Shown> boxes = desk().messageBoxes();
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[0].text, GetMsg(0, 101, QStringLiteral("LATIN")));
        QCOMPARE(boxes[1].text, GetMsg(0, 32));
        QCOMPARE(fileLines(QStringLiteral("Books.txt")).value(0), QStringLiteral("1\tGen\tLiber Genesis"));
        QCOMPARE(fileLines(QStringLiteral("Books.txt")).size(), 72);
    }

    void disasterRecovery()
    {
        m_fx->writeFile(QStringLiteral("SysDefs/Books.txt"),
                        m_fx->readFile(QStringLiteral("SysDefs/books_SPANISH.txt")));
        const QByteArray spanish = m_fx->readFile(QStringLiteral("SysDefs/Books.txt"));
        LanguageE form;
        desk().messageBoxAnswers = {MsgBoxResult::No};
        form.cDisaster_Click();
        QCOMPARE(desk().lastMessage(), GetMsg(0, 29));
        QCOMPARE(m_fx->readFile(QStringLiteral("SysDefs/Books.txt")), spanish);
        QVERIFY(m_events.isEmpty());
        desk().messageBoxAnswers = {MsgBoxResult::Yes};
        form.cDisaster_Click();
        QCOMPARE(m_fx->readFile(QStringLiteral("SysDefs/Books.txt")),
                 m_fx->readFile(QStringLiteral("SysDefs/ref.txt")));
        QCOMPARE(desk().lastMessage(), GetMsg(0, 30));
        QCOMPARE(m_events, QStringList{GlobalNotifier::InternationalChanged});
        QVERIFY(!sysDefsFiles().contains(QStringLiteral("BOOKS.TXT")));
    }

    void unreadableFilesAreNamed()
    {
        QFile::remove(m_fx->path(QStringLiteral("SysDefs/ref.txt")));
        LanguageE form;
        QCOMPARE(desk().messageBoxes().size(), 1);
        QVERIFY(desk().lastMessage().startsWith(GetMsg(0, 288, gSysDefsFolder + QStringLiteral("ref.txt"))));
        QCOMPARE(form.cSave->text(), GetMsg(1, 162));
        QCOMPARE(name(form, 0, 1), QString());
        // A language file gone since the list was read is not loaded, so Save cannot blank it.
        QFile::remove(m_fx->path(QStringLiteral("SysDefs/books_SPANISH.txt")));
        choose(form, QStringLiteral("SPANISH"));
        QVERIFY(desk().lastMessage().startsWith(
            GetMsg(0, 288, gSysDefsFolder + QStringLiteral("books_SPANISH.txt"))));
        QVERIFY(form.BookFile().isEmpty());
    }

    // A folder where the active names belong: no user can write the file. A
    // read-only program folder: the reader is told the folder, not a file.
    void unwritableActiveNamesChangeNothing_data()
    {
        QTest::addColumn<bool>("readOnlyFolder");
        QTest::addColumn<int>("toldId");
        QTest::addColumn<QString>("toldAbout");
        QTest::newRow("a folder in the file's place") << false << 289 << QStringLiteral("BOOKS.TXT");
        QTest::newRow("read-only program folder") << true << 295 << QString();
    }
    void unwritableActiveNamesChangeNothing()
    {
        QFETCH(bool, readOnlyFolder);
        QFETCH(int, toldId);
        QFETCH(QString, toldAbout);
        std::optional<ReadOnlyFolder> readOnly;
        if (readOnlyFolder) {
            readOnly.emplace(gSysDefsFolder);
            if (!readOnly->active())
                QSKIP("This system cannot make a folder read-only for this user");
        } else {
            QFile::remove(m_fx->path(QStringLiteral("SysDefs/Books.txt")));
            QVERIFY(QDir().mkpath(m_fx->path(QStringLiteral("SysDefs/BOOKS.TXT"))));
        }
        const QString told = GetMsg(0, toldId, gSysDefsFolder + toldAbout);
        LanguageE form;
        choose(form, QStringLiteral("SPANISH"));
        form.cDefault_Click();
        QVERIFY2(desk().lastMessage().startsWith(told), qPrintable(desk().lastMessage()));
        QCOMPARE(gLanguage, QStringLiteral("ENGLISH"));
        QVERIFY(m_events.isEmpty());
        desk().messageBoxAnswers = {MsgBoxResult::Yes};
        form.cDisaster_Click();
        QVERIFY2(desk().lastMessage().startsWith(told), qPrintable(desk().lastMessage()));
        QVERIFY(m_events.isEmpty());
    }

    void editingNeedsALanguageAndClosingAsks()
    {
        auto *form = new LanguageE;
        form->LV->setCurrentItem(form->LV->topLevelItem(0));
        form->LV_DblClick();
        QCOMPARE(desk().lastMessage(), GetMsg(0, 39));
        choose(*form, QStringLiteral("ENGLISH"));
        desk().inputAnswers = {QStringLiteral("Genesys")};
        form->LV_DblClick();
        // Choosing another language with unsaved edits asks first; No keeps them.
        desk().messageBoxAnswers = {MsgBoxResult::No};
        choose(*form, QStringLiteral("SPANISH"));
        QCOMPARE(desk().lastMessage(), GetMsg(0, 36));
        QCOMPARE(form->BookFile(), QStringLiteral("books_ENGLISH.txt"));
        // Closing with unsaved edits: No saves them (after the overwrite question).
        desk().messageBoxAnswers = {MsgBoxResult::No, MsgBoxResult::Yes};
        form->close();
        QCOMPARE(fileLines(QStringLiteral("books_ENGLISH.txt")).value(0), QStringLiteral("1\tGen\tGenesys"));
    }

    void helpOpensTheProgramHelpInItsViewer()
    {
        gHelpFile = m_fx->copyBuiltFile(QStringLiteral("Help.chm"));
        MainStartup::SetUpHelp();
        LanguageE form;
        form.Command4->click();
        QVERIFY(desk().openedFiles.isEmpty());
        QVERIFY(desk().messageBoxes().isEmpty());
        QVERIFY(HelpService::viewer() && HelpService::viewer()->isVisible());
        QCOMPARE(HelpService::viewer()->fileName(), gHelpFile);
        HelpService::viewer()->close();
    }
};

QTEST_MAIN(TestLanguageEditor)
#include "tst_languageeditor.moc"
