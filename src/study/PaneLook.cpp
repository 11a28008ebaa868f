#include "study/PaneLook.h"
#include "core/GlobalVars.h"
#include "core/PageSettings.h"
#include "platform/OleColor.h"
#include "platform/RichTextBox.h"

#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextOption>

namespace {
QTextCharFormat charFormat(const PaneLook &look)
{
    QTextCharFormat format;
    format.setForeground(OleColor::toQColor(look.textColor));
    if (look.fontSize > 0)
        format.setFontPointSize(look.fontSize);
    if (!look.fontName.isEmpty())
        format.setFontFamilies({look.fontName});
    return format;
}
} // namespace

void PaneLook::ApplyTo(RichTextBox &pane) const
{
    QPalette palette = pane.palette();
    palette.setColor(QPalette::Base, OleColor::toQColor(backColor));
    palette.setColor(QPalette::Text, OleColor::toQColor(textColor));
    pane.setPalette(palette);
    // Paragraphs run left to right, also one that starts with Hebrew or Arabic words.
    QTextOption option = pane.document()->defaultTextOption();
    option.setTextDirection(Qt::LeftToRight);
    pane.document()->setDefaultTextOption(option);
    pane.setCurrentCharFormat(charFormat(*this));
}

void PaneLook::ShowText(RichTextBox &pane, const QString &text) const
{
    ApplyTo(pane);
    pane.setText(text);
    pane.selectAll();
    pane.mergeCurrentCharFormat(charFormat(*this));
    pane.setSelStart(0);
}

void PaneLook::SetSize(RichTextBox &pane, int start, int length, int size)
{
    pane.setSelStart(start);
    pane.setSelLength(length);
    QTextCharFormat format;
    format.setFontPointSize(size);
    pane.mergeCurrentCharFormat(format);
}

void PanePageLayout::ApplyAtOpen(RichTextBox &pane)
{
    if (gApplyToAllForms)
        Apply(pane);
}

void PanePageLayout::Apply(RichTextBox &pane)
{
    ApplyPageLayout(pane);
    m_indent = pane.SelIndent();
}

void PanePageLayout::KeepOn(RichTextBox &pane) const
{
    if (!m_indent)
        return;
    WithWholeTextSelected(pane, [&pane, indent = *m_indent] { pane.setPageIndent(indent); });
}

HiddenWhileBuilding::HiddenWhileBuilding(QWidget *widget)
    : m_widget(widget)
    , m_wasVisible(widget && !widget->isHidden())
{
    if (m_wasVisible)
        m_widget->hide();
}

HiddenWhileBuilding::~HiddenWhileBuilding()
{
    if (m_wasVisible && m_widget)
        m_widget->show();
}
