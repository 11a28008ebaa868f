#pragma once

#include <cmath>
#include <optional>

// A number read from a settings or data file is used only when it is finite and
// lies in the range its use allows; anything else stands for the default. A
// value far out of range would otherwise overflow the arithmetic it feeds (a
// page width of 3e38 makes the layout's sums NaN).
namespace CheckedNumber {

template <typename T> struct Range
{
    T min;
    T max;

    constexpr bool contains(double value) const
    {
        return std::isfinite(value) && value >= double(min) && value <= double(max);
    }
};

// The value when there is one and it lies in the range, else the fallback.
template <typename T, typename U> T Within(const std::optional<U> &value, Range<T> range, T fallback)
{
    return value && range.contains(double(*value)) ? T(*value) : fallback;
}

} // namespace CheckedNumber
