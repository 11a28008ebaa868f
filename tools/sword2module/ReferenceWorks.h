#pragma once

// Text of the reference works (a commentary, a dictionary of numbered entries)
// from their SWORD markup, without the SWORD library, so that it can be tested.

#include <optional>
#include <string>
#include <string_view>

namespace s2m {

// The commentary's line-break mark in UTF-8: U+00E3, byte 227 of code page 1252.
inline constexpr std::string_view kCommentaryBreak = "\xC3\xA3";
// The dictionary's reference mark in UTF-8: U+00AF, byte 175 of code page 1252.
inline constexpr std::string_view kReferenceMark = "\xC2\xAF";

// One commentary note from its OSIS markup, as UTF-8 text of one module line:
// paragraph milestones, titles and line breaks become the break mark (never
// two in a row, none at either end), emphasised phrases are kept as words,
// every other tag goes, entities are decoded, blanks collapse. Characters that
// would break the module line or the commentary's conventions (Tab, CR, LF, the
// break mark itself, square brackets) are replaced.
std::string commentaryText(std::string_view osis);

// One dictionary entry from its TEI markup.
struct DictionaryEntryText
{
    int number = 0;       // the entry's number (attribute n)
    std::string headword; // prefix, number and transliteration: "H1 'ab"
    std::string text;     // "|" for line breaks, references as the mark and five digits
};

// refPrefix names the work whose references are followed ("StrongsHebrew");
// a reference to another work stays as its label. Returns nothing when the
// entry has no number.
std::optional<DictionaryEntryText> dictionaryEntry(std::string_view tei, std::string_view numberPrefix,
                                                   std::string_view refPrefix);

} // namespace s2m
