// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/printing/steprunner.h"

// Runs each engine call on a thread of its own while the window's thread
// keeps handling events, so the window repaints and the progress bar moves
// while the engine works. What the call throws is thrown here again.
class ResponsiveStepRunner final : public StepRunner
{
public:
    void run(const std::function<void()> &work) override;
};
