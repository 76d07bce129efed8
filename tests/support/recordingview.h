// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/printing/printrunview.h"

#include <QList>
#include <QStringList>

#include <functional>

// A print run's view that writes down what the run shows: progress, busy
// pointer, failures and finished workbooks, in order.
class RecordingView final : public PrintRunView
{
public:
    int entryCount() override { return int(entries.size()); }
    QString entry(int i) override { return entries.at(i - 1); }
    QString printerName() override { return printer; }
    bool printActiveSheet() override { return option1; }
    bool printAllSheets() override { return option2; }
    void setProgress(double percent) override
    {
        progress.append(percent);
        if (onProgress)
            onProgress();
    }
    void setBusy(bool on) override { busy.append(on); }
    bool stopRequested() override { return stopAfter >= 0 && progress.size() >= stopAfter; }
    bool stopNow() override { return stopNowWhen && stopNowWhen(); }
    void stepFailed(int line, const QString &description, EngineError::Kind) override
    {
        events << QStringLiteral("failed %1: %2").arg(line).arg(description);
    }
    void workbookFinished(int i, bool failed) override
    {
        events << QStringLiteral("finished %1 %2")
                      .arg(i)
                      .arg(failed ? QStringLiteral("failed") : QStringLiteral("printed"));
    }

    QStringList entries;
    QString printer = QStringLiteral("Office");
    bool option1 = true;
    bool option2 = false;
    int stopAfter = -1;
    std::function<bool()> stopNowWhen;
    std::function<void()> onProgress;
    QList<double> progress;
    QList<bool> busy;
    QStringList events;
};
