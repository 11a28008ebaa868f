#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <optional>

class RichTextBox;

// The look of a study window's text pane, from the colour and size settings.
struct PaneLook
{
    quint32 backColor = 0;
    quint32 textColor = 0;
    int fontSize = 12;
    QString fontName;

    // Background, and the colour, size and font of the text typed next.
    void ApplyTo(RichTextBox &pane) const;
    // Replaces the text and gives all of it this look; the caret goes to the start.
    void ShowText(RichTextBox &pane, const QString &text) const;
    // Gives characters [start, start + length) the font size.
    static void SetSize(RichTextBox &pane, int start, int length, int size);
};

// The page layout a study pane takes when its window opens, when the page
// settings ask for it in every window. Showing a new text drops the paragraphs'
// indent, so it is given again to every text shown; the layout stays the one of
// the opening, as a pane already open is not laid out again.
class PanePageLayout
{
public:
    void ApplyAtOpen(RichTextBox &pane);
    // The same whatever the page settings say about the other windows.
    void Apply(RichTextBox &pane);
    void KeepOn(RichTextBox &pane) const;

private:
    std::optional<float> m_indent;
};

// Hides a widget while its text is built and shows it again on every path.
class HiddenWhileBuilding
{
public:
    explicit HiddenWhileBuilding(QWidget *widget);
    ~HiddenWhileBuilding();
    HiddenWhileBuilding(const HiddenWhileBuilding &) = delete;
    HiddenWhileBuilding &operator=(const HiddenWhileBuilding &) = delete;

private:
    QPointer<QWidget> m_widget;
    bool m_wasVisible;
};
