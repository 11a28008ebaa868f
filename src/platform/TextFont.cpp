#include "platform/TextFont.h"

#include "platform/OleColor.h"
#include "platform/RuntimeError.h"
#include "platform/TextRange.h"
#include "platform/Tom.h"
#include "platform/Twips.h"

#include <QTextCharFormat>
#include <QTextDocument>
#include <cmath>

using namespace Tom;

namespace {
QString source()
{
    return QStringLiteral("Verbanox.TextFont");
}

[[noreturn]] void raiseInvalid(const QString &what)
{
    raiseError(RtErr::InvalidProcedureCall, source(), what);
}

int toSwitch(bool on)
{
    return on ? tomTrue : tomFalse;
}

int underlineOf(QTextCharFormat::UnderlineStyle style)
{
    switch (style) {
    case QTextCharFormat::NoUnderline:
        return tomNone;
    case QTextCharFormat::DashUnderline:
        return tomDash;
    case QTextCharFormat::DotLine:
        return tomDotted;
    case QTextCharFormat::DashDotLine:
        return tomDashDot;
    case QTextCharFormat::DashDotDotLine:
        return tomDashDotDot;
    case QTextCharFormat::WaveUnderline:
    case QTextCharFormat::SpellCheckUnderline:
        return tomWave;
    case QTextCharFormat::SingleUnderline:
        break;
    }
    return tomSingle;
}

// Kinds Qt cannot draw (words only, double) become a single line.
QTextCharFormat::UnderlineStyle underlineStyleOf(int underline)
{
    switch (underline) {
    case tomNone:
        return QTextCharFormat::NoUnderline;
    case tomDotted:
        return QTextCharFormat::DotLine;
    case tomDash:
        return QTextCharFormat::DashUnderline;
    case tomDashDot:
        return QTextCharFormat::DashDotLine;
    case tomDashDotDot:
        return QTextCharFormat::DashDotDotLine;
    case tomWave:
        return QTextCharFormat::WaveUnderline;
    default:
        return QTextCharFormat::SingleUnderline;
    }
}

int colourOf(const QTextCharFormat &format, QTextFormat::Property property)
{
    if (!format.hasProperty(property))
        return tomAutoColor;
    const QBrush brush = format.brushProperty(property);
    if (brush.style() == Qt::NoBrush)
        return tomAutoColor;
    return int(OleColor::fromQColor(brush.color()));
}

// A colour as the model stores it: 0x00BBGGRR, tomAutoColor, or a system colour
// translated to its current RGB value.
int checkedColour(int colour)
{
    if (colour == tomAutoColor || (colour >= 0 && colour <= 0xFFFFFF))
        return colour;
    quint32 rgb = 0;
    if (OleColor::translate(quint32(colour), &rgb))
        return int(rgb);
    raiseInvalid(QStringLiteral("Invalid colour %1").arg(quint32(colour), 8, 16, QLatin1Char('0')));
}

void applyCapitals(QTextCharFormat &format, int value, QFont::Capitalization kind)
{
    if (value == tomTrue)
        format.setFontCapitalization(kind);
    else if (value == tomFalse && format.fontCapitalization() == kind)
        format.setFontCapitalization(QFont::MixedCase);
}

void applyVertical(QTextCharFormat &format, int value, QTextCharFormat::VerticalAlignment kind)
{
    if (value == tomTrue)
        format.setVerticalAlignment(kind);
    else if (value == tomFalse && format.verticalAlignment() == kind)
        format.setVerticalAlignment(QTextCharFormat::AlignNormal);
}

void applyColour(QTextCharFormat &format, int colour, QTextFormat::Property property)
{
    if (colour == tomUndefined)
        return;
    if (colour == tomAutoColor)
        format.clearProperty(property);
    else
        format.setProperty(property, QBrush(OleColor::toQColor(quint32(colour))));
}
} // namespace

std::shared_ptr<TextFont> TextFont::create()
{
    return std::shared_ptr<TextFont>(new TextFont(nullptr));
}

std::shared_ptr<TextFont> TextFont::attachedTo(std::shared_ptr<TextRange> range)
{
    return std::shared_ptr<TextFont>(new TextFont(std::move(range)));
}

TextFont::TextFont(std::shared_ptr<TextRange> range)
    : m_range(std::move(range))
    , m_values(undefinedValues())
{
}

TextFont::Values TextFont::undefinedValues()
{
    const int u = tomUndefined;
    return Values{QString(), float(u), u, u, u, u, u, u, u, u, u, u};
}

TextFont::Values TextFont::valuesOf(const QTextCharFormat &format, const QTextDocument &document)
{
    // Properties the text does not set come from the document's default font.
    const QFont base = document.defaultFont();
    Values v = undefinedValues();

    v.name = format.fontFamilies().toStringList().value(0);
    if (v.name.isEmpty())
        v.name = base.family();

    const double pointsPerPixel = Twips::perPixelY() / TwipsPerPoint;
    if (format.hasProperty(QTextFormat::FontPointSize))
        v.size = float(format.fontPointSize());
    else if (format.hasProperty(QTextFormat::FontPixelSize))
        v.size = float(format.intProperty(QTextFormat::FontPixelSize) * pointsPerPixel);
    else
        v.size = float(base.pointSizeF() > 0 ? base.pointSizeF() : base.pixelSize() * pointsPerPixel);

    const int weight = format.hasProperty(QTextFormat::FontWeight) ? format.fontWeight() : int(base.weight());
    v.bold = toSwitch(weight > QFont::Medium);
    v.italic = toSwitch(format.hasProperty(QTextFormat::FontItalic) ? format.fontItalic() : base.italic());

    if (format.hasProperty(QTextFormat::TextUnderlineStyle))
        v.underline = underlineOf(format.underlineStyle());
    else if (format.hasProperty(QTextFormat::FontUnderline))
        v.underline = format.boolProperty(QTextFormat::FontUnderline) ? tomSingle : tomNone;
    else
        v.underline = base.underline() ? tomSingle : tomNone;

    v.strikeThrough =
        toSwitch(format.hasProperty(QTextFormat::FontStrikeOut) ? format.fontStrikeOut() : base.strikeOut());
    v.superscript = toSwitch(format.verticalAlignment() == QTextCharFormat::AlignSuperScript);
    v.subscript = toSwitch(format.verticalAlignment() == QTextCharFormat::AlignSubScript);

    const QFont::Capitalization caps = format.hasProperty(QTextFormat::FontCapitalization)
                                           ? format.fontCapitalization()
                                           : base.capitalization();
    v.smallCaps = toSwitch(caps == QFont::SmallCaps);
    v.allCaps = toSwitch(caps == QFont::AllUppercase);

    v.foreColor = colourOf(format, QTextFormat::ForegroundBrush);
    v.backColor = colourOf(format, QTextFormat::BackgroundBrush);
    return v;
}

void TextFont::combine(Values &into, const Values &other)
{
    if (into.name != other.name)
        into.name = QString();
    if (into.size != other.size)
        into.size = float(tomUndefined);
    for (int Values::*member :
         {&Values::bold, &Values::italic, &Values::underline, &Values::strikeThrough, &Values::superscript,
          &Values::subscript, &Values::smallCaps, &Values::allCaps, &Values::foreColor, &Values::backColor}) {
        if (into.*member != other.*member)
            into.*member = tomUndefined;
    }
}

void TextFont::applyTo(QTextCharFormat &format, const Values &changes)
{
    if (!changes.name.isEmpty())
        format.setFontFamilies(QStringList{changes.name});
    if (changes.size != float(tomUndefined)) {
        format.clearProperty(QTextFormat::FontPixelSize);
        format.setFontPointSize(changes.size);
    }
    if (changes.bold != tomUndefined)
        format.setFontWeight(changes.bold == tomTrue ? QFont::Bold : QFont::Normal);
    if (changes.italic != tomUndefined)
        format.setFontItalic(changes.italic == tomTrue);
    if (changes.underline != tomUndefined)
        format.setUnderlineStyle(underlineStyleOf(changes.underline));
    if (changes.strikeThrough != tomUndefined)
        format.setFontStrikeOut(changes.strikeThrough == tomTrue);
    applyVertical(format, changes.superscript, QTextCharFormat::AlignSuperScript);
    applyVertical(format, changes.subscript, QTextCharFormat::AlignSubScript);
    applyCapitals(format, changes.smallCaps, QFont::SmallCaps);
    applyCapitals(format, changes.allCaps, QFont::AllUppercase);
    applyColour(format, changes.foreColor, QTextFormat::ForegroundBrush);
    applyColour(format, changes.backColor, QTextFormat::BackgroundBrush);
}

TextFont::Values TextFont::values() const
{
    if (!m_range)
        return m_values;
    const QList<QTextCharFormat> formats = m_range->charFormats();
    const QTextDocument &document = *m_range->document();
    Values v = valuesOf(formats.first(), document);
    for (qsizetype i = 1; i < formats.size(); ++i)
        combine(v, valuesOf(formats.at(i), document));
    return v;
}

void TextFont::apply(const Values &changes)
{
    if (m_range) {
        m_range->changeCharFormats([&changes](QTextCharFormat &format) { applyTo(format, changes); });
        return;
    }
    if (!changes.name.isEmpty())
        m_values.name = changes.name;
    if (changes.size != float(tomUndefined))
        m_values.size = changes.size;
    for (int Values::*member :
         {&Values::bold, &Values::italic, &Values::underline, &Values::strikeThrough, &Values::superscript,
          &Values::subscript, &Values::smallCaps, &Values::allCaps, &Values::foreColor, &Values::backColor}) {
        if (changes.*member != tomUndefined)
            m_values.*member = changes.*member;
    }
}

void TextFont::setSwitch(int Values::*member, int value)
{
    if (value == tomUndefined) {
        if (!m_range)
            m_values.*member = tomUndefined;
        return;
    }
    Values changes = undefinedValues();
    if (value == tomToggle)
        changes.*member = values().*member == tomTrue ? tomFalse : tomTrue;
    else
        changes.*member = value != 0 ? tomTrue : tomFalse;
    apply(changes);
}

std::shared_ptr<TextFont> TextFont::Duplicate() const
{
    std::shared_ptr<TextFont> copy = create();
    copy->m_values = values();
    return copy;
}

void TextFont::SetDuplicate(const TextFont &font)
{
    apply(font.values());
}

void TextFont::ApplyTo(QTextCharFormat &format) const
{
    applyTo(format, values());
}

QString TextFont::Name() const
{
    return values().name;
}

void TextFont::setName(const QString &name)
{
    if (name.isEmpty()) {
        if (!m_range)
            m_values.name = QString();
        return;
    }
    Values changes = undefinedValues();
    changes.name = name;
    apply(changes);
}

float TextFont::Size() const
{
    return values().size;
}

void TextFont::setSize(float points)
{
    if (points == float(tomUndefined)) {
        if (!m_range)
            m_values.size = points;
        return;
    }
    if (!std::isfinite(points) || points <= 0)
        raiseInvalid(QStringLiteral("Invalid font size %1").arg(points));
    Values changes = undefinedValues();
    changes.size = points;
    apply(changes);
}

int TextFont::Bold() const
{
    return values().bold;
}
void TextFont::setBold(int value)
{
    setSwitch(&Values::bold, value);
}
int TextFont::Italic() const
{
    return values().italic;
}
void TextFont::setItalic(int value)
{
    setSwitch(&Values::italic, value);
}

int TextFont::Underline() const
{
    return values().underline;
}

void TextFont::setUnderline(int value)
{
    if (value == tomUndefined) {
        if (!m_range)
            m_values.underline = value;
        return;
    }
    Values changes = undefinedValues();
    if (value == tomToggle)
        changes.underline = values().underline == tomNone ? tomSingle : tomNone;
    else if (value == tomTrue)
        changes.underline = tomSingle;
    else if (value >= 0)
        changes.underline = value;
    else
        raiseInvalid(QStringLiteral("Invalid underline %1").arg(value));
    apply(changes);
}

int TextFont::StrikeThrough() const
{
    return values().strikeThrough;
}
void TextFont::setStrikeThrough(int value)
{
    setSwitch(&Values::strikeThrough, value);
}
int TextFont::Superscript() const
{
    return values().superscript;
}

void TextFont::setSuperscript(int value)
{
    setSwitch(&Values::superscript, value);
    // One vertical position: raising text lowers nothing else.
    if (!m_range && m_values.superscript == tomTrue)
        m_values.subscript = tomFalse;
}

int TextFont::Subscript() const
{
    return values().subscript;
}

void TextFont::setSubscript(int value)
{
    setSwitch(&Values::subscript, value);
    if (!m_range && m_values.subscript == tomTrue)
        m_values.superscript = tomFalse;
}

int TextFont::SmallCaps() const
{
    return values().smallCaps;
}

void TextFont::setSmallCaps(int value)
{
    setSwitch(&Values::smallCaps, value);
    if (!m_range && m_values.smallCaps == tomTrue)
        m_values.allCaps = tomFalse;
}

int TextFont::AllCaps() const
{
    return values().allCaps;
}

void TextFont::setAllCaps(int value)
{
    setSwitch(&Values::allCaps, value);
    if (!m_range && m_values.allCaps == tomTrue)
        m_values.smallCaps = tomFalse;
}

int TextFont::ForeColor() const
{
    return values().foreColor;
}

void TextFont::setForeColor(int colour)
{
    if (colour == tomUndefined) {
        if (!m_range)
            m_values.foreColor = colour;
        return;
    }
    Values changes = undefinedValues();
    changes.foreColor = checkedColour(colour);
    apply(changes);
}

int TextFont::BackColor() const
{
    return values().backColor;
}

void TextFont::setBackColor(int colour)
{
    if (colour == tomUndefined) {
        if (!m_range)
            m_values.backColor = colour;
        return;
    }
    Values changes = undefinedValues();
    changes.backColor = checkedColour(colour);
    apply(changes);
}
