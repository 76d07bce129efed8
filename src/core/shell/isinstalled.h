// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class Prompts;
class SpreadsheetEngine;

namespace IsInstalled {

// Tells the user, once, when the spreadsheet engine cannot be created. The
// program carries on either way; printing then reports its own failures.
void CheckExcelInstalled(const SpreadsheetEngine &engine, Prompts &prompts);

} // namespace IsInstalled
