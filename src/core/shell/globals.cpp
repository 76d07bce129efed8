// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shell/globals.h"

#include "core/common/webaddresses.h"
#include "core/services/randomsource.h"
#include "core/services/shellopen.h"

namespace Globals {

void OpenMainPageOccasionally(RandomSource &random, ShellOpen &shell)
{
    const int n = static_cast<int>(random.next() * 100) + 1;
    // The user did not ask for this page, so a desktop that cannot open it is
    // not worth a message.
    if (n == 7)
        shell.open(WebAddresses::mainPage(), {});
}

} // namespace Globals
