#include "platform/TextPara.h"

#include "platform/RuntimeError.h"
#include "platform/TextRange.h"
#include "platform/Tom.h"
#include "platform/Twips.h"

#include <QTextBlockFormat>
#include <cmath>

using namespace Tom;

namespace {
constexpr float Undefined = float(tomUndefined);

[[noreturn]] void raiseInvalid(const QString &what)
{
    raiseError(RtErr::InvalidProcedureCall, QStringLiteral("Verbanox.TextPara"), what);
}

int alignmentOf(Qt::Alignment alignment)
{
    const Qt::Alignment horizontal = alignment & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignHCenter)
        return tomAlignCenter;
    if (horizontal & Qt::AlignJustify)
        return tomAlignJustify;
    if (horizontal & (Qt::AlignRight | Qt::AlignTrailing))
        return tomAlignRight;
    return tomAlignLeft;
}

Qt::Alignment qtAlignmentOf(int alignment)
{
    switch (alignment) {
    case tomAlignCenter:
        return Qt::AlignHCenter;
    case tomAlignRight:
        return Qt::AlignRight;
    case tomAlignJustify:
        return Qt::AlignJustify;
    default:
        return Qt::AlignLeft;
    }
}

// QTextDocument lengths are pixels at the screen's logical resolution, as the RTF
// reader and writer convert them.
float points(qreal pixels, bool vertical)
{
    return float(pixels * (vertical ? Twips::perPixelY() : Twips::perPixelX()) / TwipsPerPoint);
}

qreal pixels(float points, bool vertical)
{
    return qreal(points) * TwipsPerPoint / (vertical ? Twips::perPixelY() : Twips::perPixelX());
}
} // namespace

std::shared_ptr<TextPara> TextPara::create()
{
    return std::shared_ptr<TextPara>(new TextPara(nullptr));
}

std::shared_ptr<TextPara> TextPara::attachedTo(std::shared_ptr<TextRange> range)
{
    return std::shared_ptr<TextPara>(new TextPara(std::move(range)));
}

TextPara::TextPara(std::shared_ptr<TextRange> range)
    : m_range(std::move(range))
    , m_values(undefinedValues())
{
}

TextPara::Values TextPara::undefinedValues()
{
    return Values{tomUndefined, Undefined, Undefined, Undefined, Undefined, Undefined};
}

TextPara::Values TextPara::valuesOf(const QTextBlockFormat &format)
{
    return Values{alignmentOf(format.alignment()),    points(format.leftMargin(), false),
                  points(format.textIndent(), false), points(format.rightMargin(), false),
                  points(format.topMargin(), true),   points(format.bottomMargin(), true)};
}

void TextPara::applyTo(QTextBlockFormat &format, const Values &changes)
{
    if (changes.alignment != tomUndefined)
        format.setAlignment(qtAlignmentOf(changes.alignment));
    if (changes.leftIndent != Undefined)
        format.setLeftMargin(pixels(changes.leftIndent, false));
    if (changes.firstLineIndent != Undefined)
        format.setTextIndent(pixels(changes.firstLineIndent, false));
    if (changes.rightIndent != Undefined)
        format.setRightMargin(pixels(changes.rightIndent, false));
    if (changes.spaceBefore != Undefined)
        format.setTopMargin(pixels(changes.spaceBefore, true));
    if (changes.spaceAfter != Undefined)
        format.setBottomMargin(pixels(changes.spaceAfter, true));
}

TextPara::Values TextPara::values() const
{
    if (!m_range)
        return m_values;
    const QList<QTextBlockFormat> formats = m_range->blockFormats();
    Values v = valuesOf(formats.first());
    for (qsizetype i = 1; i < formats.size(); ++i) {
        const Values other = valuesOf(formats.at(i));
        if (v.alignment != other.alignment)
            v.alignment = tomUndefined;
        for (float Values::*member : {&Values::leftIndent, &Values::firstLineIndent, &Values::rightIndent,
                                      &Values::spaceBefore, &Values::spaceAfter}) {
            if (v.*member != other.*member)
                v.*member = Undefined;
        }
    }
    return v;
}

void TextPara::apply(const Values &changes)
{
    if (m_range) {
        m_range->changeBlockFormats([&changes](QTextBlockFormat &format) { applyTo(format, changes); });
        return;
    }
    if (changes.alignment != tomUndefined)
        m_values.alignment = changes.alignment;
    for (float Values::*member : {&Values::leftIndent, &Values::firstLineIndent, &Values::rightIndent,
                                  &Values::spaceBefore, &Values::spaceAfter}) {
        if (changes.*member != Undefined)
            m_values.*member = changes.*member;
    }
}

void TextPara::setLength(float Values::*member, float value)
{
    if (value == Undefined) {
        if (!m_range)
            m_values.*member = Undefined;
        return;
    }
    if (!std::isfinite(value))
        raiseInvalid(QStringLiteral("Invalid paragraph length"));
    Values changes = undefinedValues();
    changes.*member = value;
    apply(changes);
}

std::shared_ptr<TextPara> TextPara::Duplicate() const
{
    std::shared_ptr<TextPara> copy = create();
    copy->m_values = values();
    return copy;
}

void TextPara::SetDuplicate(const TextPara &para)
{
    apply(para.values());
}

int TextPara::Alignment() const
{
    return values().alignment;
}

void TextPara::setAlignment(int alignment)
{
    if (alignment == tomUndefined) {
        if (!m_range)
            m_values.alignment = alignment;
        return;
    }
    if (alignment < tomAlignLeft || alignment > tomAlignJustify)
        raiseInvalid(QStringLiteral("Invalid paragraph alignment %1").arg(alignment));
    Values changes = undefinedValues();
    changes.alignment = alignment;
    apply(changes);
}

float TextPara::LeftIndent() const
{
    return values().leftIndent;
}
float TextPara::FirstLineIndent() const
{
    return values().firstLineIndent;
}
float TextPara::RightIndent() const
{
    return values().rightIndent;
}

void TextPara::SetIndents(float firstLine, float left, float right)
{
    for (float value : {firstLine, left, right}) {
        if (value != Undefined && !std::isfinite(value))
            raiseInvalid(QStringLiteral("Invalid paragraph indent"));
    }
    Values changes = undefinedValues();
    changes.firstLineIndent = firstLine;
    changes.leftIndent = left;
    changes.rightIndent = right;
    apply(changes);
}

void TextPara::setRightIndent(float value)
{
    setLength(&Values::rightIndent, value);
}
float TextPara::SpaceBefore() const
{
    return values().spaceBefore;
}
void TextPara::setSpaceBefore(float value)
{
    setLength(&Values::spaceBefore, value);
}
float TextPara::SpaceAfter() const
{
    return values().spaceAfter;
}
void TextPara::setSpaceAfter(float value)
{
    setLength(&Values::spaceAfter, value);
}
