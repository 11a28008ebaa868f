#include "search/BookRange.h"

namespace {
struct Span
{
    int first;
    int last;
};

// Codes 67 to 71.
constexpr Span Ranges[] = {{1, 5}, {1, 39}, {40, 66}, {40, 43}, {40, 42}};
} // namespace

bool BookRange::IsValid(int code)
{
    return code >= 1 && code <= Count;
}

bool BookRange::Books(int code, int *first, int *last)
{
    if (code >= 1 && code <= 66) {
        *first = *last = code;
        return true;
    }
    if (code >= 67 && code <= 71) {
        *first = Ranges[code - 67].first;
        *last = Ranges[code - 67].last;
        return true;
    }
    return false;
}

bool BookRange::Accepts(int code, int book)
{
    if (code == WholeModule)
        return true;
    int first = 0;
    int last = 0;
    return Books(code, &first, &last) && book >= first && book <= last;
}
