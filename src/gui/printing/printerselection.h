// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class PrinterSystem;
class Prompts;
class QComboBox;
class SettingsStore;

// The printer drop-down: filled once at start with the system's printers,
// selecting the printer picked in an earlier run, or else the default one.
namespace PrinterSelection {

// A numbered procedure like the print run: a failing step is reported with its
// number and the procedure goes on, except in the restore of a stored pick,
// which fails silently and leaves nothing selected.
void listPrinters(QComboBox &Combo1, PrinterSystem &printers, SettingsStore &settings, Prompts &prompts);

// Stores the position of the printer the user picked.
void Combo1_Click(const QComboBox &Combo1, SettingsStore &settings);

} // namespace PrinterSelection
