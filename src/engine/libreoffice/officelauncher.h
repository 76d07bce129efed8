// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayList>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include <sys/types.h>

// Starts the offices from one thread that lives as long as the engine, and
// ties each office's life to it: the kernel kills an office whose starting
// thread is gone (PR_SET_PDEATHSIG), so the office of a program that is
// killed or crashes dies with it at once, before it can print anything
// more. Threads that come and go (the window's step workers) cannot start
// offices themselves: the office would die with the step.
class OfficeLauncher final
{
public:
    OfficeLauncher();
    // Ends the thread; an office still running is killed with it.
    ~OfficeLauncher();

    OfficeLauncher(const OfficeLauncher &) = delete;
    OfficeLauncher &operator=(const OfficeLauncher &) = delete;

    // Starts arguments[0] in a process group of its own with the environment
    // given, standard input from /dev/null, output and errors into log, no
    // other descriptor and the default signal handling. Returns its pid, or
    // -1 with the reason in error (an errno value).
    pid_t start(const QByteArrayList &arguments, const QByteArrayList &environment, const QByteArray &log, int &error);

private:
    void serve();

    std::mutex m_callers;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::function<void()> m_job;
    bool m_quit = false;
    std::thread m_thread;
};
