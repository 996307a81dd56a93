#include "ShownText.h"

#include "Windows1252.h"

namespace sayvane {

void ShownText::append(std::string_view line)
{
    m_bytes.append("\r\n").append(line).append("\r\n");
}

QString ShownText::toText() const
{
    return decodeWindows1252(m_bytes);
}

} // namespace sayvane
