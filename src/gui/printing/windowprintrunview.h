// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/printing/printrunview.h"

#include <functional>

class FileListModel;
class OptionsPage;
class QProgressBar;

// The print run as the main window shows it: the list's entries, the chosen
// printer and sheets, the progress bar and the busy pointer.
class WindowPrintRunView final : public PrintRunView
{
public:
    using BusyPointer = std::function<void(bool busy)>;
    // Whether the window is being closed: the run then ends at once.
    using Closing = std::function<bool()>;
    // Whether the user asked to stop once the workbook under way is done.
    using StopAfterCurrent = std::function<bool()>;

    WindowPrintRunView(FileListModel &list, OptionsPage &options, QProgressBar &progress, BusyPointer busy,
                       Closing closing, StopAfterCurrent stopAfterCurrent = {});

    int entryCount() override;
    QString entry(int i) override;
    QString printerName() override;
    bool printActiveSheet() override;
    bool printAllSheets() override;
    void setProgress(double percent) override;
    void setBusy(bool busy) override;
    bool stopRequested() override;
    bool stopNow() override;

private:
    FileListModel &m_list;
    OptionsPage &m_options;
    QProgressBar &m_progress;
    BusyPointer m_busy;
    Closing m_closing;
    StopAfterCurrent m_stopAfterCurrent;
};
