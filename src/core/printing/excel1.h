// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <memory>

class EngineApplication;
class Prompts;
class SpreadsheetEngine;

// The program's three ways of talking to the spreadsheet engine.
namespace Excel1 {

// Whether the user runs the engine already; any failure counts as "no".
bool ExcelIsRunning(SpreadsheetEngine &engine);

// When the user runs the engine, asks whether to go on. True: the print run must stop.
bool WarnIfExcelOpen(SpreadsheetEngine &engine, Prompts &prompts);

// A new instance with the workbook at path open in it. Throws EngineError;
// an instance already started for it has been ended by then.
std::unique_ptr<EngineApplication> OpenWorkbook(SpreadsheetEngine &engine, const QString &path);

} // namespace Excel1
