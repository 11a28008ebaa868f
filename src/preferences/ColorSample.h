#pragma once

#include <QLineEdit>

// A sample text box of the Options dialog: shows "Sample Text" in a text and a
// background colour kept as the program stores colours (0x00BBGGRR, or a system
// colour with the top bit set, drawn in its palette colour).
class ColorSample : public QLineEdit
{
    Q_OBJECT

public:
    explicit ColorSample(QWidget *parent = nullptr);

    quint32 foreColor() const { return m_foreColor; }
    quint32 backColor() const { return m_backColor; }
    void setForeColor(quint32 color);
    void setBackColor(quint32 color);

private:
    void applyColors();

    quint32 m_foreColor = 0;
    quint32 m_backColor = 0xFFFFFF;
};
