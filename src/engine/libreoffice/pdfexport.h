// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

// A rendered workbook placed in the user's folder as a PDF.
namespace PdfExport {

// Copies the PDF rendered as rendered to FOLDER/NAME.pdf; a name already
// taken (by a file, a folder or a symbolic link, even a dangling one) becomes
// "NAME (2).pdf", "NAME (3).pdf" and so on. The copy is made without a name
// (or, where the file system cannot, under a hidden temporary one) and gets
// its own only when complete, so no half PDF ever carries it, nothing is
// ever written over, and a killed program leaves no part behind. exported, when set, is told
// the path written, which is returned too.
QString publish(const QString &rendered, const QString &folder, const QString &name,
                const std::function<void(const QString &pdf)> &exported);

// The first free "NAME.pdf", "NAME (2).pdf", ... in folder; taken: whether a name is in use.
QString freeName(const QString &folder, const QString &name, const std::function<bool(const QString &)> &taken);

} // namespace PdfExport
