#include "common/TestFixture.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "platform/CodePage.h"
#include "platform/RichTextBox.h"
#include "platform/Twips.h"
#include "search/NotesDocument.h"
#include "search/WorkspaceFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextList>
#include <QUrl>
#include <QtTest>

#include <sys/stat.h>

using Answers = QList<int>;

namespace {
constexpr int Yes = MsgBoxResult::Yes;
constexpr int No = MsgBoxResult::No;
constexpr int Cancel = MsgBoxResult::Cancel;

QString msg(int id, const QString &argument = QString())
{
    return GetMsg(0, id, argument);
}
} // namespace

class TestWorkspaceFiles : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    std::unique_ptr<RichTextBox> m_rt;
    std::unique_ptr<NotesDocument> m_document;
    std::unique_ptr<WorkspaceFiles> m_files;

    TestDesktop &desk() { return m_fx->desk(); }
    QString file(const QString &name) const { return m_fx->path(QStringLiteral("notes/") + name); }

    void type(const QString &text)
    {
        m_rt->setSelStart(m_rt->endPosition());
        m_rt->setSelText(text);
        QVERIFY(m_rt->document()->isModified());
    }
    void answer(const Answers &answers)
    {
        for (int a : answers)
            desk().messageBoxAnswers.push_back(a);
    }
    void chooseFiles(const QStringList &names)
    {
        for (const QString &name : names)
            desk().fileAnswers.push_back(name);
    }
    QStringList dialogs() const
    {
        QStringList kinds;
        for (const TestDesktop::Shown &shown : m_fx->desk().shown)
            kinds << (shown.kind == QLatin1String("msgbox") ? shown.text.section(QLatin1Char('\r'), 0, 0)
                                                            : shown.kind);
        return kinds;
    }
    // A saved file with the given text, opened, so that the document has a name.
    void openSaved(const QString &name, const QString &text)
    {
        m_rt->setText(text);
        chooseFiles({file(name)});
        QVERIFY(m_files->SaveAs());
        chooseFiles({file(name)});
        QVERIFY(m_files->Open());
        desk().shown.clear();
    }

private slots:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
        MsgSupport::ReloadAllMessages();
        QVERIFY(QDir().mkpath(m_fx->path(QStringLiteral("notes"))));
        m_rt = std::make_unique<RichTextBox>();
        m_document = std::make_unique<NotesDocument>(m_rt.get());
        m_files = std::make_unique<WorkspaceFiles>(*m_document);
    }
    void cleanup()
    {
        m_files.reset();
        m_document.reset();
        m_rt.reset();
        m_fx.reset();
    }

    // New and Open ask before unsaved notes go; Yes saves first, and a cancelled or
    // failed save keeps the notes.
    void replaceAsks_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("replaced");
        QTest::addColumn<bool>("savedFirst");
        const QStringList none;
        const QString saved = QStringLiteral("saved.rtf");
        const QString other = QStringLiteral("other.txt");
        for (bool open : {false, true}) {
            const char *c = open ? "Open" : "New";
            const QStringList fileToOpen = open ? QStringList{other} : none;
            QTest::addRow("%s unchanged", c) << open << false << Answers{} << fileToOpen << true << false;
            QTest::addRow("%s No", c) << open << true << Answers{No} << fileToOpen << true << false;
            QTest::addRow("%s Cancel", c) << open << true << Answers{Cancel} << none << false << false;
            QTest::addRow("%s Yes, save", c)
                << open << true << Answers{Yes} << (QStringList{saved} + fileToOpen) << true << true;
            QTest::addRow("%s Yes, dialog cancelled", c)
                << open << true << Answers{Yes} << QStringList{QString()} << false << false;
        }
        QTest::addRow("Open dialog cancelled")
            << true << false << Answers{} << QStringList{QString()} << false << false;
    }
    void replaceAsks()
    {
        QFETCH(bool, open);
        QFETCH(bool, changed);
        QFETCH(Answers, answers);
        QFETCH(QStringList, files);
        QFETCH(bool, replaced);
        QFETCH(bool, savedFirst);
        m_fx->writeFile(QStringLiteral("notes/other.txt"), "Other file");
        m_rt->setText(QStringLiteral("My notes"));
        m_rt->document()->setModified(false);
        if (changed)
            type(QStringLiteral(" and more"));
        const QString before = m_rt->Text();
        answer(answers);
        for (const QString &name : files)
            chooseFiles({name.isEmpty() ? QString() : file(name)});

        QCOMPARE(open ? m_files->Open() : m_files->New(), replaced);

        QCOMPARE(dialogs().count(msg(51)), changed ? 1 : 0);
        QCOMPARE(QFileInfo::exists(file(QStringLiteral("saved.rtf"))), savedFirst);
        if (savedFirst)
            QVERIFY(m_fx->readFile(QStringLiteral("notes/saved.rtf")).contains("and more"));
        if (!replaced) {
            QCOMPARE(m_rt->Text(), before);
            QCOMPARE(m_rt->document()->isModified(), changed);
            QVERIFY(m_document->FileName().isEmpty());
            QVERIFY(!dialogs().contains(QStringLiteral("open")) || files == QStringList{QString()});
        } else {
            QCOMPARE(m_rt->Text(), open ? QStringLiteral("Other file") : QString());
            QVERIFY(!m_rt->document()->isModified());
            QCOMPARE(m_document->FileName(), open ? file(QStringLiteral("other.txt")) : QString());
            QCOMPARE(m_document->Caption(),
                     open ? file(QStringLiteral("other.txt")) + QStringLiteral(" - Verbanox")
                          : QStringLiteral("Untitled - Verbanox"));
        }
    }

    // Save writes to the document's own RTF file; a document without one, or read
    // from a text file, goes through Save As.
    void saveTarget_data()
    {
        QTest::addColumn<QString>("history");
        QTest::addColumn<bool>("asksName");
        QTest::newRow("never saved") << "" << true;
        QTest::newRow("opened RTF") << "rtf" << false;
        QTest::newRow("opened text") << "txt" << true;
        QTest::newRow("after New") << "new" << true;
        QTest::newRow("after a search") << "search" << true;
    }
    void saveTarget()
    {
        QFETCH(QString, history);
        QFETCH(bool, asksName);
        m_fx->writeFile(QStringLiteral("notes/plain.txt"), "Plain words");
        if (history == QLatin1String("txt")) {
            chooseFiles({file(QStringLiteral("plain.txt"))});
            QVERIFY(m_files->Open());
        } else if (!history.isEmpty()) {
            openSaved(QStringLiteral("old.rtf"), QStringLiteral("Old notes"));
        }
        if (history == QLatin1String("new"))
            QVERIFY(m_files->New());
        if (history == QLatin1String("search")) {
            auto *result = new QTextDocument;
            result->setPlainText(QStringLiteral("Gen 1:1 In the beginning"));
            m_document->ShowResult(result, true);
        }
        desk().shown.clear();
        type(QStringLiteral(" typed"));
        const QByteArray plainBefore = m_fx->readFile(QStringLiteral("notes/plain.txt"));
        chooseFiles({file(QStringLiteral("named.rtf"))});

        QVERIFY(m_files->Save());

        QCOMPARE(dialogs().contains(QStringLiteral("save")), asksName);
        const QString target = asksName ? QStringLiteral("named.rtf") : QStringLiteral("old.rtf");
        QCOMPARE(m_document->FileName(), file(target));
        QCOMPARE(m_document->Caption(), file(target));
        QVERIFY(m_fx->readFile(QStringLiteral("notes/") + target).startsWith("{\\rtf1"));
        QVERIFY(m_fx->readFile(QStringLiteral("notes/") + target).contains("typed"));
        QCOMPARE(m_fx->readFile(QStringLiteral("notes/plain.txt")), plainBefore);
        QVERIFY(!m_rt->document()->isModified());
        // Saved once, the document is saved again to the same file without a dialog.
        desk().shown.clear();
        type(QStringLiteral(" again"));
        QVERIFY(m_files->Save());
        QVERIFY(dialogs().isEmpty());
        QVERIFY(m_fx->readFile(QStringLiteral("notes/") + target).contains("again"));
    }

    // Save As over an existing file asks; No asks for another name, Cancel and a
    // cancelled dialog save nothing.
    void saveAsExisting_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<QString>("savedAs");
        QTest::newRow("new name") << QStringList{"fresh.rtf"} << Answers{} << "fresh.rtf";
        QTest::newRow("suffix added") << QStringList{"fresh"} << Answers{} << "fresh.rtf";
        QTest::newRow("replace: Yes") << QStringList{"old.rtf"} << Answers{Yes} << "old.rtf";
        QTest::newRow("replace: No, other name")
            << QStringList{"old.rtf", "fresh.rtf"} << Answers{No} << "fresh.rtf";
        QTest::newRow("replace: Cancel") << QStringList{"old.rtf"} << Answers{Cancel} << "";
        QTest::newRow("dialog cancelled") << QStringList{""} << Answers{} << "";
    }
    void saveAsExisting()
    {
        QFETCH(QStringList, names);
        QFETCH(Answers, answers);
        QFETCH(QString, savedAs);
        m_fx->writeFile(QStringLiteral("notes/old.rtf"), "{\\rtf1 old}");
        type(QStringLiteral("New notes"));
        for (const QString &name : names)
            chooseFiles({name.isEmpty() ? QString() : file(name)});
        answer(answers);

        QCOMPARE(m_files->SaveAs(), !savedAs.isEmpty());

        QCOMPARE(dialogs().count(msg(45)), answers.size());
        QCOMPARE(m_fx->readFile(QStringLiteral("notes/old.rtf")).contains("New notes"),
                 savedAs == QLatin1String("old.rtf"));
        QCOMPARE(m_document->FileName(), savedAs.isEmpty() ? QString() : file(savedAs));
        QCOMPARE(m_rt->document()->isModified(), savedAs.isEmpty());
        // Nothing went wrong: no error box, nothing saved under an empty name.
        QCOMPARE(dialogs().filter(QStringLiteral("error")).size(), 0);
        QCOMPARE(QDir(m_fx->path(QStringLiteral("notes"))).entryList(QDir::Files).size(),
                 savedAs == QLatin1String("fresh.rtf") ? 2 : 1);
    }

    // A save that cannot be written leaves the old file whole, says so and keeps the
    // notes unsaved.
    void failedSaveKeepsOldFile_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("read-only folder") << "readonly";
        QTest::newRow("no room for the temporary file's name") << "longname";
    }
    void failedSaveKeepsOldFile()
    {
        QFETCH(QString, how);
        const QString folder = m_fx->path(QStringLiteral("notes/locked"));
        QVERIFY(QDir().mkpath(folder));
        const QString name = folder + QLatin1Char('/') +
                             (how == QLatin1String("longname") ? QString(250, QLatin1Char('n')) + ".rtf"
                                                               : QStringLiteral("kept.rtf"));
        {
            QFile old(name);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("{\\rtf1 the old notes}");
        }
        type(QStringLiteral("New notes"));
        chooseFiles({name});
        answer({Yes});
        if (how == QLatin1String("readonly")) {
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
            QFile probe(folder + QStringLiteral("/probe"));
            if (probe.open(QIODevice::WriteOnly)) {
                probe.remove();
                QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
                QSKIP("This user may write into read-only folders");
            }
        }

        const bool saved = m_files->SaveAs();
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QVERIFY(!saved);
        QFile old(name);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("{\\rtf1 the old notes}"));
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 1);
        QVERIFY(desk().lastMessage().startsWith(msg(52, QDir::toNativeSeparators(name))));
        QVERIFY(m_rt->document()->isModified());
        QVERIFY(m_document->FileName().isEmpty());
        // Closing now asks, and a failed save cancels the close.
        chooseFiles({name});
        answer({Yes});
        QCOMPARE(m_files->AskToSave(), WorkspaceFiles::Cancelled);
    }

    void askToSave_data()
    {
        QTest::addColumn<int>("reply");
        QTest::addColumn<QString>("saveName");
        QTest::addColumn<int>("result");
        QTest::newRow("Yes, saved") << Yes << "closing.rtf" << WorkspaceFiles::Saved;
        QTest::newRow("Yes, dialog cancelled") << Yes << "" << WorkspaceFiles::Cancelled;
        QTest::newRow("No") << No << "" << WorkspaceFiles::Discard;
        QTest::newRow("Cancel") << Cancel << "" << WorkspaceFiles::Cancelled;
    }
    void askToSave()
    {
        QFETCH(int, reply);
        QFETCH(QString, saveName);
        QFETCH(int, result);
        type(QStringLiteral("Unsaved"));
        answer({reply});
        chooseFiles({saveName.isEmpty() ? QString() : file(saveName)});
        QCOMPARE(m_files->AskToSave(), result);
        const TestDesktop::Shown question = desk().messageBoxes().first();
        QCOMPARE(question.text, msg(51));
        QCOMPARE(question.title, QStringLiteral("Save File Verbanox"));
        QCOMPARE(question.style, 35);
        QCOMPARE(m_rt->document()->isModified(), result != WorkspaceFiles::Saved);
    }

    // Whatever replaces the document sets the file Save writes to and the caption
    // in the same step, and the new document starts unchanged.
    void everyReplacementSetsItsSaveTarget_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("target");  // in notes/; empty: Save asks for a name
        QTest::addColumn<QString>("caption"); // "@" stands for the folder of the files
        QTest::newRow("new") << QStringList{"open rtf", "new"} << ""
                             << "Untitled - Verbanox";
        QTest::newRow("open RTF") << QStringList{"open rtf"} << "old.rtf"
                                  << "@old.rtf - Verbanox";
        QTest::newRow("open text") << QStringList{"open txt"} << ""
                                   << "@plain.txt - Verbanox";
        QTest::newRow("bookmark") << QStringList{"bookmark"} << "mark.rtf"
                                  << "@mark.rtf - Verbanox";
        QTest::newRow("result after a bookmark") << QStringList{"bookmark", "result"} << ""
                                                 << "Verbanox";
        QTest::newRow("bookmark renamed") << QStringList{"bookmark", "rename mark"} << "renamed.rtf"
                                          << "@renamed.rtf - Verbanox";
        QTest::newRow("another file renamed") << QStringList{"bookmark", "rename old"} << "mark.rtf"
                                              << "@mark.rtf - Verbanox";
        QTest::newRow("saved, then renamed") << QStringList{"open rtf", "save", "rename old"} << "renamed.rtf"
                                             << "@renamed.rtf";
        // Integrity Check > All: the notes' file is not saved over with nothing.
        QTest::newRow("emptied") << QStringList{"open rtf", "empty"} << ""
                                 << "Untitled - Verbanox";
    }
    void everyReplacementSetsItsSaveTarget()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, target);
        QFETCH(QString, caption);
        m_fx->writeFile(QStringLiteral("notes/old.rtf"), "{\\rtf1 old}");
        m_fx->writeFile(QStringLiteral("notes/mark.rtf"), "{\\rtf1 mark}");
        m_fx->writeFile(QStringLiteral("notes/plain.txt"), "plain");
        QSignalSpy captions(m_document.get(), &NotesDocument::captionChanged);
        for (const QString &step : steps) {
            // A rename leaves the changed flag as it was; everything else clears it.
            if (!step.startsWith(QLatin1String("rename")))
                type(QStringLiteral(" typed"));
            if (step.startsWith(QLatin1String("open")))
                QVERIFY(m_document->ShowFile(
                    file(step.endsWith(QLatin1String("rtf")) ? "old.rtf" : "plain.txt"),
                    m_fx->readFile(step.endsWith(QLatin1String("rtf")) ? "notes/old.rtf"
                                                                       : "notes/plain.txt")));
            else if (step == QLatin1String("new"))
                m_document->ShowNew();
            else if (step == QLatin1String("bookmark"))
                QVERIFY(
                    m_document->ShowFile(file(QStringLiteral("mark.rtf")), m_fx->readFile("notes/mark.rtf")));
            else if (step == QLatin1String("result"))
                m_document->ShowResult(new QTextDocument, true);
            else if (step.startsWith(QLatin1String("rename")))
                m_document->FileRenamed(file(step.section(QLatin1Char(' '), 1) + QStringLiteral(".rtf")),
                                        file(QStringLiteral("renamed.rtf")));
            else if (step == QLatin1String("save"))
                m_document->Saved(m_document->FileName(), m_fx->readFile("notes/old.rtf"));
            else
                m_document->Empty(QTextCharFormat());
        }
        const QString path = target.isEmpty() ? QString() : file(target);
        QCOMPARE(m_document->SavesToFile() ? m_document->FileName() : QString(), path);
        QCOMPARE(m_document->Caption(), QString(caption).replace(QLatin1Char('@'), file(QString())));
        QCOMPARE(captions.last().first().toString(), m_document->Caption());
        QVERIFY(!m_document->Changed());
    }

    // Plain text: a byte order mark or valid UTF-8 is UTF-8, anything else 1252;
    // it is shown in the configured colours and size.
    void openText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        const QString mixed = QStringLiteral(
            "\u1F10\u03BD \u05D1\u05E8\u05D0\u05E9\u05D9\u05EA caf\u00E9 \u2014 \u201Cok\u201D");
        QTest::newRow("UTF-8") << mixed.toUtf8() << mixed;
        QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF") + mixed.toUtf8() << mixed;
        QTest::newRow("1252") << QByteArray("caf\xE9 \x97 \x93ok\x94 \x80")
                              << QStringLiteral("caf\u00E9 \u2014 \u201Cok\u201D \u20AC");
        QTest::newRow("1252 that starts like UTF-8")
            << QByteArray("\xC3\xA9t\xE9") << QStringLiteral("\u00C3\u00A9t\u00E9");
        QTest::newRow("CR LF lines") << QByteArray("one\r\ntwo\r\n") << QStringLiteral("one\r\ntwo\r\n");
    }
    void openText()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        gBib1TC = 0x000080;
        gBib1BC = 0xE0FFFF;
        gBib1Fontsize = 15;
        m_fx->writeFile(QStringLiteral("notes/text.txt"), bytes);
        chooseFiles({file(QStringLiteral("text.txt"))});
        QVERIFY(m_files->Open());
        QCOMPARE(m_rt->Text(), text);
        QVERIFY(!m_rt->document()->isModified());
        QVERIFY(desk().messageBoxes().isEmpty());
        QTextCursor cursor(m_rt->document());
        cursor.setPosition(1);
        QCOMPARE(cursor.charFormat().foreground().color(), QColor(0x80, 0, 0));
        QCOMPARE(cursor.charFormat().fontPointSize(), 15.0);
        QCOMPARE(m_rt->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xE0));
    }

    // A missing or damaged file is named in a message; the program goes on, and a
    // damaged RTF file shows what could be read.
    void openProblems_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // empty: no file
        QTest::addColumn<int>("message");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QString>("text");
        QTest::newRow("missing") << QByteArray() << 47 << false << "Kept";
        QTest::newRow("cut off") << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\b Bold} and more")
                                 << 48 << true << "Bold and more";
        QTest::newRow("nested too deep")
            << QByteArray("{\\rtf1 Top") + QByteArray(2000, '{') + "x" + QByteArray(2000, '}') + "}" << 48
            << true << "Top";
        QTest::newRow("whole") << QByteArray("{\\rtf1 Fine\\par}") << 0 << true << "Fine";
    }
    void openProblems()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, message);
        QFETCH(bool, opened);
        QFETCH(QString, text);
        m_rt->setText(QStringLiteral("Kept"));
        if (!bytes.isEmpty())
            m_fx->writeFile(QStringLiteral("notes/doc.rtf"), bytes);
        chooseFiles({file(QStringLiteral("doc.rtf"))});
        QCOMPARE(m_files->Open(), opened);
        QCOMPARE(m_rt->Text(), text);
        if (message == 0) {
            QVERIFY(desk().messageBoxes().isEmpty());
        } else {
            QCOMPARE(desk().messageBoxes().size(), 1);
            QCOMPARE(desk().lastMessage(),
                     msg(message, QDir::toNativeSeparators(file(QStringLiteral("doc.rtf")))));
        }
    }

    // A name that is no regular file is told for what it is, and nothing is read:
    // a named pipe is not opened at all (reading it would wait for a writer).
    void openWhatIsNoRegularFile_data()
    {
        QTest::addColumn<QString>("kind"); // doc.rtf is made a "fifo", a "folder", or a link to a device
        QTest::addColumn<QString>("told");
        QTest::newRow("named pipe") << "fifo" << QStringLiteral("a named pipe (FIFO)");
        QTest::newRow("folder") << "folder" << QStringLiteral("a folder");
        QTest::newRow("link to a device") << "/dev/null" << QStringLiteral("a character device");
    }
    void openWhatIsNoRegularFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, told);
        const QString name = file(QStringLiteral("doc.rtf"));
        if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(name).constData(), 0600), 0);
        else if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(name));
        else
            QVERIFY(QFile::link(kind, name));
        m_rt->setText(QStringLiteral("Kept"));
        chooseFiles({name});
        QVERIFY(!m_files->Open());
        QCOMPARE(m_rt->Text(), QStringLiteral("Kept"));
        QCOMPARE(desk().messageBoxes().size(), 1);
        QCOMPARE(desk().lastMessage(),
                 msg(249, told) + QStringLiteral("\r\n\r\n") + QDir::toNativeSeparators(name));
    }

    void damagedFileIsNotSavedOver_data()
    {
        QTest::addColumn<bool>("bookmark");
        QTest::newRow("File > Open") << false;
        QTest::newRow("a bookmark's Go to") << true;
    }
    // A damaged file shows what could be read and says so; Save then asks for a
    // name rather than writing the part over the whole.
    void damagedFileIsNotSavedOver()
    {
        QFETCH(bool, bookmark);
        const QByteArray cutOff = "{\\rtf1\\ansi{\\b Bold} and more";
        m_fx->writeFile(QStringLiteral("notes/doc.rtf"), cutOff);
        const QString name = file(QStringLiteral("doc.rtf"));
        if (bookmark) {
            m_files->ShowRead(name, cutOff);
        } else {
            chooseFiles({name});
            QVERIFY(m_files->Open());
        }
        QCOMPARE(desk().lastMessage(), msg(48, QDir::toNativeSeparators(name)));
        QCOMPARE(m_document->Caption(), name + QStringLiteral(" - Verbanox"));
        type(QStringLiteral(" typed"));
        chooseFiles({QString()});
        QVERIFY(!m_files->Save());
        QCOMPARE(desk().shown.last().kind, QStringLiteral("save"));
        QCOMPARE(m_fx->readFile(QStringLiteral("notes/doc.rtf")), cutOff);
    }

    void fileChangedOnDisk_data()
    {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<QString>("written"); // the file the notes went to; empty: none
        QTest::newRow("written by another program, Yes") << "other" << Answers{Yes} << "notes.rtf";
        QTest::newRow("written by another program, No") << "other" << Answers{No} << "elsewhere.rtf";
        QTest::newRow("written by another program, Cancel") << "other" << Answers{Cancel} << "";
        QTest::newRow("written again with the same bytes") << "same" << Answers{} << "notes.rtf";
        QTest::newRow("deleted") << "deleted" << Answers{} << "notes.rtf";
    }
    // A file written by someone else since it was opened or saved here is not
    // saved over without asking; Yes replaces it, No saves under another name.
    void fileChangedOnDisk()
    {
        QFETCH(QString, meanwhile);
        QFETCH(Answers, answers);
        QFETCH(QString, written);
        openSaved(QStringLiteral("notes.rtf"), QStringLiteral("My notes"));
        const QString path = file(QStringLiteral("notes.rtf"));
        const QByteArray mine = m_fx->readFile(QStringLiteral("notes/notes.rtf"));
        const QByteArray theirs = "{\\rtf1 Written by another copy}";
        // A later time of change, as a second writer gives it.
        const auto rewrite = [&](const QByteArray &bytes) {
            m_fx->writeFile(QStringLiteral("notes/notes.rtf"), bytes);
            QFile touched(path);
            QVERIFY(touched.open(QIODevice::ReadWrite));
            QVERIFY(touched.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                        QFileDevice::FileModificationTime));
        };
        if (meanwhile == QLatin1String("other"))
            rewrite(theirs);
        else if (meanwhile == QLatin1String("same"))
            rewrite(mine);
        else
            QVERIFY(QFile::remove(path));
        type(QStringLiteral(" typed"));
        answer(answers);
        chooseFiles({file(QStringLiteral("elsewhere.rtf"))});

        QCOMPARE(m_files->Save(), !written.isEmpty());

        QCOMPARE(dialogs().count(msg(260, QDir::toNativeSeparators(path)).section(QLatin1Char('\r'), 0, 0)),
                 answers.size());
        if (!answers.isEmpty())
            QCOMPARE(desk().messageBoxes().first().style,
                     MsgBoxStyle::YesNoCancel | MsgBoxStyle::Exclamation | MsgBoxStyle::DefaultButton2);
        if (meanwhile == QLatin1String("other") && written != QLatin1String("notes.rtf"))
            QCOMPARE(m_fx->readFile(QStringLiteral("notes/notes.rtf")), theirs);
        if (!written.isEmpty()) {
            QVERIFY(m_fx->readFile(QStringLiteral("notes/") + written).contains("typed"));
            QCOMPARE(m_document->FileName(), file(written));
            // Saved now, the file is the notes' own again: no question next time.
            desk().shown.clear();
            type(QStringLiteral(" again"));
            QVERIFY(m_files->Save());
            QVERIFY(desk().shown.isEmpty());
        }
    }

    // A formatted note comes back from its file as it was written.
    void formattedRoundTrip()
    {
        QTextDocument *document = m_rt->document();
        QTextCursor cursor(document);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        QTextCharFormat italic;
        italic.setFontItalic(true);
        QTextCharFormat underline;
        underline.setFontUnderline(true);
        QTextCharFormat red;
        red.setForeground(QColor(200, 0, 0));
        QTextCharFormat big;
        big.setFontPointSize(20);
        big.setFontFamilies({QStringLiteral("DejaVu Serif")});
        QTextCharFormat hebrewBold = bold;
        hebrewBold.setFontPointSize(16);
        cursor.insertText(QStringLiteral("Bold"), bold);
        cursor.insertText(QStringLiteral(" italic"), italic);
        cursor.insertText(QStringLiteral(" underlined"), underline);
        cursor.insertText(QStringLiteral(" red"), red);
        cursor.insertText(QStringLiteral(" big"), big);
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        cursor.insertBlock(centred, QTextCharFormat());
        cursor.insertText(QString::fromUtf8("Ἐν ἀρχῇ ἦν ὁ λόγος"));
        QTextBlockFormat indented;
        indented.setLeftMargin(500 / Twips::perPixelX());
        indented.setAlignment(Qt::AlignRight);
        cursor.insertBlock(indented, QTextCharFormat());
        cursor.insertText(QString::fromUtf8("בראשית ברא"), hebrewBold);
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        cursor.createList(QTextListFormat::ListDisc);
        cursor.insertText(QStringLiteral("first point"));
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("second point"));
        chooseFiles({file(QStringLiteral("formatted.rtf")), file(QStringLiteral("formatted.rtf"))});
        QVERIFY(m_files->SaveAs());
        m_rt->setText(QStringLiteral("something else"));
        m_rt->document()->setModified(false);

        QVERIFY(m_files->Open());

        QCOMPARE(m_rt->Text(), QString::fromUtf8("Bold italic underlined red big\r\nἘν ἀρχῇ ἦν ὁ λόγος\r\n"
                                                 "בראשית ברא\r\nfirst point\r\nsecond point"));
        const auto formatOf = [this](const QString &text) {
            QTextCursor at(m_rt->document());
            at.setPosition(int(m_rt->document()->toPlainText().indexOf(text)) + 1);
            return at.charFormat();
        };
        QCOMPARE(formatOf(QStringLiteral("Bold")).fontWeight(), int(QFont::Bold));
        QCOMPARE(formatOf(QStringLiteral("italic")).fontItalic(), true);
        QCOMPARE(formatOf(QStringLiteral("italic")).fontWeight(), int(QFont::Normal));
        QCOMPARE(formatOf(QStringLiteral("underlined")).fontUnderline(), true);
        QCOMPARE(formatOf(QStringLiteral("red")).foreground().color(), QColor(200, 0, 0));
        QCOMPARE(formatOf(QStringLiteral("big")).fontPointSize(), 20.0);
        QCOMPARE(formatOf(QStringLiteral("big")).fontFamilies().toStringList().value(0),
                 QStringLiteral("DejaVu Serif"));
        QCOMPARE(formatOf(QString::fromUtf8("ברא")).fontWeight(), int(QFont::Bold));
        QCOMPARE(formatOf(QString::fromUtf8("ברא")).fontPointSize(), 16.0);
        const QTextDocument *back = m_rt->document();
        QCOMPARE(back->findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignHCenter);
        const QTextBlockFormat hebrew = back->findBlockByNumber(2).blockFormat();
        QCOMPARE(hebrew.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        QCOMPARE(qRound(hebrew.leftMargin() * Twips::perPixelX()), 500);
        const QTextList *list = back->findBlockByNumber(3).textList();
        QVERIFY(list);
        QCOMPARE(list->format().style(), QTextListFormat::ListDisc);
        QCOMPARE(back->findBlockByNumber(4).textList(), list);
        QVERIFY(!back->findBlockByNumber(2).textList());
        QVERIFY(!m_rt->document()->isModified());
    }

    // A note with bold, a colour and bullets, saved by the workspace, opens in a
    // word processor with its text, the bullets as its own list.
    void savedNoteOpensInWordProcessor()
    {
        const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (soffice.isEmpty())
            QSKIP("No word processor installed to open the file with");
        QTextCursor cursor(m_rt->document());
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        QTextCharFormat blue;
        blue.setForeground(QColor(0, 0, 200));
        cursor.insertText(QStringLiteral("My note"), bold);
        cursor.insertText(QStringLiteral(" in blue"), blue);
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        cursor.createList(QTextListFormat::ListDisc);
        cursor.insertText(QString::fromUtf8("first point, Ἐν ἀρχῇ"));
        cursor.insertBlock();
        cursor.insertText(QString::fromUtf8("second point, בראשית"));
        chooseFiles({file(QStringLiteral("note.rtf"))});
        QVERIFY(m_files->SaveAs());

        const QString profile = QUrl::fromLocalFile(m_fx->path(QStringLiteral("profile"))).toString();
        QProcess process;
        process.start(soffice,
                      {QStringLiteral("-env:UserInstallation=") + profile, QStringLiteral("--headless"),
                       QStringLiteral("--convert-to"), QStringLiteral("txt:Text (encoded):UTF8"),
                       QStringLiteral("--outdir"), m_fx->path(QStringLiteral("notes")), file("note.rtf")});
        QVERIFY(process.waitForFinished(120000));
        QString text = QString::fromUtf8(m_fx->readFile(QStringLiteral("notes/note.txt")));
        text.remove(QChar(0xFEFF));
        const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r?\n")));
        QVERIFY2(lines.size() >= 3, qPrintable(text));
        QCOMPARE(lines[0], QStringLiteral("My note in blue"));
        QCOMPARE(lines[1].trimmed(), QString::fromUtf8("• first point, Ἐν ἀρχῇ"));
        QCOMPARE(lines[2].trimmed(), QString::fromUtf8("• second point, בראשית"));
    }
};

QTEST_MAIN(TestWorkspaceFiles)
#include "tst_workspacefiles.moc"
