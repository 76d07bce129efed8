#pragma once

#include "printing/spreadsheetengine.h"

#include <mutex>

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
    explicit LibreOfficeEngine(PrinterSystem &printers, int callTimeoutMs = defaultCallTimeoutMs,
                               QString program = findProgram());

    QString displayName() const override;
    bool canCreateInstance() const override;
    std::unique_ptr<EngineApplication> createInstance() override;
    bool isUserInstanceRunning() override;

    // The engine's start program, or an empty text when none is installed.
    static QString findProgram();

private:
    QString profileTemplate();

    PrinterSystem &m_printers;
    int m_callTimeoutMs;
    QString m_program;
    std::mutex m_templateMutex;
};
