// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/printing/responsivesteprunner.h"

#include <QEventLoop>

#include <future>

ResponsiveStepRunner::ResponsiveStepRunner()
    : m_worker([this] { serve(); })
{}

ResponsiveStepRunner::~ResponsiveStepRunner()
{
    {
        const std::lock_guard lock(m_mutex);
        m_ending = true;
    }
    m_wake.notify_one();
    m_worker.join();
}

void ResponsiveStepRunner::serve()
{
    for (;;) {
        std::function<void()> call;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_ending || m_next; });
            if (!m_next)
                return;
            call = std::exchange(m_next, {});
        }
        call();
    }
}

void ResponsiveStepRunner::run(const std::function<void()> &work)
{
    QEventLoop loop;
    std::promise<void> outcome;
    std::future<void> done = outcome.get_future();
    {
        const std::lock_guard lock(m_mutex);
        m_next = [&work, &loop, &outcome] {
            std::exception_ptr failure;
            try {
                work();
            } catch (...) {
                failure = std::current_exception();
            }
            // Posted while the loop surely exists: the window's thread leaves
            // this call, and the loop, only once the outcome below is set.
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
            if (failure)
                outcome.set_exception(failure);
            else
                outcome.set_value();
        };
    }
    m_wake.notify_one();
    // The loop also ends when the program is asked to end (every loop is
    // then left, and later ones return at once); the call is waited for all
    // the same, and the close or stop that ended the loop has by then told
    // the engine to end its office, so that wait is short.
    loop.exec();
    done.get();
}
