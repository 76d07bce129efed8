// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/filelist/folderwalk.h"

#include <functional>

// A yield for long work on the window's thread: lets the window process its
// pending events at most every few tens of milliseconds, so it keeps painting
// without the work paying for an event round on every name. Once abandoned()
// answers true (the window has closed meanwhile) it throws WalkAbandoned.
namespace TimeSlicedYield {

AddFolder::Yield make(std::function<bool()> abandoned = {}, int sliceMilliseconds = 30);

} // namespace TimeSlicedYield
