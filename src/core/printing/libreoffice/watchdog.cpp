// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchdog.h"

Watchdog::Watchdog(std::function<void()> onTimeout)
    : m_onTimeout(std::move(onTimeout))
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
        m_fired = false;
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
    const std::lock_guard lock(m_mutex);
    return m_fired;
}

void Watchdog::watch()
{
    std::unique_lock lock(m_mutex);
    while (!m_quit) {
        if (!m_armed) {
            m_changed.wait(lock);
            continue;
        }
        if (m_changed.wait_until(lock, m_deadline) == std::cv_status::timeout && m_armed
            && std::chrono::steady_clock::now() >= m_deadline) {
            m_armed = false;
            m_fired = true;
            m_acting = true;
            lock.unlock();
            m_onTimeout();
            lock.lock();
            m_acting = false;
            m_changed.notify_all();
        }
    }
}
