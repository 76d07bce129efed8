// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/printing/printsettings.h"
#include "core/printing/spreadsheetengine.h"

#include <QString>

#include <memory>
#include <mutex>

class OfficeLauncher;
class OfficeWorkspace;
class PrinterSystem;

// LibreOffice, driven through its UNO automation interface. Every instance is
// a separate, hidden office of our own that never touches one the user runs.
class LibreOfficeEngine final : public SpreadsheetEngine
{
public:
    // Generous: opening or printing a large workbook takes a while.
    static constexpr int defaultCallTimeoutMs = 300000;

    // printers: checks every printer name before LibreOffice sees it.
    // callTimeoutMs: the longest any one call into LibreOffice may take.
    // workspace: the private folder for the offices' work. Starting an engine
    // ends the offices of programs that were killed and removes what they left.
    explicit LibreOfficeEngine(PrinterSystem &printers, int callTimeoutMs = defaultCallTimeoutMs,
                               QString program = findProgram(), const QString &workspace = QString());
    ~LibreOfficeEngine() override;

    QString displayName() const override;
    bool canCreateInstance() const override;
    std::unique_ptr<EngineApplication> createInstance() override;
    std::unique_ptr<EngineApplication> createInstanceAhead(const std::function<bool()> &abandoned) override;
    bool isUserInstanceRunning() override;
    void stopNow() override;

    // The most memory one office may hold; one that needs more is ended and
    // its step reported. 0: no bound.
    void setMemoryLimit(quint64 bytes);
    quint64 memoryLimit() const;
    // Half the machine's memory: a workbook that needs more is no workbook
    // anyone meant to print, and the rest of the machine stays usable.
    static quint64 defaultMemoryLimit();

    // Copies, page range and sides for every workbook printed from now on.
    void setPrintSettings(const PrintSettings &settings);

    // Why no office can start, as no folder for their work was accepted; an
    // empty text when one was.
    QString workspaceProblem() const;

    // The engine's start program, or an empty text when none is installed.
    static QString findProgram();

private:
    // The sound template to copy, made first when there is none; an empty
    // text when none could be made.
    QString profileTemplate();

    PrinterSystem &m_printers;
    int m_callTimeoutMs;
    quint64 m_memoryLimitBytes = defaultMemoryLimit();
    PrintSettings m_printSettings;
    QString m_program;
    std::unique_ptr<OfficeWorkspace> m_workspace;
    // Lives as long as the engine: every office dies with it.
    std::unique_ptr<OfficeLauncher> m_launcher;
    QString m_workspaceProblem;
    std::mutex m_templateMutex;
};
