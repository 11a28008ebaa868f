#pragma once

// Where a call was made: a default argument `CallSite where = CallSite::here()`
// takes the caller's file, line and function. std::source_location would do, but
// clang 14 (the fuzz targets' compiler) lacks it with Debian's standard library.
struct CallSite
{
    const char *file;
    int line;
    const char *function;

    static constexpr CallSite here(const char *file = __builtin_FILE(), int line = __builtin_LINE(),
                                   const char *function = __builtin_FUNCTION())
    {
        return {file, line, function};
    }
};
