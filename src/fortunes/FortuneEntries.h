// SPDX-License-Identifier: MIT
// The entries of one fortune file: the text between lines holding only
// "%", each turned into one quotation line with its attribution apart.
#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

namespace sayvane::fortunes {

struct FortuneEntry
{
    QString text;        // the entry's lines joined by single spaces
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
// lines, each tidied of white space, are joined by single spaces.
FortuneFile parseFortunes(QStringView text);

} // namespace sayvane::fortunes
