// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/libreofficeprocess.h"

#include "core/common/logcategories.h"
#include "core/printing/engineerror.h"
#include "core/printing/printingtexts.h"
#include "engine/libreoffice/officefolder.h"
#include "engine/libreoffice/officelauncher.h"
#include "engine/libreoffice/officepipes.h"
#include "engine/libreoffice/officeregistry.h"
#include "engine/libreoffice/officeworkspace.h"
#include "engine/libreoffice/profiletemplate.h"
#include "engine/libreoffice/runningprocesses.h"

#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

bool startsWith(const char *variable, const char *name)
{
    return std::strncmp(variable, name, std::strlen(name)) == 0;
}

// The helper programs a directly started office may run, found where the
// user's PATH finds them. The paper tool decides the paper of a workbook that
// names none.
constexpr const char *officeTools[] = {"paperconf"};

// Makes `folder` hold links to the office's helper programs; false when it
// cannot, and the office then searches the user's PATH.
bool makeToolFolder(const QString &folder)
{
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0)
        return false;
    for (const char *tool : officeTools) {
        const QString found = QStandardPaths::findExecutable(QLatin1String(tool));
        const QByteArray link = QFile::encodeName(folder + u'/' + QLatin1String(tool));
        if (!found.isEmpty() && ::symlink(QFile::encodeName(found).constData(), link.constData()) != 0)
            return false;
    }
    return true;
}

// The office's allocator takes its memory in huge pages and in steps of
// 32 MB: half the page faults for some 16 MB more. Where a page fault is
// dear, as on virtual machines, that is a sixth of a workbook's time, and
// more with several offices at once. What the user tunes stays as they set it.
QByteArray allocatorTunables(const QByteArray &users)
{
    QByteArrayList tunables;
    for (const QByteArray &ours :
         {QByteArrayLiteral("glibc.malloc.hugetlb=1"), QByteArrayLiteral("glibc.malloc.top_pad=33554432")}) {
        if (!users.contains(ours.left(ours.indexOf('=') + 1)))
            tunables.append(ours);
    }
    if (!users.isEmpty())
        tunables.append(users);
    return tunables.join(':');
}

QByteArrayList childEnvironment(const QString &temp, const QString &runtime, const QString &tools)
{
    QByteArrayList environment;
    for (char **variable = environ; *variable; ++variable) {
        if (!startsWith(*variable, "TMPDIR=") && !startsWith(*variable, "SAL_ENABLE_FILE_LOCKING=")
            && !startsWith(*variable, "XDG_RUNTIME_DIR=") && !startsWith(*variable, "GLIBC_TUNABLES=")
            && !(!tools.isEmpty() && startsWith(*variable, "PATH=")))
            environment.append(*variable);
    }
    environment.append("GLIBC_TUNABLES=" + allocatorTunables(qgetenv("GLIBC_TUNABLES")));
    environment.append("TMPDIR=" + QFile::encodeName(temp));
    // What the office's libraries keep at run time (dconf's state, sockets)
    // goes into its own folder too: never into a runtime folder the program
    // rejected (another user's, world-writable, a link), and gone with the office.
    environment.append("XDG_RUNTIME_DIR=" + QFile::encodeName(runtime));
    // What the start script would set before it starts the office itself.
    environment.append("SAL_ENABLE_FILE_LOCKING=1");
    // On every load the office asks the signing tools for their versions,
    // five programs forked from its own large process: a fifth of a small
    // workbook's time, for signatures that play no part in printing. It
    // finds only the helpers it is given instead.
    if (!tools.isEmpty())
        environment.append("PATH=" + QFile::encodeName(tools));
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
    const QString runtime = m_folder->path() + QStringLiteral("/runtime");
    ::mkdir(QFile::encodeName(runtime).constData(), 0700);
    // The start script needs the user's PATH for its own commands.
    const QString tools = m_folder->path() + QStringLiteral("/bin");
    const bool toolsMade = m_direct && makeToolFolder(tools);

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
    m_pid = launcher.start(arguments, childEnvironment(temp, runtime, toolsMade ? tools : QString()), log, error);
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
    const std::lock_guard lock(m_mutex);
    return QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(m_folder->ledger().pipeName);
}

QString LibreOfficeProcess::pipePath() const
{
    const std::lock_guard lock(m_mutex);
    return OfficePipes::pathFor(m_folder->ledger().pipeName);
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
    struct stat info = {};
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
            if (result == m_pid && WIFEXITED(status))
                qCDebug(lcOffice) << "process" << m_pid << "ended with status" << WEXITSTATUS(status);
            else if (result == m_pid && WIFSIGNALED(status))
                qCDebug(lcOffice) << "process" << m_pid << "ended by signal" << WTERMSIG(status);
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
        qCDebug(lcOffice) << "ending process group" << m_pid;
        // While the starter is not reaped its id cannot pass to another
        // group, so the whole group can be killed safely.
        ::kill(-m_pid, SIGKILL);
        reap(true);
    }
    // An office its starter left running is found by our pipe argument. Once
    // none is found none can come back: the /proc scan is done only until then.
    m_allGone = RunningProcesses::killAllWithArgument(m_folder->ledger().acceptArgument(), std::chrono::seconds(3));
}
