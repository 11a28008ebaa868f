#pragma once

// The 72 entries of the range box: codes 1-66 one book each, 67-71 fixed ranges
// of books, 72 the whole module. Any other code selects nothing.
namespace BookRange {
constexpr int Count = 72;
constexpr int WholeModule = 72;
// The range box's entry chosen when none was saved: code 69, the New Testament.
constexpr int DefaultListIndex = 68;

bool IsValid(int code);
// Whether a line of the given book belongs to the range.
bool Accepts(int code, int book);
// The first and last book of the range; false for the whole module and for
// codes outside 1-72 (nothing to copy by book).
bool Books(int code, int *first, int *last);
} // namespace BookRange
