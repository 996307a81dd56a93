// SPDX-License-Identifier: MIT
// A plain text, its paragraph breaks, and the pieces it is cut into for
// layout: index arithmetic alone, no fonts.
//
// A piece ends at a paragraph break and, inside a long paragraph, near
// every multiple of kPieceLength characters, just after a space where there
// is one. Those cuts depend only on the characters around them, so the
// piece that holds any position is found by looking at most a few thousand
// characters around it: setting a text of a billion characters costs no
// more than setting a short one.
#pragma once

#include <QString>

#include <optional>

namespace sayvane {

// The one paragraph-break rule: CR LF, a lone CR and a lone LF each end a
// paragraph.
inline bool isBreakCharacter(QChar character)
{
    return character == u'\r' || character == u'\n';
}

class TextPieces
{
public:
    static constexpr qsizetype kPieceLength = 4096;
    // How far a cut may move back to fall just after a space.
    static constexpr qsizetype kLookBack = 256;
    // No piece is longer: it may begin up to kLookBack before its cell.
    static constexpr qsizetype kLongestPiece = kPieceLength + kLookBack;

    // [start, end) of the text, holding no paragraph break.
    struct Piece
    {
        qsizetype start = 0;
        qsizetype end = 0;
        qsizetype length() const { return end - start; }
        bool operator==(const Piece &) const = default;
    };

    // Shares the text; no copy, no scan.
    void setText(const QString &text) { m_text = text; }
    const QString &text() const { return m_text; }
    qsizetype length() const { return m_text.size(); }

    // True where a paragraph break begins at the position.
    bool isBreakAt(qsizetype position) const;
    // The position just past the break that begins at `position`.
    qsizetype afterBreak(qsizetype position) const;
    // The position where the break that ends at `position` begins.
    qsizetype beforeBreak(qsizetype position) const;
    // A position between the CR and the LF of a break becomes the one
    // before the CR; anything outside the text is clamped into it.
    qsizetype normalized(qsizetype position) const;

    // The piece that holds a position: at a cut inside a paragraph the one
    // that begins there, at a paragraph break the one that ends there.
    Piece pieceAt(qsizetype position) const;
    std::optional<Piece> nextPiece(const Piece &piece) const;
    std::optional<Piece> previousPiece(const Piece &piece) const;
    QString textOf(const Piece &piece) const { return m_text.sliced(piece.start, piece.length()); }

private:
    std::optional<qsizetype> cutNear(qsizetype cell) const;
    qsizetype pieceStart(qsizetype position) const;
    qsizetype pieceEnd(qsizetype start) const;

    QString m_text;
};

} // namespace sayvane
