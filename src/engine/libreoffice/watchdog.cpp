// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/watchdog.h"

Watchdog::Watchdog(std::function<void()> onTimeout, std::function<bool()> overLimit)
    : m_onTimeout(std::move(onTimeout))
    , m_overLimit(std::move(overLimit))
    , m_thread([this] { watch(); })
{}

Watchdog::~Watchdog()
{
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void Watchdog::arm(int milliseconds)
{
    {
        const std::lock_guard lock(m_mutex);
        m_armed = true;
        m_cause = Cause::None;
        m_deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    }
    m_changed.notify_all();
}

void Watchdog::disarm()
{
    std::unique_lock lock(m_mutex);
    m_armed = false;
    m_changed.notify_all();
    // An action under way finishes before the caller goes on: it must not
    // end the office while the caller ends or replaces it.
    m_changed.wait(lock, [this] { return !m_acting; });
}

bool Watchdog::fired() const
{
    return cause() != Cause::None;
}

Watchdog::Cause Watchdog::cause() const
{
    const std::lock_guard lock(m_mutex);
    return m_cause;
}

void Watchdog::watch()
{
    std::unique_lock lock(m_mutex);
    while (!m_quit) {
        if (!m_armed) {
            m_changed.wait(lock);
            continue;
        }
        const auto nextCheck = std::chrono::steady_clock::now() + std::chrono::milliseconds(checkIntervalMs);
        const bool checks = bool(m_overLimit);
        m_changed.wait_until(lock, checks ? std::min(m_deadline, nextCheck) : m_deadline);
        if (!m_armed || m_quit)
            continue;
        Cause cause = Cause::None;
        if (std::chrono::steady_clock::now() >= m_deadline) {
            cause = Cause::Time;
        } else if (checks) {
            // The check reads /proc: not under the lock, which callers wait for.
            lock.unlock();
            const bool over = m_overLimit();
            lock.lock();
            if (over && m_armed)
                cause = Cause::Limit;
        }
        if (cause != Cause::None) {
            m_armed = false;
            m_cause = cause;
            m_acting = true;
            lock.unlock();
            m_onTimeout();
            lock.lock();
            m_acting = false;
            m_changed.notify_all();
        }
    }
}
