// SPDX-License-Identifier: MIT
// Walking a block of whole lines, as DataFileReader::readLines gives them:
// line by line, or straight from one heading line to the next. This is the
// one place where a block is split into lines.
#pragma once

#include "ByteSearch.h"
#include "LineRules.h"

#include <optional>
#include <string_view>

namespace sayvane {

struct LineSpan
{
    std::string_view line; // without its terminator
    const char *next;      // where the following line begins
};

// The line that begins at `begin`.
inline LineSpan lineAt(const char *begin, const char *end)
{
    const char *cr = findByte(begin, end, '\r');
    if (!cr)
        return {{begin, std::size_t(end - begin)}, end};
    const char *next = cr + 1;
    if (next < end && *next == '\n')
        ++next;
    return {{begin, std::size_t(cr - begin)}, next};
}

// Where the line holding the byte at `at` begins, `from` being the start
// of a line at or before it. When `at` is the LF of a CR LF terminator, the
// result lies just past `at`.
inline const char *lineStartOf(const char *from, const char *at)
{
    const char *cr = findLastByte(from, at, '\r');
    if (!cr)
        return from;
    return cr[1] == '\n' ? cr + 2 : cr + 1;
}

// The first heading line at or after `begin`, the start of a line. Jumps
// from one "##" to the next instead of looking at every line, and asks the
// heading rule only about the lines that hold one.
inline std::optional<LineSpan> nextHeadingLine(const char *begin, const char *end)
{
    const char *from = begin;
    const char *search = begin;
    while (search + 1 < end) {
        const char *mark = findByte(search, end - 1, '#');
        if (!mark)
            return std::nullopt;
        if (mark[1] != '#') {
            search = mark + 1;
            continue;
        }
        // Nearly every heading begins its line with the marks; only then is
        // no look back needed.
        const bool atLineStart =
            mark == from || mark[-1] == '\r' || (mark[-1] == '\n' && mark - 1 > from && mark[-2] == '\r');
        const LineSpan span = lineAt(atLineStart ? mark : lineStartOf(from, mark), end);
        if (atLineStart || IsHeadingLine(span.line))
            return span;
        from = search = span.next;
    }
    return std::nullopt;
}

} // namespace sayvane
