// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class Prompts;

// The report of a failed step, the same wherever a numbered procedure fails.
namespace ErrorReport {

// The description, the failing procedure and the number of its failing step,
// and the request to mail a screenshot.
QString text(const QString &description, const QString &source, int line);

// Shows the report: titled "Application Error", with the exclamation icon and OK.
void show(Prompts &prompts, const QString &description, const QString &source, int line);

} // namespace ErrorReport
