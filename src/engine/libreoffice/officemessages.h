// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace OfficeMessages {

// What LibreOffice says of a failure while `doing`, fit to show: without its
// source places, function names, internal addresses and codes.
QString readable(const QString &doing, const QString &message);

} // namespace OfficeMessages
