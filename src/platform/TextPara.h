#pragma once

#include <memory>

class QTextBlockFormat;
class TextRange;

// Paragraph formatting in Text Object Model terms, attached to a range (the
// paragraphs it touches; mixed values read as tomUndefined) or free-standing, as
// TextFont is. Alignment is tomAlignLeft/Center/Right/Justify. Lengths are points:
// LeftIndent indents every line, FirstLineIndent is added to the first line (so it
// may be negative for a hanging indent), RightIndent narrows every line from the
// right, SpaceBefore/SpaceAfter separate paragraphs.
class TextPara
{
public:
    // A free-standing paragraph format with every value undefined.
    static std::shared_ptr<TextPara> create();
    static std::shared_ptr<TextPara> attachedTo(std::shared_ptr<TextRange> range);

    TextPara(const TextPara &) = delete;
    TextPara &operator=(const TextPara &) = delete;

    bool isAttached() const { return m_range != nullptr; }
    std::shared_ptr<TextPara> Duplicate() const;
    // Takes over the defined values of another paragraph format.
    void SetDuplicate(const TextPara &para);

    int Alignment() const;
    void setAlignment(int alignment);
    float LeftIndent() const;
    float FirstLineIndent() const;
    float RightIndent() const;
    // Sets the three indents at once; tomUndefined leaves one as it is.
    void SetIndents(float firstLine, float left, float right);
    void setRightIndent(float points);
    float SpaceBefore() const;
    void setSpaceBefore(float points);
    float SpaceAfter() const;
    void setSpaceAfter(float points);

private:
    struct Values
    {
        int alignment;
        float leftIndent;
        float firstLineIndent;
        float rightIndent;
        float spaceBefore;
        float spaceAfter;
    };

    explicit TextPara(std::shared_ptr<TextRange> range);

    static Values undefinedValues();
    static Values valuesOf(const QTextBlockFormat &format);
    static void applyTo(QTextBlockFormat &format, const Values &changes);

    Values values() const;
    void apply(const Values &changes);
    void setLength(float Values::*member, float points);

    std::shared_ptr<TextRange> m_range;
    Values m_values;
};
