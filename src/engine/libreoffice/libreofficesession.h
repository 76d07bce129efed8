// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/printing/printsettings.h"
#include "engine/libreoffice/libreofficeprocess.h"
#include "engine/libreoffice/preparedprint.h"
#include "engine/libreoffice/watchdog.h"

#include <QString>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <functional>
#include <memory>
#include <optional>

class OfficeLauncher;
class OfficeWorkspace;
class PrinterSystem;

// A connection to one LibreOffice of our own, shared by the objects handed out
// for it. Every call into LibreOffice goes through call(), which bounds it in
// time and turns whatever LibreOffice throws into an EngineError.
class LibreOfficeSession final
{
public:
    // Starts the office and connects to it. Throws EngineError. Once
    // `abandoned` says so, the office is ended and calls fail as stopped.
    LibreOfficeSession(const QString &program, const QString &profileTemplate, OfficeWorkspace &workspace,
                       OfficeLauncher &launcher, int callTimeoutMs, PrinterSystem &printers,
                       quint64 memoryLimitBytes = 0, std::function<bool()> abandoned = {});
    ~LibreOfficeSession();

    // Runs work with the time bound; `doing` completes "while ..." in descriptions.
    void call(const QString &doing, const std::function<void()> &work);

    const com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext> &context() const;
    const com::sun::star::uno::Reference<com::sun::star::frame::XDesktop2> &desktop() const;
    LibreOfficeProcess &process();
    PrinterSystem &printers();
    const PrintSettings &printSettings() const;
    void setPrintSettings(const PrintSettings &settings);
    // The print laid out ahead of its turn, if any.
    std::optional<PreparedPrint> &preparedPrint();

    // Writes down in the profile that this version of LibreOffice has started
    // with it, as a first start with a window does. Without it every office
    // started from a copy takes itself for an upgrade and first runs its
    // graphics self-tests, which take most of its start-up time.
    void recordFinishedSetup();

    // Asks the office to end and waits for it; kills it when it does not.
    void terminate();

private:
    // No office of ours may go on: the program stops, or this one is no longer wanted.
    bool stopping() const;
    com::sun::star::uno::Reference<com::sun::star::beans::XPropertySet> configuration(const char *nodePath);
    QString describe(const QString &doing, const QString &message, bool disposed);
    QString skippedAfterTimeout() const;
    QString overMemory() const;
    // report followed by the last lines the office wrote, when it wrote any.
    QString withOutput(const QString &report) const;

    std::unique_ptr<LibreOfficeProcess> m_process;
    std::function<bool()> m_abandoned;
    Watchdog m_watchdog;
    int m_timeoutMs;
    // The watchdog ended the office: the steps after it are skipped, not failed anew.
    bool m_stoppedForTime = false;
    quint64 m_memoryLimitBytes;
    PrinterSystem &m_printers;
    PrintSettings m_printSettings;
    std::optional<PreparedPrint> m_preparedPrint;
    com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext> m_context;
    com::sun::star::uno::Reference<com::sun::star::frame::XDesktop2> m_desktop;
};
