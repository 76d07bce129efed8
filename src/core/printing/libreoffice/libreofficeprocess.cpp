#include "libreofficeprocess.h"

#include "printing/engineerror.h"
#include "profiletemplate.h"
#include "runningprocesses.h"

#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

std::atomic<int> instanceCounter{0};

// The process groups of the offices that run, readable from a signal handler.
constexpr int groupSlots = 32;
std::atomic<pid_t> runningGroups[groupSlots];

void registerGroup(pid_t group)
{
    for (auto &slot : runningGroups) {
        pid_t empty = 0;
        if (slot.compare_exchange_strong(empty, group))
            return;
    }
}

void unregisterGroup(pid_t group)
{
    for (auto &slot : runningGroups) {
        pid_t expected = group;
        if (slot.compare_exchange_strong(expected, 0))
            return;
    }
}

// Temporary folders carry the id of the program that made them, so a later
// program can tell those of a program that is gone.
QString makeTemporaryRoot()
{
    QByteArray pattern =
        QFile::encodeName(QDir::tempPath() + QStringLiteral("/corvane-%1-XXXXXX").arg(::getpid()));
    if (!::mkdtemp(pattern.data()))
        throw EngineError(QStringLiteral("Could not create a temporary folder for LibreOffice: %1")
                              .arg(QString::fromLocal8Bit(std::strerror(errno))));
    return QFile::decodeName(pattern);
}

// The pipes LibreOffice leaves in /tmp when it is killed; a pipe nobody listens on is stale.
void removeStalePipe(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    if (name.size() >= int(sizeof(address.sun_path)))
        return;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    const bool listening = ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0;
    ::close(fd);
    if (!listening)
        QFile::remove(path);
}

} // namespace

void LibreOfficeProcess::removeAbandonedFolders()
{
    // A program killed outright cannot clean up after its offices; the next one does.
    const QDir temp(QDir::tempPath());
    const QStringList names = temp.entryList({QStringLiteral("corvane-*-??????")}, QDir::Dirs | QDir::Hidden);
    for (const QString &name : names) {
        bool isNumber = false;
        const pid_t owner = name.section(QLatin1Char('-'), 1, 1).toInt(&isNumber);
        if (!isNumber || owner <= 0 || owner == ::getpid())
            continue;
        if (::kill(owner, 0) != 0 && errno == ESRCH)
            QDir(temp.filePath(name)).removeRecursively();
    }
}

void LibreOfficeProcess::killAllFromSignalHandler()
{
    for (auto &slot : runningGroups) {
        const pid_t group = slot.load();
        if (group > 0)
            ::kill(-group, SIGKILL);
    }
}

QString LibreOfficeProcess::pipePrefix()
{
    return QStringLiteral("corvane-");
}

LibreOfficeProcess::LibreOfficeProcess(const QString &program, const QString &profileTemplate)
{
    m_root = makeTemporaryRoot();
    const QString profile = m_root + QStringLiteral("/profile");
    const QString temp = m_root + QStringLiteral("/tmp");
    QDir().mkpath(temp);
    ProfileTemplate::copyTo(profileTemplate, profile);
    m_pipeName = pipePrefix()
        + QStringLiteral("%1-%2-%3").arg(::getpid()).arg(++instanceCounter).arg(QFileInfo(m_root).fileName());

    const QByteArrayList arguments{
        QFile::encodeName(program),
        "-env:UserInstallation=" + QUrl::fromLocalFile(profile).toEncoded(),
        "--headless",
        "--invisible",
        "--norestore",
        "--nologo",
        "--nodefault",
        "--nolockcheck",
        "--accept=pipe,name=" + m_pipeName.toUtf8() + ";urp;",
    };
    std::vector<char *> argv;
    for (const QByteArray &argument : arguments)
        argv.push_back(const_cast<char *>(argument.constData()));
    argv.push_back(nullptr);

    QByteArrayList environment;
    for (char **variable = environ; *variable; ++variable) {
        if (std::strncmp(*variable, "TMPDIR=", 7) != 0 && std::strncmp(*variable, "SAL_ENABLE_FILE_LOCKING=", 24) != 0)
            environment.append(*variable);
    }
    environment.append("TMPDIR=" + QFile::encodeName(temp));
    // What the start script would set before it starts the office itself.
    environment.append("SAL_ENABLE_FILE_LOCKING=1");
    std::vector<char *> envp;
    for (const QByteArray &variable : environment)
        envp.push_back(const_cast<char *>(variable.constData()));
    envp.push_back(nullptr);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    const QByteArray log = QFile::encodeName(m_root + QStringLiteral("/output.log"));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);

    const int result = ::posix_spawn(&m_pid, argv[0], &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (result != 0) {
        m_pid = -1;
        removeLeftovers();
        throw EngineError(QStringLiteral("LibreOffice could not be started (%1): %2")
                              .arg(program, QString::fromLocal8Bit(std::strerror(result))));
    }
    registerGroup(m_pid);
}

LibreOfficeProcess::~LibreOfficeProcess()
{
    kill();
    removeLeftovers();
}

QString LibreOfficeProcess::connectUrl() const
{
    return QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(m_pipeName);
}

pid_t LibreOfficeProcess::processGroup() const
{
    return m_pid;
}

void LibreOfficeProcess::reap(bool block)
{
    if (m_pid <= 0 || m_exited)
        return;
    int status = 0;
    const pid_t result = ::waitpid(m_pid, &status, block ? 0 : WNOHANG);
    if (result == m_pid || (result < 0 && errno == ECHILD)) {
        m_exited = true;
        unregisterGroup(m_pid);
    }
}

bool LibreOfficeProcess::isRunning()
{
    reap(false);
    return m_pid > 0 && !m_exited;
}

bool LibreOfficeProcess::waitForExit(int milliseconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (isRunning()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void LibreOfficeProcess::kill()
{
    if (m_pid <= 0)
        return;
    if (!m_exited) {
        // While the starter is not reaped its id cannot pass to another
        // group, so the whole group can be killed safely.
        ::kill(-m_pid, SIGKILL);
        reap(true);
        return;
    }
    // The starter is gone; an office it left running is found by our pipe name.
    const QByteArray pipe = m_pipeName.toUtf8();
    RunningProcesses::forEach([&pipe](const RunningProcesses::Process &process) {
        if (process.commandLine().contains(pipe))
            ::kill(process.pid, SIGKILL);
        return true;
    });
}

QString LibreOfficeProcess::profileFolder() const
{
    return m_root + QStringLiteral("/profile");
}

void LibreOfficeProcess::removeLeftovers()
{
    if (!m_root.isEmpty())
        QDir(m_root).removeRecursively();
    // Killed offices leave their pipes behind in /tmp, whatever TMPDIR says.
    const QString pipes = QStringLiteral("/tmp");
    const QString ours = QStringLiteral("OSL_PIPE_%1_").arg(::getuid());
    const QStringList names = QDir(pipes).entryList({ours + QStringLiteral("*")}, QDir::System | QDir::Hidden);
    for (const QString &name : names) {
        if (name == ours + m_pipeName || name.startsWith(ours + QStringLiteral("SingleOfficeIPC_")))
            removeStalePipe(pipes + QLatin1Char('/') + name);
    }
}
