#include "bookmarks/PageSetup.h"
#include "common/TestFixture.h"
#include "core/CoreHooks.h"
#include "core/GlobalVars.h"
#include "core/MainStartup.h"
#include "core/MsgSupport.h"
#include "core/PageSettings.h"
#include "core/Registry_.h"
#include "mainwindow/WorkspaceDocument.h"
#include "platform/DocumentPrinter.h"
#include "platform/RichTextBox.h"
#include "platform/SettingsStore.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QPrinter>
#include <QPushButton>
#include <QtTest>
#include <functional>

namespace {
using ReadValue = std::function<QVariant()>;

void store(const QString &key, const QString &value)
{
    SettingsStore::instance().setValue(QStringLiteral("Settings"), key, value);
}

void startUp()
{
    MainStartup::Main();
}

QVariant position(float Registry_::FormPosition::*member)
{
    return QVariant::fromValue(Registry_::ReadFormPosition(QStringLiteral("ScreenV1"), {10, 20, 3000, 2500}).*
                               member);
}

// Each reader of a number from the settings file: its name, the key, whether
// the page lengths are in inches, how the value is read, its default, and
// whether a small negative value is a fair one.
struct Reader
{
    const char *name;
    const char *key;
    bool inches;
    ReadValue read;
    QVariant defaultValue;
    bool maySlipOff = false;
};

const QList<Reader> &readers()
{
    const auto pageLength = [](float *global) {
        return [global] {
            PageSettings::ReadPageSettings(true);
            return QVariant::fromValue(*global);
        };
    };
    const auto startUpValue = [](auto *global) {
        return [global] {
            startUp();
            return QVariant::fromValue(*global);
        };
    };
    static const QList<Reader> list{
        {"highlight limit", "MAXCountSize", false, startUpValue(&gMaxCountSize), qint32(500)},
        {"workspace font size", "Bib1Fontsize", false, startUpValue(&gBib1Fontsize), quint8(12)},
        {"comparison font size", "Bib2Fontsize", false, startUpValue(&gBib2Fontsize), quint8(12)},
        {"text colour", "Bib1TC", false, startUpValue(&gBib1TC), 0u},
        {"comparison background", "Bib2BC", false, startUpValue(&gBib2BC), 0xDCDCDCu},
        {"page width mm", "WidthPage", false, pageLength(&gWidthPage), 0.0f},
        {"page width in", "WidthPage", true, pageLength(&gWidthPage), 0.0f},
        {"left margin mm", "MarginLeft", false, pageLength(&gMarginLeft), 0.0f},
        {"right margin in", "MarginRight", true, pageLength(&gMarginRight), 0.0f},
        {"top margin mm", "gTopMargin", false, pageLength(&gTopMargin), 0.0f},
        {"bottom margin in", "gBottomMargin", true, pageLength(&gBottomMargin), 0.0f},
        {"window left", "ScreenV1Left", false, [] { return position(&Registry_::FormPosition::left); }, 10.0f,
         true},
        {"window top", "ScreenV1Top", false, [] { return position(&Registry_::FormPosition::top); }, 20.0f,
         true},
        {"window width", "ScreenV1Width", false, [] { return position(&Registry_::FormPosition::width); },
         3000.0f},
        {"window height", "ScreenV1Height", false, [] { return position(&Registry_::FormPosition::height); },
         2500.0f},
    };
    return list;
}

const Reader &reader(const QString &name)
{
    for (const Reader &r : readers())
        if (QLatin1String(r.name) == name)
            return r;
    qFatal("no reader %s", qPrintable(name));
}
} // namespace

class TestBadSettings : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    std::unique_ptr<RichTextBox> m_pane;

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->copyShippedData(QStringLiteral("SysDefs"));
        m_fx->writeFile(QStringLiteral("Modules/Bible/b_kjv.txt"), "1\t1\t1\t1\tIn the beginning\r\n");
        CoreHooks::SetNoBiblesDialog([] {});
        Registry_::Initialize(QStringLiteral("Settings"));
    }
    void cleanup()
    {
        m_pane.reset();
        m_fx.reset();
    }

    // No stored text a settings file can hold makes a number the program cannot
    // use: it gives the default. The ends of each range are values the program
    // itself stores, and are kept.
    void storedNumberIsKeptOrGivesTheDefault_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("expected");
        for (const Reader &r : readers())
            for (const char *text : {"nan", "inf", "-inf", "3e38", "-1", "1e9", "1e400"}) {
                // A window may stand partly off the left or top edge.
                if (r.maySlipOff && QByteArray(text) == "-1")
                    continue;
                QTest::addRow("%s %s", r.name, text)
                    << QString::fromLatin1(r.name) << QString::fromLatin1(text) << r.defaultValue;
            }
        QTest::newRow("fewest highlights") << "highlight limit"
                                           << "10" << QVariant(qint32(10));
        QTest::newRow("too few highlights") << "highlight limit"
                                            << "9" << QVariant(qint32(500));
        QTest::newRow("most highlights") << "highlight limit"
                                         << "50000" << QVariant(qint32(50000));
        QTest::newRow("smallest font") << "workspace font size"
                                       << "6" << QVariant::fromValue(quint8(6));
        QTest::newRow("too small a font") << "workspace font size"
                                          << "5" << QVariant::fromValue(quint8(12));
        QTest::newRow("largest font") << "comparison font size"
                                      << "32" << QVariant::fromValue(quint8(32));
        QTest::newRow("system colour") << "text colour"
                                       << "-2147483630" << QVariant(0x80000012u);
        QTest::newRow("no such system colour") << "text colour"
                                               << "-2147483000" << QVariant(0u);
        QTest::newRow("widest page mm") << "page width mm"
                                        << "429" << QVariant(429.0f);
        QTest::newRow("too wide mm") << "page width mm"
                                     << "430" << QVariant(0.0f);
        QTest::newRow("widest page in") << "page width in"
                                        << "16.9" << QVariant(16.9f);
        QTest::newRow("a millimetre width in inches") << "page width in"
                                                      << "210" << QVariant(0.0f);
        QTest::newRow("widest margin mm") << "left margin mm"
                                          << "100" << QVariant(100.0f);
        QTest::newRow("100 mm in inches") << "right margin in"
                                          << "4" << QVariant(4.0f);
        QTest::newRow("window off the left") << "window left"
                                             << "-5000" << QVariant(-5000.0f);
        QTest::newRow("window taller than the desktop") << "window height"
                                                        << "1e7" << QVariant(2500.0f);
    }
    void storedNumberIsKeptOrGivesTheDefault()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QVariant, expected);
        const Reader &r = reader(name);
        store(QStringLiteral("CM_IN"), r.inches ? QStringLiteral("-1") : QStringLiteral("0"));
        store(QLatin1String(r.key), text);
        QCOMPARE(r.read(), expected);
    }

    // The settings of the report: the page setup reads the defaults, offers the
    // paper's width for the width that is then not set, and the workspace's
    // document wraps at that width, not at one pixel.
    void hugePageLengthsLayOutAsTheDefaults()
    {
        DocumentPrinter::printer().setPageSize(QPageSize(QPageSize::Letter));
        store(QStringLiteral("CM_IN"), QStringLiteral("-1"));
        store(QStringLiteral("WidthPage"), QStringLiteral("3e38"));
        store(QStringLiteral("MarginRight"), QStringLiteral("1e36"));
        store(QStringLiteral("FitToDesktop"), QStringLiteral("0"));
        startUp();
        m_pane = std::make_unique<RichTextBox>();
        m_pane->setText(QStringLiteral("In the beginning God created the heaven and the earth."));
        WorkspaceDocument::Register({[this] { return m_pane.get(); }, [] { return nullptr; }, [] {}});
        PageSetup dialog;
        QCOMPARE(dialog.cboWidth->currentText(), QStringLiteral("8.5"));
        QCOMPARE(dialog.cboRight->currentText(), QStringLiteral("0"));
        dialog.cmdINDEX->click();
        QCOMPARE(gPageWidthTwips, 8.5f * 1440);
        QCOMPARE(m_pane->RightMargin(), 8.5f * 1440);
    }

    void aWidthThatIsNoNumberWrapsAtTheEdge()
    {
        RichTextBox pane;
        pane.setRightMargin(std::numeric_limits<float>::quiet_NaN());
        QCOMPARE(pane.lineWrapMode(), QTextEdit::WidgetWidth);
    }

    void damagedLinesAreToldAtStart_data()
    {
        QTest::addColumn<bool>("earlierCopy"); // a copy of other bytes is kept already
        QTest::newRow("first copy") << false;
        QTest::newRow("a copy kept before") << true;
    }
    // A settings file with a line that cannot be read, which the start does not
    // rewrite, is told at the start, naming the copy it goes to; the copy is
    // made before the first write, which tells nothing more.
    void damagedLinesAreToldAtStart()
    {
        QFETCH(bool, earlierCopy);
        const QString ini = QStringLiteral("../config/Verbanox/Verbanox.ini");
        startUp();
        const QByteArray damaged = m_fx->readFile(ini) + "just words\n";
        m_fx->writeFile(ini, damaged);
        if (earlierCopy)
            m_fx->writeFile(ini + QStringLiteral(".bad"), "an older copy");
        const QString file = SettingsStore::defaultFilePath();
        const QString copy = file + (earlierCopy ? QStringLiteral(".2.bad") : QStringLiteral(".bad"));
        SettingsStore::resetInstance();
        m_fx->desk().shown.clear();

        startUp();
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        const QString told = m_fx->desk().lastMessage();
        QVERIFY2(told.startsWith(GetMsg(0, 274, file)) && told.contains(QStringLiteral("just words")) &&
                     told.endsWith(copy),
                 qPrintable(told));
        QVERIFY(!QFileInfo::exists(copy));
        QCOMPARE(m_fx->readFile(ini), damaged);
        SaveString(QStringLiteral("DF"), QStringLiteral("yyyy-MM-dd"));
        QCOMPARE(m_fx->readFile(QStringLiteral("../config/Verbanox/") + QFileInfo(copy).fileName()), damaged);
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
    }

    // A window stored far off the desktop comes back on it, at the default corner.
    void windowOffTheDesktopComesBack()
    {
        store(QStringLiteral("ScreenV1Left"), QStringLiteral("3e38"));
        store(QStringLiteral("ScreenV1Top"), QStringLiteral("-1e30"));
        store(QStringLiteral("ScreenV1Width"), QString::number(Twips::fromPixelsX(300)));
        store(QStringLiteral("ScreenV1Height"), QString::number(Twips::fromPixelsY(200)));
        QWidget window;
        QVERIFY(Registry_::RestoreFormPosition(QStringLiteral("ScreenV1"), &window));
        QCOMPARE(window.pos(), QPoint(0, 0));
        QCOMPARE(window.size(), QSize(300, 200));
    }
};

QTEST_MAIN(TestBadSettings)
#include "tst_badsettings.moc"
