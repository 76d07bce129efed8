// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

// The process groups of the offices this program runs, and whether the user
// asked to stop at once. Readable and writable from a signal handler: the
// second Ctrl+C, a termination request and the window's close all end the
// offices through it, and no office starts after it was asked to stop.
namespace OfficeRegistry {

// How many offices may run at once.
constexpr int capacity = 32;

// False when every slot is taken: the group would not be ended by a stop.
[[nodiscard]] bool add(pid_t group);
void remove(pid_t group);

// Ends every registered office at once and refuses new ones. Async-signal-safe.
void requestStop();
bool stopRequested();
// A new engine starts with no stop request.
void clearStop();

} // namespace OfficeRegistry
