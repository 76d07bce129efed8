// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/desktopshellopen.h"

#include "core/common/logcategories.h"

#include <QDir>
#include <QFile>

#include <csignal>
#include <cstring>

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

namespace {

// A file no one else can see, for what the opener writes: a pipe would break
// under a program the opener starts, which inherits it, once this program ends.
int anonymousFile()
{
    const QByteArray folder = QFile::encodeName(QDir::tempPath());
    const int fd = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0)
        return fd;
    QByteArray name = folder + "/corvane-opener-XXXXXX";
    const int named = ::mkostemp(name.data(), O_CLOEXEC);
    if (named >= 0)
        ::unlink(name.constData());
    return named;
}

// What the opener said, into the log: its tries, one line each, when no
// program could open the target. Bounded, as the file keeps growing with
// whatever a program it started writes.
void logOutput(int fd, const QByteArray &target)
{
    if (fd < 0)
        return;
    QByteArray said(16384, Qt::Uninitialized);
    const ssize_t got = ::pread(fd, said.data(), said.size(), 0);
    ::close(fd);
    said.truncate(got > 0 ? qsizetype(got) : 0);
    const QList<QByteArray> lines = said.split('\n');
    for (const QByteArray &line : lines) {
        if (!line.trimmed().isEmpty())
            qCDebug(lcShell).noquote() << "opener for" << target << "said:" << QString::fromLocal8Bit(line);
    }
}

} // namespace

// Openers still running are programs the user is looking at: they are
// neither ended nor waited for.
DesktopShellOpen::~DesktopShellOpen()
{
    for (const Opener &opener : m_openers) {
        if (opener.output >= 0)
            ::close(opener.output);
    }
}

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
    // Its talk goes to the log, not to the terminal the program may have.
    const int output = anonymousFile();
    if (output >= 0) {
        posix_spawn_file_actions_adddup2(&actions, output, 1);
        posix_spawn_file_actions_adddup2(&actions, output, 2);
    }
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);

    pid_t pid = -1;
    const int result = ::posix_spawnp(&pid, argv[0], &actions, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (result != 0) {
        if (output >= 0)
            ::close(output);
        qCDebug(lcShell) << "could not start" << m_opener << ":" << ::strerror(result);
        if (failed)
            failed();
        return;
    }
    m_openers.push_back({pid, std::move(failed), QDeadlineTimer(reportWithinMs), output, argument});
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
        logOutput(it->output, it->target);
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
