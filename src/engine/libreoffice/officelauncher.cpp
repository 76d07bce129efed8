// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/officelauncher.h"

#include <cerrno>
#include <csignal>
#include <vector>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::vector<char *> pointers(const QByteArrayList &list)
{
    std::vector<char *> result;
    for (const QByteArray &item : list)
        result.push_back(const_cast<char *>(item.constData()));
    result.push_back(nullptr);
    return result;
}

// In the child between fork and exec: only async-signal-safe calls. A
// failure is written to report as an errno value; a successful exec closes it.
[[noreturn]] void becomeOffice(char *const argv[], char *const envp[], const char *log, pid_t parent, int report)
{
    ::setpgid(0, 0);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction defaults = {};
    defaults.sa_handler = SIG_DFL;
    for (const int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &defaults, nullptr);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    // The owner may have died before the line above: then nobody would kill us.
    if (::getppid() != parent)
        ::_exit(127);
    // The report pipe goes to 3, everything above it is closed: the office
    // gets nothing of ours, no locks, no files, no sockets.
    if (report != 3 && (::dup2(report, 3) < 0 || ::fcntl(3, F_SETFD, FD_CLOEXEC) < 0))
        ::_exit(127);
    const int input = ::open("/dev/null", O_RDONLY);
    const int output = ::open(log, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (input < 0 || output < 0 || ::dup2(input, 0) < 0 || ::dup2(output, 1) < 0 || ::dup2(output, 2) < 0)
        ::_exit(127);
    ::close_range(4, ~0U, 0);
    ::execve(argv[0], argv, envp);
    const int failure = errno;
    [[maybe_unused]] const auto written = ::write(3, &failure, sizeof failure);
    ::_exit(127);
}

} // namespace

OfficeLauncher::OfficeLauncher()
    : m_thread([this] { serve(); })
{}

OfficeLauncher::~OfficeLauncher()
{
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void OfficeLauncher::serve()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_quit || m_job; });
        if (m_quit)
            return;
        m_job();
        m_job = nullptr;
        m_changed.notify_all();
    }
}

pid_t OfficeLauncher::start(const QByteArrayList &arguments, const QByteArrayList &environment, const QByteArray &log,
                            int &error)
{
    // Everything the child needs is made before it is forked.
    std::vector<char *> argv = pointers(arguments);
    std::vector<char *> envp = pointers(environment);
    const pid_t parent = ::getpid();
    pid_t pid = -1;
    error = 0;

    const std::lock_guard caller(m_callers);
    std::unique_lock lock(m_mutex);
    bool done = false;
    m_job = [&] {
        int report[2];
        if (::pipe2(report, O_CLOEXEC) != 0) {
            error = errno;
            done = true;
            return;
        }
        pid = ::fork();
        if (pid == 0)
            becomeOffice(argv.data(), envp.data(), log.constData(), parent, report[1]);
        const int forkError = errno;
        ::close(report[1]);
        if (pid < 0) {
            error = forkError;
        } else {
            // Both sides set the group, so that it exists whoever runs first.
            ::setpgid(pid, pid);
            int failure = 0;
            ssize_t got = 0;
            do {
                got = ::read(report[0], &failure, sizeof failure);
            } while (got < 0 && errno == EINTR);
            if (got == ssize_t(sizeof failure)) {
                error = failure;
                while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {}
                pid = -1;
            }
        }
        ::close(report[0]);
        done = true;
    };
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return done; });
    return pid;
}
