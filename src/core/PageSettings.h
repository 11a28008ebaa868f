#pragma once

#include "core/CheckedNumber.h"

#include <QString>
#include <functional>
#include <optional>

class RichTextBox;

// The page settings (unit, page width, the four margins, fit to window, apply to
// all windows) in the settings store and their globals, and the rule that lays a
// rich-text pane out by them.
namespace PageSettings {
// Twips per unit: 1440 per inch, 56.7 per millimetre (the program's own factor).
constexpr float TwipsPerInch = 1440.0f;
constexpr float TwipsPerMillimetre = 56.7f;
float TwipsPerUnit();

// A length as stored or chosen, with "." or "," as the decimal separator;
// nullopt when the text is not a number.
std::optional<float> ParseLength(const QString &text);
// A length as it is shown and stored: the shortest text, with ".".
QString LengthText(float value);

// Reads CM_IN, WidthPage, MarginLeft, MarginRight, FitToDesktop, gTopMargin and
// gBottomMargin (and ApplyToAllForms when asked) from the section "Settings"
// into their globals; a missing key, a text that does not convert or a length
// outside those the page setup offers in the unit gives the default.
void ReadPageSettings(bool withApplyToAllForms);
// The lengths the page setup offers in the unit in force.
CheckedNumber::Range<float> OfferedWidth();
CheckedNumber::Range<float> OfferedMargin();
// Saves CM_IN, WidthPage, MarginLeft, MarginRight, gTopMargin and gBottomMargin;
// a length outside those offered (a width never set, while fit to window ignores
// it) is not written, so the store keeps what it had.
void SavePageSettings();
void SaveFitToDesktop();
void SaveApplyToAllForms();

// The line width and indent (twips) that the page width and the side margins
// give a pane, fit to window not taken into account; gPageWidthTwips is set to
// the page width in twips.
struct PaneLayout
{
    float rightMargin = 0;
    float indent = 0;
};
PaneLayout PageLayoutOfSettings();
} // namespace PageSettings

// Lays a pane's text out by the page settings: lines wrap at the page width less
// the right margin, and the left margin is the page's margin of every paragraph
// (each keeps its own indent beyond it, list items their bullets); with fit to
// window the pane wraps at its own edge with no margin.
void ApplyPageLayout(RichTextBox &pane);
// The same for the whole text; the caret and selection stay as they were.
void ApplyPageLayoutToWholeText(RichTextBox &pane);
// Runs a change of the page's layout (indents, line width) on every paragraph of
// the pane; the caret, the selection and the document's changed flag stay as they were.
void WithWholeTextSelected(RichTextBox &pane, const std::function<void()> &change);
