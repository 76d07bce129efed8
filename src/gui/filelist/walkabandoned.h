// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exception>

// Thrown by a folder walk's yield once the window that asked for the walk has
// closed: the walk is left where it is and adds nothing, so the program can
// end at once instead of after the rest of a large tree.
class WalkAbandoned final : public std::exception
{
public:
    const char *what() const noexcept override { return "folder walk abandoned"; }
};
