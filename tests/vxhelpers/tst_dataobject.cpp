#include "common/TestFixture.h"
#include "controls/RichTextHelpers_.h"
#include "core/WinApi_New_.h"
#include "platform/AppInfo.h"
#include "platform/TestDesktop.h"

#include <QtTest>
#include <cstdlib>

// The RTF data object of the loaded libVxHelpers.so, in the formats the program registers.
class tst_DataObject : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDesktopScope> m_desktop;
    quint16 m_rtf = 0;

    static const RichTextHelpers_::Exports &lib() { return RichTextHelpers_::exports(); }

    static VxAbi::DataObject *objectHolding(const QByteArray &rtf)
    {
        VxAbi::DataObject *object = nullptr;
        if (lib().GetDataObject(rtf.constData(), uint32_t(rtf.size()), &object) != VxAbi::S_OK)
            return nullptr;
        return object;
    }

    // The bytes GetData hands out, freed again; a null array when it fails.
    static QByteArray dataOf(VxAbi::DataObject *object, quint16 format)
    {
        VxAbi::Medium medium{0, nullptr, 0};
        if (object->GetData(object, format, &medium) != VxAbi::S_OK)
            return QByteArray();
        const QByteArray bytes(static_cast<const char *>(medium.block), medium.size);
        std::free(medium.block);
        return bytes;
    }

private slots:
    void initTestCase()
    {
        m_desktop = std::make_unique<TestDesktopScope>();
        // The library as the build made it, where the build put it.
        AppInfo::setProgramFolder(
            QFileInfo(TestFixture::builtFile(QStringLiteral("libVxHelpers.so"))).path());
        // Formats registered by the program before the library makes its object:
        // the library must still give "Rich Text Format" the program's number.
        QVERIFY(WinApi_New_::RegisterClipboardFormat(QStringLiteral("HTML Format")) != 0);
        QVERIFY(WinApi_New_::RegisterClipboardFormat(QStringLiteral("Verbanox Verse List")) != 0);
        QVERIFY(RichTextHelpers_::LoadRichEditLibraries());
        QVERIFY((*m_desktop)->messageBoxes().isEmpty());
        // The library registers its format when it makes the object; the program asks afterwards.
        VxAbi::DataObject *made = nullptr;
        QCOMPARE(lib().GetDataObject(nullptr, 0, &made), VxAbi::S_OK);
        m_rtf = WinApi_New_::RegisterClipboardFormat(QStringLiteral("rich text format"));
        QVERIFY(m_rtf >= 0xC000);
    }

    void cleanupTestCase()
    {
        lib().ClearDataObject();
        m_desktop.reset();
    }

    void freshPointerGetsTheObject()
    {
        VxAbi::DataObject *object = nullptr;
        const QByteArray rtf("{\\rtf1 In the beginning}");
        QCOMPARE(lib().GetDataObject(rtf.constData(), uint32_t(rtf.size()), &object), VxAbi::S_OK);
        QVERIFY(object);
        QCOMPARE(object->QueryGetData(object, m_rtf), VxAbi::S_OK);
        QCOMPARE(dataOf(object, m_rtf), rtf);

        // The one object of the library is handed out again over a stale pointer.
        VxAbi::DataObject *again = object;
        QCOMPARE(lib().GetDataObject("{\\rtf1 b}", 9, &again), VxAbi::S_OK);
        QCOMPARE(again, object);
        QCOMPARE(dataOf(object, m_rtf), QByteArray("{\\rtf1 b}"));
    }

    void nullAddress()
    {
        QCOMPARE(lib().GetDataObject("{\\rtf1 c}", 9, nullptr), VxAbi::E_POINTER);
        VxAbi::DataObject *object = objectHolding("{\\rtf1 d}");
        QVERIFY(object);
        QCOMPARE(object->GetData(object, m_rtf, nullptr), VxAbi::E_POINTER);
    }

    void foreignFormats_data()
    {
        QTest::addColumn<quint16>("format");
        QTest::newRow("CF_TEXT") << VxAbi::CF_TEXT;
        QTest::newRow("CF_UNICODETEXT") << VxAbi::CF_UNICODETEXT;
        QTest::newRow("HTML Format") << WinApi_New_::RegisterClipboardFormat(QStringLiteral("HTML Format"));
        QTest::newRow("never registered") << quint16(0xFFF0);
    }

    void foreignFormats()
    {
        QFETCH(quint16, format);
        VxAbi::DataObject *object = objectHolding("{\\rtf1 e}");
        QVERIFY(object);
        VxAbi::Medium medium{0, nullptr, 0};
        QCOMPARE(object->GetData(object, format, &medium), VxAbi::DV_E_FORMATETC);
        QVERIFY(!medium.block);
        QCOMPARE(object->QueryGetData(object, format), VxAbi::E_NOTIMPL);
        QCOMPARE(object->GetDataHere(object, m_rtf, &medium), VxAbi::E_NOTIMPL);
    }

    void independentCopies_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::newRow("text") << QByteArray("{\\rtf1\\ansi \\'e9t\\'e9}");
        QTest::newRow("with a NUL inside") << QByteArray("{\\rtf1 a\0b}", 11);
        QTest::newRow("empty") << QByteArray("");
    }

    void independentCopies()
    {
        QFETCH(QByteArray, rtf);
        QByteArray source = rtf;
        VxAbi::DataObject *object = objectHolding(source);
        QVERIFY(object);
        source.fill('x'); // the library keeps its own copy

        VxAbi::Medium first{0, nullptr, 0};
        VxAbi::Medium second{0, nullptr, 0};
        QCOMPARE(object->GetData(object, m_rtf, &first), VxAbi::S_OK);
        QCOMPARE(object->GetData(object, m_rtf, &second), VxAbi::S_OK);
        QCOMPARE(first.tymed, VxAbi::TYMED_HGLOBAL);
        QVERIFY(first.block && second.block);
        QVERIFY(first.block != second.block);
        QCOMPARE(first.size, uint32_t(rtf.size()));
        QCOMPARE(QByteArray(static_cast<const char *>(first.block), first.size), rtf);
        if (first.size > 0)
            static_cast<char *>(first.block)[0] = '#';
        QCOMPARE(QByteArray(static_cast<const char *>(second.block), second.size), rtf);
        std::free(first.block);
        std::free(second.block);
    }

    void getDataAfterClear()
    {
        VxAbi::DataObject *object = objectHolding("{\\rtf1 f}");
        QVERIFY(object);
        QCOMPARE(lib().ClearDataObject(), VxAbi::S_OK);
        VxAbi::Medium medium{0, nullptr, 0};
        QCOMPARE(object->GetData(object, m_rtf, &medium), VxAbi::E_UNEXPECTED);
        QVERIFY(!medium.block);
        QCOMPARE(medium.size, 0u);

        // A null string is no string either.
        QCOMPARE(lib().GetDataObject(nullptr, 0, &object), VxAbi::S_OK);
        QCOMPARE(object->GetData(object, m_rtf, &medium), VxAbi::E_UNEXPECTED);
        QVERIFY(!medium.block);
    }

    void clearWithoutString()
    {
        QCOMPARE(lib().ClearDataObject(), VxAbi::S_OK);
        QCOMPARE(lib().ClearDataObject(), VxAbi::S_OK);
        VxAbi::DataObject *object = objectHolding("{\\rtf1 g}");
        QVERIFY(object);
        QCOMPARE(dataOf(object, m_rtf), QByteArray("{\\rtf1 g}"));
    }
};

QTEST_MAIN(tst_DataObject)
#include "tst_dataobject.moc"
