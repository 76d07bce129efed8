// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/libreofficesession.h"

#include "core/common/logcategories.h"
#include "core/printing/engineerror.h"
#include "core/printing/printingtexts.h"
#include "engine/libreoffice/officemessages.h"
#include "engine/libreoffice/officepipes.h"
#include "engine/libreoffice/officeregistry.h"
#include "engine/libreoffice/pipewatch.h"
#include "engine/libreoffice/unoenvironment.h"
#include "engine/libreoffice/unoreplies.h"
#include "engine/libreoffice/unostrings.h"

#include <QElapsedTimer>
#include <QFile>
#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/util/XChangesBatch.hpp>

#include <chrono>
#include <thread>

#include <unistd.h>

using namespace com::sun::star;

namespace {

// After a failed call, before this thread calls any office again.
void dropStaleReplies()
{
    if (const int dropped = UnoReplies::dropStale(); dropped > 0)
        qCDebug(lcOffice) << "dropped" << dropped << "answer(s) left by a connection that ended";
}

} // namespace

LibreOfficeSession::LibreOfficeSession(const QString &program, const QString &profileTemplate,
                                       OfficeWorkspace &workspace, OfficeLauncher &launcher, int callTimeoutMs,
                                       PrinterSystem &printers, quint64 memoryLimitBytes,
                                       std::function<bool()> abandoned)
    : m_process(std::make_unique<LibreOfficeProcess>(program, profileTemplate, workspace, launcher))
    , m_abandoned(std::move(abandoned))
    , m_watchdog([this] { m_process->kill(); },
                 [this] {
                     return (m_abandoned && m_abandoned())
                         || (m_memoryLimitBytes > 0 && m_process->residentBytes() > m_memoryLimitBytes);
                 })
    , m_timeoutMs(callTimeoutMs)
    , m_memoryLimitBytes(memoryLimitBytes)
    , m_printers(printers)
{
    uno::Reference<bridge::XUnoUrlResolver> resolver;
    try {
        resolver = bridge::UnoUrlResolver::create(UnoEnvironment::localContext(program));
    } catch (const uno::Exception &failure) {
        m_process->kill();
        throw EngineError(
            OfficeMessages::readable(QStringLiteral("setting up the connection to it"), toQString(failure.Message)));
    }
    const rtl::OUString url = toOUString(m_process->connectUrl());

    // The office takes a moment to open its pipe; ask until it answers, it
    // ends, or the time bound runs out. The watchdog ends an office that
    // takes the connection and then does not answer.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(callTimeoutMs);
    m_watchdog.arm(callTimeoutMs);
    // Besides the pipe we name, the office makes one of its own before it;
    // it is written down as soon as it shows, so that a killed program's
    // successor can remove it. Until the pipe we named is there the wait
    // sleeps until a pipe shows up (at most 50 ms) instead of asking every
    // few milliseconds; once it is there the office listens within moments.
    PipeWatch pipes(OfficePipes::pipeFolder(), OfficePipes::prefix());
    const QByteArray ownPipe = QFile::encodeName(m_process->pipePath());
    bool pipesKnown = false;
    while (!m_context.is()) {
        if (!pipesKnown)
            pipesKnown = m_process->recordPipes() > 1;
        const bool listening = ::access(ownPipe.constData(), F_OK) == 0;
        // Asked at every wake-up all the same: a LibreOffice that keeps its
        // pipe elsewhere is then reached a little later, never not at all.
        try {
            m_context.set(resolver->resolve(url), uno::UNO_QUERY);
        } catch (const uno::Exception &) {
            // Not listening yet: asked again below, while time is left.
            m_context.clear();
            dropStaleReplies();
        }
        if (m_context.is())
            break;
        if (stopping()) {
            m_watchdog.disarm();
            m_process->kill();
            throw EngineError(PrintingTexts::stopped());
        }
        if (m_watchdog.cause() == Watchdog::Cause::Limit) {
            m_watchdog.disarm();
            m_process->kill();
            throw EngineError(overMemory());
        }
        if (m_watchdog.fired() || std::chrono::steady_clock::now() >= deadline) {
            m_watchdog.disarm();
            m_process->kill();
            throw EngineError(QStringLiteral("LibreOffice did not start within %1 seconds and was stopped.")
                                  .arg(m_timeoutMs / 1000.0));
        }
        if (!m_process->isRunning()) {
            m_watchdog.disarm();
            throw EngineError(withOutput(QStringLiteral("LibreOffice ended before it could be reached.")));
        }
        // Once its pipe is there the office listens within moments; a failed
        // attempt costs little.
        pipes.wait(listening ? 2 : 50);
    }
    m_watchdog.disarm();
    qCDebug(lcOffice) << "connected to process" << m_process->processGroup();
    m_process->recordPipes();
    call(QStringLiteral("starting"), [this] { m_desktop = frame::Desktop::create(m_context); });
}

LibreOfficeSession::~LibreOfficeSession()
{
    m_desktop.clear();
    m_context.clear();
    m_process->kill();
}

const uno::Reference<uno::XComponentContext> &LibreOfficeSession::context() const
{
    return m_context;
}

const uno::Reference<frame::XDesktop2> &LibreOfficeSession::desktop() const
{
    return m_desktop;
}

LibreOfficeProcess &LibreOfficeSession::process()
{
    return *m_process;
}

PrinterSystem &LibreOfficeSession::printers()
{
    return m_printers;
}

const PrintSettings &LibreOfficeSession::printSettings() const
{
    return m_printSettings;
}

void LibreOfficeSession::setPrintSettings(const PrintSettings &settings)
{
    m_printSettings = settings;
}

std::optional<PreparedPrint> &LibreOfficeSession::preparedPrint()
{
    return m_preparedPrint;
}

bool LibreOfficeSession::stopping() const
{
    return OfficeRegistry::stopRequested() || (m_abandoned && m_abandoned());
}

QString LibreOfficeSession::describe(const QString &doing, const QString &message, bool disposed)
{
    if (stopping())
        return PrintingTexts::stopped();
    if (m_watchdog.cause() == Watchdog::Cause::Limit)
        return overMemory();
    if (m_watchdog.fired())
        return QStringLiteral("LibreOffice did not finish %1 within %2 seconds and was stopped.")
            .arg(doing)
            .arg(m_timeoutMs / 1000.0);
    if (disposed || !m_process->isRunning())
        return withOutput(QStringLiteral("LibreOffice stopped unexpectedly while %1.").arg(doing));
    return OfficeMessages::readable(doing, message);
}

QString LibreOfficeSession::overMemory() const
{
    constexpr quint64 megabyte = quint64(1024) * 1024;
    const quint64 megabytes = m_memoryLimitBytes / megabyte;
    const QString amount = megabytes >= 1024 ? QStringLiteral("%1 GB").arg(double(megabytes) / 1024.0, 0, 'g', 3)
                                             : QStringLiteral("%1 MB").arg(megabytes);
    return QStringLiteral("LibreOffice needed more than %1 for this workbook and was stopped.").arg(amount);
}

QString LibreOfficeSession::withOutput(const QString &report) const
{
    // What LibreOffice said last is often why it ended.
    const QString output = m_process->outputTail(5);
    qCDebug(lcOffice).noquote() << "the office's last output:"
                                << (output.isEmpty() ? QStringLiteral("(none)") : output);
    return output.isEmpty() ? report : report + QStringLiteral(" LibreOffice's last output:\n") + output;
}

void LibreOfficeSession::call(const QString &doing, const std::function<void()> &work)
{
    if (stopping())
        throw EngineError(PrintingTexts::stopped());
    if (m_stoppedForTime)
        throw EngineError(skippedAfterTimeout());
    if (!m_process->isRunning() && !m_context.is())
        throw EngineError(QStringLiteral("LibreOffice is not running."));
    qCDebug(lcOffice).noquote() << "call:" << doing;
    QElapsedTimer took;
    took.start();
    m_watchdog.arm(m_timeoutMs);
    const auto failed = [&](const QString &description, EngineError::Kind kind = EngineError::Kind::Failed) {
        m_watchdog.disarm();
        dropStaleReplies();
        m_stoppedForTime = m_stoppedForTime || m_watchdog.fired();
        return EngineError(description, kind);
    };
    try {
        work();
    } catch (const EngineError &error) {
        qCDebug(lcOffice).noquote() << "failed:" << doing << "-" << error.description();
        throw failed(error.description(), error.kind());
    } catch (const lang::DisposedException &failure) {
        qCDebug(lcOffice).noquote() << "failed:" << doing << "- disposed:" << toQString(failure.Message);
        throw failed(describe(doing, toQString(failure.Message), true));
    } catch (const uno::Exception &failure) {
        qCDebug(lcOffice).noquote() << "failed:" << doing << "-" << toQString(failure.Message);
        throw failed(describe(doing, toQString(failure.Message), false));
    }
    m_watchdog.disarm();
    qCDebug(lcOffice).noquote() << "done:" << doing << "in" << took.elapsed() << "ms";
    if (m_watchdog.fired()) {
        m_stoppedForTime = true;
        throw EngineError(describe(doing, QString(), false));
    }
}

QString LibreOfficeSession::skippedAfterTimeout() const
{
    if (m_watchdog.cause() == Watchdog::Cause::Limit)
        return QStringLiteral("This step was skipped: LibreOffice had been stopped because it needed too much "
                              "memory.");
    return QStringLiteral("This step was skipped: LibreOffice had been stopped because an earlier step took too "
                          "long.");
}

uno::Reference<beans::XPropertySet> LibreOfficeSession::configuration(const char *nodePath)
{
    const uno::Reference<lang::XMultiServiceFactory> provider = configuration::theDefaultProvider::get(m_context);
    uno::Sequence<uno::Any> arguments(1);
    arguments[0] <<= beans::NamedValue(rtl::OUString("nodepath"), uno::Any(rtl::OUString::createFromAscii(nodePath)));
    return {provider->createInstanceWithArguments("com.sun.star.configuration.ConfigurationUpdateAccess", arguments),
            uno::UNO_QUERY_THROW};
}

void LibreOfficeSession::recordFinishedSetup()
{
    call(QStringLiteral("preparing its profile"), [this] {
        const uno::Reference<beans::XPropertySet> product = configuration("/org.openoffice.Setup/Product");
        product->setPropertyValue("ooSetupLastVersion", product->getPropertyValue("ooSetupVersion"));
        uno::Reference<util::XChangesBatch>(product, uno::UNO_QUERY_THROW)->commitChanges();
        // Left set by the restart a new profile asks for; a copy need not act on it.
        const uno::Reference<beans::XPropertySet> office = configuration("/org.openoffice.Setup/Office");
        office->setPropertyValue("OfficeRestartInProgress", uno::Any(false));
        uno::Reference<util::XChangesBatch>(office, uno::UNO_QUERY_THROW)->commitChanges();
    });
}

void LibreOfficeSession::terminate()
{
    if (m_stoppedForTime) {
        m_desktop.clear();
        m_context.clear();
        m_process->kill();
        throw EngineError(skippedAfterTimeout());
    }
    bool agreed = false;
    try {
        m_watchdog.arm(m_timeoutMs);
        agreed = m_desktop->terminate();
    } catch (const uno::Exception &) {
        // The office may end before it answers; whether it ended is what
        // counts. Its answer may still have come in: it must not reach the
        // next office's first call.
        agreed = true;
        dropStaleReplies();
    }
    m_watchdog.disarm();
    const bool hung = m_watchdog.fired();
    m_desktop.clear();
    m_context.clear();
    const bool ended = !hung && m_process->waitForExit(m_timeoutMs);
    m_process->kill();
    if (stopping())
        throw EngineError(PrintingTexts::stopped());
    if (hung)
        throw EngineError(
            QStringLiteral("LibreOffice did not quit within %1 seconds and was stopped.").arg(m_timeoutMs / 1000.0));
    if (!agreed)
        throw EngineError(QStringLiteral("LibreOffice refused to quit and was stopped."));
    if (!ended)
        throw EngineError(
            QStringLiteral("LibreOffice did not quit within %1 seconds and was stopped.").arg(m_timeoutMs / 1000.0));
}
