// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

// Puts a time bound on blocking calls: armed before a call and disarmed after
// it, it runs its action (ending the engine) when a call outlasts the bound,
// which makes the blocked call return with a failure. Given a limit check,
// it also runs the action as soon as the check says the limit is passed.
class Watchdog final
{
public:
    enum class Cause : std::uint8_t { None, Time, Limit };

    // overLimit: asked every checkIntervalMs while armed.
    explicit Watchdog(std::function<void()> onTimeout, std::function<bool()> overLimit = {});
    ~Watchdog();

    Watchdog(const Watchdog &) = delete;
    Watchdog &operator=(const Watchdog &) = delete;

    void arm(int milliseconds);
    // Returns once no action runs: one that had begun has finished.
    void disarm();
    // Whether the action ran since the last arm(), and why.
    bool fired() const;
    Cause cause() const;

    static constexpr int checkIntervalMs = 200;

private:
    void watch();

    std::function<void()> m_onTimeout;
    std::function<bool()> m_overLimit;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_armed = false;
    Cause m_cause = Cause::None;
    bool m_acting = false;
    bool m_quit = false;
    std::chrono::steady_clock::time_point m_deadline;
    std::thread m_thread;
};
