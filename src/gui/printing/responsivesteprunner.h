// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/printing/steprunner.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Runs a print run's engine calls, one after the other, on one worker thread
// that lives as long as the runner (the run), while the window's thread waits
// in an event loop of its own: the window repaints, the progress bar moves,
// and a close or a termination request is seen by a running loop while the
// engine works. What a call throws is thrown here again.
class ResponsiveStepRunner final : public StepRunner
{
public:
    ResponsiveStepRunner();
    // Waits for the call under way, if any, then ends the worker.
    ~ResponsiveStepRunner() override;
    ResponsiveStepRunner(const ResponsiveStepRunner &) = delete;
    ResponsiveStepRunner &operator=(const ResponsiveStepRunner &) = delete;

    void run(const std::function<void()> &work) override;

private:
    void serve();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::function<void()> m_next;
    bool m_ending = false;
    std::thread m_worker;
};
