// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A LibreOffice profile made once and copied for every instance, so that no
// instance pays for making a profile of its own.
namespace ProfileTemplate {

// Where the template for this LibreOffice program is kept, in the user's cache folder.
QString folderFor(const QString &program);

// Whether templateFolder is a finished template: a real folder of this user's
// (no link) whose profile records the version that made it.
bool isSound(const QString &templateFolder);

// Tidies the cache folder around templateFolder and says whether a sound
// template is there to copy. Removes only what the program makes there, and
// never through a link: a template that is not sound (a link at its place
// loses only the link), the staging folders of a first start that was killed,
// and the templates of other LibreOffice programs that no one has used for a
// day (an update leaves the old one behind).
bool prepare(const QString &templateFolder);

// Puts a finished profile in place as the template, atomically; a template
// another process put there first is kept.
void install(const QString &profile, const QString &templateFolder);

// Copies the template to target; with no template, target starts empty and
// LibreOffice makes a new profile there.
void copyTo(const QString &templateFolder, const QString &target);

} // namespace ProfileTemplate
