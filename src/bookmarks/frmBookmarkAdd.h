#pragma once

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

// The bookmark dialog: title, date added, category and a Bible reference of book,
// chapter and verse. It is hidden, not unloaded, between uses, so its boxes keep
// their values; the bookmark list reads them after it closes.
class frmBookmarkAdd : public QDialog
{
    Q_OBJECT

public:
    frmBookmarkAdd();

    // The default instance, loaded on first use.
    static frmBookmarkAdd &Instance();
    // Shows the default instance modally; tests replace the showing.
    static void ShowModal();

    QString sTitle() const;
    void setSTitle(const QString &title);
    QString sDate() const;
    void setSDate(const QString &date);
    QString sCategory() const;
    void setSCategory(const QString &category);
    // "<book> <chapter>:<verse>", chapter and verse as three digits at least when
    // they are numbers. Setting splits such a text into the three boxes; a text
    // without a blank, or without ":" after the first blank, raises RuntimeError 5.
    QString sBookChVs() const;
    void setSBookChVs(const QString &reference);
    // The document name for the title: its file-name characters with ".rtf",
    // made unique among the bookmarks other than the row `ownRow` (Edit).
    QString MakeFN(int ownRow = -1) const;

    // Opened to add a bookmark: the date box shows today's date when it opens.
    void setAdding(bool adding) { m_adding = adding; }
    // Whether the dialog was last closed by Cancel, Escape or its frame.
    bool Cancelled() const { return m_cancelled; }

    // A chapter or verse as the reference stores it: a number with at least three
    // digits, any other text as it is.
    static QString FormatNumberPart(const QString &text);
    // The book tokens of the book-name file: short names in upper case, blanks as "_".
    static QStringList BookTokens();

    // The help context of the bookmark windows: the Help button and F1 open it.
    static constexpr int HelpContext = 2001;

    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

    QLineEdit *tTitle = nullptr;
    QLineEdit *tDate = nullptr;
    QLineEdit *tCategory = nullptr;
    QGroupBox *Frame1 = nullptr;
    QComboBox *cboBook = nullptr;
    QLineEdit *tChapter = nullptr;
    QLineEdit *tVerse = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdHelp = nullptr;

public slots:
    // Escape cancels.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    // The close box counts as Cancel: nothing unconfirmed is added or changed.
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void Form_Activate();
    bool ReferenceIsValid();
    bool refuse(QWidget *box, int message, const QString &argument);

    bool m_adding = false;
    bool m_cancelled = true;
};
