// SPDX-License-Identifier: MIT
// A plain text, its paragraphs, and the pieces a long paragraph is cut
// into: index arithmetic alone, no fonts.
//
// A paragraph ends at a CR LF pair, the one paragraph break; a lone CR or
// a lone LF is an ordinary character of its paragraph. Every lookup looks
// at a bounded stretch of characters around its position, so setting a
// text of a billion characters costs no more than setting a short one:
// - paragraphAt() finds a paragraph of at most kExactParagraphLength
//   characters whole, and otherwise says that the paragraph is long;
// - pieceAt() cuts every paragraph near each multiple of kPieceLength
//   characters, just after a space where there is one. Those cuts depend
//   only on the characters around them, so the piece that holds any
//   position is found by looking at most a few thousand characters around
//   it. Rows of a long paragraph end at its cuts; the boundaries of words
//   and sentences are looked for within a piece.
#pragma once

#include <QString>

#include <array>
#include <optional>

namespace sayvane {

// The white space a long paragraph is cut just after, and that a row's
// width leaves out at its end: a space or a tab.
inline bool isBreakingSpace(QChar character)
{
    return character == u' ' || character == u'\t';
}

class TextPieces
{
public:
    static constexpr qsizetype kPieceLength = 4096;
    // How far a cut may move back to fall just after a space.
    static constexpr qsizetype kLookBack = 256;
    // No piece is longer: it may begin up to kLookBack before its cell.
    static constexpr qsizetype kLongestPiece = kPieceLength + kLookBack;
    // The longest paragraph that is wrapped whole, without cuts.
    static constexpr qsizetype kExactParagraphLength = qsizetype(1) << 20;

    // [start, end) of the text, holding no paragraph break.
    struct Piece
    {
        qsizetype start = 0;
        qsizetype end = 0;
        qsizetype length() const { return end - start; }
        bool operator==(const Piece &) const = default;
    };
    // A paragraph found whole: [start, end) without its break.
    using Paragraph = Piece;

    // Shares the text; no copy, no scan.
    void setText(const QString &text);
    const QString &text() const { return m_text; }
    qsizetype length() const { return m_text.size(); }

    // The characters of a paragraph break: CR LF.
    static constexpr qsizetype kBreakLength = 2;
    // True where a paragraph break begins at the position.
    bool isBreakAt(qsizetype position) const;
    // True where a paragraph break ends just before the position.
    bool isAfterBreak(qsizetype position) const
    {
        return position >= kBreakLength && isBreakAt(position - kBreakLength);
    }
    // A position between the CR and the LF of a break becomes the one
    // before the CR; anything outside the text is clamped into it.
    qsizetype normalized(qsizetype position) const;

    // The paragraph around a position when it is at most
    // kExactParagraphLength long; none for a longer one.
    std::optional<Paragraph> paragraphAt(qsizetype position) const;

    // The piece that holds a position: at a cut inside a paragraph the one
    // that begins there, at a paragraph break the one that ends there.
    Piece pieceAt(qsizetype position) const;
    QString textOf(const Piece &piece) const { return m_text.sliced(piece.start, piece.length()); }

private:
    std::optional<qsizetype> cutNear(qsizetype cell) const;
    qsizetype pieceStart(qsizetype position) const;
    qsizetype pieceEnd(qsizetype start) const;
    qsizetype breakBefore(qsizetype position, qsizetype limit) const;
    qsizetype breakAfter(qsizetype position, qsizetype limit) const;

    QString m_text;
    // The stretches met by the last lookups: a paragraph found whole, or a
    // stretch without a break longer than a paragraph found whole.
    struct Known
    {
        Piece stretch{-1, -1};
        bool whole = false;
    };
    mutable std::array<Known, 4> m_known{};
    mutable std::size_t m_nextKnown = 0;
};

} // namespace sayvane
