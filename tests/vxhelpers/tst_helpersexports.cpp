#include "common/TestFixture.h"
#include "controls/RichTextHelpers_.h"

#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QtTest>
#include <dlfcn.h>

// A libVxHelpers.so that loads but lacks the exports: the report names them all.
class tst_HelpersExports : public QObject
{
    Q_OBJECT

private slots:
    void missingExports()
    {
        // Any shared library without our exports will do; zlib is on every system Qt runs on.
        QLibrary zlib(QStringLiteral("z"), 1);
        const QFunctionPointer version = zlib.resolve("zlibVersion");
        QVERIFY2(version, qPrintable(zlib.errorString()));
        Dl_info where{};
        QVERIFY(dladdr(reinterpret_cast<void *>(version), &where) && where.dli_fname);
        const QString impostor = QFile::decodeName(where.dli_fname);

        TestFixture fx(false);
        QVERIFY(QDir().mkpath(fx.programFolder()));
        QVERIFY(QFile::copy(impostor, RichTextHelpers_::libraryPath()));

        QVERIFY(!RichTextHelpers_::LoadRichEditLibraries());
        const auto shown = fx.desk().messageBoxes();
        QCOMPARE(shown.size(), 1);
        const QString &report = shown.front().text;
        QVERIFY2(report.contains(RichTextHelpers_::libraryPath()), qPrintable(report));
        for (const char *name : {"CreateRtfWindow", "GetMsgInfo", "SetMsgInfo", "SetMsgRetVal",
                                 "GetDataObject", "ClearDataObject", "FixSpacesAndDashes", "SmartQuotes"})
            QVERIFY2(report.contains(QLatin1String(name)), name);

        QString text = QStringLiteral("a  --  b");
        RichTextHelpers_::FixSpacesAndDashes(text);
        QCOMPARE(text, QStringLiteral("a  --  b"));
        QCOMPARE(RichTextHelpers_::exports().SetMsgRetVal(0, 0, 0, 0), VxAbi::E_FAIL);
        QVERIFY(!RichTextHelpers_::LoadRichEditLibraries());
        QCOMPARE(fx.desk().messageBoxes().size(), 1);
    }
};

QTEST_MAIN(tst_HelpersExports)
#include "tst_helpersexports.moc"
