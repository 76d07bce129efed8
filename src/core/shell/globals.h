// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class RandomSource;
class ShellOpen;

namespace Globals {

// On about one start in a hundred, opens the maker's main page in the browser.
void OpenMainPageOccasionally(RandomSource &random, ShellOpen &shell);

} // namespace Globals
