#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

class BookCategories;
class FlatButton_;
class NewRichText;
class QLabel;
class QMenu;
class QAction;
class TabList_;
class Translation;

// The reading control of the main window: the reader picks a translation and a
// category of books from two drop-down buttons and a book from the tab list, and
// reads the whole book in the pane. Keeps the view options and its choices in the
// settings store and follows program-wide changes through the notifier.
class BibleBrowser : public QWidget
{
    Q_OBJECT
public:
    explicit BibleBrowser(QWidget *parent = nullptr);
    ~BibleBrowser() override;

    void ChooseFont();
    bool WrapText() const { return m_WrapText; }
    void setWrapText(bool on);
    bool IntegrateNames() const { return m_IntegrateNames; }
    void setIntegrateNames(bool on);
    bool FancyFormatting() const { return m_FancyFormatting; }
    void setFancyFormatting(bool on);
    bool SmartQuotes() const { return m_SmartQuotes; }
    void setSmartQuotes(bool on);
    bool SmartDash() const { return m_SmartDash; }
    void setSmartDash(bool on);
    void ReinitTranslations();
    void SelectAll();
    void Find(bool findNext);
    void CopyToClipboard();
    void m_globalnotifer_Notify(const QString &eventName);

    // The constituent controls.
    FlatButton_ *btnTranslation = nullptr;
    FlatButton_ *btnCategory = nullptr;
    QMenu *popupTranslations = nullptr;
    QMenu *popupCategories = nullptr;
    QList<QAction *> mTranslation;
    QList<QAction *> mCategory;
    QLabel *lblBook = nullptr;
    TabList_ *TabList1 = nullptr;
    NewRichText *RichText1 = nullptr;

    // The current translation (none when no Bible is enabled) and category.
    std::shared_ptr<Translation> CurrentTranslation() const { return m_Translation; }
    qint16 CurrentCategory() const { return m_Category; }
    QString ReadingFontName() const { return m_FontName; }

    // Event handlers, public so that tests can drive them as a person would.
    void btnTranslation_Click();
    void btnCategory_Click();
    void mTranslation_Click(int index);
    void mCategory_Click(int index);
    void TabList1_Click();
    void RichText1_SelChange();
    // The name look-up of a selected word.
    void ShowNameMeaning(const QString &name);
    void EnsureNamesLoaded();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void UserControl_Initialize();
    void UserControl_Show();
    void UserControl_KeyDown(int &KeyCode, int Shift);
    void DoSetFocus();
    void ShowFoundText();
    void DisplayBook(int book);
    // What the pane shows for a book that has no text to show.
    QString NoTextLine(int book) const;
    void DefineStyles();
    void BuildCategoryMenu();
    void AddCategoryMenuItems(int parent, int level);
    void LoadCategoryMenuItem(const QString &caption, int category);
    void FillBookTabs(int category);
    void SetUpDropDownButton(FlatButton_ *button);
    void LayOut();
    // The widths the strip's longest names need.
    int WidestCategory() const;
    int WidestTranslation() const;
    int WidestBookName() const;
    int SelectedBook() const;
    int StripHeight() const;

    std::shared_ptr<Translation> m_Translation;
    std::unique_ptr<BookCategories> m_Categories;
    qint16 m_Category = 0;
    qint16 m_LastTranslationItem = -1;
    bool m_WrapText = true;
    bool m_IntegrateNames = true;
    bool m_FancyFormatting = true;
    bool m_SmartQuotes = true;
    bool m_SmartDash = true;
    QString m_FontName;
    // The chosen book's name, whole; the label may show it cut short.
    QString m_bookCaption;
    QString m_FindText;
    qint32 m_FindStart = 0;
    bool m_shown = false;
    // A name's message box must not start another look-up while it is open.
    bool m_lookingUpName = false;
};
