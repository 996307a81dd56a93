// Differential fuzz target: for any bytes, the block reader at a chosen
// block size, the heading names, section display and phrase search agree
// with straightforward versions written here from the line rules.
//
// Input: byte 0 picks the block size, byte 1 the section name, bytes 2 and
// 3 the phrase (its length and where in the file it is copied from); the
// rest is the file.
#include "DataFileReader.h"
#include "HeadingLoader.h"
#include "LineRules.h"
#include "PhraseSearch.h"
#include "SectionDisplay.h"
#include "Windows1252.h"

#include <QString>

#include <cstdint>
#include <cstdio>
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
    std::string line;
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (file[i] != '\r') {
            line += file[i];
            continue;
        }
        if (i + 1 < file.size() && file[i + 1] == '\n')
            ++i;
        lines.push_back(line);
        line.clear();
    }
    if (!line.empty())
        lines.push_back(line);
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

std::vector<std::string> referenceSection(const std::vector<std::string> &lines, const std::string &name)
{
    std::vector<std::string> shown;
    bool inSection = false;
    for (const std::string &line : lines) {
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

std::vector<std::string> referenceSearch(const std::vector<std::string> &lines, const std::string &phrase)
{
    std::vector<std::string> shown;
    for (const std::string &line : lines) {
        if (!referenceIsHeading(line) && line.find(phrase) != std::string::npos)
            shown.push_back(line);
    }
    return shown;
}

const std::size_t kBlockSizes[] = {1, 2, 3, 4, 5, 7, 8, 13, 16, 31, 64, 256, 4096, DataFileReader::kDefaultBlockSize};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 4)
        return 0;
    const std::size_t blockSize = kBlockSizes[data[0] % std::size(kBlockSizes)];
    const std::uint8_t nameChoice = data[1];
    const std::size_t phraseLength = data[2] % 8;
    const std::string_view file(reinterpret_cast<const char *>(data + 4), size - 4);
    const std::size_t phraseStart = file.empty() ? 0 : data[3] % file.size();
    const std::string phrase(file.substr(phraseStart, phraseLength));

    // The file lives in memory; the readers open it by its /proc path.
    const int descriptor = memfd_create("sayvane-fuzz", 0);
    if (descriptor < 0 || write(descriptor, file.data(), file.size()) != ssize_t(file.size()))
        return 0;
    const QString path = QStringLiteral("/proc/self/fd/%1").arg(descriptor);
    const std::vector<std::string> lines = referenceLines(file);

    DataFileReader reader(blockSize);
    check(reader.open(path), "open");
    std::size_t index = 0;
    while (!reader.atEnd()) {
        const std::string_view line = reader.readLine();
        check(index < lines.size() && line == lines[index], "line");
        check(IsHeadingLine(line) == referenceIsHeading(lines[index]), "heading test");
        ++index;
    }
    check(index == lines.size() && !reader.failed(), "line count");
    reader.close();

    QStringList names;
    for (const std::string &line : lines) {
        if (referenceIsHeading(line))
            names.append(decodeWindows1252(referenceName(line)));
    }
    const HeadingNames loaded = LoadHeadingNames(path, blockSize);
    check(!loaded.failure && loaded.names == names, "heading names");

    std::string name = names.isEmpty() ? phrase : encodeWindows1252(names[nameChoice % names.size()])->toStdString();
    if (nameChoice & 0x80)
        name += phrase;
    const std::vector<std::string> section = referenceSection(lines, name);
    const ShownQuotes shown = ShowSection(path, decodeWindows1252(name), blockSize);
    check(!shown.failure && shown.text == shownText(section) && shown.found == !section.empty(), "section");

    const std::vector<std::string> found = referenceSearch(lines, phrase);
    const ShownQuotes searched = SearchQuotes(path, decodeWindows1252(phrase), blockSize);
    check(!searched.failure && searched.text == shownText(found) && searched.found == !found.empty(), "search");

    close(descriptor);
    return 0;
}
