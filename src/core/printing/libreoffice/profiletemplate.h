// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A LibreOffice profile made once and copied for every instance, so that no
// instance pays for making a profile of its own.
namespace ProfileTemplate {

// Where the template for this LibreOffice program is kept, in the user's cache folder.
QString folderFor(const QString &program);

// Puts a finished profile in place as the template, atomically; a template
// another process put there first is kept.
void install(const QString &profile, const QString &templateFolder);

// Copies the template to target; with no template, target starts empty and
// LibreOffice makes a new profile there.
void copyTo(const QString &templateFolder, const QString &target);

} // namespace ProfileTemplate
