#pragma once

#include <QDialog>
#include <QFont>
#include <functional>
#include <optional>

class ListboxImproved_;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// Picks a font face by character set, with a sample of the caller's own text.
// Reached through ChooseFont only; the window lives for one call.
class frmFontChooser : public QDialog
{
    Q_OBJECT

public:
    // A font as the chooser hands it back: the face, its character set (0-255;
    // 1 stands for all) and the size and styles, which the chooser keeps.
    struct StdFont
    {
        QString name;
        int charSet = 1;
        qreal size = 12;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool strikethrough = false;

        QFont toQFont() const;
        bool operator==(const StdFont &) const = default;
    };

    // The font built from the chosen face, or the given font (none when none was
    // given) when the reader cancels, closes the window or chooses no face.
    static std::optional<StdFont> ChooseFont(const std::optional<StdFont> &font, const QString &sampleText);
    // The same for a QFont, whose character set is the first its face supports.
    static QFont ChooseQFont(const QFont &font, const QString &sampleText, QWidget *parent);
    // Makes the chooser the browser's font command (through the opener registry).
    static void Register();

    // Fills FontHelpers_'s font keys and character-set names; tests give their own.
    using Enumerator = std::function<void()>;
    static Enumerator setEnumerator(Enumerator enumerate);
    // Shows the window modally until OK, Cancel or the close box; tests drive it instead.
    using Shower = std::function<void(frmFontChooser &)>;
    static Shower setShowModal(Shower show);

    // "<face>~CharSet<n>" into the face and the character set (1 when the key has none).
    static std::pair<QString, int> SplitFontKey(const QString &key);
    // The ANSI characters 33-255 after a blank, padded to 255 characters.
    static QString CharacterLine();

    void lstCharSet_Click();
    void lstFonts_Click();
    void btnOkay_Click();
    void btnCancel_Click();
    void reject() override;

    QLabel *lblCharSet = nullptr;
    QComboBox *lstCharSet = nullptr;
    QLabel *lblFont = nullptr;
    ListboxImproved_ *lstFonts = nullptr;
    QLabel *lblSample = nullptr;
    QPlainTextEdit *txtSample = nullptr;
    QPushButton *btnOkay = nullptr;
    QPushButton *btnCancel = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    frmFontChooser(const std::optional<StdFont> &font, const QString &sampleText);
    void buildControls();
    void FormLoad();
    void FillFontList();
    void selectGivenFace();
    StdFont MakeFont(const QString &key) const;

    QString m_sampleText;
    std::optional<StdFont> m_baseFont;
    QString m_fontName;
    int m_charSet = 1;
    QString m_fontKey;
};
