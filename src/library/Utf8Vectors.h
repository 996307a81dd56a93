// SPDX-License-Identifier: MIT
// Whether bytes are UTF-8, decided 32 bytes at a time on processors with
// AVX2: a search in a large file of non-Latin text checks the encoding of
// nearly every line, and a walk of one character at a time is then the
// larger part of its work.
#pragma once

#include <QtGlobal>

namespace sayvane {

struct Utf8Verdict
{
    bool valid = false;
    qsizetype units = 0; // UTF-16 units of the text, when valid
};

// Decides [at, end) by the rules of RFC 3629 (no overlong forms, no
// surrogates, nothing past U+10FFFF, no sequence cut short at the end).
// Returns false, deciding nothing, on a processor without AVX2 or for
// fewer than 16 bytes.
bool decideUtf8InVectors(const unsigned char *at, const unsigned char *end, Utf8Verdict &verdict);

} // namespace sayvane
