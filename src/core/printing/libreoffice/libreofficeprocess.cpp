// SPDX-License-Identifier: GPL-3.0-or-later
#include "libreofficeprocess.h"

#include "common/logcategories.h"
#include "officefolder.h"
#include "officepipes.h"
#include "officeregistry.h"
#include "officeworkspace.h"
#include "printing/engineerror.h"
#include "printing/printingtexts.h"
#include "profiletemplate.h"
#include "runningprocesses.h"

#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

bool startsWith(const char *variable, const char *name)
{
    return std::strncmp(variable, name, std::strlen(name)) == 0;
}

QByteArrayList childEnvironment(const QString &temp, const QString &runtime)
{
    QByteArrayList environment;
    for (char **variable = environ; *variable; ++variable) {
        if (!startsWith(*variable, "TMPDIR=") && !startsWith(*variable, "SAL_ENABLE_FILE_LOCKING=")
            && !startsWith(*variable, "XDG_RUNTIME_DIR="))
            environment.append(*variable);
    }
    environment.append("TMPDIR=" + QFile::encodeName(temp));
    // What the office's libraries keep at run time (dconf's state, sockets)
    // goes into its own folder too: never into a runtime folder the program
    // rejected (another user's, world-writable, a link), and gone with the office.
    environment.append("XDG_RUNTIME_DIR=" + QFile::encodeName(runtime));
    // What the start script would set before it starts the office itself.
    environment.append("SAL_ENABLE_FILE_LOCKING=1");
    return environment;
}

std::vector<char *> pointers(const QByteArrayList &list)
{
    std::vector<char *> result;
    for (const QByteArray &item : list)
        result.push_back(const_cast<char *>(item.constData()));
    result.push_back(nullptr);
    return result;
}

} // namespace

QString LibreOfficeProcess::pipePrefix()
{
    return QStringLiteral("corvane-");
}

LibreOfficeProcess::LibreOfficeProcess(const QString &program, const QString &profileTemplate,
                                       OfficeWorkspace &workspace)
{
    if (OfficeRegistry::stopRequested())
        throw EngineError(PrintingTexts::stopped());
    m_direct = program.endsWith(QLatin1String("/soffice.bin"));
    m_folder = workspace.createOfficeFolder();
    const QString profile = profileFolder();
    const QString temp = m_folder->path() + QStringLiteral("/tmp");
    QDir().mkpath(temp);
    const QString runtime = m_folder->path() + QStringLiteral("/runtime");
    ::mkdir(QFile::encodeName(runtime).constData(), 0700);

    OfficeLedger ledger;
    ledger.ownerPid = ::getpid();
    ledger.ownerStart = RunningProcesses::startTimeOf(::getpid());
    ledger.pipeName = pipePrefix() + m_folder->name().mid(int(std::strlen("office-")));
    ledger.pipes = {OfficePipes::pathFor(ledger.pipeName)};
    m_folder->writeLedger(ledger);
    ProfileTemplate::copyTo(profileTemplate, profile);

    const QByteArrayList arguments{
        QFile::encodeName(program),
        "-env:UserInstallation=" + QUrl::fromLocalFile(profile).toEncoded(),
        "--headless",
        "--invisible",
        "--norestore",
        "--nologo",
        "--nodefault",
        "--nolockcheck",
        ledger.acceptArgument(),
    };
    const QByteArrayList environment = childEnvironment(temp, runtime);
    std::vector<char *> argv = pointers(arguments);
    std::vector<char *> envp = pointers(environment);

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
    sigaddset(&defaults, SIGHUP);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    const QByteArray log = QFile::encodeName(m_folder->path() + QStringLiteral("/output.log"));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    // The office gets nothing of ours: no locks, no files, no sockets.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);

    const int result = ::posix_spawn(&m_pid, argv[0], &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (result != 0) {
        m_pid = -1;
        m_folder.reset();
        throw EngineError(QStringLiteral("LibreOffice could not be started (%1): %2")
                              .arg(program, QString::fromLocal8Bit(std::strerror(result))));
    }
    OfficeRegistry::add(m_pid);
    // A stop that came while the office was being started did not see it.
    if (OfficeRegistry::stopRequested()) {
        kill();
        m_folder.reset();
        throw EngineError(PrintingTexts::stopped());
    }
    qCDebug(lcOffice).noquote() << "started" << program << "as process" << m_pid << "in" << m_folder->path();
    ledger.officePid = m_pid;
    ledger.processGroup = m_pid;
    try {
        m_folder->writeLedger(ledger);
    } catch (const EngineError &) {
        kill();
        m_folder.reset();
        throw;
    }
}

LibreOfficeProcess::~LibreOfficeProcess()
{
    kill();
    m_folder.reset();
}

QString LibreOfficeProcess::connectUrl() const
{
    return QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(m_folder->ledger().pipeName);
}

pid_t LibreOfficeProcess::processGroup() const
{
    return m_pid;
}

QString LibreOfficeProcess::folderPath() const
{
    return m_folder->path();
}

QString LibreOfficeProcess::profileFolder() const
{
    return m_folder->path() + QStringLiteral("/profile");
}

QString LibreOfficeProcess::outputTail(int lines) const
{
    // LibreOffice's own words on standard output and error, as the office
    // wrote them: only the end matters, and the file is the office's.
    const int fd = ::open(QFile::encodeName(m_folder->path() + QStringLiteral("/output.log")).constData(),
                          O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    struct stat info
    {};
    QByteArray text;
    constexpr off_t tailBytes = 4096;
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (regular) {
        text.resize(tailBytes);
        const ssize_t got
            = ::pread(fd, text.data(), tailBytes, info.st_size > tailBytes ? info.st_size - tailBytes : 0);
        text.resize(got > 0 ? got : 0);
    }
    ::close(fd);
    QStringList kept;
    static const QRegularExpression controls(QStringLiteral("[\\x00-\\x1f\\x7f]"));
    QList<QByteArray> all = text.split('\n');
    // Read from the middle of a line, the first one is not whole.
    if (regular && info.st_size > tailBytes)
        all.removeFirst();
    for (auto line = all.crbegin(); line != all.crend() && kept.size() < lines; ++line) {
        QString shown = QString::fromUtf8(*line).trimmed();
        shown.replace(controls, QStringLiteral(" "));
        if (!shown.isEmpty())
            kept.prepend(shown.left(300));
    }
    return kept.join(QLatin1Char('\n'));
}

int LibreOfficeProcess::recordPipes()
{
    if (m_pid <= 0 || m_exited)
        return int(m_folder->ledger().pipes.size());
    OfficeLedger ledger = m_folder->ledger();
    // Started directly, the office is the one process; through the start
    // script it is a few.
    const QStringList listened = m_direct ? OfficePipes::listenedBy({m_pid}) : OfficePipes::listenedByGroup(m_pid);
    for (const QString &pipe : listened) {
        if (!ledger.pipes.contains(pipe))
            ledger.pipes.append(pipe);
    }
    if (ledger.pipes != m_folder->ledger().pipes)
        m_folder->writeLedger(ledger);
    return int(ledger.pipes.size());
}

void LibreOfficeProcess::reap(bool block)
{
    if (m_pid <= 0 || m_exited)
        return;
    int status = 0;
    const pid_t result = ::waitpid(m_pid, &status, block ? 0 : WNOHANG);
    if (result == m_pid || (result < 0 && errno == ECHILD)) {
        m_exited = true;
        OfficeRegistry::remove(m_pid);
        if (result == m_pid && WIFEXITED(status))
            qCDebug(lcOffice) << "process" << m_pid << "ended with status" << WEXITSTATUS(status);
        else if (result == m_pid && WIFSIGNALED(status))
            qCDebug(lcOffice) << "process" << m_pid << "ended by signal" << WTERMSIG(status);
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
        if (std::chrono::steady_clock::now() >= deadline || OfficeRegistry::stopRequested())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void LibreOfficeProcess::kill()
{
    if (m_pid <= 0 || m_allGone)
        return;
    if (!m_exited) {
        qCDebug(lcOffice) << "ending process group" << m_pid;
        // While the starter is not reaped its id cannot pass to another
        // group, so the whole group can be killed safely.
        ::kill(-m_pid, SIGKILL);
        reap(true);
    }
    // An office its starter left running is found by our pipe argument. Once
    // none is found none can come back: the /proc scan is done only until then.
    const QByteArray argument = m_folder->ledger().acceptArgument();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    QList<pid_t> left = RunningProcesses::ofThisUserWithArgument(argument);
    while (!left.isEmpty() && std::chrono::steady_clock::now() < deadline) {
        for (const pid_t pid : left)
            ::kill(pid, SIGKILL);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        left = RunningProcesses::ofThisUserWithArgument(argument);
    }
    m_allGone = left.isEmpty();
}
