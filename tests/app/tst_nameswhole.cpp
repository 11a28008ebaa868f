#include "bookmarks/PageSetup.h"
#include "bookmarks/frmBookmarkAdd.h"
#include "bookmarks/frmBookmarkList.h"
#include "bookmarks/frmDocPreview.h"
#include "common/ModuleBuilder.h"
#include "common/TestFixture.h"
#include "controls/FlatButton_.h"
#include "controls/TabList_.h"
#include "core/BibleBookNames.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "mainwindow/BibleBrowser.h"
#include "mainwindow/Indemnity.h"
#include "mainwindow/MainMenu.h"
#include "mainwindow/NoBibles.h"
#include "mainwindow/Splash.h"
#include "mainwindow/frmAbout.h"
#include "mainwindow/frmMessages.h"
#include "platform/DefaultInstance.h"
#include "platform/TextFile.h"
#include "preferences/LanguageE.h"
#include "preferences/frmDateFormat.h"
#include "preferences/frmDirlist.h"
#include "preferences/frmLocate.h"
#include "preferences/frmOptions.h"
#include "search/AdvancedSearch.h"
#include "search/FormatToolbar.h"
#include "study/Commentaries.h"
#include "study/Dictionary.h"
#include "study/MultiBib.h"
#include "study/TLNotes.h"
#include "study/frmCHM.h"
#include "study/frmMP3.h"
#include "study/frmMapViewer.h"
#include "study/frmNameDictionary.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QtTest>
#include <functional>

namespace {
// Opens a window as the reader finds it at its usual size; returns it and the
// lists in it that hold a module's own text (headwords, typed searches, fonts)
// rather than names. Those may take their share of the window, as long as their
// drop-downs open wide enough for every entry.
struct Opened
{
    QWidget *window = nullptr;
    QList<QComboBox *> textLists;
};
using Open = std::function<Opened()>;

const QChar Ellipsis(0x2026);

// What a control shows of a text with "&" marking its mnemonic.
QString withoutMnemonic(QString text)
{
    text.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
    return text;
}

int widest(const QFontMetrics &metrics, const QStringList &texts)
{
    int width = 0;
    for (const QString &text : texts)
        width = std::max(width, metrics.horizontalAdvance(text));
    return width;
}

QStringList entries(const QComboBox *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts.append(box->itemText(i));
    return texts;
}

QString describe(const QWidget *control, const QString &text)
{
    return QStringLiteral("%1 %2 \"%3\"")
        .arg(QString::fromLatin1(control->metaObject()->className()), control->objectName(), text.left(80));
}

// Empty when `needed` pixels fit in `room`, else what is cut.
QString shortfall(const QWidget *control, const QString &text, int needed, int room)
{
    return needed <= room
               ? QString()
               : describe(control, text) + QStringLiteral(" needs %1 px, has %2").arg(needed).arg(room);
}

// The room a closed list has for its text, as the style lays it out.
int textRoom(const QComboBox *box)
{
    if (const QLineEdit *edit = box->lineEdit()) {
        const QMargins margins = edit->textMargins();
        // The edit field keeps two pixels each side of its text.
        return edit->width() - margins.left() - margins.right() - 4;
    }
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.frame = box->hasFrame();
    // The label is drawn one pixel in from each side of the field.
    const QStyle::SubControl field = QStyle::SC_ComboBoxEditField;
    return box->style()->subControlRect(QStyle::CC_ComboBox, &option, field, box).width() - 2;
}

// A text shown whole, or cut short with "…" and whole in the tool tip.
QString fitsOrElided(const QWidget *control, const QString &shown, const QString &whole, int room)
{
    const bool elided = shown != whole && shown.endsWith(Ellipsis) && whole.startsWith(shown.chopped(1)) &&
                        control->toolTip() == whole;
    if (shown != whole && !elided)
        return describe(control, whole) + QStringLiteral(" is cut without a tool tip");
    return shortfall(control, whole, control->fontMetrics().horizontalAdvance(shown), room);
}

// A list of names shows its longest entry closed; any list shows it open.
QString checkList(QComboBox *box, bool names)
{
    const QStringList texts = entries(box);
    const int longest = widest(box->fontMetrics(), texts);
    const QString all = texts.join(QLatin1Char('|'));
    if (names || texts.isEmpty())
        return shortfall(box, all, longest, textRoom(box));
    box->showPopup();
    const int open = box->view()->viewport()->width();
    box->hidePopup();
    return shortfall(box, QStringLiteral("open: ") + all, longest, open);
}

QString checkLabel(QLabel *label)
{
    if (label->text().isEmpty() || label->wordWrap() || Qt::mightBeRichText(label->text()))
        return QString();
    const int room = label->contentsRect().width() - 2 * label->margin() - std::max(0, label->indent());
    const QString text = label->buddy() ? withoutMnemonic(label->text()) : label->text();
    if (text.contains(QLatin1Char('\n')))
        return shortfall(label, text, widest(label->fontMetrics(), text.split(QLatin1Char('\n'))), room);
    return fitsOrElided(label, text, label->toolTip().isEmpty() ? text : label->toolTip(), room);
}

// Push buttons, check boxes and option buttons: the text within the part the style draws it in.
QString checkButton(QAbstractButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    int icon = 0;
    if (qobject_cast<QCheckBox *>(button))
        contents = QStyle::SE_CheckBoxContents;
    else if (qobject_cast<QRadioButton *>(button))
        contents = QStyle::SE_RadioButtonContents;
    else if (!qobject_cast<QPushButton *>(button) || button->text().isEmpty())
        return QString();
    else if (!button->icon().isNull())
        icon = button->iconSize().width() + 4;
    const QString text = withoutMnemonic(button->text());
    return shortfall(button, text, button->fontMetrics().horizontalAdvance(text),
                     button->style()->subElementRect(contents, &option, button).width() - icon);
}

QString checkTabList(TabList_ *list)
{
    QStringList captions;
    for (int i = 0; i < list->ListCount(); ++i)
        captions.append(list->Captions(i));
    // Tabs draw their text 8 pixels in and keep an edge of 2 on the right.
    return shortfall(list, captions.join(QLatin1Char('|')), widest(list->fontMetrics(), captions),
                     list->width() - 10);
}

// Every text of the window's lists, labels and buttons that the reader is shown cut.
QStringList cutTexts(const Opened &opened)
{
    QStringList cut;
    const auto shown = [&](QWidget *control) { return control->isVisibleTo(opened.window); };
    for (QComboBox *box : opened.window->findChildren<QComboBox *>())
        if (shown(box))
            cut.append(checkList(box, !opened.textLists.contains(box)));
    for (QLabel *label : opened.window->findChildren<QLabel *>())
        if (shown(label))
            cut.append(checkLabel(label));
    for (QAbstractButton *button : opened.window->findChildren<QAbstractButton *>())
        if (shown(button))
            cut.append(checkButton(button));
    for (QGroupBox *box : opened.window->findChildren<QGroupBox *>())
        if (shown(box) && box->width() < box->minimumSizeHint().width())
            cut.append(describe(box, box->title()));
    for (FlatButton_ *button : opened.window->findChildren<FlatButton_ *>())
        if (shown(button))
            cut.append(fitsOrElided(button, button->ShownCaption(), button->Caption(),
                                    button->width() - button->WidthFor(QString())));
    for (TabList_ *list : opened.window->findChildren<TabList_ *>())
        if (shown(list))
            cut.append(checkTabList(list));
    cut.removeAll(QString());
    return cut;
}

template <typename Window> Opened defaultInstance()
{
    Window &window = DefaultInstance<Window>::get();
    window.show();
    return {&window, {}};
}

template <typename Window> Opened studyWindow(Window *window, QList<QComboBox *> textLists = {})
{
    window->show();
    return {window, std::move(textLists)};
}
} // namespace

Q_DECLARE_METATYPE(Open)

class TestNamesWhole : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    std::unique_ptr<MainMenu> m_main;

    // The modules the program comes with, under their own names, with a few
    // lines each; the names' and notes' files as they are shipped.
    void installShippedModules()
    {
        const QString shipped = TestFixture::sourceDir() + QStringLiteral("/data/");
        TextReader list = TextReader::fromFile(shipped + QStringLiteral("SysDefs/Translations.txt"));
        const QRegularExpression record(QStringLiteral("^(\\d+),\\d+,\"([^\"]*)\",\"([^\"]*)\",(\\d+)"));
        while (!list.atEnd()) {
            const QRegularExpressionMatch m = record.match(list.readLine());
            if (!m.hasMatch())
                continue;
            const int number = m.captured(1).toInt();
            const QString name = m.captured(2);
            const QString file = m.captured(3) + QStringLiteral(".txt");
            ModuleBuilder module;
            module.chapter(1, 1, 3).chapter(19, 119, 176).chapter(40, 1, 25);
            if (number < 1500) {
                m_fx->addBible(name, file, module.bytes());
            } else if (number >= 1700) {
                m_fx->writeFile(QStringLiteral("Modules/Commentary/") + file, module.bytes());
                gCommentaries.Add(name, file, true, 0);
            } else if (number >= 1600) {
                m_fx->writeFile(QStringLiteral("Modules/Dictionary/") + file,
                                "1\tH859 'attah 'atta 'ath 'attiy 'attem 'atten 'attenah 'attennah\tthou\r\n"
                                "2\tab\tfather \xAF"
                                "00001\r\n");
                gDictionaries.Add(name, file, true, 0);
            } else {
                gNameDictionaries.Add(name, file, true, 0);
            }
        }
        m_fx->copyShippedData(QStringLiteral("Modules/Name"));
        m_fx->copyShippedData(QStringLiteral("Modules/Maps"));
        m_fx->copyShippedData(QStringLiteral("Modules/MP3"));
        QFile notes(shipped + QStringLiteral("Modules/TLNotes.txt"));
        QVERIFY(notes.open(QIODevice::ReadOnly));
        m_fx->writeFile(QStringLiteral("Modules/TLNotes.txt"), notes.readAll());
    }

    void switchToSpanish() { m_fx->switchInterfaceLanguage(QStringLiteral("SPANISH")); }

    BibleBrowser &browser()
    {
        m_main = std::make_unique<MainMenu>();
        gMainForm = m_main.get();
        m_main->show();
        return *m_main->BibleBrowser1;
    }

    static void addRows(const char *name, const Open &open)
    {
        for (const char *language : {"ENGLISH", "SPANISH"})
            QTest::newRow(
                qPrintable(QStringLiteral("%1, %2").arg(QLatin1String(name), QLatin1String(language))))
                << QString::fromLatin1(language) << open;
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpWindowTest();
        installShippedModules();
        MsgSupport::ReloadAllMessages();
    }
    void cleanup()
    {
        m_main.reset();
        gMainForm = nullptr;
        m_fx.reset();
    }

    // At its usual size, each window shows whole every name its lists hold and
    // every text of its labels and buttons, in either language; a text that must
    // be cut is cut visibly and shown whole in its tool tip.
    void namesShowWhole_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<Open>("open");
        addRows("main window", [this] { return Opened{&browser(), {}}; });
        addRows("search workspace", [] {
            AdvancedSearch &window = AdvancedSearch::Instance();
            window.show();
            return Opened{&window,
                          {window.cboSearch, window.cboResults, window.FormatBar()->cboFont,
                           window.FormatBar()->cboSize}};
        });
        addRows("comparison", [] { return studyWindow(MultiBib::Open()); });
        addRows("commentaries", [] { return studyWindow(Commentaries::Open()); });
        addRows("dictionary", [] {
            Dictionary *window = Dictionary::Open();
            window->cboLookup_GotFocus();
            window->cboLookup->setCurrentIndex(1);
            window->cboLookup_Click();
            return studyWindow(window, {window->cboLookup, window->cboAlt});
        });
        addRows("names", [] { return studyWindow(frmNameDictionary::Open()); });
        addRows("translation notes", [] { return defaultInstance<TLNotes>(); });
        addRows("maps", [] { return defaultInstance<frmMapViewer>(); });
        addRows("MP3 player", [] { return defaultInstance<frmMP3>(); });
        addRows("bookmarks", [] {
            frmBookmarkList &window = frmBookmarkList::Instance();
            window.show();
            return Opened{&window, {}};
        });
        addRows("bookmark", [] {
            frmBookmarkAdd &window = frmBookmarkAdd::Instance();
            window.show();
            return Opened{&window, {}};
        });
        addRows("page setup", [] { return defaultInstance<PageSetup>(); });
        addRows("options", [] { return defaultInstance<frmOptions>(); });
        addRows("language editor", [] { return defaultInstance<LanguageE>(); });
        addRows("date format", [] { return defaultInstance<frmDateFormat>(); });
        addRows("module folder", [] { return defaultInstance<frmLocate>(); });
        addRows("folder list", [] { return defaultInstance<frmDirlist>(); });
        addRows("print preview", [] { return defaultInstance<frmDocPreview>(); });
        addRows("CHM Bibles", [] { return defaultInstance<frmCHM>(); });
        addRows("progress log", [] {
            frmMessages &window = frmMessages::Instance();
            window.show();
            return Opened{&window, {}};
        });
        addRows("about", [] { return defaultInstance<frmAbout>(); });
        addRows("licence", [] { return defaultInstance<Indemnity>(); });
        addRows("no Bible", [] { return defaultInstance<NoBibles>(); });
        addRows("splash", [] { return defaultInstance<Splash>(); });
    }
    void namesShowWhole()
    {
        QFETCH(QString, language);
        QFETCH(Open, open);
        if (language == QLatin1String("SPANISH"))
            switchToSpanish();
        const Opened opened = open();
        QVERIFY(opened.window);
        QCoreApplication::processEvents();
        const QStringList cut = cutTexts(opened);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("\n"))));
    }

    // The main window's category button and book label show every category and
    // every book whole, in either language, not only the ones chosen at start.
    void everyCategoryAndBookShowsWhole_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << QStringLiteral("ENGLISH");
        QTest::newRow("Spanish") << QStringLiteral("SPANISH");
    }
    void everyCategoryAndBookShowsWhole()
    {
        QFETCH(QString, language);
        if (language == QLatin1String("SPANISH"))
            switchToSpanish();
        BibleBrowser &shown = browser();
        QStringList cut;
        for (int item = 0; item < shown.mCategory.size(); ++item) {
            shown.mCategory_Click(item);
            if (shown.btnCategory->ShownCaption() != shown.btnCategory->Caption())
                cut.append(shown.btnCategory->Caption());
            for (int tab = 0; tab < shown.TabList1->ListCount(); ++tab) {
                shown.TabList1->setSelectedItem(tab);
                const QString name = shown.TabList1->Captions(tab);
                if (shown.lblBook->text() != name || shown.lblBook->fontMetrics().horizontalAdvance(name) >
                                                         shown.lblBook->contentsRect().width())
                    cut.append(name);
            }
        }
        cut.removeDuplicates();
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
        QCOMPARE(shown.btnCategory->Caption().isEmpty(), false);
    }

    // In a main window too narrow for its strip, the translation's and the
    // book's names are cut with "…" and whole in their tool tips; the
    // category's stays whole. At the usual width all show whole.
    void narrowMainWindowCutsNamesVisibly_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("whole");
        QTest::newRow("usual width") << 0 << true;
        QTest::newRow("narrow") << 400 << false;
    }
    void narrowMainWindowCutsNamesVisibly()
    {
        QFETCH(int, width);
        QFETCH(bool, whole);
        BibleBrowser &shown = browser();
        shown.mCategory_Click(0);
        shown.TabList1->SelectDatum(52);
        const QString book = BookNames().FullName(52);
        QCOMPARE(shown.TabList1->CaptionOfSelected(), book);
        if (width > 0)
            m_main->resize(width, m_main->height());
        const auto cut = [](const QString &text, const QString &tip, const QString &name) {
            return text.endsWith(QChar(0x2026)) && name.startsWith(text.chopped(1)) && tip == name;
        };
        const QString translation = shown.btnTranslation->Caption();
        QVERIFY(!translation.isEmpty());
        if (whole) {
            QCOMPARE(shown.lblBook->text(), book);
            QCOMPARE(shown.btnTranslation->ShownCaption(), translation);
            QCOMPARE(shown.lblBook->toolTip() + shown.btnTranslation->toolTip(), QString());
        } else {
            QVERIFY2(cut(shown.lblBook->text(), shown.lblBook->toolTip(), book),
                     qPrintable(shown.lblBook->text()));
            QVERIFY2(cut(shown.btnTranslation->ShownCaption(), shown.btnTranslation->toolTip(), translation),
                     qPrintable(shown.btnTranslation->ShownCaption()));
        }
        QCOMPARE(shown.btnCategory->ShownCaption(), shown.btnCategory->Caption());
        QVERIFY(shown.lblBook->geometry().right() < shown.width());
    }
};

QTEST_MAIN(TestNamesWhole)
#include "tst_nameswhole.moc"
