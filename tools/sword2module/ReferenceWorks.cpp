#include "ReferenceWorks.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace s2m {
namespace {

// The value of an attribute inside a start tag ("<ref target="X">").
std::string attribute(std::string_view tag, std::string_view name)
{
    const std::string key = std::string(name) + "=\"";
    const auto at = tag.find(key);
    if (at == std::string_view::npos)
        return {};
    const auto start = at + key.size();
    const auto end = tag.find('"', start);
    return std::string(
        tag.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

std::string tagName(std::string_view tag)
{
    std::size_t i = 1;
    if (i < tag.size() && tag[i] == '/')
        ++i;
    const std::size_t start = i;
    while (i < tag.size() && tag[i] != ' ' && tag[i] != '>' && tag[i] != '/')
        ++i;
    return std::string(tag.substr(start, i - start));
}

bool isEndTag(std::string_view tag)
{
    return tag.size() > 1 && tag[1] == '/';
}

// Appends an entity's character; unknown entities stay as they stand.
std::size_t appendEntity(std::string_view text, std::size_t at, std::string &out)
{
    static const std::pair<std::string_view, std::string_view> named[] = {
        {"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}};
    for (const auto &[entity, value] : named)
        if (text.substr(at, entity.size()) == entity) {
            out += value;
            return entity.size();
        }
    out += '&';
    return 1;
}

// Text with a placeholder for breaks: runs of blanks collapse to one, a break
// swallows the blanks around it, breaks do not repeat, nothing at either end.
class Builder
{
public:
    explicit Builder(std::string_view breakText)
        : m_break(breakText)
    {
    }
    void text(std::string_view s)
    {
        for (char c : s) {
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                m_blank = true;
                continue;
            }
            if (m_blank && !m_out.empty() && !m_breakPending)
                m_out += ' ';
            if (m_breakPending && !m_out.empty())
                m_out += m_break;
            m_blank = m_breakPending = false;
            m_out += c;
        }
    }
    void lineBreak() { m_breakPending = true; }
    void blank() { m_blank = true; }
    std::string result() const { return m_out; }

private:
    std::string_view m_break;
    std::string m_out;
    bool m_blank = false;
    bool m_breakPending = false;
};

// Replaces every occurrence of `from` with `to`.
std::string replaced(const std::string &s, std::string_view from, std::string_view to)
{
    std::string out;
    out.reserve(s.size());
    std::size_t start = 0;
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, start)) {
        out.append(s, start, at - start);
        out.append(to);
        start = at + from.size();
    }
    out.append(s, start, std::string::npos);
    return out;
}

// Walks the markup: calls onTag for each tag and onText for the text between.
template <typename OnTag, typename OnText> void walk(std::string_view markup, OnTag onTag, OnText onText)
{
    std::size_t i = 0;
    std::string pending;
    const auto flush = [&] {
        if (!pending.empty())
            onText(pending);
        pending.clear();
    };
    while (i < markup.size()) {
        if (markup[i] == '<') {
            const auto end = markup.find('>', i);
            if (end == std::string_view::npos)
                break;
            flush();
            onTag(markup.substr(i, end - i + 1));
            i = end + 1;
        } else if (markup[i] == '&') {
            i += appendEntity(markup, i, pending);
        } else {
            pending += markup[i++];
        }
    }
    flush();
}

} // namespace

std::string commentaryText(std::string_view osis)
{
    // The commentary's own conventions: its break mark ends a line, square
    // brackets show as blanks. Text that holds them must not be read so.
    std::string safe(osis);
    safe = replaced(safe, kCommentaryBreak, "a");
    safe = replaced(safe, "[", "(");
    safe = replaced(safe, "]", ")");
    // Some notes carry list markup escaped as text, and stray backslashes of an
    // earlier format: neither belongs to the words.
    safe = replaced(safe, "&lt;", "<");
    safe = replaced(safe, "&gt;", ">");
    safe = replaced(safe, "\\", " ");
    Builder out(kCommentaryBreak);
    walk(
        safe,
        [&](std::string_view tag) {
            const std::string name = tagName(tag);
            if (name == "div" || name == "p" || name == "lb" || name == "title" || name == "l" ||
                name == "lg" || name == "ol" || name == "ul" || name == "li" || name == "item" ||
                name == "list")
                out.lineBreak();
            // Inline elements (hi, reference, ...) leave their words as they stand.
        },
        [&](const std::string &text) { out.text(text); });
    return out.result();
}

std::optional<DictionaryEntryText> dictionaryEntry(std::string_view tei, std::string_view numberPrefix,
                                                   std::string_view refPrefix)
{
    DictionaryEntryText entry;
    // The first word forms (original, transliteration, pronunciation) head the
    // entry; word forms quoted later in the definition are part of its text.
    std::string original, transliteration, pronunciation;
    Builder body("|");
    std::vector<std::string> open;
    std::string refTarget, refLabel;
    bool inRef = false;
    const auto inHeader = [&] { return body.result().empty(); };
    walk(
        tei,
        [&](std::string_view tag) {
            const std::string name = tagName(tag);
            if (name == "entryFree" && !isEndTag(tag)) {
                entry.number = std::atoi(attribute(tag, "n").c_str());
            } else if (name == "orth" || name == "pron") {
                if (isEndTag(tag)) {
                    if (!open.empty())
                        open.pop_back();
                    return;
                }
                const std::string type = attribute(tag, "type");
                open.push_back(name == "pron"      ? "pron"
                               : type == "trans"   ? "trans"
                               : type == "writing" ? "skip"
                                                   : "orth");
                body.blank();
            } else if (name == "ref" && !isEndTag(tag)) {
                inRef = true;
                refTarget = attribute(tag, "target");
                refLabel.clear();
            } else if (name == "ref") {
                inRef = false;
                const std::string wanted = std::string(refPrefix) + ":";
                // Some targets name this work while their label ("H5689") names
                // the other one: the label is right, and such a reference stays text.
                const bool otherWork = !refLabel.empty() &&
                                       std::isalpha(static_cast<unsigned char>(refLabel[0])) &&
                                       refLabel.rfind(numberPrefix, 0) != 0;
                const int number = refTarget.rfind(wanted, 0) == 0 && !otherWork
                                       ? std::atoi(refTarget.c_str() + wanted.size())
                                       : 0;
                if (number > 0 && number <= 32767) {
                    char digits[8];
                    std::snprintf(digits, sizeof digits, "%05d", number);
                    body.text(std::string(kReferenceMark) + digits);
                } else {
                    body.text(refLabel);
                }
            } else if (name == "lb") {
                body.lineBreak();
            }
            // Inline elements (hi, def, orig, ...) leave their words.
        },
        [&](const std::string &raw) {
            // "|" is the entry's line break: a literal one must not be read so.
            const std::string text = replaced(raw, "|", "/");
            if (inRef) {
                refLabel += text;
                return;
            }
            const std::string kind = open.empty() ? std::string() : open.back();
            if (kind == "skip")
                return;
            if (!kind.empty() && inHeader()) {
                std::string &field = kind == "orth"    ? original
                                     : kind == "trans" ? transliteration
                                                       : pronunciation;
                field += text;
                return;
            }
            body.text(text);
        });
    if (entry.number <= 0)
        return std::nullopt;
    const auto squeeze = [](const std::string &s) {
        Builder b("");
        b.text(s);
        return b.result();
    };
    original = squeeze(original);
    transliteration = squeeze(transliteration);
    pronunciation = squeeze(pronunciation);
    entry.headword = std::string(numberPrefix) + std::to_string(entry.number);
    if (!transliteration.empty())
        entry.headword += " " + transliteration;
    std::string head = original;
    for (const std::string *part : {&transliteration, &pronunciation})
        if (!part->empty())
            head += (head.empty() ? "" : " ") + *part;
    const std::string text = body.result();
    entry.text = head.empty() ? text : text.empty() ? head : head + "|" + text;
    return entry;
}

} // namespace s2m
