#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

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
