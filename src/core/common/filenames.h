// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// A file name is bytes to the system, and not every name is valid UTF-8.
// Decoded as text, each byte that is not part of valid UTF-8 becomes a lone
// surrogate (U+DC80 to U+DCFF), which no valid UTF-8 can produce, and is
// turned back into that byte when encoded: a name read from a folder or a
// list is written out byte for byte as it came.
namespace FileNames {

QString decode(QByteArrayView name);
QByteArray encode(const QString &name);

} // namespace FileNames
