// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The maker's addresses, kept here and nowhere else.
namespace WebAddresses {

inline QString mainPage()
{
    return QStringLiteral("https://www.tenvara.example/corvane/");
}
inline QString faqPage()
{
    return QStringLiteral("https://www.tenvara.example/corvane/faq/");
}
inline QString contactPage()
{
    return QStringLiteral("https://www.tenvara.example/contact/");
}
inline QString supportEmail()
{
    return QStringLiteral("support@tenvara.example");
}

} // namespace WebAddresses
