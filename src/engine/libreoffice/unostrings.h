// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <rtl/ustring.hxx>

// QString and UNO's OUString are both UTF-16.
inline rtl::OUString toOUString(const QString &text)
{
    return rtl::OUString(reinterpret_cast<const sal_Unicode *>(text.utf16()), sal_Int32(text.size()));
}

inline QString toQString(const rtl::OUString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.getStr()), text.getLength());
}
