// SPDX-License-Identifier: MIT
#include "TextPieces.h"

#include <algorithm>

namespace sayvane {

static_assert(TextPieces::kLookBack + 1 < TextPieces::kPieceLength);

void TextPieces::setText(const QString &text)
{
    m_text = text;
    m_known = {};
}

bool TextPieces::isBreakAt(qsizetype position) const
{
    return position >= 0 && position + 1 < length() && m_text[position] == u'\r' && m_text[position + 1] == u'\n';
}

qsizetype TextPieces::normalized(qsizetype position) const
{
    position = std::clamp<qsizetype>(position, 0, length());
    if (position > 0 && isBreakAt(position - 1))
        --position;
    return position;
}

// Where the last paragraph before `position` ends its break, looking back
// no further than `limit`; -1 when there is none within it. (The start of
// the text counts as a break.)
qsizetype TextPieces::breakBefore(qsizetype position, qsizetype limit) const
{
    const qsizetype from = std::max<qsizetype>(0, position - limit);
    const qsizetype found = QStringView(m_text).sliced(from, position - from).lastIndexOf(u"\r\n");
    if (found >= 0)
        return from + found + kBreakLength;
    return from == 0 ? 0 : -1;
}

// Where the first break at or after `position` begins, looking no further
// than `limit`; -1 when there is none within it. (The end of the text
// counts as a break.)
qsizetype TextPieces::breakAfter(qsizetype position, qsizetype limit) const
{
    const qsizetype to = std::min(length(), position + limit);
    const qsizetype found = QStringView(m_text).sliced(position, to - position).indexOf(u"\r\n");
    if (found >= 0)
        return position + found;
    return to == length() ? length() : -1;
}

std::optional<TextPieces::Paragraph> TextPieces::paragraphAt(qsizetype position) const
{
    position = normalized(position);
    for (const Known &known : m_known) {
        if (known.stretch.start <= position && position <= known.stretch.end)
            return known.whole ? std::optional(known.stretch) : std::nullopt;
    }
    // The breaks around a paragraph found whole lie within this reach of
    // every position inside it.
    const qsizetype reach = kExactParagraphLength + kBreakLength;
    const qsizetype start = breakBefore(position, reach);
    const qsizetype end = breakAfter(position, reach);
    const bool whole = start >= 0 && end >= 0 && end - start <= kExactParagraphLength;
    // Otherwise the stretch holds no break and is longer than any paragraph
    // found whole: every position in it lies in a long paragraph.
    const Known found{{start >= 0 ? start : std::max<qsizetype>(0, position - reach),
                       end >= 0 ? end : std::min(length(), position + reach)},
                      whole};
    m_known[m_nextKnown] = found;
    m_nextKnown = (m_nextKnown + 1) % m_known.size();
    return whole ? std::optional(found.stretch) : std::nullopt;
}

// The cut near cell * kPieceLength, if a long paragraph runs across it:
// just after the last space within kLookBack characters before that point,
// or at the point itself, never inside a surrogate pair nor next to a
// break.
std::optional<qsizetype> TextPieces::cutNear(qsizetype cell) const
{
    const qsizetype point = cell * kPieceLength;
    if (point >= length())
        return std::nullopt;
    qsizetype cut = point;
    for (qsizetype i = point - 1; i >= std::max<qsizetype>(point - kLookBack, 1); --i) {
        if (isBreakAt(i - 1) || isBreakAt(i))
            break;
        if (isBreakingSpace(m_text[i])) {
            cut = i + 1;
            break;
        }
    }
    if (m_text[cut - 1].isHighSurrogate() && m_text[cut].isLowSurrogate())
        --cut;
    if (cut <= 0 || isAfterBreak(cut) || isBreakAt(cut - 1) || isBreakAt(cut))
        return std::nullopt;
    return cut;
}

// The start of the piece holding `position`: just after the last break
// before it, or the last cut at or before it, whichever is later. Cuts lie
// one to a cell, so the search looks back cell by cell and ends within a
// cell or two: a cell without a cut has a break next to its point.
qsizetype TextPieces::pieceStart(qsizetype position) const
{
    qsizetype scanned = position; // no break ends in (scanned, position]
    for (qsizetype cell = (position + kLookBack) / kPieceLength;; --cell) {
        const std::optional<qsizetype> cut = cell == 0 ? std::optional<qsizetype>(0) : cutNear(cell);
        const bool usable = cut && *cut <= position;
        const qsizetype low = usable ? *cut : std::min(scanned, cell * kPieceLength - kLookBack - 2);
        for (qsizetype i = scanned; i > low; --i) {
            if (isAfterBreak(i))
                return i;
        }
        if (usable)
            return *cut;
        scanned = low;
    }
}

// The end of the piece that begins at `start`: the first break after it,
// or the first cut after it, whichever comes first.
qsizetype TextPieces::pieceEnd(qsizetype start) const
{
    qsizetype scanned = start; // no break begins in [start, scanned)
    for (qsizetype cell = start / kPieceLength + 1;; ++cell) {
        const std::optional<qsizetype> cut = cutNear(cell);
        const bool usable = cut && *cut > start;
        const qsizetype high = usable ? *cut : std::min(cell * kPieceLength, length());
        for (qsizetype i = scanned; i < high; ++i) {
            if (isBreakAt(i))
                return i;
        }
        if (usable || high == length())
            return high;
        scanned = std::max(scanned, high);
    }
}

TextPieces::Piece TextPieces::pieceAt(qsizetype position) const
{
    const qsizetype start = pieceStart(normalized(position));
    return {start, pieceEnd(start)};
}

} // namespace sayvane
