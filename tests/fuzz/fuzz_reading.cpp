// SPDX-License-Identifier: MIT
// Differential fuzz target: for any bytes, the block reader at a chosen
// block size, the heading names, section display and phrase search agree
// with straightforward versions written here from the line rules.
//
// Input: byte 0 picks the block size (low four bits), whether the next
// block is read ahead (bit 6) and sometimes a short limit on the length of
// a line (high bit); byte 1 picks the section name; bytes 2 and 3 pick the
// phrase: its length (sometimes long), whether a character outside
// Windows-1252 follows it, and where in the file it is copied from. The
// rest is the file. The reference splits lines by the rules of both kinds
// of line ends, reads each line by Unicode's own table of well-formed
// UTF-8, and compares texts, not bytes.
#include "DataFileReader.h"
#include "HeadingLoader.h"
#include "LibraryTestSupport.h"
#include "LineRules.h"
#include "PhraseSearch.h"
#include "SectionDisplay.h"
#include "Windows1252.h"

#include <QString>
#include <QStringDecoder>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

using namespace sayvane;

namespace {

void check(bool agreed, const char *what)
{
    if (!agreed) {
        std::fprintf(stderr, "mismatch: %s\n", what);
        __builtin_trap();
    }
}

// A UTF-8 byte-order mark at the start is dropped. When the first CR or LF
// is a LF, each LF ends a line and a CR just before it goes with it;
// otherwise a line ends at CR LF or a lone CR and a lone LF is ordinary. A
// terminator at the end of the file adds no empty line.
std::vector<std::string> referenceLines(std::string_view file)
{
    if (file.starts_with("\xEF\xBB\xBF"))
        file.remove_prefix(3);
    const std::size_t firstEnd = file.find_first_of("\r\n");
    const bool lfEnds = firstEnd != std::string_view::npos && file[firstEnd] == '\n';
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (lfEnds) {
            if (file[i] != '\n')
                continue;
            const std::size_t end = i > start && file[i - 1] == '\r' ? i - 1 : i;
            lines.emplace_back(file.substr(start, end - start));
            start = i + 1;
            continue;
        }
        if (file[i] != '\r')
            continue;
        lines.emplace_back(file.substr(start, i - start));
        if (i + 1 < file.size() && file[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < file.size())
        lines.emplace_back(file.substr(start));
    return lines;
}

// Unicode's table of well-formed UTF-8 byte sequences, row by row.
bool referenceIsUtf8(std::string_view bytes)
{
    bool high = false;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = [&](std::size_t k) {
            return i + k < bytes.size() ? static_cast<unsigned char>(bytes[i + k]) : 0;
        };
        const auto in = [](unsigned char v, unsigned char lo, unsigned char hi) { return v >= lo && v <= hi; };
        const unsigned char lead = b(0);
        std::size_t length = 0;
        if (lead <= 0x7F)
            length = 1;
        else if (in(lead, 0xC2, 0xDF) && in(b(1), 0x80, 0xBF))
            length = 2;
        else if (lead == 0xE0 && in(b(1), 0xA0, 0xBF) && in(b(2), 0x80, 0xBF))
            length = 3;
        else if ((in(lead, 0xE1, 0xEC) || in(lead, 0xEE, 0xEF)) && in(b(1), 0x80, 0xBF) && in(b(2), 0x80, 0xBF))
            length = 3;
        else if (lead == 0xED && in(b(1), 0x80, 0x9F) && in(b(2), 0x80, 0xBF))
            length = 3;
        else if (lead == 0xF0 && in(b(1), 0x90, 0xBF) && in(b(2), 0x80, 0xBF) && in(b(3), 0x80, 0xBF))
            length = 4;
        else if (in(lead, 0xF1, 0xF3) && in(b(1), 0x80, 0xBF) && in(b(2), 0x80, 0xBF) && in(b(3), 0x80, 0xBF))
            length = 4;
        else if (lead == 0xF4 && in(b(1), 0x80, 0x8F) && in(b(2), 0x80, 0xBF) && in(b(3), 0x80, 0xBF))
            length = 4;
        if (length == 0)
            return false;
        high = high || lead > 0x7F;
        i += length;
    }
    return high;
}

QString referenceText(std::string_view bytes)
{
    if (!referenceIsUtf8(bytes))
        return decodeWindows1252(bytes);
    // A U+FEFF inside the file is a character like any other.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

bool referenceIsHeading(const std::string &line)
{
    std::size_t begin = 0, end = line.size();
    while (begin < end && line[begin] == ' ')
        ++begin;
    while (end > begin && line[end - 1] == ' ')
        --end;
    return end - begin >= 2 && line[begin] == '#' && line[begin + 1] == '#';
}

std::string referenceName(const std::string &line)
{
    return line.size() > 2 ? line.substr(2) : std::string();
}

QString shownText(const std::vector<std::string> &lines)
{
    QString text;
    for (const std::string &line : lines)
        text += QStringLiteral("\r\n") + referenceText(line) + QStringLiteral("\r\n");
    return text;
}

// The shown lines, or nothing when a line longer than the limit is read.
// Names are equal when their texts are, whatever their bytes.
std::optional<std::vector<std::string>> referenceSection(const std::vector<std::string> &lines, const QString &name,
                                                         std::size_t limit)
{
    std::vector<std::string> shown;
    bool inSection = false;
    for (const std::string &line : lines) {
        if (line.size() > limit)
            return std::nullopt;
        if (!referenceIsHeading(line)) {
            if (inSection)
                shown.push_back(line);
        } else if (referenceText(referenceName(line)) == name) {
            inSection = true;
        } else if (inSection) {
            break;
        }
    }
    return shown;
}

// A line is found when its text holds the phrase.
std::optional<std::vector<std::string>> referenceSearch(const std::vector<std::string> &lines, const QString &phrase,
                                                        std::size_t limit)
{
    std::vector<std::string> shown;
    for (const std::string &line : lines) {
        if (line.size() > limit)
            return std::nullopt;
        if (!referenceIsHeading(line) && referenceText(line).contains(phrase))
            shown.push_back(line);
    }
    return shown;
}

// Sixteen sizes, the program's own last; inputs of 256 KiB to 1 MiB
// straddle the larger ones.
const std::size_t kBlockSizes[] = {1,  2,  3,  4,   5,    7,     8,      13,
                                   16, 31, 64, 256, 4096, 65536, 262144, ReadSettings().blockSize};

bool anyLineLongerThan(const std::vector<std::string> &lines, std::size_t limit)
{
    for (const std::string &line : lines) {
        if (line.size() > limit)
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 4)
        return 0;
    // A large input is read in large blocks only: a byte at a time, it
    // would cost a million reads.
    const std::size_t sizeChoice = size > 65536 ? 12 + (data[0] & 0x03) : data[0] & 0x0F;
    ReadSettings settings{.blockSize = kBlockSizes[sizeChoice]};
    if (data[0] & 0x80)
        settings.maxLineBytes = 1 + ((data[0] >> 4) & 7) * 37;
    settings.readAhead = (data[0] & 0x40) != 0;
    const std::size_t limit = settings.maxLineBytes;
    const std::uint8_t nameChoice = data[1];
    const std::size_t phraseLength = data[2] & 0x40 ? (data[2] & 0x3F) * 97 : data[2] % 8;
    const bool foreignCharacter = data[2] & 0x80;
    const std::string_view file(reinterpret_cast<const char *>(data + 4), size - 4);
    const std::size_t phraseStart = file.empty() ? 0 : data[3] % file.size();
    const std::string phrase(file.substr(phraseStart, phraseLength));

    // The file lives in memory; the readers open it by its /proc path.
    const int descriptor = memfd_create("sayvane-fuzz", 0);
    if (descriptor < 0 || write(descriptor, file.data(), file.size()) != ssize_t(file.size()))
        return 0;
    const QString path = QStringLiteral("/proc/self/fd/%1").arg(descriptor);
    const std::vector<std::string> lines = referenceLines(file);
    const bool tooLong = anyLineLongerThan(lines, limit);

    DataFileReader reader(settings);
    check(reader.open(path), "open");
    std::size_t index = 0;
    while (!reader.atEnd()) {
        const std::string_view line = reader.readLine();
        check(index < lines.size() && line == lines[index], "line");
        check(IsHeadingLine(line) == referenceIsHeading(lines[index]), "heading test");
        ++index;
    }
    if (tooLong) {
        check(reader.failed() && reader.errorString() == lineTooLongReason(limit), "too long");
        check(index < lines.size() && lines[index].size() > limit, "lines before the long one");
    } else {
        check(index == lines.size() && !reader.failed(), "line count");
    }
    reader.close();

    QStringList names;
    std::vector<std::string> nameBytes;
    for (const std::string &line : lines) {
        if (referenceIsHeading(line)) {
            names.append(referenceText(referenceName(line)));
            nameBytes.push_back(referenceName(line));
        }
    }
    const LoadedNames loaded = loadHeadingNames(path, settings);
    if (tooLong)
        check(loaded.failure.has_value(), "heading names, too long");
    else
        check(!loaded.failure && test::namesOf(loaded.names) == names, "heading names");

    std::string name = nameBytes.empty() ? phrase : nameBytes[nameChoice % nameBytes.size()];
    if (nameChoice & 0x80)
        name += phrase;
    const auto section = referenceSection(lines, referenceText(name), limit);
    const ShownQuotes shown = sectionQuotes(path, std::string_view(name), settings);
    if (!section)
        check(shown.failure && shown.failure->reason == lineTooLongReason(limit), "section, too long");
    else
        check(!shown.failure && shown.text == shownText(*section) && shown.found == !section->empty(), "section");

    // The phrase is typed as its bytes read, sometimes with a character
    // that only UTF-8 lines can hold.
    QString typed = referenceText(phrase);
    if (foreignCharacter)
        typed += QChar(0x4E2D);
    const auto found = referenceSearch(lines, typed, limit);
    const ShownQuotes searched = searchQuotes(path, typed, settings);
    if (!found)
        check(searched.failure && searched.failure->reason == lineTooLongReason(limit), "search, too long");
    else
        check(!searched.failure && searched.text == shownText(*found) && searched.found == !found->empty(), "search");

    close(descriptor);
    return 0;
}
