// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/pipewatch.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

PipeWatch::PipeWatch(const QString &folder, const QString &prefix)
    : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    , m_prefix(QFile::encodeName(prefix))
{
    if (m_fd >= 0 && ::inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), IN_CREATE | IN_ONLYDIR) < 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

PipeWatch::~PipeWatch()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool PipeWatch::wait(int milliseconds)
{
    if (m_fd < 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(milliseconds, 2)));
        return true;
    }
    pollfd watched{m_fd, POLLIN, 0};
    const int ready = ::poll(&watched, 1, milliseconds);
    if (ready <= 0)
        return false;
    bool seen = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(m_fd, buffer, sizeof(buffer));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= got;) {
            inotify_event event{};
            std::memcpy(&event, buffer + at, sizeof(event));
            const char *name = buffer + at + sizeof(inotify_event);
            // A full queue lost events: any of them may have been the one.
            if ((event.mask & IN_Q_OVERFLOW) != 0
                || (event.len > 0 && std::strncmp(name, m_prefix.constData(), std::size_t(m_prefix.size())) == 0))
                seen = true;
            at += ssize_t(sizeof(inotify_event) + event.len);
        }
    }
    return seen;
}
