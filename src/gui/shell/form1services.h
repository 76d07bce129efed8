// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class PrinterSystem;
class Prompts;
class RandomSource;
class SettingsStore;
class ShellOpen;
class SpreadsheetEngine;

// The platform services the main window works through. The program hands it
// the real ones; a test hands it fakes that record what was shown.
struct Form1Services
{
    Prompts &prompts;
    ShellOpen &shell;
    RandomSource &random;
    SettingsStore &settings;
    SpreadsheetEngine &engine;
    PrinterSystem &printers;
    QString programFolder;
};
