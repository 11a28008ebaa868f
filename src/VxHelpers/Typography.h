#pragma once

#include "abi/VxHelpersAbi.h"

// The typographic rewriting of verse texts before they are shown.
namespace Typography {
// Replaces straight and typographic quotes in place by the set's opening double,
// closing double, opening single and closing single quote (quoteCount must be 4).
VxAbi::HRESULT smartQuotes(char16_t *text, int32_t length, const char16_t *quotes, int32_t quoteCount);
// Turns double hyphens into em dashes and doubled white space into single, in
// place; *length receives the new length.
VxAbi::HRESULT fixSpacesAndDashes(char16_t *text, int32_t *length);
} // namespace Typography
