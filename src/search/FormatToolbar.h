#pragma once

#include <QIcon>
#include <QWidget>

class QComboBox;
class QToolButton;
class RichTextBox;

// The workspace's formatting bar: font name and size, bold, italic, underline, text
// and back colour, alignment, bullets and indents, acting on the selection of the
// document pane like a small word processor. A button of a format that the
// selection has shows pressed. The bar also reads the pane's keys: Ctrl+B, Ctrl+T
// (italic) and Ctrl+U on press, Alt+C/D/L/O/R/S on release; the window's own
// commands among the shortcuts (F3, Ctrl+A, Ctrl+F, Ctrl+W) are handed on as signals.
class FormatToolbar : public QWidget
{
    Q_OBJECT

public:
    explicit FormatToolbar(RichTextBox *rt, QWidget *parent = nullptr);

    // Paragraph alignments, as the rich text box numbers them.
    static constexpr int AlignLeft = 0;
    static constexpr int AlignRight = 1;
    static constexpr int AlignCentre = 2;
    static constexpr float IndentStep = 500; // twips

    void cmdBold_Click();
    void cmdItalic_Click();
    void cmdUnderline_Click();
    void cmdBullet_Click();
    void cmdIndentMore_Click();
    void cmdIndentLess_Click();
    void cmdLeftJ_Click();
    void cmdCentreJ_Click();
    void cmdRightJ_Click();
    void cmdFColuor_Click();
    void cmdBColour_Click();
    void cboFont_Click();
    void cboSize_Click();
    // Shows the selection's formats on the buttons and boxes (after a click or key
    // in the pane).
    void UpdateButtons();
    // The buttons' tips from the catalog.
    void International();

    // The window's key handlers. Shift: 1 Shift, 2 Ctrl, 4 Alt, matched exactly;
    // a key code set to 0 is swallowed.
    void Form_KeyDown(int &keyCode, int shift);
    void Form_KeyUp(int &keyCode, int shift);

    // Whether a button shows pressed.
    static bool Pressed(const QToolButton *button);

    // The controls.
    QComboBox *cboFont = nullptr;
    QComboBox *cboSize = nullptr;
    QToolButton *cmdBold = nullptr;
    QToolButton *cmdItalic = nullptr;
    QToolButton *cmdUnderline = nullptr;
    QToolButton *cmdFColuor = nullptr;
    QToolButton *cmdBColour = nullptr;
    QToolButton *cmdLeftJ = nullptr;
    QToolButton *cmdCentreJ = nullptr;
    QToolButton *cmdRightJ = nullptr;
    QToolButton *cmdBullet = nullptr;
    QToolButton *cmdIndentLess = nullptr;
    QToolButton *cmdIndentMore = nullptr;

    // The picture of a button: from the icon theme when it has one, else drawn.
    static QIcon Picture(const QString &name);
    static QIcon OwnPicture(const QString &name);

signals:
    // A format was changed: Undo has something to undo.
    void undoAvailable();
    void findRequested();
    void findNextRequested();
    void selectAllRequested();
    void wrapTextRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QToolButton *AddButton(const QString &picture, void (FormatToolbar::*handler)());
    void CreateControls();
    void Toggle(QToolButton *button, int property, const QString &routine);
    void DoJustify(int alignment);
    void ChangeIndent(float twips);
    void DoSetFocus();

    RichTextBox *m_rt;
    // Kept apart: while the pane goes, asking it for its viewport is no longer safe.
    QWidget *m_viewport;
};
