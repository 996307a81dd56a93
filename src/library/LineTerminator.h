// SPDX-License-Identifier: MIT
// How the lines of a data file end, decided once per read from the file's
// first line end, and the walks over a block of whole lines that depend on
// it: line by line, back to the start of a line, or straight from one
// heading line to the next. This is the one place where a block is split
// into lines.
#pragma once

#include "ByteSearch.h"
#include "LineRules.h"

#include <optional>
#include <string_view>

namespace sayvane {

// Classic: a line ends at CR LF or at a lone CR, and a lone LF is a
// character of its line, as in the files Windows editors write.
// Lf: each LF ends a line and a CR just before it belongs to that line
// end; any other CR is a character, as in the files written on Linux.
enum class LineEnds { Classic, Lf };

struct LineSpan
{
    std::string_view line; // without its terminator
    const char *next;      // where the following line begins
};

template <LineEnds Ends> struct LineTerminator
{
    // The byte that always ends a line.
    static constexpr char kEndByte = Ends == LineEnds::Lf ? '\n' : '\r';

    // The line that begins at `begin`.
    static LineSpan lineAt(const char *begin, const char *end)
    {
        const char *found = findByte(begin, end, kEndByte);
        if (!found)
            return {{begin, std::size_t(end - begin)}, end};
        const char *next = found + 1;
        const char *lineEnd = found;
        if constexpr (Ends == LineEnds::Lf) {
            if (lineEnd > begin && lineEnd[-1] == '\r')
                --lineEnd;
        } else if (next < end && *next == '\n') {
            ++next;
        }
        return {{begin, std::size_t(lineEnd - begin)}, next};
    }

    // Where the line holding the byte at `at` begins, `from` being the
    // start of a line at or before it. When `at` is the LF of a classic CR
    // LF, the result lies just past `at`.
    static const char *lineStartOf(const char *from, const char *at)
    {
        const char *found = findLastByte(from, at, kEndByte);
        if (!found)
            return from;
        if constexpr (Ends == LineEnds::Classic)
            return found[1] == '\n' ? found + 2 : found + 1;
        return found + 1;
    }

    // True when `at`, which lies after `from`, the start of a line, begins
    // a line; looks at no more than the two bytes before it.
    static bool beginsLine(const char *from, const char *at)
    {
        if (at == from || at[-1] == kEndByte)
            return true;
        if constexpr (Ends == LineEnds::Classic)
            return at[-1] == '\n' && at - 1 > from && at[-2] == '\r';
        return false;
    }

    // The first heading line at or after `begin`, the start of a line.
    // Jumps from one "##" to the next instead of looking at every line, and
    // asks the heading rule only about the lines that hold one.
    static std::optional<LineSpan> nextHeadingLine(const char *begin, const char *end)
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
            // Nearly every heading begins its line with the marks; only
            // then is no look back needed.
            const bool atLineStart = beginsLine(from, mark);
            const LineSpan span = lineAt(atLineStart ? mark : lineStartOf(from, mark), end);
            if (atLineStart || IsHeadingLine(span.line))
                return span;
            from = search = span.next;
        }
        return std::nullopt;
    }

    // The last heading line in [begin, end), both line starts. Looks back
    // from one mark to the one before, so that only the lines after that
    // heading are passed over.
    static std::optional<LineSpan> lastHeadingLine(const char *begin, const char *end)
    {
        for (const char *before = end; before > begin;) {
            const char *mark = findLastByte(begin, before, '#');
            if (!mark)
                return std::nullopt;
            const char *start = lineStartOf(begin, mark);
            const LineSpan span = lineAt(start, end);
            if (IsHeadingLine(span.line))
                return span;
            before = start;
        }
        return std::nullopt;
    }
};

using ClassicTerminator = LineTerminator<LineEnds::Classic>;
using LfTerminator = LineTerminator<LineEnds::Lf>;

// Calls visit with the terminator of these line ends, so that every loop
// over lines is compiled once for each kind and decides nothing per byte.
template <typename Visit> decltype(auto) withTerminator(LineEnds ends, Visit &&visit)
{
    if (ends == LineEnds::Lf)
        return visit(LfTerminator());
    return visit(ClassicTerminator());
}

} // namespace sayvane
