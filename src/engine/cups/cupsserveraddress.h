// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The print server as the user named it: libcups keeps the port apart from
// the host, and "127.0.0.1" alone does not say which of two servers was asked.
QString cupsServerAddress();
