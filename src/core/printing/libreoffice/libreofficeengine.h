#pragma once

#include "printing/spreadsheetengine.h"

class LibreOfficeEngine final : public SpreadsheetEngine
{
public:
    LibreOfficeEngine();

    QString displayName() const override;
    bool canCreateInstance() const override;

    // The engine's start program, or an empty text when none is installed.
    static QString findProgram();

private:
    QString m_program;
};
