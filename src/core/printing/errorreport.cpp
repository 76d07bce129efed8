// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/printing/errorreport.h"

#include "core/common/webaddresses.h"
#include "core/printing/printingtexts.h"
#include "core/services/prompts.h"

namespace ErrorReport {

QString text(const QString &description, const QString &source, int line)
{
    return description + QStringLiteral("\r\n") + source + PrintingTexts::atLine() + QString::number(line)
        + QStringLiteral("\r\r") + PrintingTexts::emailRequest() + WebAddresses::supportEmail();
}

void show(Prompts &prompts, const QString &description, const QString &source, int line)
{
    prompts.messageBox(text(description, source, line), MessageStyle::OkExclamation, PrintingTexts::errorReportTitle());
}

} // namespace ErrorReport
