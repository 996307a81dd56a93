// SPDX-License-Identifier: MIT
#include "EarlyFonts.h"

#ifdef SAYVANE_HAS_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace sayvane {

std::thread startFontConfiguration()
{
    return std::thread([] {
#ifdef SAYVANE_HAS_FONTCONFIG
        // Loads the configuration once for the whole process; the font
        // database's own call later finds it loaded. Safe on any thread.
        FcInit();
#endif
    });
}

} // namespace sayvane
