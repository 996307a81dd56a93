// SPDX-License-Identifier: MIT
// The entries of one fortune file: the text between lines holding only
// "%", each turned into one quotation line with its attribution apart.
#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

namespace sayvane::fortunes {

// What stands where a line of an entry ended, since a quotation is one
// line: a verse keeps its shape.
inline constexpr QStringView kLineSeparator = u" / ";

struct FortuneEntry
{
    QString text;        // the entry's lines joined by kLineSeparator
    QString attribution; // what follows the dash of its attribution, or empty
};

struct FortuneFile
{
    QList<FortuneEntry> entries;
    int emptyEntries = 0; // entries of nothing but white space, skipped
};

// The text of a source: UTF-8 where the whole file is valid UTF-8,
// otherwise Latin-1, one byte a character.
QString decodeFortuneSource(QByteArrayView bytes);

// Splits the text into entries at every line that holds only "%" (LF or
// CR LF line ends). An entry's attribution is its last line that begins,
// after white space, with "--" or "—" and a name, together with the
// indented lines after it, provided some text comes before it. The other
// lines that hold more than white space, each tidied of it, are joined by
// kLineSeparator.
FortuneFile parseFortunes(QStringView text);

// A name as it may stand in a heading: every control character (a CR or
// LF among them, which would end the line) and line or paragraph
// separator a space, runs of white space one space, none at either end.
QString tidiedName(QStringView name);

} // namespace sayvane::fortunes
