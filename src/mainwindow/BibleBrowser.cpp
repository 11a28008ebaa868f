#include "mainwindow/BibleBrowser.h"
#include "mainwindow/MenuTargets.h"
#include "mainwindow/NameMeanings.h"

#include "abi/VirtualKeys.h"
#include "controls/FlatButton_.h"
#include "controls/NewRichText.h"
#include "controls/TabList_.h"
#include "controls/TextFit.h"
#include "controls/WinApi_.h"
#include "core/BibleBookNames.h"
#include "core/BookCategories.h"
#include "core/Bug_.h"
#include "core/FileFunctions_.h"
#include "core/GlobalNotifier.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "core/Registry_.h"
#include "core/Translation.h"
#include "core/TranslationHelpers.h"
#include "platform/FileNames.h"
#include "platform/OleColor.h"
#include "platform/RichEditWidget.h"
#include "platform/TextFile.h"
#include "platform/TextFont.h"
#include "platform/VbConvert.h"
#include "platform/VbText.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <algorithm>

namespace {
const QString SettingsSection = QStringLiteral("Settings");
const QString NoTranslationText = QStringLiteral("[No text to display--Bible Translation not found.]");
// The line shown for a book that a module file cut short ends before.
constexpr int CutShortBookMsg = 252;
const QString DropDownGlyph = QStringLiteral("\u25BC ");
constexpr int DefaultCategory = 5;
constexpr int LastBibleBook = 66;
constexpr int SelectEverything = 9999999;
constexpr int NoWrapMargin = 128000;
// Removes the sunken client edge (WS_EX_CLIENTEDGE) of the rich-edit window.
constexpr quint32 WithoutClientEdge = 0xFFFFFDFFu;
// The book list's width; the buttons above it are sized from it.
constexpr int TabListWidthTwips = 2100;
constexpr int PaneGap = 4;
// Lines kept in view below a match that Find shows.
constexpr int FoundLinesBelow = 3;

// Painting stays suspended while a book is put together.
class PaneFill
{
public:
    explicit PaneFill(NewRichText &pane)
        : m_pane(pane)
    {
        m_pane.BeginFill();
    }
    ~PaneFill() { m_pane.EndFill(); }
    PaneFill(const PaneFill &) = delete;
    PaneFill &operator=(const PaneFill &) = delete;

private:
    NewRichText &m_pane;
};

QString menuText(const QString &caption)
{
    // A "&" in a module's name is text, not a mnemonic.
    QString text = caption;
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

BibleBrowser::BibleBrowser(QWidget *parent)
    : QWidget(parent)
{
    btnCategory = new FlatButton_(this);
    btnTranslation = new FlatButton_(this);
    popupTranslations = new QMenu(this);
    popupCategories = new QMenu(this);
    mTranslation.append(popupTranslations->addAction(QString()));
    connect(mTranslation.first(), &QAction::triggered, this, [this] { mTranslation_Click(0); });
    mCategory.append(popupCategories->addAction(QString()));
    connect(mCategory.first(), &QAction::triggered, this, [this] { mCategory_Click(0); });
    lblBook = new QLabel(this);
    lblBook->setTextFormat(Qt::PlainText);
    lblBook->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont bookFont = lblBook->font();
    bookFont.setBold(true);
    bookFont.setPointSizeF(bookFont.pointSizeF() * 1.2);
    lblBook->setFont(bookFont);
    lblBook->setFixedHeight(lblBook->fontMetrics().height() + 10);
    TabList1 = new TabList_(this);
    RichText1 = new NewRichText(this);

    connect(btnTranslation, &FlatButton_::Click, this, &BibleBrowser::btnTranslation_Click);
    connect(btnCategory, &FlatButton_::Click, this, &BibleBrowser::btnCategory_Click);
    connect(TabList1, &TabList_::Click, this, &BibleBrowser::TabList1_Click);
    // Choosing the open book again shows it afresh too.
    connect(TabList1, &TabList_::OpenTabChosenAgain, this, &BibleBrowser::TabList1_Click);
    connect(RichText1, &NewRichText::SelChange, this, &BibleBrowser::RichText1_SelChange);
    // The list and the pane take their keys through their inner windows; watching
    // those lets Tab and Shift+Tab move between them before either acts on it.
    TabList1->pixFocus->installEventFilter(this);
    if (RichText1->hwnd()) {
        RichText1->hwnd()->installEventFilter(this);
        // The pane is for reading: keys and paste don't change the book, while the
        // reader still selects, copies and moves through it with the keyboard. The
        // program itself writes it through the text object model.
        RichText1->hwnd()->setReadOnly(true);
        RichText1->hwnd()->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }

    setAutoFillBackground(true);
    UserControl_Initialize();
}

BibleBrowser::~BibleBrowser()
{
    // The constituent controls outlive this object's own part while QWidget
    // deletes them; what they announce then must not reach these handlers.
    for (QObject *control :
         std::initializer_list<QObject *>{btnTranslation, btnCategory, TabList1, RichText1})
        control->disconnect(this);
    TabList1->pixFocus->removeEventFilter(this);
    if (RichText1->hwnd())
        RichText1->hwnd()->removeEventFilter(this);
}

void BibleBrowser::UserControl_Initialize()
{
    DeferredErrors errors(QStringLiteral("BibleBrowser.UserControl_Initialize()"));
    NameMeanings::Reset();
    errors.step([&] { setWrapText(GetBoolean(QStringLiteral("BibleBrowserWrapText"), true)); });
    errors.step([&] {
        m_FancyFormatting = GetBoolean(QStringLiteral("BibleBrowserFancyFormat"), true);
        m_SmartQuotes = GetBoolean(QStringLiteral("BibleBrowserSmartQuotes"), true);
        m_SmartDash = GetBoolean(QStringLiteral("BibleBrowserSmartDash"), true);
        m_IntegrateNames = GetBoolean(QStringLiteral("BibleBrowserIntegrateNames"), true);
    });
    errors.step([&] {
        m_FontName = GetString(QStringLiteral("BibleBrowserFontName"), QString());
        if (m_FontName.isEmpty())
            m_FontName = gDefaultFont;
    });
    if (gNotifier)
        connect(gNotifier, &GlobalNotifier::Notify, this, &BibleBrowser::m_globalnotifer_Notify);
}

void BibleBrowser::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    UserControl_Show();
}

void BibleBrowser::SetUpDropDownButton(FlatButton_ *button)
{
    QFont captionFont = button->font();
    captionFont.setBold(true);
    button->setFont(captionFont);
    QFont glyphFont = font();
    glyphFont.setPointSize(10);
    *button->GlyphFont() = glyphFont;
    button->setGlyph(DropDownGlyph);
    button->setAlignment(0);
}

void BibleBrowser::UserControl_Show()
{
    DeferredErrors errors(QStringLiteral("BibleBrowser.UserControl_Show()"));
    errors.step([&] { RichText1->setBackColor(OleColor::fromQColor(palette().color(QPalette::Window))); });
    errors.step([&] { WinApi_::ModifyWindowStyle(RichText1->hwnd(), WithoutClientEdge, 0, true); });
    errors.step([&] {
        SetUpDropDownButton(btnTranslation);
        SetUpDropDownButton(btnCategory);
        LayOut();
    });
    errors.step([&] { RichText1->Font()->setName(m_FontName); });
    errors.step([&] { RichText1->setSelFontName(m_FontName); });
    errors.step([&] { ReinitTranslations(); });
    errors.step([&] {
        const QString saved =
            VbText::Trim(GetString(QStringLiteral("BibleBrowserTranslation"), QString(), SettingsSection));
        if (saved.isEmpty())
            return;
        m_Translation = TranslationHelpers::GetTranslationByFileName(saved, m_Translation);
        if (m_Translation)
            btnTranslation->setCaption(m_Translation->DisplayName);
    });
    errors.step([&] {
        m_Categories = std::make_unique<BookCategories>();
        BuildCategoryMenu();
    });
    errors.step([&] {
        qint16 category =
            GetInteger(QStringLiteral("BibleBrowserCategory"), DefaultCategory, SettingsSection);
        // A category that the categories file no longer has falls back to all books.
        if (category < 0 || category >= m_Categories->CountOfCategories())
            category = 0;
        FillBookTabs(category);
    });
    errors.step([&] {
        TabList1->SelectDatum(int(GetInteger(QStringLiteral("BibleBrowserBook"), 0, SettingsSection)));
    });
}

void BibleBrowser::ReinitTranslations()
{
    while (mTranslation.size() > 1)
        delete mTranslation.takeLast();
    m_LastTranslationItem = -1;
    for (qint32 i = 0; i < gBibles.Count(); ++i) {
        if (!gBibles.Enabled(i))
            continue;
        ++m_LastTranslationItem;
        if (m_LastTranslationItem > 0) {
            QAction *item = popupTranslations->addAction(QString());
            const int index = m_LastTranslationItem;
            connect(item, &QAction::triggered, this, [this, index] { mTranslation_Click(index); });
            mTranslation.append(item);
        }
        QAction *item = mTranslation[m_LastTranslationItem];
        item->setText(menuText(gBibles.DisplayName(i)));
        item->setData(gBibles.FileNames(i));
        if (!m_Translation) {
            m_Translation = GetTranslation(i);
            if (m_Translation)
                btnTranslation->setCaption(m_Translation->DisplayName);
        }
    }
    // The first item is always there; with no Bible to offer it stays out of sight.
    mTranslation.first()->setVisible(m_LastTranslationItem >= 0);
    if (m_LastTranslationItem < 0)
        mTranslation.first()->setData(QString());
    // The translation button is sized by the names it may show.
    LayOut();
}

void BibleBrowser::btnTranslation_Click()
{
    DeferredErrors errors(QStringLiteral("BibleBrowser.btnTranslation_Click()"));
    errors.step([&] {
        popupTranslations->popup(
            mapToGlobal(QPoint(btnTranslation->x(), btnTranslation->y() + btnTranslation->height())));
    });
}

void BibleBrowser::btnCategory_Click()
{
    DeferredErrors errors(QStringLiteral("BibleBrowser.btnCategory_Click()"));
    errors.step([&] {
        popupCategories->popup(
            mapToGlobal(QPoint(btnCategory->x(), btnCategory->y() + btnCategory->height())));
    });
}

void BibleBrowser::mTranslation_Click(int index)
{
    DeferredErrors errors(QStringLiteral("BibleBrowser.mTranslation_Click()"));
    if (index < 0 || index > m_LastTranslationItem || index >= mTranslation.size())
        return;
    errors.step([&] {
        m_Translation = TranslationHelpers::GetTranslationByFileName(mTranslation[index]->data().toString(),
                                                                     m_Translation);
    });
    errors.step([&] {
        if (m_Translation)
            btnTranslation->setCaption(m_Translation->DisplayName);
    });
    errors.step([&] { DisplayBook(SelectedBook()); });
    errors.step([&] {
        if (m_Translation)
            SaveString(QStringLiteral("BibleBrowserTranslation"), m_Translation->FileName, SettingsSection);
    });
}

void BibleBrowser::BuildCategoryMenu()
{
    while (mCategory.size() > 1)
        delete mCategory.takeLast();
    if (!m_Categories || m_Categories->CountOfCategories() == 0)
        return;
    mCategory.first()->setText(menuText(m_Categories->LongNameOfCategory(0)));
    mCategory.first()->setData(QStringLiteral("0"));
    AddCategoryMenuItems(0, 1);
    // The category button is sized by the names it may show.
    LayOut();
}

void BibleBrowser::AddCategoryMenuItems(int parent, int level)
{
    for (int i = 1; i < m_Categories->CountOfCategories(); ++i) {
        // A category that names itself as its parent would recurse for ever.
        if (m_Categories->ParentCategoryOfCategory(i) != parent || i == parent)
            continue;
        LoadCategoryMenuItem(QString(level * 2, QLatin1Char(' ')) + m_Categories->LongNameOfCategory(i), i);
        AddCategoryMenuItems(i, level + 1);
    }
}

void BibleBrowser::LoadCategoryMenuItem(const QString &caption, int category)
{
    QAction *item = popupCategories->addAction(menuText(caption));
    item->setData(QString::number(category));
    const int index = int(mCategory.size());
    connect(item, &QAction::triggered, this, [this, index] { mCategory_Click(index); });
    mCategory.append(item);
}

void BibleBrowser::mCategory_Click(int index)
{
    DeferredErrors errors(QStringLiteral("BibleBrowser.mCategory_Click()"));
    if (index < 0 || index >= mCategory.size())
        return;
    const qint16 category = qint16(VbConvert::val(mCategory[index]->data().toString()));
    errors.step([&] { FillBookTabs(category); });
    errors.step([&] { SaveInteger(QStringLiteral("BibleBrowserCategory"), category, SettingsSection); });
}

void BibleBrowser::FillBookTabs(int category)
{
    m_Category = qint16(category);
    const bool known = m_Categories && category >= 0 && category < m_Categories->CountOfCategories();
    btnCategory->setCaption(known ? m_Categories->LongNameOfCategory(category) : QString());
    TabList1->Clear();
    if (!known)
        return;
    for (qint16 book = 1; book <= LastBibleBook; ++book)
        if (m_Categories->IsBookInCategory(category, book))
            TabList1->AddItem(BookNames().FullName(book), int(book));
}

void BibleBrowser::TabList1_Click()
{
    DeferredErrors errors(QStringLiteral("BibleBrowser.TabList1_Click()"));
    errors.step([&] {
        m_bookCaption = TabList1->CaptionOfSelected();
        TextFit::ShowInLabel(lblBook, m_bookCaption);
    });
    if (TabList1->SelectedItem() < 0)
        return;
    const int book = SelectedBook();
    errors.step([&] { DisplayBook(book); });
    errors.step([&] { SaveInteger(QStringLiteral("BibleBrowserBook"), qint16(book), SettingsSection); });
}

int BibleBrowser::SelectedBook() const
{
    return TabList1->DatumOfSelected().toInt();
}

void BibleBrowser::DefineStyles()
{
    // The reader's font is the book's font: without a font object of the
    // translation the pane's own first style would otherwise decide it.
    const QString face = m_Translation && m_Translation->Font ? m_Translation->Font->family() : m_FontName;
    RichText1->AddNamedStyle(QStringLiteral("normal"), face + QStringLiteral(",,"));
    RichText1->AddNamedStyle(QStringLiteral("normal"),
                             QStringLiteral(",") + QString::number(gBib1Fontsize) + QStringLiteral(","));
    RichText1->AddNamedStyle(QStringLiteral("Chapter"), QStringLiteral(",20,B"));
    RichText1->AddNamedStyle(QStringLiteral("VerseNumber"), QStringLiteral(",,bP"));
}

void BibleBrowser::DisplayBook(int book)
{
    DeferredErrors errors(QStringLiteral("BibleBrowser.DisplayBook()"));
    // A search goes on in the text it started in; a new text starts a new one.
    m_FindStart = 0;
    {
        PaneFill fill(*RichText1);
        errors.step([&] { RichText1->setText(QString()); });
        errors.step([&] { DefineStyles(); });
        // A module that could not be indexed (its file is damaged) has no text either,
        // nor has a book the module lacks (one cut short ends before it).
        const bool inBible = book >= 1 && book <= LastBibleBook;
        if (!m_Translation || !m_Translation->HasIndex() ||
            (inBible && m_Translation->Index().LastChapter(book) == 0))
            errors.step([&] { RichText1->AppendFormattedText(NoTextLine(book), QStringLiteral("normal")); });
        else if (inBible)
            errors.step([&] {
                m_Translation->BookContentsIntoNewRichEdit(*RichText1, book, m_FancyFormatting, m_SmartQuotes,
                                                           m_SmartDash);
            });
        errors.step([&] { RichText1->SetSelection(0, 0); });
    }
    // The text changed out of sight; the view would stay where the old text was
    // scrolled to instead of showing the caret at the top.
    if (RichText1->hwnd()) {
        RichText1->hwnd()->verticalScrollBar()->setValue(0);
        RichText1->hwnd()->horizontalScrollBar()->setValue(0);
    }
    DoSetFocus();
}

QString BibleBrowser::NoTextLine(int book) const
{
    // The translation is there, but its file ends before the book: the file is
    // named, not the translation taken as missing.
    if (m_Translation && m_Translation->CutShortBefore(book))
        return GetMsg(0, CutShortBookMsg, FileNames::resolve(m_Translation->ModulePath()));
    return NoTranslationText;
}

void BibleBrowser::DoSetFocus()
{
    if (Err().Number != 0)
        ShowUnexpectedError(QStringLiteral("caller of: Private BibleBrowser.DoSetFocus()"));
    IgnoreErrors([&] {
        if (!RichText1->isEnabled() || !RichText1->isVisible())
            return;
        if (RichText1->hwnd())
            RichText1->hwnd()->setFocus(Qt::OtherFocusReason);
        else
            RichText1->setFocus(Qt::OtherFocusReason);
    });
    Err().Clear();
}

void BibleBrowser::setWrapText(bool on)
{
    m_WrapText = on;
    const int length = RichText1->SelLength();
    const int start = RichText1->SelStart();
    RichText1->setSelStart(0);
    RichText1->setSelLength(SelectEverything);
    RichText1->setRightMargin(on ? 0 : NoWrapMargin);
    RichText1->setSelIndent(0);
    RichText1->setSelStart(start);
    RichText1->setSelLength(length);
    SaveBoolean(QStringLiteral("BibleBrowserWrapText"), on);
}

void BibleBrowser::setIntegrateNames(bool on)
{
    m_IntegrateNames = on;
    SaveBoolean(QStringLiteral("BibleBrowserIntegrateNames"), on);
    if (on)
        desktop().messageBox(GetMsg(0, 42), MsgBoxStyle::OKOnly, QString());
}

void BibleBrowser::setFancyFormatting(bool on)
{
    m_FancyFormatting = on;
    SaveBoolean(QStringLiteral("BibleBrowserFancyFormat"), on);
    DisplayBook(SelectedBook());
}

void BibleBrowser::setSmartQuotes(bool on)
{
    m_SmartQuotes = on;
    SaveBoolean(QStringLiteral("BibleBrowserSmartQuotes"), on);
    DisplayBook(SelectedBook());
}

void BibleBrowser::setSmartDash(bool on)
{
    m_SmartDash = on;
    SaveBoolean(QStringLiteral("BibleBrowserSmartDash"), on);
    DisplayBook(SelectedBook());
}

void BibleBrowser::ChooseFont()
{
    if (!m_Translation)
        return;
    QFont current;
    if (m_Translation->Font) {
        current = *m_Translation->Font;
    } else {
        current.setFamily(m_FontName);
        current.setPointSize(gBib1Fontsize);
    }
    // The program's font chooser when it is there; otherwise the desktop's dialog.
    // A cancelled dialog hands back the font it was given.
    const QFont chosen = MenuTargets::ChooseFont(current, m_Translation->BookContents(1, false), this,
                                                 [](const QFont &font, const QString &sample, QWidget *) {
                                                     return desktop().chooseFont(font, sample).value_or(font);
                                                 });
    m_Translation->Font = std::make_shared<QFont>(chosen);
    RichText1->Font()->setName(chosen.family());
    m_FontName = chosen.family();
    DisplayBook(SelectedBook());
    SaveString(QStringLiteral("BibleBrowserFontName"), m_FontName);
}

void BibleBrowser::SelectAll()
{
    RichText1->setSelStart(0);
    RichText1->setSelLength(SelectEverything);
}

void BibleBrowser::CopyToClipboard()
{
    QGuiApplication::clipboard()->clear();
    DoSetFocus();
    if (RichText1->hwnd())
        RichText1->hwnd()->copy();
}

void BibleBrowser::Find(bool findNext)
{
    // Find Next before anything was searched for asks, as Find does.
    if (!findNext || m_FindText.isEmpty()) {
        const std::optional<QString> answer =
            desktop().inputBox(QStringLiteral("Enter Text to find"),
                               MiscHelpers::ProductTitle() + QStringLiteral(" Search"), m_FindText);
        m_FindText = VbText::Trim(answer.value_or(QString()));
        if (m_FindText.isEmpty())
            return;
        // A new search begins at the top of the book.
        m_FindStart = 0;
    }
    if (m_FindStart == 0)
        m_FindStart = 1;
    const int found = RichText1->Find(m_FindText, m_FindStart);
    if (found < 1) {
        desktop().messageBox(GetMsg(0, 50), MsgBoxStyle::Information, QString());
    } else {
        DoSetFocus();
        ShowFoundText();
        // The next search starts just after this match, so that it is not found again.
        m_FindStart = found + int(m_FindText.size());
    }
    DoSetFocus();
}

void BibleBrowser::ShowFoundText()
{
    QTextEdit *view = RichText1->hwnd();
    if (!view)
        return;
    // Selecting scrolls only as far as needed, which can leave the match on the
    // bottom line; a few lines of what follows belong in view too.
    const QRect match = view->cursorRect();
    const int room = view->viewport()->height();
    const int below = std::min(FoundLinesBelow * match.height(), std::max(0, (room - match.height()) / 2));
    const int overshoot = match.bottom() + 1 + below - room;
    if (overshoot > 0)
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->value() + overshoot);
}

void BibleBrowser::RichText1_SelChange()
{
    DeferredErrors errors(QStringLiteral("BibleBrowser.RichText1_SelChange()"));
    if (!m_IntegrateNames || m_lookingUpName)
        return;
    errors.step([&] {
        const int length = RichText1->SelLength();
        if (length < 3 || length >= 20)
            return;
        const QScopedValueRollback<bool> busy(m_lookingUpName, true);
        ShowNameMeaning(VbText::Trim(RichText1->SelText()));
    });
}

void BibleBrowser::ShowNameMeaning(const QString &name)
{
    DeferredErrors errors(QStringLiteral("BibleBrowser.ShowNameMeaning()"));
    errors.step([&] { NameMeanings::Show(name); });
}

void BibleBrowser::EnsureNamesLoaded()
{
    DeferredErrors errors(QStringLiteral("BibleBrowser.EnsureNamesLoaded()"));
    errors.step([] { NameMeanings::EnsureLoaded(); });
}

void BibleBrowser::UserControl_KeyDown(int &KeyCode, int Shift)
{
    if (KeyCode != VK::Tab)
        return;
    QWidget *focused = QApplication::focusWidget();
    const bool inList = focused && (focused == TabList1 || TabList1->isAncestorOf(focused));
    const bool inPane = focused && (focused == RichText1 || RichText1->isAncestorOf(focused));
    if (Shift == 0 && inList) {
        DoSetFocus();
        KeyCode = 0;
    } else if (Shift == ShiftMask::Shift && inPane) {
        TabList1->setFocus(Qt::BacktabFocusReason);
        KeyCode = 0;
    }
}

bool BibleBrowser::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress &&
        (watched == TabList1->pixFocus || (RichText1->hwnd() && watched == RichText1->hwnd()))) {
        auto *key = static_cast<QKeyEvent *>(event);
        int keyCode = VirtualKeys::fromEvent(key);
        bool consumed = false;
        DeferredErrors errors(QStringLiteral("BibleBrowser.UserControl_KeyDown()"));
        errors.step([&] {
            UserControl_KeyDown(keyCode, VirtualKeys::shiftMask(key->modifiers()));
            consumed = keyCode == 0;
        });
        if (consumed)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void BibleBrowser::m_globalnotifer_Notify(const QString &eventName)
{
    DeferredErrors errors(QStringLiteral("BibleBrowser.m_globalnotifer_Notify()"));
    if (eventName == GlobalNotifier::TranslationsAvailListChanged) {
        errors.step([&] { ReinitTranslations(); });
    } else if (eventName == GlobalNotifier::InternationalChanged) {
        const qint32 selected = TabList1->SelectedItem();
        // The categories' names follow the language too, in the button and the menu.
        errors.step([&] {
            if (m_Categories) {
                m_Categories->LoadLanguageFile(gSysDefsFolder + QStringLiteral("Categories.txt"));
                BuildCategoryMenu();
            }
        });
        errors.step([&] { FillBookTabs(m_Category); });
        errors.step([&] { TabList1->setSelectedItem(selected); });
        errors.step([&] { TabList1->Refresh(); });
        errors.step([&] { btnCategory->Refresh(); });
    }
}

int BibleBrowser::StripHeight() const
{
    return lblBook->height();
}

int BibleBrowser::WidestCategory() const
{
    int widest = 0;
    if (m_Categories)
        for (int i = 0; i < m_Categories->CountOfCategories(); ++i)
            widest = std::max(widest, btnCategory->WidthFor(m_Categories->LongNameOfCategory(i)));
    return widest;
}

int BibleBrowser::WidestTranslation() const
{
    int widest = btnTranslation->WidthFor(btnTranslation->Caption());
    for (qint32 i = 0; i < gBibles.Count(); ++i)
        if (gBibles.Enabled(i))
            widest = std::max(widest, btnTranslation->WidthFor(gBibles.DisplayName(i)));
    return widest;
}

int BibleBrowser::WidestBookName() const
{
    const QFontMetrics metrics = lblBook->fontMetrics();
    int widest = metrics.horizontalAdvance(m_bookCaption);
    for (qint16 book = 1; book <= LastBibleBook; ++book)
        widest = std::max(widest, metrics.horizontalAdvance(BookNames().FullName(book)));
    return widest + 2 * lblBook->margin();
}

// The strip shows every category's name and every book's name whole: the book
// list and the category button above it widen for the longest category, and the
// label keeps room for the longest book. The translation button takes twice the
// list's width, more for a longer name when the window has room, less when it has
// not; a name it cannot show whole is cut short, whole in its tool tip. In a
// window too narrow even for that, the book's name is cut short the same way.
void BibleBrowser::LayOut()
{
    const int strip = StripHeight();
    const int listWidth =
        std::max(WinApi_::pixelRect(0, 0, TabListWidthTwips, 0, 1).width(), WidestCategory());
    const int buttonHeight = btnCategory->fontMetrics().height() + 8;
    const int buttonTop = (strip - buttonHeight) / 2;
    btnCategory->setGeometry(2, buttonTop, listWidth, buttonHeight);
    const int translationLeft = btnCategory->geometry().right() + 1 + PaneGap;
    const int labelGap = 3 * PaneGap;
    const int room = width() - translationLeft - labelGap - WidestBookName() - PaneGap;
    const int widest = WidestTranslation();
    const int translationWidth =
        std::clamp(room, std::min(listWidth, widest), std::max(2 * listWidth, widest));
    btnTranslation->setGeometry(translationLeft, buttonTop, translationWidth, buttonHeight);
    const int labelLeft = btnTranslation->geometry().right() + 1 + labelGap;
    lblBook->setGeometry(labelLeft, 0, std::max(0, width() - labelLeft - PaneGap), strip);
    TextFit::ShowInLabel(lblBook, m_bookCaption);
    // Below the strip and its two separator lines.
    const int listTop = strip + 2;
    const int listHeight = std::max(0, height() - listTop);
    TabList1->setGeometry(0, listTop, listWidth, listHeight);
    const int paneLeft = TabList1->geometry().right() + 1 + PaneGap;
    RichText1->setGeometry(paneLeft, listTop + 1, std::max(0, width() - paneLeft),
                           std::max(0, listHeight - 1));
}

void BibleBrowser::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    LayOut();
}

void BibleBrowser::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    const int y = StripHeight();
    painter.setPen(OleColor::toQColor(OleColor::Sys::ButtonShadow));
    painter.drawLine(0, y, width(), y);
    painter.setPen(OleColor::toQColor(OleColor::Sys::ButtonHighlight));
    painter.drawLine(0, y + 1, width(), y + 1);
}
