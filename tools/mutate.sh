#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A mutation round: puts small realistic faults into the code one at a
# time, in a scratch copy of the committed tree, builds each and runs the
# quick suite (no test labelled slow), and prints which tests caught it.
# Ends with status 1 when a fault passes every test.
#   tools/mutate.sh [SCRATCH_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
scratch=${1:-$(mktemp -d)}
# The tests that run the program as an unprivileged user must reach it.
chmod 755 "$scratch"
tree=$scratch/tree
rm -rf "$tree"
git worktree add --detach -f "$tree" HEAD >/dev/null 2>&1
trap 'git worktree remove --force "$tree" >/dev/null 2>&1 || true' EXIT
export QT_QPA_PLATFORM=offscreen
cmake -S "$tree" -B "$scratch/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$scratch/build" --parallel "$(nproc)" >/dev/null

# Each fault: the file, the text replaced (found literally, once), the
# text put in its place, and the fault in a few words.
mutants=()
mutant() { mutants+=("$1"$'\x1f'"$2"$'\x1f'"$3"$'\x1f'"$4"); }
mutant src/library/LineTerminator.h "if (lineEnd > begin && lineEnd[-1] == '\r')" "if (false)" \
  "LF line ends keep the CR of a CR LF"
mutant src/library/LineText.h "(lead == 0xE0 && at[1] < 0xA0) || (lead == 0xED && at[1] > 0x9F)" "false" \
  "overlong and surrogate UTF-8 read as UTF-8"
mutant src/library/LineRules.h 'starts_with("##")' 'starts_with("#")' "one mark makes a heading"
mutant src/library/PhraseSearch.cpp "if ((inEither || onlyIn) && !IsHeadingLine(span.line))" "if (inEither || onlyIn)" \
  "search looks into heading lines"
mutant src/library/DataFileReader.cpp "} else if (start.size() == kMark.size()) {" "} else if (false) {" \
  "the byte-order mark stays in the first line"
mutant src/library/SectionDisplay.cpp "else if (!headsSection(span.line))" "else" \
  "a second heading of the same name ends the section"
mutant src/library/NameFilter.cpp "QChar::toLower(nextUtf8Character(at))" "nextUtf8Character(at)" \
  "the filter folds no case in UTF-8 names"
mutant src/textview/ScreenReaderLimit.h "kLongestAccessibleText = qsizetype(1) << 20" \
  "kLongestAccessibleText = qsizetype(1) << 21" "a screen reader's answer grows to 2 Mi characters"
mutant src/window/TextBox.h "kLimit = 100'000" "kLimit = 1'000'000" "text boxes hold 1,000,000 characters"
mutant src/window/TextBox.cpp "if (commands && !altGr && !event->text().isEmpty())" "if (altGr && false)" \
  "Alt+letter types its letter"
mutant src/window/frmMain.cpp "reportReadFailure(*shown.failure, MessageIcon::Information)" \
  "reportReadFailure(*shown.failure, MessageIcon::Error)" "a failure after a click takes the error icon"
mutant src/window/frmMain.cpp "return available.topLeft();" "return screen.topLeft();" \
  "a large window opens at the screen's corner, not the available area's"
mutant src/window/ProgramSetup.cpp "QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));" ";" \
  "numbers follow the system's locale"
mutant src/CommandLine.cpp "if (folders.size() > 1)" "if (folders.size() > 2)" "two collection folders are taken"
mutant src/fortunes/Attribution.cpp 'u"Jr."_s, ' '' "Jr. after a comma is cut from a name"
mutant src/library/CollectionWriter.cpp "const unsigned int flags = replace ? 0 : RENAME_NOREPLACE;" \
  "const unsigned int flags = 0; replace = true;" "without --force, a rename replaces a file made meanwhile"
mutant src/textview/ReadOnlyTextView.cpp "int(to - from), selected}" "int(to - from) - 1, selected}" \
  "the selection highlight drawn one character short"
mutant src/textview/RowLayout.cpp "QTextOption::WrapAtWordBoundaryOrAnywhere" "QTextOption::WrapAnywhere" \
  "rows break inside words"
mutant src/window/ListBox.cpp "index.data(NameListModel::ShownStartRole)" "index.data(Qt::DisplayRole)" \
  "a list row draws the whole name instead of its start"
mutant src/library/ShownTextAside.cpp "        waitUntilWritten();" "" \
  "the search reads on before a long line it found is written"
mutant src/library/ShownTextAside.cpp "            m_cut.store(true, std::memory_order_relaxed);" "" \
  "a search reads to the end of the file after its text was cut"
mutant src/library/DataFileReader.h "kMaxLineBytes = std::size_t(256) << 20" "kMaxLineBytes = std::size_t(512) << 20" \
  "the line cap raised from 256 to 512 MiB"
mutant src/window/frmMain.cpp "std::nearbyint(value)" "std::round(value)" \
  "the press point rounds halves away from zero"
mutant src/window/ProgramStart.cpp "    window->showPictures(pictures.take());" "    pictures.take();" \
  "the banner and the icon are never shown"
mutant src/window/ProgramStart.cpp "files.bothThere() ? loadHeadingNames(path) : LoadedNames()" \
  "loadHeadingNames(path)" "a data file is opened before the existence test"
mutant src/library/CollectionWriter.cpp "undone = planned[done].file->undo() && undone;" "undone = true;" \
  "a first rename is not undone when the second fails"
mutant src/library/CollectionWriter.cpp "while (::flock(folder.get(), LOCK_EX) != 0) {" "while (false) {" \
  "two writers of one folder are not kept apart"
mutant src/library/CollectionWriter.cpp "if (::fchmod(part.get(), m_old->st_mode & 07777) != 0)" "if (false)" \
  "a replaced file loses its mode"
mutant src/library/CollectionWriter.cpp "    const SignalsHeldBack heldBack;" "" "a signal lands between the two renames"
mutant src/library/CollectionWriter.cpp "            if (current.sa_handler == SIG_IGN)" "            if (false)" \
  "a signal ignored at start ends a write"
mutant src/keeping/AddQuotation.cpp "return heading->line.data();" "return heading->next;" \
  "--add puts the quotation after the heading that ends the section"
mutant src/keeping/AddQuotation.cpp 'return ends == LineEnds::Lf ? "\n" : "\r\n";' 'return ends == LineEnds::Lf ? "\n" : "\n";' \
  "--add ends its lines with LF in a CR LF file"
mutant src/keeping/AddQuotation.cpp "trimSpaces(*request.author).toString()" "*request.author" \
  "--add takes the author's name untrimmed"
mutant src/terminal/RandomQuotation.cpp "std::floor(double(m_offered) / uniform) + 1" \
  "std::floor(double(m_offered) / (uniform * uniform)) + 1" "--random favours the lines early in the file"
mutant src/terminal/CaseFolding.cpp "        cases.append(at->second);" "        {}" \
  "--search -i looks for the lower case of a phrase only"
mutant src/library/LineTerminator.h "return at[-1] == '\\n' && at - 1 > from && at[-2] == '\\r';" \
  "return at[-1] == '\\n';" "in a classic file any LF begins a line"
mutant src/library/FileNames.cpp "unit <= kFirstEscape + 0x7F" "unit < kFirstEscape + 0x7F" \
  "byte 0xFF of a file name is lost"
mutant src/library/FileNames.cpp "        if (i > 0 && name[i - 1].isHighSurrogate())" "        if (false)" \
  "an astral character in a file name is taken as escaped bytes"
mutant src/fortunes/Attribution.cpp "if (lastWord.size() > 3 && !lastWord.contains" "if (lastWord.size() >= 3 && !lastWord.contains" \
  "the full-stop rule takes Esq. as a sentence end"
mutant src/library/NameFilter.cpp "        if (at == end)" "        if (false)" \
  "a UTF-8 name shorter than the filter is read past its end"
mutant src/window/ProgramStart.cpp "    QAccessible::isActive();" "" \
  "the accessibility bus started after the start's threads"
mutant src/library/ShownTextAside.cpp "        m_writing = true;" "" \
  "the shown text's writer never marks itself as writing"

mutant src/library/FileParts.cpp "return at + (buffer[0] == '\\n' ? 1 : 0);" "return at;" \
  "a part begins at the LF of a CR LF read apart from its CR"
mutant src/library/ByteSearch.cpp "candidates |= ((at[i + rareAt] & rareMask) == rare)" \
  "candidates |= ((at[i + rareAt]) == rare)" "a masked phrase's rarest byte must match in every bit"
mutant src/library/ByteSearch.cpp "                if (finder.matchesAt(start)) {" "                if (true) {" \
  "with AVX2, a pair of rare bytes is taken for the whole phrase"
mutant src/library/ByteSearch.cpp "rareMask = _mm256_set1_epi8(char(finder.maskAt(rareAt)));" \
  "rareMask = _mm256_set1_epi8(char(0xFF));" "with AVX2, a masked phrase's rarest byte must match in every bit"
mutant src/terminal/RandomQuotation.cpp "weigh(part.draws.prelude, part.draws.preludeDraw, heading);" "(void)0;" \
  "--random never draws a line before a part's first heading"
mutant src/terminal/RandomQuotation.cpp "Reservoir choice(streamSeed(seed, 0));" "Reservoir choice(streamSeed(seed, 1));" \
  "--random chooses among the parts with the first part's numbers"
mutant src/terminal/PartsInOrder.cpp "m_parts.m_heading = lastHeading;" ";" \
  "a search in parts writes a later part's first lines under an earlier heading"
mutant src/terminal/CaseFolding.cpp "pattern.masks[i] = char(static_cast<unsigned char>(pattern.masks[i]) & ~differ);" \
  "pattern.masks[i] = char(static_cast<unsigned char>(pattern.masks[i]) & ~(differ & 0));" \
  "--search -i finds one spelling of each length of a letter's cases"
mutant src/library/Windows1252.cpp "(word & 0x8080808080808080u) == 0" "(word & 0x0080808080808080u) == 0" \
  "a Windows-1252 byte at the end of eight is copied as it is"
mutant src/terminal/Utf8Output.cpp "byte == '\\r' || byte == '\\n'" "byte == '\\n'" \
  "--search writes a CR inside a line as it is"
mutant src/terminal/CaseFolding.cpp "character != wanted && QChar::toLower(character) != wanted" \
  "character != wanted" "--search -i takes only the phrase's own case"
mutant src/library/Windows1252.cpp "entry = {{char(0xE0 | (character >> 12))," "entry = {{char(0xE0 | (character >> 11))," \
  "a Windows-1252 character of three UTF-8 bytes is spelt wrong"
mutant src/library/LineScan.cpp "loneLineFeeds |= unsigned(_mm256_movemask_epi8(isLf)) & ~endBits;" \
  "loneLineFeeds |= unsigned(_mm256_movemask_epi8(isLf)) & ~endBits & 0x7FFFFFFF;" \
  "the census misses a lone LF at the last place of 32 bytes"
mutant src/library/LineScan.cpp "census.loneLineFeeds = ends == LineEnds::Classic && lines.front() == '\\n';" "" \
  "the census misses a lone LF that begins a block"
mutant src/keeping/CollectionCheck.cpp "        takeRun(scan.prelude, m_line);" "" \
  "--check leaves out the lines before a part's first heading"
mutant src/keeping/CollectionCheck.cpp "            current.firstQuotation = base + next - runStart();" "" \
  "--check places the quotations before the first heading at a later line"
mutant src/keeping/CollectionCheck.cpp "            openLine = m_firstBeforeFirst; // their count is not known yet" ";" \
  "--check reports the quotations before the first heading after findings on later lines"
mutant src/keeping/CollectionCheck.cpp '            takeQuotationsUnderNoName("in a file without a heading");' "" \
  "--check finds nothing in a file of quotations without a heading"
mutant src/keeping/CollectionCheck.cpp "                passOn(m_line + heading.line);" "                passOn();" \
  "--check hands on a glued heading before the findings of earlier lines"
mutant src/library/LineScan.cpp "reinterpret_cast<const __m256i *>(at + 2)), isLf);" \
  "reinterpret_cast<const __m256i *>(at + 2)), _mm256_and_si256(isLf, endByte));" \
  "the census of a classic file takes the LF of a CR LF for the next line's first byte"
mutant src/library/Utf8Vectors.cpp "kCarry | kTooLarge | kTooLarge1000 | kSurrogate," "kCarry | kTooLarge | kTooLarge1000," \
  "a long line with an encoded surrogate reads as UTF-8"
mutant src/library/Utf8Vectors.cpp "units += unitsOf(bytes) - (32 - rest);" "units += unitsOf(bytes);" \
  "a long UTF-8 line counts the padding of its last block as text"
mutant src/library/Utf8Vectors.cpp "kMoveDown + 32 - rest" "kMoveDown + 31 - rest" \
  "the last block of a long line takes a byte of its rest twice"
mutant src/library/Utf8Vectors.cpp "kMoveDown + 16 - rest" "kMoveDown + 17 - rest" \
  "the last block of a long line loses the first byte of a short rest"
mutant src/terminal/OutputBuffer.h "kPieceBytes = std::size_t(1) << 20" "kPieceBytes = std::size_t(1) << 12" \
  "the output goes out in pieces of 4 KiB"
mutant src/terminal/OutputBuffer.cpp "return flush() && writeOut(text.data(), text.size());" \
  "return writeOut(text.data(), text.size()) && flush();" "a large text is written before what is held"
mutant src/terminal/OutputBuffer.cpp "    m_held = text.size() - first;" "    m_held = 0;" \
  "the rest of a text that filled a piece is lost"
mutant src/terminal/OutputBuffer.cpp "        std::memcpy(buffer, m_buffer, m_held);" "        (void)0;" \
  "what the first 64 KiB held is lost when the output grows past them"
mutant src/terminal/CaseFolding.h "kLastCharacterWithCase = 0x1FFFF" "kLastCharacterWithCase = 0xFFFF" \
  "-i asks only the first plane for cases"
mutant src/terminal/TerminalSearch.cpp "return encodingFits(encoding, s) && text.starts_with(s.bytes);" \
  "return text.starts_with(s.bytes);" "-i takes the lowered phrase's UTF-8 bytes in a Windows-1252 line"
mutant src/library/LineScan.cpp "const char lineFeed = classic ? 0 : '\\n';" "const char lineFeed = '\\n';" \
  "the census of a classic file takes a line after a lone LF for an odd one"
mutant src/terminal/RandomQuotation.cpp "odd.start[0] == '#' && odd.start[1] == '#'" "odd.start[0] == '#'" \
  "--random takes a quotation that begins with one mark for a heading"
mutant src/terminal/RandomQuotation.cpp "            settleHeading(end, terminator);" "            if (false) settleHeading(end, terminator);" \
  "--random names the heading before the last for an indented quotation"
mutant src/terminal/RandomQuotation.cpp "        settleHeading(lines.data() + lines.size(), terminator);" "" \
  "--random forgets a heading at the end of its block"
mutant src/terminal/PartsInOrder.cpp "writePreludeOut(m_prelude) && writeOut(std::string_view(m_slot, m_kept))" \
  "writePreludeOut(m_prelude)" "a search in parts loses what a part kept before its turn"
mutant src/terminal/PartsInOrder.cpp "if (hasTurn() || m_prelude.size() + m_kept + lines.size() > kMostKept)" \
  "if (hasTurn())" "a part keeps more than its slot holds"

survivors=0
printf '| Fault | Caught by |\n|---|---|\n'
for mutant in "${mutants[@]}"; do
  IFS=$'\x1f' read -r file from to what <<< "$mutant"
  cp "$tree/$file" "$scratch/original"
  # Perl is part of every Debian system; \Q takes the text literally.
  perl -0pi -e 'BEGIN { $from = shift; $to = shift } s/\Q$from\E/$to/' "$from" "$to" "$tree/$file"
  if cmp -s "$tree/$file" "$scratch/original"; then
    echo "| $what | NOT APPLIED: the code changed, mend the mutant |"; survivors=$((survivors + 1)); continue
  fi
  caught="the build"
  if cmake --build "$scratch/build" --parallel "$(nproc)" >/dev/null 2>&1; then
    # ctest ends with a failing status exactly when a test caught the fault.
    failed=$( (ctest --test-dir "$scratch/build" --parallel "$(nproc)" --label-exclude slow --timeout 300 2>&1 || true) |
               sed -n 's/^[[:space:]]*[0-9]* - \([a-z_]*\) (.*$/\1/p' | tr '\n' ' ')
    caught=${failed:-}
  fi
  cp "$scratch/original" "$tree/$file"
  if [ -z "$caught" ]; then
    echo "| $what | NOTHING |"; survivors=$((survivors + 1))
  else
    echo "| $what | $caught |"
  fi
done
cmake --build "$scratch/build" --parallel "$(nproc)" >/dev/null 2>&1 || true
echo
echo "$survivors of ${#mutants[@]} faults passed the quick suite"
[ "$survivors" = 0 ]
