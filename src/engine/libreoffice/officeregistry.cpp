// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/officeregistry.h"

#include <atomic>
#include <csignal>

namespace OfficeRegistry {

namespace {

std::atomic<pid_t> groups[capacity];
std::atomic<bool> stopping{false};

static_assert(std::atomic<pid_t>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "the registry is used from signal handlers");

} // namespace

bool add(pid_t group)
{
    for (auto &slot : groups) {
        pid_t empty = 0;
        if (slot.compare_exchange_strong(empty, group))
            return true;
    }
    return false;
}

void remove(pid_t group)
{
    for (auto &slot : groups) {
        pid_t expected = group;
        if (slot.compare_exchange_strong(expected, 0))
            return;
    }
}

void requestStop()
{
    // The flag comes first: an office registered after this loop read its
    // slot sees the flag and is ended by the one who started it.
    stopping.store(true);
    for (auto &slot : groups) {
        const pid_t group = slot.load();
        if (group > 0)
            ::kill(-group, SIGKILL);
    }
}

bool stopRequested()
{
    return stopping.load();
}

void clearStop()
{
    stopping.store(false);
}

} // namespace OfficeRegistry
