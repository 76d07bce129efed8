// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/printing/windowprintrunview.h"

#include "core/filelist/filelistmodel.h"
#include "gui/printing/optionspage.h"

#include <QComboBox>
#include <QProgressBar>

#include <cmath>

WindowPrintRunView::WindowPrintRunView(FileListModel &list, OptionsPage &options, QProgressBar &progress,
                                       BusyPointer busy, Closing closing, StopAfterCurrent stopAfterCurrent)
    : m_list(list)
    , m_options(options)
    , m_progress(progress)
    , m_busy(std::move(busy))
    , m_closing(std::move(closing))
    , m_stopAfterCurrent(std::move(stopAfterCurrent))
{}

int WindowPrintRunView::entryCount()
{
    return m_list.count();
}

QString WindowPrintRunView::entry(int i)
{
    return m_list.text(i - 1);
}

QString WindowPrintRunView::printerName()
{
    return m_options.printerBox()->currentText();
}

bool WindowPrintRunView::printActiveSheet()
{
    return m_options.printActiveSheet();
}

bool WindowPrintRunView::printAllSheets()
{
    return m_options.printAllSheets();
}

void WindowPrintRunView::setProgress(double percent)
{
    // The bar has a whole-number scale: 28.999... for workbook 29 of 100 shows as 29.
    m_progress.setValue(int(std::lround(percent)));
}

void WindowPrintRunView::setBusy(bool busy)
{
    m_busy(busy);
}

bool WindowPrintRunView::stopRequested()
{
    return m_closing() || (m_stopAfterCurrent && m_stopAfterCurrent());
}

bool WindowPrintRunView::stopNow()
{
    return m_closing();
}
