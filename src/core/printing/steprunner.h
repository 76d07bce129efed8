// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

// Runs one engine call of a print run and returns when it has finished,
// passing on whatever it throws. The window's runner keeps the window
// painting meanwhile; the plain one just calls.
class StepRunner
{
public:
    virtual ~StepRunner() = default;
    virtual void run(const std::function<void()> &work) = 0;
};

class DirectStepRunner final : public StepRunner
{
public:
    void run(const std::function<void()> &work) override { work(); }
};
