#include "bookmarks/PageSetup.h"
#include "bookmarks/frmBookmarkAdd.h"
#include "bookmarks/frmBookmarkList.h"
#include "bookmarks/frmDocPreview.h"
#include "common/ModuleBuilder.h"
#include "common/TestFixture.h"
#include "controls/FlatButton_.h"
#include "controls/TabList_.h"
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
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QtTest>
#include <functional>

namespace {
// A window as the reader finds it at its usual size, and the lists in it that
// hold a module's own text (headwords, typed searches, fonts) rather than
// names: those may take their share of the window, as long as their drop-downs
// open wide enough for every entry.
struct Opened
{
    QWidget *window = nullptr;
    QList<QComboBox *> textLists;
};
using Open = std::function<Opened()>;

const QChar Ellipsis(0x2026);

Opened shown(QWidget *window, QList<QComboBox *> textLists = {})
{
    window->show();
    return {window, std::move(textLists)};
}

template <typename Window> Open usual()
{
    return [] { return shown(&DefaultInstance<Window>::get()); };
}

// What a control shows of a text with "&" marking its mnemonic.
QString withoutMnemonic(QString text)
{
    return text.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
}

QString describe(const QWidget *control, const QString &text)
{
    return QStringLiteral("%1 %2 \"%3\"")
        .arg(QString::fromLatin1(control->metaObject()->className()), control->objectName(), text.left(80));
}

// Empty when the widest line of `texts` fits in `room` pixels, else what is cut.
QString fits(const QWidget *control, const QStringList &texts, int room)
{
    int needed = 0;
    for (const QString &line : texts.join(QLatin1Char('\n')).split(QLatin1Char('\n')))
        needed = std::max(needed, control->fontMetrics().horizontalAdvance(line));
    return needed <= room ? QString()
                          : describe(control, texts.join(QLatin1Char('|'))) +
                                QStringLiteral(" needs %1 px, has %2").arg(needed).arg(room);
}

// Empty when a control shows `whole` within `room`, or, where it may cut it,
// cut short with "…" and whole in its tool tip.
QString shows(const QWidget *control, const QString &text, const QString &whole, int room, bool mayCut = true)
{
    const bool elided =
        mayCut && text.endsWith(Ellipsis) && whole.startsWith(text.chopped(1)) && control->toolTip() == whole;
    if (text != whole && !elided)
        return describe(control, whole) + QStringLiteral(" shows \"%1\"").arg(text);
    return fits(control, {text}, room);
}

// The room each kind of control has for its text, as the style lays it out.
int room(const QComboBox *box)
{
    // An edit field keeps two pixels each side of its text; a label is drawn
    // one pixel in from each side of the field.
    if (const QLineEdit *edit = box->lineEdit())
        return edit->width() - edit->textMargins().left() - edit->textMargins().right() - 4;
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.frame = box->hasFrame();
    const QStyle::SubControl field = QStyle::SC_ComboBoxEditField;
    return box->style()->subControlRect(QStyle::CC_ComboBox, &option, field, box).width() - 2;
}
int room(const QLabel *label)
{
    return label->contentsRect().width() - 2 * label->margin() - std::max(0, label->indent());
}
QString shows(const FlatButton_ *button, bool mayCut = true)
{
    return shows(button, button->ShownCaption(), button->Caption(), button->width() - button->WidthFor({}),
                 mayCut);
}

// A list of names shows its longest entry closed; any list shows it open.
QString checkList(QComboBox *box, bool names)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts.append(box->itemText(i));
    if (names || texts.isEmpty())
        return fits(box, texts, room(box));
    box->showPopup();
    const int open = box->view()->viewport()->width();
    box->hidePopup();
    return fits(box, texts, open);
}

QString checkLabel(QLabel *label)
{
    const QString text = label->buddy() ? withoutMnemonic(label->text()) : label->text();
    if (text.isEmpty() || label->wordWrap() || Qt::mightBeRichText(text))
        return QString();
    return shows(label, text, label->toolTip().isEmpty() ? text : label->toolTip(), room(label));
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
    return fits(button, {withoutMnemonic(button->text())},
                button->style()->subElementRect(contents, &option, button).width() - icon);
}

template <typename Control>
void each(const Opened &opened, QStringList &cut, const std::function<QString(Control *)> &check)
{
    for (Control *control : opened.window->findChildren<Control *>())
        if (control->isVisibleTo(opened.window))
            cut.append(check(control));
}

// Every text of the window's lists, labels and buttons that the reader is shown cut.
QStringList cutTexts(const Opened &opened)
{
    QStringList cut;
    each<QComboBox>(opened, cut,
                    [&](QComboBox *box) { return checkList(box, !opened.textLists.contains(box)); });
    each<QLabel>(opened, cut, checkLabel);
    each<QAbstractButton>(opened, cut, checkButton);
    each<QGroupBox>(opened, cut, [](QGroupBox *box) {
        return box->width() < box->minimumSizeHint().width() ? describe(box, box->title()) : QString();
    });
    each<FlatButton_>(opened, cut, [](FlatButton_ *button) { return shows(button); });
    // Tabs draw their text 8 pixels in and keep an edge of 2 on the right.
    each<TabList_>(opened, cut, [](TabList_ *list) {
        QStringList captions;
        for (int i = 0; i < list->ListCount(); ++i)
            captions.append(list->Captions(i));
        return fits(list, captions, list->width() - 10);
    });
    cut.removeAll(QString());
    return cut;
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
    // lines each; the names', maps', sounds' and notes' files as shipped.
    void installShippedModules()
    {
        const QByteArray text =
            ModuleBuilder().chapter(1, 1, 3).chapter(19, 119, 176).chapter(40, 1, 25).bytes();
        const QByteArray entries =
            "1\tH859 'attah 'atta 'ath 'attiy 'attem 'atten 'attenah 'attennah\tthou\r\n"
            "2\tab\tfather \xAF"
            "00001\r\n";
        TextReader list = TextReader::fromFile(m_fx->path(QStringLiteral("SysDefs/Translations.txt")));
        const QRegularExpression record(QStringLiteral("^(\\d+),\\d+,\"([^\"]*)\",\"([^\"]*)\""));
        while (!list.atEnd()) {
            const QRegularExpressionMatch m = record.match(list.readLine());
            const int number = m.captured(1).toInt();
            const QString name = m.captured(2), file = m.captured(3) + QStringLiteral(".txt");
            if (!m.hasMatch())
                continue;
            if (number < 1500)
                m_fx->addBible(name, file, text);
            else if (number < 1600)
                gNameDictionaries.Add(name, file, true, 0);
            else if (number < 1700)
                m_fx->writeFile(QStringLiteral("Modules/Dictionary/") + file, entries);
            else
                m_fx->writeFile(QStringLiteral("Modules/Commentary/") + file, text);
            if (number >= 1600)
                (number < 1700 ? gDictionaries : gCommentaries).Add(name, file, true, 0);
        }
        for (const char *folder : {"Modules/Name", "Modules/Maps", "Modules/MP3"})
            m_fx->copyShippedData(QString::fromLatin1(folder));
        QVERIFY(QFile::copy(TestFixture::sourceDir() + QStringLiteral("/data/Modules/TLNotes.txt"),
                            m_fx->path(QStringLiteral("Modules/TLNotes.txt"))));
    }

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
            QTest::addRow("%s, %s", name, language) << QString::fromLatin1(language) << open;
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
        addRows("main window", [this] { return shown(&browser()); });
        addRows("search workspace", [] {
            AdvancedSearch &window = AdvancedSearch::Instance();
            FormatToolbar *format = window.FormatBar();
            return shown(&window, {window.cboSearch, window.cboResults, format->cboFont, format->cboSize});
        });
        addRows("comparison", [] { return shown(MultiBib::Open()); });
        addRows("commentaries", [] { return shown(Commentaries::Open()); });
        addRows("dictionary", [] {
            Dictionary *window = Dictionary::Open();
            window->cboLookup_GotFocus();
            window->cboLookup->setCurrentIndex(1);
            window->cboLookup_Click();
            return shown(window, {window->cboLookup, window->cboAlt});
        });
        addRows("names", [] { return shown(frmNameDictionary::Open()); });
        addRows("translation notes", usual<TLNotes>());
        addRows("maps", usual<frmMapViewer>());
        addRows("MP3 player", usual<frmMP3>());
        addRows("bookmarks", [] { return shown(&frmBookmarkList::Instance()); });
        addRows("bookmark", [] { return shown(&frmBookmarkAdd::Instance()); });
        addRows("page setup", usual<PageSetup>());
        addRows("options", usual<frmOptions>());
        addRows("language editor", usual<LanguageE>());
        addRows("date format", usual<frmDateFormat>());
        addRows("module folder", usual<frmLocate>());
        addRows("folder list", usual<frmDirlist>());
        addRows("print preview", usual<frmDocPreview>());
        addRows("CHM Bibles", usual<frmCHM>());
        addRows("progress log", [] { return shown(&frmMessages::Instance()); });
        addRows("about", usual<frmAbout>());
        addRows("licence", usual<Indemnity>());
        addRows("no Bible", usual<NoBibles>());
        addRows("splash", usual<Splash>());
    }
    void namesShowWhole()
    {
        QFETCH(QString, language);
        QFETCH(Open, open);
        if (language != QLatin1String("ENGLISH"))
            m_fx->switchInterfaceLanguage(language);
        const Opened opened = open();
        QCoreApplication::processEvents();
        const QStringList cut = cutTexts(opened);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
    }

    // The main window's category button and book label show every category and
    // every book whole, in either language, not only the ones chosen at start.
    // Too narrow for its strip, the window cuts the translation's and the books'
    // names with "…", whole in their tool tips, and keeps the category's whole.
    void mainWindowShowsEveryCategoryAndBook_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("width"); // 0: as it opens
        QTest::newRow("English") << QStringLiteral("ENGLISH") << 0;
        QTest::newRow("Spanish") << QStringLiteral("SPANISH") << 0;
        QTest::newRow("narrow") << QStringLiteral("ENGLISH") << 400;
    }
    void mainWindowShowsEveryCategoryAndBook()
    {
        QFETCH(QString, language);
        QFETCH(int, width);
        if (language != QLatin1String("ENGLISH"))
            m_fx->switchInterfaceLanguage(language);
        BibleBrowser &main = browser();
        main.mCategory_Click(0);
        main.TabList1->SelectDatum(52);
        const bool narrow = width > 0;
        if (narrow) {
            m_main->resize(width, m_main->height());
            QVERIFY2(main.lblBook->text().endsWith(Ellipsis), qPrintable(main.lblBook->text()));
            QVERIFY2(main.btnTranslation->ShownCaption().endsWith(Ellipsis),
                     qPrintable(main.btnTranslation->ShownCaption()));
        }
        const auto book = [&](const QString &name) {
            return shows(main.lblBook, main.lblBook->text(), name, room(main.lblBook), narrow);
        };
        QStringList cut{shows(main.btnTranslation, narrow), book(main.TabList1->CaptionOfSelected())};
        QVERIFY(!main.mCategory.isEmpty());
        for (int item = 0; item < main.mCategory.size(); ++item) {
            main.mCategory_Click(item);
            cut.append(shows(main.btnCategory, false));
            for (int tab = 0; tab < main.TabList1->ListCount(); ++tab) {
                main.TabList1->setSelectedItem(tab);
                cut.append(book(main.TabList1->Captions(tab)));
            }
        }
        cut.removeAll(QString());
        cut.removeDuplicates();
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
        QVERIFY(main.lblBook->geometry().right() < main.width());
    }
};

QTEST_MAIN(TestNamesWhole)
#include "tst_nameswhole.moc"
