#pragma once

#include <QString>
#include <memory>

class QTextCharFormat;
class QTextDocument;
class TextRange;

// Character formatting in Text Object Model terms.
//
// A font is either attached to a range (TextRange::Font()): reading gives the
// range's formatting, tomUndefined where the range mixes values, and setting a
// value formats the whole range (an insertion point: the text typed there next);
// or free-standing (create(), Duplicate()): a set of values of its own, any of
// which may be undefined. Applying a font to a range (TextRange::setFont,
// SetDuplicate) sets only its defined values.
//
// Switches (Bold, Italic, ...) are tomTrue/tomFalse; setting accepts tomToggle.
// Sizes are points. Colours are 0x00BBGGRR or tomAutoColor (the text's default).
// Fonts are shared as std::shared_ptr, as ranges are.
class TextFont
{
public:
    // A free-standing font with every value undefined.
    static std::shared_ptr<TextFont> create();
    // The font of a range, following the range as it moves.
    static std::shared_ptr<TextFont> attachedTo(std::shared_ptr<TextRange> range);

    TextFont(const TextFont &) = delete;
    TextFont &operator=(const TextFont &) = delete;

    bool isAttached() const { return m_range != nullptr; }
    // A free-standing copy of the current values (undefined ones stay undefined).
    std::shared_ptr<TextFont> Duplicate() const;
    // Takes over the defined values of another font.
    void SetDuplicate(const TextFont &font);
    // Sets the defined values on a character format, as applying the font to a
    // range does to each of its characters (for writers that insert text themselves).
    void ApplyTo(QTextCharFormat &format) const;

    // An empty name is undefined.
    QString Name() const;
    void setName(const QString &name);
    float Size() const;
    void setSize(float points);
    int Bold() const;
    void setBold(int value);
    int Italic() const;
    void setItalic(int value);
    // tomNone, tomSingle, tomDotted, tomDash, tomDashDot, tomDashDotDot or tomWave;
    // tomTrue sets a single underline.
    int Underline() const;
    void setUnderline(int value);
    int StrikeThrough() const;
    void setStrikeThrough(int value);
    int Superscript() const;
    void setSuperscript(int value);
    int Subscript() const;
    void setSubscript(int value);
    int SmallCaps() const;
    void setSmallCaps(int value);
    int AllCaps() const;
    void setAllCaps(int value);
    int ForeColor() const;
    void setForeColor(int colour);
    int BackColor() const;
    void setBackColor(int colour);

private:
    // Every value in model terms; tomUndefined (a null name) where unknown.
    struct Values
    {
        QString name;
        float size;
        int bold;
        int italic;
        int underline;
        int strikeThrough;
        int superscript;
        int subscript;
        int smallCaps;
        int allCaps;
        int foreColor;
        int backColor;
    };

    explicit TextFont(std::shared_ptr<TextRange> range);

    static Values undefinedValues();
    static Values valuesOf(const QTextCharFormat &format, const QTextDocument &document);
    static void combine(Values &into, const Values &other);
    static void applyTo(QTextCharFormat &format, const Values &changes);

    Values values() const;
    // Sets the defined values of changes (toggles already resolved).
    void apply(const Values &changes);
    // Sets one switch: on an attached font undefined does nothing, a toggle flips
    // the current value.
    void setSwitch(int Values::*member, int value);

    std::shared_ptr<TextRange> m_range;
    Values m_values;
};
