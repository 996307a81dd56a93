// SPDX-License-Identifier: MIT
// Every boundary of the text in one place: characters (a surrogate pair or
// a grapheme cluster is one), words, sentences and paragraphs. Each is
// found within a bounded stretch around the position (a word or sentence
// within the piece around it, a paragraph when it is no longer than
// TextPieces::kExactParagraphLength), however long the text.
#pragma once

#include "RowLayout.h"

#include <QTextLayout>

#include <utility>

namespace sayvane {

using TextRange = std::pair<qsizetype, qsizetype>; // [start, end)

// The next or previous caret position, by character or by word; a
// paragraph break is one step.
qsizetype nextCaretPosition(const RowLayout &rows, qsizetype position, QTextLayout::CursorMode mode);
qsizetype previousCaretPosition(const RowLayout &rows, qsizetype position, QTextLayout::CursorMode mode);

// The character at a position (empty at the end of the text).
TextRange characterAt(const RowLayout &rows, qsizetype position);
// The word, run of spaces or single mark around a position.
TextRange wordAt(const TextPieces &pieces, qsizetype position);
TextRange sentenceAt(const TextPieces &pieces, qsizetype position);
// The paragraph around a position, without its break; of a longer
// paragraph than TextPieces finds whole, the piece around the position.
TextRange paragraphAt(const TextPieces &pieces, qsizetype position);

} // namespace sayvane
