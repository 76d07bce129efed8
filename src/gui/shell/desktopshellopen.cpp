// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/desktopshellopen.h"

#include <QFile>

#include <csignal>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

DesktopShellOpen::DesktopShellOpen(QByteArray opener)
    : m_opener(std::move(opener))
{
    m_reaper.setInterval(100);
    QObject::connect(&m_reaper, &QTimer::timeout, [this] { reap(); });
}

// Openers still running are programs the user is looking at: they are
// neither ended nor waited for.
DesktopShellOpen::~DesktopShellOpen() = default;

QUrl DesktopShellOpen::urlFor(const QString &target)
{
    for (const char *scheme : {"http://", "https://", "mailto:", "file://"}) {
        if (target.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            return QUrl(target, QUrl::StrictMode);
    }
    return QUrl::fromLocalFile(target);
}

void DesktopShellOpen::open(const QString &target, Failed failed)
{
    const QUrl url = urlFor(target);
    QByteArray argument = url.isLocalFile() ? QFile::encodeName(url.toLocalFile()) : url.toEncoded();
    QByteArray program = m_opener;
    char *argv[] = {program.data(), argument.data(), nullptr};

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP})
        sigaddset(&defaults, signal);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    // A session of its own: a Ctrl+C meant for this program does not end the
    // user's browser or video player.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);

    pid_t pid = -1;
    const int result = ::posix_spawnp(&pid, argv[0], &actions, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (result != 0) {
        if (failed)
            failed();
        return;
    }
    m_openers.push_back({pid, std::move(failed), QDeadlineTimer(reportWithinMs)});
    m_reaper.start();
}

void DesktopShellOpen::reap()
{
    std::vector<Failed> toTell;
    for (auto it = m_openers.begin(); it != m_openers.end();) {
        int status = 0;
        if (::waitpid(it->pid, &status, WNOHANG) == 0) {
            ++it;
            continue;
        }
        const bool succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (!succeeded && it->failed && !it->reportUntil.hasExpired())
            toTell.push_back(std::move(it->failed));
        it = m_openers.erase(it);
    }
    if (m_openers.empty())
        m_reaper.stop();
    // Told last: a message box runs an event loop, which may reap again.
    for (const Failed &failed : toTell)
        failed();
}
