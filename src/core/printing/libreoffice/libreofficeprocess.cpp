// SPDX-License-Identifier: GPL-3.0-or-later
#include "libreofficeprocess.h"

#include "officefolder.h"
#include "officelauncher.h"
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
#include <QUrl>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

QByteArrayList childEnvironment(const QString &temp)
{
    QByteArrayList environment;
    for (char **variable = environ; *variable; ++variable) {
        if (std::strncmp(*variable, "TMPDIR=", 7) != 0 && std::strncmp(*variable, "SAL_ENABLE_FILE_LOCKING=", 24) != 0)
            environment.append(*variable);
    }
    environment.append("TMPDIR=" + QFile::encodeName(temp));
    // What the start script would set before it starts the office itself.
    environment.append("SAL_ENABLE_FILE_LOCKING=1");
    return environment;
}

} // namespace

QString LibreOfficeProcess::pipePrefix()
{
    return QStringLiteral("corvane-");
}

LibreOfficeProcess::LibreOfficeProcess(const QString &program, const QString &profileTemplate,
                                       OfficeWorkspace &workspace, OfficeLauncher &launcher)
{
    if (OfficeRegistry::stopRequested())
        throw EngineError(PrintingTexts::stopped());
    m_direct = program.endsWith(QLatin1String("/soffice.bin"));
    m_folder = workspace.createOfficeFolder();
    const QString profile = profileFolder();
    const QString temp = m_folder->path() + QStringLiteral("/tmp");
    QDir().mkpath(temp);

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
    const QByteArray log = QFile::encodeName(m_folder->path() + QStringLiteral("/output.log"));
    int error = 0;
    m_pid = launcher.start(arguments, childEnvironment(temp), log, error);
    if (m_pid < 0) {
        m_pid = -1;
        m_folder.reset();
        throw EngineError(QStringLiteral("LibreOffice could not be started (%1): %2")
                              .arg(program, QString::fromLocal8Bit(std::strerror(error))));
    }
    // Unregistered, a stop request would not reach it: it does not run.
    if (!OfficeRegistry::add(m_pid)) {
        kill();
        m_folder.reset();
        throw EngineError(QStringLiteral("Too many offices run at once in this program."));
    }
    // A stop that came while the office was being started did not see it.
    if (OfficeRegistry::stopRequested()) {
        kill();
        m_folder.reset();
        throw EngineError(PrintingTexts::stopped());
    }
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
    const std::lock_guard lock(m_mutex);
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

int LibreOfficeProcess::recordPipes()
{
    const std::lock_guard lock(m_mutex);
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
    // After SIGKILL a process ends at once, unless it sleeps in the kernel
    // (a dead network file system): then it is left a zombie rather than
    // holding the program.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(block ? reapBoundMs : 0);
    for (;;) {
        int status = 0;
        const pid_t result = ::waitpid(m_pid, &status, WNOHANG);
        if (result == m_pid || (result < 0 && errno == ECHILD)) {
            m_exited = true;
            OfficeRegistry::remove(m_pid);
            return;
        }
        if ((result < 0 && errno != EINTR) || std::chrono::steady_clock::now() >= deadline)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

bool LibreOfficeProcess::isRunning()
{
    const std::lock_guard lock(m_mutex);
    reap(false);
    return m_pid > 0 && !m_exited;
}

quint64 LibreOfficeProcess::residentBytes() const
{
    // Started directly the office is the one process; the start script's
    // office (only ever the first one, which makes the profile) is not counted.
    if (m_pid <= 0 || m_exited || !m_direct)
        return 0;
    const QByteArray statm = RunningProcesses::Process{m_pid, QStringLiteral("/proc/%1").arg(m_pid)}.read("statm");
    return statm.split(' ').value(1).toULongLong() * quint64(::sysconf(_SC_PAGESIZE));
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
    // The watchdog's thread and the caller's may both end the office; one at a time.
    const std::lock_guard lock(m_mutex);
    if (m_pid <= 0 || m_allGone)
        return;
    if (!m_exited) {
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
