#include "LineRules.h"

namespace sayvane {

std::string_view trimSpaces(std::string_view line)
{
    const std::size_t begin = line.find_first_not_of(' ');
    if (begin == std::string_view::npos)
        return {};
    return line.substr(begin, line.find_last_not_of(' ') - begin + 1);
}

QStringView trimSpaces(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.sliced(begin, end - begin);
}

bool IsHeadingLine(std::string_view line)
{
    // Trailing spaces cannot change the first two characters of the trimmed
    // text unless they are among them, and then they are not "##"; so
    // skipping the leading spaces is enough.
    std::size_t begin = 0;
    while (begin < line.size() && line[begin] == ' ')
        ++begin;
    return line.substr(begin).starts_with("##");
}

std::string_view HeadingName(std::string_view headingLine)
{
    return headingLine.size() > 2 ? headingLine.substr(2) : std::string_view();
}

} // namespace sayvane
