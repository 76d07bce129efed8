// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/libreofficeengine.h"

#include "core/printing/engineerror.h"
#include "engine/libreoffice/libreofficeapplication.h"
#include "engine/libreoffice/libreofficeprocess.h"
#include "engine/libreoffice/libreofficesession.h"
#include "engine/libreoffice/officelauncher.h"
#include "engine/libreoffice/officeregistry.h"
#include "engine/libreoffice/officeworkspace.h"
#include "engine/libreoffice/profiletemplate.h"
#include "engine/libreoffice/runningprocesses.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

#include <unistd.h>

namespace {

bool isExecutableFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

} // namespace

LibreOfficeEngine::LibreOfficeEngine(PrinterSystem &printers, int callTimeoutMs, QString program,
                                     const QString &workspace)
    : m_printers(printers)
    , m_callTimeoutMs(callTimeoutMs)
    , m_program(std::move(program))
    , m_launcher(std::make_unique<OfficeLauncher>())
{
    OfficeRegistry::clearStop();
    // A runtime folder refused (a link planted in its place, say) leaves the
    // folder that is used when there is none.
    QStringList locations{workspace.isEmpty() ? OfficeWorkspace::defaultLocation() : workspace};
    if (workspace.isEmpty() && locations.first() != OfficeWorkspace::fallbackLocation())
        locations.append(OfficeWorkspace::fallbackLocation());
    QStringList problems;
    for (const QString &location : locations) {
        try {
            m_workspace = std::make_unique<OfficeWorkspace>(location);
            m_workspace->removeAbandoned();
            return;
        } catch (const EngineError &error) {
            problems.append(error.description());
        }
    }
    m_workspace.reset();
    // Reported when an office is to start, at the step that needs one.
    m_workspaceProblem = problems.join(QLatin1Char(' '));
}

QString LibreOfficeEngine::workspaceProblem() const
{
    return m_workspaceProblem;
}

LibreOfficeEngine::~LibreOfficeEngine() = default;

QString LibreOfficeEngine::displayName() const
{
    return QStringLiteral("LibreOffice");
}

bool LibreOfficeEngine::canCreateInstance() const
{
    return !m_program.isEmpty() && isExecutableFile(m_program);
}

QString LibreOfficeEngine::findProgram()
{
    // Debian's packages put the program here and a link to it on the PATH;
    // the program folder is preferred because it works without that link.
    QString packaged = QStringLiteral("/usr/lib/libreoffice/program/soffice");
    if (isExecutableFile(packaged))
        return packaged;
    return QStandardPaths::findExecutable(QStringLiteral("soffice"));
}

QString LibreOfficeEngine::profileTemplate()
{
    const std::lock_guard lock(m_templateMutex);
    QString folder = ProfileTemplate::folderFor(m_program);
    // A template that is not sound would fail every office copied from it:
    // it is made again.
    if (ProfileTemplate::prepare(folder))
        return folder;
    // The first office makes a profile of its own; once it has quit cleanly,
    // that profile becomes the template for all later ones.
    try {
        LibreOfficeSession first(m_program, QString(), *m_workspace, *m_launcher, m_callTimeoutMs, m_printers);
        first.recordFinishedSetup();
        first.terminate();
        ProfileTemplate::install(first.process().profileFolder(), folder);
    } catch (const EngineError &) {
        // Without a template every office makes its own profile: slower, not
        // wrong. A stop, though, starts no other office.
        if (OfficeRegistry::stopRequested())
            throw;
    }
    return ProfileTemplate::isSound(folder) ? folder : QString();
}

std::unique_ptr<EngineApplication> LibreOfficeEngine::createInstance()
{
    return createInstanceAhead({});
}

std::unique_ptr<EngineApplication> LibreOfficeEngine::createInstanceAhead(const std::function<bool()> &abandoned)
{
    if (!canCreateInstance())
        throw EngineError(QStringLiteral("LibreOffice is not installed on this computer."));
    if (!m_workspace)
        throw EngineError(m_workspaceProblem);
    const QString profile = profileTemplate();
    // With a finished profile the office itself can be started at once; the
    // start script and its splash program cost every instance a tenth of a
    // second. A first start still goes through them: they handle the restart
    // a new profile may ask for.
    const QString office = QFileInfo(m_program).canonicalPath() + QStringLiteral("/soffice.bin");
    const bool direct = !profile.isEmpty() && isExecutableFile(office);
    auto session = std::make_shared<LibreOfficeSession>(direct ? office : m_program, profile, *m_workspace, *m_launcher,
                                                        m_callTimeoutMs, m_printers, m_memoryLimitBytes, abandoned);
    session->setPrintSettings(m_printSettings);
    return std::make_unique<LibreOfficeApplication>(std::move(session));
}

bool LibreOfficeEngine::isUserInstanceRunning()
{
    // Every office of ours carries our pipe name on its command line; any
    // other office of this user is the user's own.
    const QByteArray ours = "--accept=pipe,name=" + LibreOfficeProcess::pipePrefix().toUtf8();
    bool found = false;
    RunningProcesses::forEach([&](const RunningProcesses::Process &process) {
        found = process.read("comm").trimmed() == "soffice.bin" && process.owner() == ::getuid() && !process.isZombie()
            && !process.commandLine().contains(ours);
        return !found;
    });
    return found;
}

void LibreOfficeEngine::setMemoryLimit(quint64 bytes)
{
    m_memoryLimitBytes = bytes;
}

quint64 LibreOfficeEngine::memoryLimit() const
{
    return m_memoryLimitBytes;
}

quint64 LibreOfficeEngine::defaultMemoryLimit()
{
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? quint64(pages) * quint64(pageSize) / 2 : 0;
}

void LibreOfficeEngine::setPrintSettings(const PrintSettings &settings)
{
    m_printSettings = settings;
}

void LibreOfficeEngine::stopNow()
{
    OfficeRegistry::requestStop();
}
