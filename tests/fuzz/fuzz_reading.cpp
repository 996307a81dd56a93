// SPDX-License-Identifier: MIT
// Differential fuzz target: for any bytes, the block reader at a chosen
// block size, the heading names, section display and phrase search agree
// with straightforward versions written here from the line rules.
//
// Input: byte 0 picks the block size (low four bits) and sometimes a short
// limit on the length of a line (high bit); byte 1 picks the section name;
// bytes 2 and 3 pick the phrase: its length (sometimes long), whether a
// character outside Windows-1252 follows it, and where in the file it is
// copied from. The rest is the file.
#include "DataFileReader.h"
#include "HeadingLoader.h"
#include "LibraryTestSupport.h"
#include "LineRules.h"
#include "PhraseSearch.h"
#include "SectionDisplay.h"
#include "Windows1252.h"

#include <QString>

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

// A line ends at CR LF or a lone CR; a lone LF is ordinary; a terminator
// at the end of the file adds no empty line.
std::vector<std::string> referenceLines(std::string_view file)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < file.size(); ++i) {
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
        text += QStringLiteral("\r\n") + decodeWindows1252(line) + QStringLiteral("\r\n");
    return text;
}

// The shown lines, or nothing when a line longer than the limit is read.
std::optional<std::vector<std::string>> referenceSection(const std::vector<std::string> &lines, const std::string &name,
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
        } else if (referenceName(line) == name) {
            inSection = true;
        } else if (inSection) {
            break;
        }
    }
    return shown;
}

std::optional<std::vector<std::string>> referenceSearch(const std::vector<std::string> &lines,
                                                        const std::string &phrase, bool searchable, std::size_t limit)
{
    std::vector<std::string> shown;
    for (const std::string &line : lines) {
        if (line.size() > limit)
            return std::nullopt;
        if (searchable && !referenceIsHeading(line) && line.find(phrase) != std::string::npos)
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
        settings.maxLineLength = 1 + ((data[0] >> 4) & 7) * 37;
    const std::size_t limit = settings.maxLineLength;
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
    for (const std::string &line : lines) {
        if (referenceIsHeading(line))
            names.append(decodeWindows1252(referenceName(line)));
    }
    const LoadedNames loaded = loadHeadingNames(path, settings);
    if (tooLong)
        check(loaded.failure.has_value(), "heading names, too long");
    else
        check(!loaded.failure && test::namesOf(loaded.names) == names, "heading names");

    std::string name = names.isEmpty() ? phrase : encodeWindows1252(names[nameChoice % names.size()])->toStdString();
    if (nameChoice & 0x80)
        name += phrase;
    const auto section = referenceSection(lines, name, limit);
    const ShownQuotes shown = sectionQuotes(path, std::string_view(name), settings);
    if (!section)
        check(shown.failure && shown.failure->reason == lineTooLongReason(limit), "section, too long");
    else
        check(!shown.failure && shown.text == shownText(*section) && shown.found == !section->empty(), "section");

    // A phrase holding a character that Windows-1252 cannot represent is
    // found nowhere.
    QString typed = decodeWindows1252(phrase);
    if (foreignCharacter)
        typed += QChar(0x4E2D);
    const auto found = referenceSearch(lines, phrase, !foreignCharacter, limit);
    const ShownQuotes searched = searchQuotes(path, typed, settings);
    if (!found)
        check(searched.failure && searched.failure->reason == lineTooLongReason(limit), "search, too long");
    else
        check(!searched.failure && searched.text == shownText(*found) && searched.found == !found->empty(), "search");

    close(descriptor);
    return 0;
}
