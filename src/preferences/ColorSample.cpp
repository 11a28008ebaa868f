#include "preferences/ColorSample.h"

#include "platform/OleColor.h"

ColorSample::ColorSample(QWidget *parent)
    : QLineEdit(parent)
{
    setReadOnly(true);
    setFocusPolicy(Qt::NoFocus);
    setText(QStringLiteral("Sample Text"));
    applyColors();
}

void ColorSample::setForeColor(quint32 color)
{
    m_foreColor = color;
    applyColors();
}

void ColorSample::setBackColor(quint32 color)
{
    m_backColor = color;
    applyColors();
}

void ColorSample::applyColors()
{
    QPalette pal = palette();
    pal.setColor(QPalette::Text, OleColor::toQColor(m_foreColor));
    pal.setColor(QPalette::Base, OleColor::toQColor(m_backColor));
    setPalette(pal);
}
