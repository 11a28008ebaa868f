#include "common/TestFixture.h"
#include "core/GlobalVars.h"
#include "core/MainStartup.h"
#include "core/MsgSupport.h"
#include "platform/ChmArchive.h"
#include "platform/ChmViewer.h"
#include "platform/DefaultInstance.h"
#include "platform/HelpService.h"
#include "study/frmCHM.h"

#include <QKeyEvent>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QtTest>
#include <random>

namespace {
// The CHM Bible the build compiles into the program folder.
QString shippedChm()
{
    return TestFixture::builtFile(QStringLiteral("Modules/CHM/cn_web_utf8.chm"));
}
const QString LongPageChm = QStringLiteral(VX_LONG_PAGE_CHM);

QByteArray readFile(const QString &path)
{
    QFile file(path.startsWith(QLatin1String("/tests/")) ? QStringLiteral(VX_SOURCE_DIR) + path : path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList names(const QList<ChmArchive::TopicNode> &nodes)
{
    QStringList out;
    for (const ChmArchive::TopicNode &node : nodes)
        out << node.name + QLatin1Char('=') + node.local + QLatin1Char('/') +
                   QString::number(node.children.size());
    return out;
}

// A number of the file's headers, little-endian, read byte by byte through the
// checked accessor.
quint64 littleEndian(const QByteArray &bytes, qsizetype at, int size = 4)
{
    quint64 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes.at(at + i));
    return value;
}

// Where a compiled file's directory starts, and where and how long its chunks are.
struct Directory
{
    qsizetype start;
    qsizetype chunks;
    qsizetype chunkSize;
};
Directory directoryOf(const QByteArray &bytes)
{
    const qsizetype start = qsizetype(littleEndian(bytes, 0x48, 8));
    return {start, start + qsizetype(littleEndian(bytes, start + 8)),
            qsizetype(littleEndian(bytes, start + 0x10))};
}

// A number of the file's headers written over, little-endian.
QByteArray patched(QByteArray bytes, qsizetype at, quint64 value, int size = 4)
{
    for (int i = 0; i < size; ++i)
        bytes[at + i] = char(value >> (8 * i));
    return bytes;
}

// Where the compressed section's settings and reset table lie in a compiled
// file; both are stored as they are. The settings start with their length in
// words before their signature; the table is known by its entries' size, where
// they start and its frame size.
qsizetype controlDataOf(const QByteArray &bytes)
{
    return bytes.indexOf("LZXC") - 4;
}
qsizetype resetTableOf(const QByteArray &bytes)
{
    const QByteArray entries("\x08\0\0\0\x28\0\0\0", 8);
    for (qsizetype at = bytes.indexOf(entries); at >= 8; at = bytes.indexOf(entries, at + 1))
        if (littleEndian(bytes, at - 8) == 2 && littleEndian(bytes, at + 0x18) == 0x8000)
            return at - 8;
    return -1;
}

// The links of the page shown: "text=target" in the page's order.
QStringList links(const QTextDocument &page)
{
    QStringList out;
    for (QTextBlock block = page.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isAnchor() && !it.fragment().charFormat().anchorHref().isEmpty())
                out << it.fragment().text() + QLatin1Char('=') + it.fragment().charFormat().anchorHref();
    return out;
}
} // namespace

class TestChm : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;

    void writeModuleList(const QByteArray &records)
    {
        m_fx->writeFile(QStringLiteral("SysDefs/Translations.txt"), records);
    }
    void touchChm(const QString &name) { m_fx->writeFile(QStringLiteral("Modules/CHM/") + name, "ITSF"); }
    // A help file with an object whose name holds "#", as some help compilers
    // write one, beside a page with an anchor and a link to that object.
    QString compileHashNamedHelp()
    {
        m_fx->writeFile(
            QStringLiteral("hash/_#_README_#_"),
            "<html><body><h1>Readme</h1><p><a name=\"top\"></a>Read me first.</p></body></html>\n");
        m_fx->writeFile(QStringLiteral("hash/page.html"),
                        "<html><body><h1>Page</h1><p><a name=\"a1\"></a>Anchored</p>"
                        "<p><a href=\"_%23_README_%23_\">readme</a></p></body></html>\n");
        m_fx->writeFile(QStringLiteral("hash/hash.hhp"),
                        "[OPTIONS]\nCompiled file=hash.chm\nDefault topic=page.html\n"
                        "Title=Hash\n\n[FILES]\npage.html\n_#_README_#_\n");
        QProcess chmcmd;
        chmcmd.setWorkingDirectory(m_fx->path(QStringLiteral("hash")));
        chmcmd.start(QStringLiteral(VX_CHMCMD),
                     {QStringLiteral("--no-html-scan"), QStringLiteral("hash.hhp")});
        if (!chmcmd.waitForFinished(60000) || chmcmd.exitStatus() != QProcess::NormalExit ||
            chmcmd.exitCode() != 0)
            return QString();
        return m_fx->path(QStringLiteral("hash/hash.chm"));
    }
    QStringList rows(const QList<frmCHM::ChmBible> &bibles)
    {
        QStringList out;
        for (const frmCHM::ChmBible &b : bibles)
            out << b.displayName + QLatin1Char('|') + b.fileName + QLatin1Char('|') +
                       QFileInfo(b.path).fileName();
        return out;
    }

private slots:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
        QDir().mkpath(gModuleFolder + QStringLiteral("CHM"));
    }
    void cleanup()
    {
        if (ChmViewer *viewer = HelpService::viewer())
            viewer->close();
        m_fx.reset();
    }

    void sitemap_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("top");
        QTest::newRow("nested")
            << "<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"Genesis\">"
               "<param name=\"Local\" value=\"gen.html\"></object><ul><li><OBJECT "
               "type='text/sitemap'><param name=Name value=\"Genesis 1\"><param name=Local "
               "value=\"gen.html#c1\"></OBJECT></ul><li><object type=\"text/sitemap\"><param "
               "name=\"Name\" value=\"A &amp; B\"></object></ul>"
            << QStringList{QStringLiteral("Genesis=gen.html/1"), QStringLiteral("A & B=/0")};
        QTest::newRow("site properties are not topics")
            << "<object type=\"text/site properties\"><param name=\"Name\" value=\"x\"></object>"
            << QStringList{};
        QTest::newRow("unbalanced lists") << "</ul></ul><ul><ul><li><object type=\"text/sitemap\"><param "
                                             "name=\"Name\" value=\"Lost\"></object>"
                                          << QStringList{QStringLiteral("Lost=/0")};
        QTest::newRow("attribute forms, spaced tags, a quote left open, a longer tag name")
            << "<ul><li>< object type=text/sitemap ><param value=\"Open &quot;quote\" name=Name><param "
               "name=\"Local\" value=open.html#x></object><ulist><li>< object type='text/sitemap' ><param "
               "name=Name value=\"Unclosed></OBJECT ></ul>"
            << QStringList{QStringLiteral("Open \"quote=open.html#x/0"), QStringLiteral("\"Unclosed=/0")};
        QTest::newRow("not a sitemap") << "plain text <b>bold</b>" << QStringList{};
    }
    void sitemap()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, top);
        QCOMPARE(names(ChmArchive::parseSitemap(text)), top);
    }

    void shippedBibleArchive()
    {
        ChmArchive archive;
        QVERIFY2(archive.open(shippedChm()), qPrintable(archive.errorText()));
        QCOMPARE(archive.defaultTopic(), QStringLiteral("/index.html"));
        QCOMPARE(archive.title(), QStringLiteral("World English Bible"));
        const QList<ChmArchive::TopicNode> books = archive.contents();
        QCOMPARE(books.size(), 66);
        QCOMPARE(books[18].name, QStringLiteral("Psalms"));
        QCOMPARE(books[18].children.size(), 150);
        QCOMPARE(books[18].local, QStringLiteral("b_psa.html"));
        QCOMPARE(books[18].children[22].local, QStringLiteral("b_psa_23.html"));
        QByteArray page;
        QVERIFY(archive.read(QStringLiteral("/B_PSA_23.HTML"), page));
        QVERIFY(page.contains("Yahweh is my shepherd"));
        // The index, 66 books and 1189 chapters: the names in the directory's
        // first chunk are there too.
        QCOMPARE(archive.files().filter(QRegularExpression(QStringLiteral("\\.html$"))).size(),
                 1 + 66 + 1189);
        QVERIFY(archive.contains(QStringLiteral("/b_1ch_1.html")));
        QVERIFY(!archive.read(QStringLiteral("/nothing.html"), page));
        QVERIFY(page.isEmpty());
    }

    void damagedArchives_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        const QString notAnArchive = QStringLiteral("The file is not a compiled help archive.");
        const QString damaged = QStringLiteral("The file is damaged: ");
        QTest::newRow("signature only") << QByteArray("ITSF") << damaged;
        QTest::newRow("empty") << QByteArray() << notAnArchive;
        QTest::newRow("text") << QByteArray("<html>not compiled</html>") << notAnArchive;
        // Inputs that crashed the archive library read before, or made it
        // shift or count past its numbers.
        for (const char *name : {"damaged-header.chm", "damaged-reset-table.chm"})
            QTest::newRow(name) << readFile(QStringLiteral("/tests/study/chm/") + QLatin1String(name))
                                << damaged;
        QTest::newRow("directory-density.chm")
            << readFile(QStringLiteral("/tests/study/chm/directory-density.chm"))
            << damaged +
                   QStringLiteral("its directory header has a wrong quick-reference density (218628097).");
        const QByteArray shipped = readFile(shippedChm());
        const qsizetype control = controlDataOf(shipped);
        QVERIFY(control > 0);
        QCOMPARE(littleEndian(shipped, control + 0x0C), 2u); // frames of 32 KiB
        QTest::newRow("reset interval of 2 GiB")
            << patched(shipped, control + 0x0C, 0x10000)
            << damaged + QStringLiteral("its compression has a wrong reset interval (2147483648 bytes).");
        QTest::newRow("no reset interval") << patched(shipped, control + 0x0C, 0)
                                           << damaged + QStringLiteral("its compression has a wrong reset");
        QTest::newRow("window of 96 KiB")
            << patched(shipped, control + 0x10, 3)
            << damaged + QStringLiteral("its compression window has a wrong size");
        QTest::newRow("settings of version 3")
            << patched(shipped, control + 0x08, 3)
            << damaged + QStringLiteral("its compression settings are of an");
        const qsizetype table = resetTableOf(shipped);
        QVERIFY(table > 0);
        QTest::newRow("decoded length past the largest number")
            << patched(shipped, table + 0x10, 0x7fffffffffffff00, 8)
            << damaged + QStringLiteral("its reset table gives a wrong decoded length");
        QTest::newRow("more reset points than the table holds")
            << patched(shipped, table + 0x04, 0x40000000)
            << damaged + QStringLiteral("its reset table does not hold the 1073741824 entries it names.");
        QTest::newRow("reset point past the compressed text")
            << patched(shipped, table + 0x28 + 8, 0x7fffffffffffff00, 8)
            << damaged + QStringLiteral("its reset table places a reset point past the end");
        QByteArray noSpanInfo = shipped;
        noSpanInfo.replace("MSCompressed/SpanInfo", "MSCompressed/SpanInfp");
        QTest::newRow("record missing from the listing")
            << noSpanInfo
            << damaged + QStringLiteral("its compressed pages lack their record "
                                        "::DataSpace/Storage/MSCompressed/SpanInfo.");
        QTest::newRow("cut to 30 %") << shipped.left(shipped.size() * 3 / 10) << damaged;
        QTest::newRow("last byte missing") << shipped.chopped(1) << damaged;
        QByteArray hugeDirectory = shipped;
        hugeDirectory.replace(0x50, 8, QByteArray("\x00\x00\x00\x00\x00\x00\x00\x40", 8));
        QTest::newRow("directory past the end") << hugeDirectory << damaged;
    }
    void damagedArchives()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        m_fx->writeFile(QStringLiteral("bad.chm"), bytes);
        ChmArchive archive;
        QVERIFY(!archive.open(m_fx->path(QStringLiteral("bad.chm"))));
        QVERIFY2(archive.errorText().startsWith(error), qPrintable(archive.errorText()));
        QVERIFY(archive.files().isEmpty());
        ChmViewer viewer;
        QVERIFY(!viewer.openFile(m_fx->path(QStringLiteral("bad.chm"))));
        QCOMPARE(viewer.contentsTree()->topLevelItemCount(), 0);
    }

    // A directory entry whose offset is rewritten in the listing chunk, the
    // chunk's free space giving room for a longer number: the archive is named
    // damaged when the page cannot lie anywhere, and a page merely past the end
    // of the stream cannot be read.
    void entryOffsets_data()
    {
        QTest::addColumn<quint64>("offset");
        QTest::addColumn<bool>("opens");
        QTest::newRow("as compiled") << quint64(0) << true;
        QTest::newRow("past the end of the stream") << (quint64(1) << 40) << true;
        QTest::newRow("offset and length past the largest number") << quint64(0x7ffffffffffffff4) << false;
    }
    void entryOffsets()
    {
        QFETCH(quint64, offset);
        QFETCH(bool, opens);
        QByteArray bytes = readFile(shippedChm());
        const QByteArray name("/b_gen_1.html");
        const qsizetype entry = bytes.indexOf(char(name.size()) + name);
        QVERIFY(entry > 0);
        if (offset) {
            const Directory directory = directoryOf(bytes);
            const qsizetype chunkSize = directory.chunkSize;
            const qsizetype chunk = directory.chunks + (entry - directory.chunks) / chunkSize * chunkSize;
            // After the name: the section, then the offset, each a number of 7-bit groups.
            qsizetype at = entry + 1 + name.size();
            QCOMPARE(bytes.at(at++), '\x01');
            qsizetype end = at;
            while (quint8(bytes.at(end)) & 0x80)
                ++end;
            QByteArray groups;
            for (quint64 rest = offset; rest || groups.isEmpty(); rest >>= 7)
                groups.prepend(char((rest & 0x7f) | (groups.isEmpty() ? 0 : 0x80)));
            const qsizetype grown = groups.size() - (end + 1 - at);
            const quint32 freeSpace = quint32(littleEndian(bytes, chunk + 4));
            QVERIFY(grown >= 0 && quint32(grown) <= freeSpace);
            bytes.replace(at, end + 1 - at, groups);
            bytes.remove(chunk + chunkSize - qsizetype(freeSpace), grown); // from the free space
            const quint32 left = freeSpace - quint32(grown);
            for (int i = 0; i < 4; ++i)
                bytes[chunk + 4 + i] = char(left >> (8 * i));
        }
        m_fx->writeFile(QStringLiteral("entry.chm"), bytes);
        ChmArchive archive;
        QCOMPARE(archive.open(m_fx->path(QStringLiteral("entry.chm"))), opens);
        QByteArray page;
        if (opens) {
            QCOMPARE(archive.read(QString::fromLatin1(name), page), offset == 0);
            QVERIFY(archive.read(QStringLiteral("/b_psa_23.html"), page));
        } else {
            QVERIFY2(archive.errorText().contains(QString::fromLatin1(name)),
                     qPrintable(archive.errorText()));
        }
    }

    // The directory header's quick-reference density: help compilers write 2,
    // and the archive library shifts by it in a signed 32-bit number.
    void directoryDensity_data()
    {
        QTest::addColumn<quint32>("density");
        QTest::addColumn<bool>("opens");
        QTest::newRow("as compiled") << quint32(2) << true;
        QTest::newRow("largest") << quint32(30) << true;
        QTest::newRow("31") << quint32(31) << false;
        QTest::newRow("32") << quint32(32) << false;
        QTest::newRow("past any shift") << quint32(0xffffffff) << false;
    }
    void directoryDensity()
    {
        QFETCH(quint32, density);
        QFETCH(bool, opens);
        const QByteArray shipped = readFile(shippedChm());
        const qsizetype at = directoryOf(shipped).start + 0x14;
        QCOMPARE(littleEndian(shipped, at), 2u);
        m_fx->writeFile(QStringLiteral("density.chm"), patched(shipped, at, density));
        ChmArchive archive;
        QCOMPARE(archive.open(m_fx->path(QStringLiteral("density.chm"))), opens);
        QByteArray page;
        if (opens) {
            QVERIFY(archive.read(QStringLiteral("/b_psa_23.html"), page));
            QVERIFY(page.contains("Yahweh is my shepherd"));
        } else {
            QCOMPARE(archive.errorText(),
                     QStringLiteral("The file is damaged: its directory header has a wrong quick-reference "
                                    "density (%1).")
                         .arg(density));
        }
    }

    // The selector and F1 both say which file is damaged; the next Bible opens.
    void damagedBibleIsNamedAndTheNextOneOpens()
    {
        const QString chm = gModuleFolder + QStringLiteral("CHM/");
        m_fx->writeFile(QStringLiteral("Modules/CHM/cn_bad.chm"), readFile(shippedChm()).left(200000));
        QVERIFY(QFile::copy(shippedChm(), chm + QStringLiteral("cn_web_utf8.chm")));
        MainStartup::SetUpHelp();
        writeModuleList("0,1,\"Bad\",\"b_bad\",0\r\n1,1,\"WEB\",\"b_web_utf8\",0\r\n");
        auto *dialog = new frmCHM;
        dialog->cmdView->click();
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        const QString shown = m_fx->desk().messageBoxes().first().text;
        QVERIFY2(shown.contains(chm + QStringLiteral("cn_bad.chm")), qPrintable(shown));
        QVERIFY2(shown.contains(QStringLiteral("The file is damaged: it is cut short")), qPrintable(shown));
        QVERIFY(!HelpService::viewer() || !HelpService::viewer()->isVisible());
        dialog->ListView1->setCurrentItem(dialog->ListView1->topLevelItem(1));
        dialog->cmdView->click();
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        QVERIFY(HelpService::viewer()->isVisible());
        QCOMPARE(HelpService::viewer()->currentTopic(), QStringLiteral("/index.html"));
        dialog->cmdClose->click();
    }

    // A page whose compressed bytes are damaged is named in the status line.
    void damagedPageIsNamed()
    {
        QByteArray bytes = readFile(shippedChm());
        for (qsizetype i = bytes.size() / 2; i < bytes.size() / 2 + 2000; ++i)
            bytes[i] = char(bytes[i] ^ 0x5a);
        m_fx->writeFile(QStringLiteral("damaged.chm"), bytes);
        ChmArchive archive;
        QVERIFY(archive.open(m_fx->path(QStringLiteral("damaged.chm"))));
        QString unreadable;
        QByteArray page;
        for (const QString &file : archive.files())
            if (unreadable.isEmpty() && file.startsWith(QLatin1String("/b_")) && !archive.read(file, page))
                unreadable = file;
        QVERIFY(!unreadable.isEmpty());
        ChmViewer viewer;
        QVERIFY(viewer.openFile(m_fx->path(QStringLiteral("damaged.chm"))));
        QVERIFY(viewer.showTopic(unreadable));
        QCOMPARE(viewer.statusText(), QStringLiteral("%1 cannot be read: the file %2 is damaged.")
                                          .arg(unreadable, m_fx->path(QStringLiteral("damaged.chm"))));
        QVERIFY(viewer.showTopic(QStringLiteral("/b_gen_1.html")));
        QVERIFY(viewer.statusText().isEmpty());
        QVERIFY(viewer.browser()->toPlainText().contains(QStringLiteral("In the beginning")));
    }

    // Pages read in any order, far ahead and back again, are the pages read in
    // the order they are stored.
    void pagesReadInAnyOrderAreTheSame()
    {
        ChmArchive inOrder;
        QVERIFY(inOrder.open(shippedChm()));
        const QStringList files = inOrder.files().filter(QRegularExpression(QStringLiteral("\\.html$")));
        QHash<QString, QByteArray> pages;
        for (const QString &file : files)
            QVERIFY2(inOrder.read(file, pages[file]), qPrintable(file));
        ChmArchive jumping;
        QVERIFY(jumping.open(shippedChm()));
        QStringList order = files;
        std::shuffle(order.begin(), order.end(), std::mt19937(119));
        QByteArray page;
        for (const QString &file : order) {
            QVERIFY(jumping.read(file, page));
            QVERIFY2(page == pages[file], qPrintable(file));
        }
    }

    // The help compiler names the directory's second chunk as its first; the
    // listing is taken from where its chain of chunks starts, and from nowhere
    // else when the chain is broken.
    void directoryListingStartsWhereItsChainDoes_data()
    {
        QTest::addColumn<int>("chunk"); // whose bytes are changed, -1 for none
        QTest::addColumn<int>("at");    // where in its header
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<bool>("allPages");
        QTest::newRow("as compiled") << -1 << 0 << QByteArray() << true;
        QTest::newRow("second chunk links to itself") << 1 << 0x0C << QByteArray("\x01\0\0\0", 4) << false;
        QTest::newRow("second chunk links to none")
            << 1 << 0x0C << QByteArray("\xff\xff\xff\xff", 4) << false;
        QTest::newRow("first chunk is no listing") << 0 << 0 << QByteArray("PMGI") << false;
    }
    void directoryListingStartsWhereItsChainDoes()
    {
        QFETCH(int, chunk);
        QFETCH(int, at);
        QFETCH(QByteArray, to);
        QFETCH(bool, allPages);
        QByteArray bytes = readFile(shippedChm());
        QVERIFY(bytes.size() > 0x50);
        const Directory directory = directoryOf(bytes);
        QCOMPARE(littleEndian(bytes, directory.start + 0x20),
                 quint64(1)); // the first listing chunk as compiled
        if (chunk >= 0)
            bytes.replace(directory.chunks + chunk * directory.chunkSize + at, to.size(), to);
        m_fx->writeFile(QStringLiteral("chain.chm"), bytes);
        ChmArchive archive;
        QVERIFY(archive.open(m_fx->path(QStringLiteral("chain.chm"))));
        QCOMPARE(archive.contains(QStringLiteral("/b_1ch_1.html")), allPages);
        QVERIFY(archive.contains(QStringLiteral("/b_psa_119.html")));
    }

    void hashInObjectName_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("anchor");
        QTest::addColumn<QString>("text"); // what the object holds; empty when it cannot be read

        const QString readme = QStringLiteral("/_#_README_#_");
        QTest::newRow("hash in name") << readme << readme << QString() << QStringLiteral("Read me first.");
        QTest::newRow("without slash")
            << QStringLiteral("_#_README_#_") << readme << QString() << QStringLiteral("Read me first.");
        QTest::newRow("other case") << QStringLiteral("/_#_readme_#_") << QStringLiteral("/_#_readme_#_")
                                    << QString() << QStringLiteral("Read me first.");
        QTest::newRow("hash in name and anchor") << QStringLiteral("/_#_README_#_#top") << readme
                                                 << QStringLiteral("top") << QStringLiteral("Read me first.");
        QTest::newRow("page and anchor") << QStringLiteral("page.html#a1") << QStringLiteral("/page.html")
                                         << QStringLiteral("a1") << QStringLiteral("Anchored");
        QTest::newRow("page") << QStringLiteral("/page.html") << QStringLiteral("/page.html") << QString()
                              << QStringLiteral("Anchored");
        QTest::newRow("missing page and anchor")
            << QStringLiteral("/missing.html#x") << QStringLiteral("/missing.html") << QStringLiteral("x")
            << QString();
        QTest::newRow("name cut short")
            << QStringLiteral("/_#_README") << QStringLiteral("/_") << QStringLiteral("_README") << QString();
        QTest::newRow("own object") << QStringLiteral("/#SYSTEM") << QStringLiteral("/#SYSTEM") << QString()
                                    << QStringLiteral("page.html");
    }

    void hashInObjectName()
    {
        QFETCH(QString, link);
        QFETCH(QString, object);
        QFETCH(QString, anchor);
        QFETCH(QString, text);
        const QString path = compileHashNamedHelp();
        QVERIFY2(!path.isEmpty(), "chmcmd could not compile the help file");
        ChmArchive chm;
        QVERIFY2(chm.open(path), qPrintable(chm.errorText()));
        QVERIFY(chm.files().contains(QStringLiteral("/_#_README_#_")));

        const ChmArchive::Link split = chm.splitLink(link);
        QCOMPARE(split.object, object);
        QCOMPARE(split.anchor, anchor);
        QByteArray bytes;
        QCOMPARE(chm.read(link, bytes), !text.isEmpty());
        QCOMPARE(chm.contains(link), !text.isEmpty());
        QVERIFY(bytes.contains(text.toUtf8()));

        ChmViewer viewer;
        QVERIFY(viewer.openFile(path));
        if (object.startsWith(QLatin1String("/#")))
            return;
        QCOMPARE(viewer.showTopic(link), !text.isEmpty());
        if (!text.isEmpty()) {
            QCOMPARE(viewer.currentTopic(), anchor.isEmpty() ? object : object + QLatin1Char('#') + anchor);
            QVERIFY(viewer.browser()->toPlainText().contains(text));
        }
    }

    void linkToAnObjectWithHashInItsName()
    {
        const QString path = compileHashNamedHelp();
        QVERIFY2(!path.isEmpty(), "chmcmd could not compile the help file");
        ChmViewer viewer;
        QVERIFY(viewer.openFile(path));
        QCOMPARE(viewer.currentTopic(), QStringLiteral("/page.html"));
        QVERIFY(links(*viewer.browser()->document()).contains(QStringLiteral("readme=_%23_README_%23_")));
        QVERIFY(viewer.followLink(QUrl(QStringLiteral("_%23_README_%23_"))));
        QCOMPARE(viewer.currentTopic(), QStringLiteral("/_#_README_#_"));
        QVERIFY(viewer.browser()->toPlainText().contains(QStringLiteral("Read me first.")));
    }

    // Lists nested beyond the kept depth add their topics to the deepest level:
    // 60,000 levels once overflowed the stack.
    void deepContentsAreBounded()
    {
        const QString topic = QStringLiteral("<li><object type=\"text/sitemap\"><param name=\"Name\" "
                                             "value=\"Deep\"></object>");
        const int levels = 60000;
        const QString text = QStringLiteral("<ul>") + (topic + QStringLiteral("<ul>")).repeated(levels) +
                             QStringLiteral("</ul>").repeated(levels) + topic;
        const QList<ChmArchive::TopicNode> tree = ChmArchive::parseSitemap(text);
        QCOMPARE(tree.size(), 2);
        int depth = 1;
        const QList<ChmArchive::TopicNode> *level = &tree;
        while (!level->first().children.isEmpty()) {
            ++depth;
            level = &level->first().children;
        }
        QCOMPARE(depth, ChmArchive::MaxContentsDepth);
        QCOMPARE(level->size(), levels - ChmArchive::MaxContentsDepth + 1);
        QCOMPARE(tree.last().children.size(), 0);
    }

    void viewerOpensAtTheDefaultTopicAndFollowsLinks()
    {
        ChmViewer viewer;
        QVERIFY(viewer.openFile(shippedChm()));
        QCOMPARE(viewer.currentTopic(), QStringLiteral("/index.html"));
        QVERIFY(viewer.browser()->toPlainText().contains(QStringLiteral("Psalms")));
        QCOMPARE(viewer.contentsTree()->topLevelItemCount(), 66);

        // Internal links, relative to the page shown: the index leads to the
        // book, the book to its chapters.
        QVERIFY(links(*viewer.browser()->document()).contains(QStringLiteral("Psalms=b_psa.html")));
        QVERIFY(viewer.followLink(QUrl(QStringLiteral("b_psa.html"))));
        QCOMPARE(viewer.currentTopic(), QStringLiteral("/b_psa.html"));
        QVERIFY(links(*viewer.browser()->document()).contains(QStringLiteral("23=b_psa_23.html")));
        QVERIFY(viewer.followLink(QUrl(QStringLiteral("b_psa_23.html"))));
        QCOMPARE(viewer.currentTopic(), QStringLiteral("/b_psa_23.html"));
        QVERIFY(viewer.browser()->toPlainText().contains(QStringLiteral("Yahweh is my shepherd")));
        QVERIFY(viewer.backAction()->isEnabled());
        viewer.backAction()->trigger();
        QCOMPARE(viewer.currentTopic(), QStringLiteral("/b_psa.html"));
        viewer.backAction()->trigger();
        QCOMPARE(viewer.currentTopic(), QStringLiteral("/index.html"));
        QVERIFY(viewer.forwardAction()->isEnabled());

        // Links that leave the archive load nothing.
        TestDesktop &desk = m_fx->desk();
        for (const QString &outside :
             {QStringLiteral("file:///etc/hostname"), QStringLiteral("ms-its:other.chm::/a.html"),
              QStringLiteral("javascript:alert(1)"), QStringLiteral("http:nohost")}) {
            QVERIFY2(!viewer.followLink(QUrl(outside)), qPrintable(outside));
            QCOMPARE(viewer.currentTopic(), QStringLiteral("/index.html"));
            QVERIFY(viewer.statusText().contains(QStringLiteral("outside")));
        }
        QVERIFY(!viewer.followLink(QUrl(QStringLiteral("missing.html"))));
        QVERIFY(desk.openedUrls.isEmpty());
        QVERIFY(viewer.browser()
                    ->loadResource(QTextDocument::HtmlResource, QUrl(QStringLiteral("file:///etc/hostname")))
                    .isNull());
        // Web links go to the desktop's browser.
        QVERIFY(viewer.followLink(QUrl(QStringLiteral("https://example.org/page"))));
        QCOMPARE(desk.openedUrls, QStringList{QStringLiteral("https://example.org/page")});
        QCOMPARE(viewer.currentTopic(), QStringLiteral("/index.html"));
        // Without a browser the status line says so.
        desk.canOpen = false;
        QVERIFY(viewer.followLink(QUrl(QStringLiteral("https://example.org/other"))));
        QCOMPARE(viewer.statusText(),
                 QStringLiteral("No program is set up to open https://example.org/other"));
    }

    void contentsLeadToPsalm23()
    {
        ChmViewer viewer;
        QVERIFY(viewer.openFile(shippedChm()));
        QTreeWidgetItem *psalms = viewer.contentsTree()->topLevelItem(18);
        QTreeWidgetItem *psalm23 = psalms->child(22);
        QCOMPARE(psalm23->text(0), QStringLiteral("Psalms 23"));
        emit viewer.contentsTree()->itemClicked(psalm23, 0);
        QCOMPARE(viewer.currentTopic(), QStringLiteral("/b_psa_23.html"));
        emit viewer.contentsTree()->itemClicked(psalms, 0);
        QCOMPARE(viewer.currentTopic(), QStringLiteral("/b_psa.html"));
        // The longest chapter is laid out whole as it shows: nothing is left for later.
        emit viewer.contentsTree()->itemClicked(psalms->child(118), 0);
        QCOMPARE(viewer.currentTopic(), QStringLiteral("/b_psa_119.html"));
        QCOMPARE(viewer.browser()->document()->firstBlock().next().text(), QStringLiteral("Psalms 119"));
        QVERIFY(!viewer.browser()->pageLayoutPending());
    }

    // Every book is listed by the index and lists each of its chapters; every
    // chapter has its page, headed by its name.
    void everyBookListsItsChaptersAndEachHasItsPage()
    {
        ChmArchive archive;
        QVERIFY(archive.open(shippedChm()));
        QByteArray index;
        QVERIFY(archive.read(archive.defaultTopic(), index));
        int chapters = 0;
        for (const ChmArchive::TopicNode &book : archive.contents()) {
            const QByteArray bookLink = "href=\"" + book.local.toUtf8() + '"';
            QVERIFY2(index.contains(bookLink), qPrintable(book.name));
            QByteArray bookPage;
            QVERIFY2(archive.read(book.local, bookPage), qPrintable(book.local));
            for (const ChmArchive::TopicNode &chapter : book.children) {
                QVERIFY2(bookPage.contains("href=\"" + chapter.local.toUtf8() + '"'),
                         qPrintable(chapter.name));
                QByteArray page;
                QVERIFY2(archive.read(chapter.local, page), qPrintable(chapter.local));
                QVERIFY2(page.contains("<h1>" + chapter.name.toUtf8() + "</h1>"), qPrintable(chapter.name));
                ++chapters;
            }
        }
        QCOMPARE(chapters, 1189);
    }

    // A chapter leads to its book and to the chapters read before and after it,
    // across the books' ends.
    void chapterLeadsOn_data()
    {
        QTest::addColumn<QString>("topic");
        QTest::addColumn<QStringList>("links");
        QTest::newRow("first") << QStringLiteral("/b_gen_1.html")
                               << QStringList{QStringLiteral("Genesis=b_gen.html"),
                                              QStringLiteral("Genesis 2 \u203a=b_gen_2.html")};
        QTest::newRow("Psalm 119") << QStringLiteral("/b_psa_119.html")
                                   << QStringList{QStringLiteral("\u2039 Psalms 118=b_psa_118.html"),
                                                  QStringLiteral("Psalms=b_psa.html"),
                                                  QStringLiteral("Psalms 120 \u203a=b_psa_120.html")};
        QTest::newRow("across books") << QStringLiteral("/b_mal_4.html")
                                      << QStringList{QStringLiteral("\u2039 Malachi 3=b_mal_3.html"),
                                                     QStringLiteral("Malachi=b_mal.html"),
                                                     QStringLiteral("Matthew 1 \u203a=b_mat_1.html")};
        QTest::newRow("last") << QStringLiteral("/b_rev_22.html")
                              << QStringList{QStringLiteral("\u2039 Revelation 21=b_rev_21.html"),
                                             QStringLiteral("Revelation=b_rev.html")};
    }
    void chapterLeadsOn()
    {
        QFETCH(QString, topic);
        QFETCH(QStringList, links);
        ChmViewer viewer;
        QVERIFY(viewer.openFile(shippedChm()));
        QVERIFY(viewer.showTopic(topic));
        QCOMPARE(::links(*viewer.browser()->document()), links);
        for (const QString &link : links) {
            QVERIFY(viewer.followLink(QUrl(link.section(QLatin1Char('='), 1))));
            QVERIFY(viewer.statusText().isEmpty());
            viewer.backAction()->trigger();
        }
    }

    // A chapter far down a long page shows at once, with the part above laid out
    // after it: in the end the reader sees what a page laid out whole shows.
    void farAnchorShowsFirstAndTheViewStays()
    {
        ChmViewer viewer;
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QVERIFY(viewer.openFile(LongPageChm));
        ChmBrowser *pane = viewer.browser();

        ChmArchive archive;
        QVERIFY(archive.open(LongPageChm));
        QByteArray page;
        QVERIFY(archive.read(QStringLiteral("/long.html"), page));
        QTextBrowser whole;
        whole.resize(pane->size());
        whole.show();
        QVERIFY(QTest::qWaitForWindowExposed(&whole));
        whole.setHtml(ChmArchive::decodeText(page));
        whole.scrollToAnchor(QStringLiteral("p119"));
        const int expected = whole.verticalScrollBar()->value();
        QVERIFY(expected > 1000);

        auto topLine = [pane] { return pane->cursorForPosition(QPoint(20, 10)).block().text(); };
        auto near = [](int value, int expected) { return qAbs(value - expected) <= 4; };
        QVERIFY(viewer.showTopic(QStringLiteral("/long.html#p119")));
        QVERIFY(pane->pageLayoutPending());
        QCOMPARE(topLine(), QStringLiteral("Part 119"));
        QCOMPARE(pane->toPlainText(), whole.toPlainText());
        QTRY_VERIFY(!pane->pageLayoutPending());
        QCOMPARE(topLine(), QStringLiteral("Part 119"));
        QVERIFY2(near(pane->verticalScrollBar()->value(), expected),
                 qPrintable(QString::number(pane->verticalScrollBar()->value())));

        // Left before the rest was laid out, the page keeps its true place in the history.
        QVERIFY(viewer.followLink(QUrl(QStringLiteral("/short.html"))));
        QVERIFY(viewer.showTopic(QStringLiteral("/long.html#p119")));
        QVERIFY(pane->pageLayoutPending());
        QVERIFY(viewer.followLink(QUrl(QStringLiteral("/short.html"))));
        viewer.backAction()->trigger();
        QCOMPARE(viewer.currentTopic(), QStringLiteral("/long.html#p119"));
        QTRY_VERIFY(!pane->pageLayoutPending());
        QVERIFY2(near(pane->verticalScrollBar()->value(), expected),
                 qPrintable(QString::number(pane->verticalScrollBar()->value())));
        QCOMPARE(topLine(), QStringLiteral("Part 119"));

        // Short pages and anchors near the top take the plain way.
        QVERIFY(viewer.showTopic(QStringLiteral("/short.html#s2")));
        QVERIFY(!pane->pageLayoutPending());
        QVERIFY(viewer.showTopic(QStringLiteral("/long.html#p2")));
        QVERIFY(!pane->pageLayoutPending());
        QCOMPARE(topLine(), QStringLiteral("Part 2"));
    }

    void scrollBarOnlyForLongPages()
    {
        ChmViewer viewer;
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QVERIFY(viewer.openFile(shippedChm()));
        QScrollBar *bar = viewer.browser()->verticalScrollBar();
        for (const QString &topic : {QStringLiteral("/b_psa_119.html"), QStringLiteral("/b_3jo.html"),
                                     QStringLiteral("/b_psa_78.html"), QStringLiteral("/b_oba.html")}) {
            QVERIFY(viewer.showTopic(topic));
            QCOMPARE(viewer.browser()->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
            QTRY_COMPARE(bar->isVisible(), topic.startsWith(QLatin1String("/b_psa_")));
        }
    }

    void listing_data()
    {
        QTest::addColumn<QByteArray>("records");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("cn before cf")
            << QByteArray("1,1,\"World English\",\"b_web\",0\r\n")
            << QStringList{QStringLiteral("cf_web.chm"), QStringLiteral("cn_web.chm")}
            << QStringList{QStringLiteral("World English|cn_web.chm|cn_web.chm"),
                           QStringLiteral("World English|cf_web.chm|cf_web.chm")};
        QTest::newRow("one-character base name")
            << QByteArray("2,0,\"Short\",\"b\",0\r\n") << QStringList{QStringLiteral("cn.chm")}
            << QStringList{QStringLiteral("Short|cn.chm|cn.chm")};
        QTest::newRow("case of the file on disk")
            << QByteArray("0,1,\"King James\",\"b_kjv\",0\r\n") << QStringList{QStringLiteral("CN_KJV.CHM")}
            << QStringList{QStringLiteral("King James|cn_kjv.chm|CN_KJV.CHM")};
        QTest::newRow("files of no module")
            << QByteArray("0,1,\"King James\",\"b_kjv\",0\r\n")
            << QStringList{QStringLiteral("cx_notes.chm"), QStringLiteral("cn_web.chm")} << QStringList{};
        QTest::newRow("commentaries count too")
            << QByteArray("1000,1,\"Notes\",\"c_notes\",0\r\n\r\n0,1,\"KJV\",\"b_kjv\",0\r\nbroken\r\n")
            << QStringList{QStringLiteral("cn_notes.chm"), QStringLiteral("cf_kjv.chm")}
            << QStringList{QStringLiteral("Notes|cn_notes.chm|cn_notes.chm"),
                           QStringLiteral("KJV|cf_kjv.chm|cf_kjv.chm")};
    }
    void listing()
    {
        QFETCH(QByteArray, records);
        QFETCH(QStringList, files);
        QFETCH(QStringList, rows);
        writeModuleList(records);
        for (const QString &file : files)
            touchChm(file);
        QCOMPARE(this->rows(frmCHM::FindChmBibles(gSysDefsFolder + QStringLiteral("Translations.txt"),
                                                  gModuleFolder + QStringLiteral("CHM/"))),
                 rows);
        frmCHM dialog;
        QCOMPARE(dialog.ListView1->topLevelItemCount(), rows.size());
        QCOMPARE(dialog.StatusBar1->currentMessage(),
                 QString::number(rows.size()) + QStringLiteral(" Modules found"));
    }

    void recordNamingAPathOutsideTheFolderIsPassedOver()
    {
        writeModuleList("0,1,\"Elsewhere\",\"b_web/../../secret\",0\r\n1,1,\"WEB\",\"b_web\",0\r\n");
        touchChm(QStringLiteral("cn_web.chm"));
        QVERIFY(QDir().mkpath(gModuleFolder + QStringLiteral("CHM/cn_web")));
        m_fx->writeFile(QStringLiteral("Modules/secret.chm"), "ITSF");
        QCOMPARE(rows(frmCHM::FindChmBibles(gSysDefsFolder + QStringLiteral("Translations.txt"),
                                            gModuleFolder + QStringLiteral("CHM/"))),
                 QStringList{QStringLiteral("WEB|cn_web.chm|cn_web.chm")});
    }

    void noModuleList()
    {
        frmCHM dialog;
        QCOMPARE(dialog.ListView1->topLevelItemCount(), 0);
        QCOMPARE(dialog.StatusBar1->currentMessage(), QStringLiteral("0 Modules found"));
        dialog.cmdView_Click();
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
        QCOMPARE(dialog.StatusBar1->currentMessage(), GetMsg(0, 284));
        QVERIFY(!HelpService::viewer() || !HelpService::viewer()->isVisible());
    }

    void viewShowsTheBibleAndClosingRestoresTheProgramHelp()
    {
        QVERIFY(QFile::copy(shippedChm(), gModuleFolder + QStringLiteral("CHM/CN_WEB_UTF8.CHM")));
        m_fx->copyBuiltFile(QStringLiteral("Help.chm"));
        gHelpFile = m_fx->path(QStringLiteral("Help.chm"));
        MainStartup::SetUpHelp();
        writeModuleList("1,1,\"World English Bible\",\"b_web_utf8\",0\r\n");
        auto *dialog = new frmCHM;
        QCOMPARE(dialog->windowModality(), Qt::WindowModal);
        QCOMPARE(dialog->ListView1->topLevelItem(0)->text(1), QStringLiteral("cn_web_utf8.chm"));
        dialog->cmdView->click();
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
        ChmViewer *viewer = HelpService::viewer();
        QVERIFY(viewer && viewer->isVisible());
        QCOMPARE(QFileInfo(viewer->fileName()).fileName(), QStringLiteral("CN_WEB_UTF8.CHM"));
        QCOMPARE(viewer->currentTopic(), QStringLiteral("/index.html"));
        QVERIFY(viewer->parent() == nullptr);
        QVERIFY(viewer->followLink(QUrl(QStringLiteral("b_psa_23.html"))));

        dialog->cmdClose->click();
        QCOMPARE(HelpService::helpFile(), m_fx->path(QStringLiteral("Help.chm")));
        // F1 anywhere now shows the program's help.
        QWidget other;
        other.show();
        QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QCoreApplication::sendEvent(&other, &f1);
        QCOMPARE(HelpService::viewer()->fileName(), m_fx->path(QStringLiteral("Help.chm")));
        QVERIFY(HelpService::viewer()->isVisible());
        // The Bible's pages are not in the program's help: Back has nowhere to go.
        QVERIFY(!HelpService::viewer()->backAction()->isEnabled());
    }

    void moreOpensTheDownloadPage()
    {
        frmCHM dialog;
        dialog.cmdDownload->click();
        QCOMPARE(m_fx->desk().openedUrls.size(), 1);
        QVERIFY(m_fx->desk().openedUrls[0].endsWith(QStringLiteral("chm_bibles.html")));
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());

        m_fx->desk().canOpen = false;
        dialog.cmdDownload->click();
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        QCOMPARE(m_fx->desk().lastMessage(), GetMsg(0, 291, m_fx->desk().openedUrls.last()));
    }
};

QTEST_MAIN(TestChm)
#include "tst_chm.moc"
