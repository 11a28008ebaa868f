#include "common/TestFixture.h"
#include "controls/RichTextHelpers_.h"

#include <QDir>
#include <QWidget>
#include <QtTest>

// A program folder without libVxHelpers.so: one clear report, and every call fails safely.
class tst_HelpersLoad : public QObject
{
    Q_OBJECT

private slots:
    void missingLibrary()
    {
        TestFixture fx(false);
        QVERIFY(QDir().mkpath(fx.programFolder()));
        QCOMPARE(RichTextHelpers_::libraryPath(), fx.programFolder() + QStringLiteral("libVxHelpers.so"));

        QVERIFY(!RichTextHelpers_::LoadRichEditLibraries());
        QVERIFY(!RichTextHelpers_::LoadRichEditLibraries());
        const auto shown = fx.desk().messageBoxes();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.front().text.contains(fx.programFolder() + QStringLiteral("libVxHelpers.so")),
                 qPrintable(shown.front().text));
        QVERIFY(shown.front().text.contains(QStringLiteral("could not be loaded")));

        QString text = QStringLiteral("say \"so\"  -- now");
        RichTextHelpers_::SmartQuotes(text, QStringLiteral("\u201C\u201D\u2018\u2019"));
        RichTextHelpers_::FixSpacesAndDashes(text);
        QCOMPARE(text, QStringLiteral("say \"so\"  -- now"));

        const RichTextHelpers_::Exports &lib = RichTextHelpers_::exports();
        QWidget host;
        void *document = nullptr;
        QCOMPARE(lib.CreateRtfWindow(&host, reinterpret_cast<VxAbi::HWND>(&host), &document), VxAbi::HWND(0));
        QVERIFY(!document);

        VxAbi::HWND from = 1;
        uint32_t code = 1;
        uint32_t msg = 1;
        VxAbi::WPARAM wParam = 1;
        VxAbi::LPARAM lParam = 1;
        QCOMPARE(lib.GetMsgInfo(&from, &code, &msg, &wParam, &lParam), VxAbi::E_FAIL);
        QCOMPARE(from, VxAbi::HWND(0));
        QCOMPARE(code, 0u);
        QCOMPARE(lib.SetMsgInfo(0, 0, 0, 0, 0, 0), VxAbi::E_FAIL);
        QCOMPARE(lib.SetMsgRetVal(0, 0, 0, 0), VxAbi::E_FAIL);

        auto *stale = reinterpret_cast<VxAbi::DataObject *>(&host);
        QCOMPARE(lib.GetDataObject("{\\rtf1 a}", 9, &stale), VxAbi::E_FAIL);
        QVERIFY(!stale);
        QCOMPARE(lib.ClearDataObject(), VxAbi::E_FAIL);

        // Still reported only once, however often the exports are used.
        QCOMPARE(fx.desk().messageBoxes().size(), 1);
    }
};

QTEST_MAIN(tst_HelpersLoad)
#include "tst_helpersload.moc"
