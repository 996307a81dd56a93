#include "SectionDisplay.h"

#include "LineRules.h"
#include "Windows1252.h"

namespace sayvane {

ShownQuotes ShowSection(const QString &path, QStringView selectedName, std::size_t blockSize)
{
    ShownQuotes result;
    // A name that Windows-1252 cannot represent heads no section of the
    // file; the file is still read, so that a file gone missing is reported.
    const std::optional<QByteArray> encodedName = encodeWindows1252(selectedName);
    const std::string_view name =
        encodedName ? std::string_view(encodedName->data(), encodedName->size()) : std::string_view();
    ShownText shown;
    bool inSection = false;

    result.failure = forEachLine(
        path,
        [&](std::string_view line) {
            if (!IsHeadingLine(line)) {
                if (inSection)
                    shown.append(line);
                return true;
            }
            if (encodedName && HeadingName(line) == name) {
                inSection = true;
                return true;
            }
            return !inSection;
        },
        blockSize);

    if (!result.failure) {
        result.found = !shown.isEmpty();
        result.text = shown.toText();
    }
    return result;
}

} // namespace sayvane
