#pragma once

#include "printing/printrunview.h"

class Form1;

// The print run as the main window shows it: the list's entries, the chosen
// printer and sheets, the progress bar and the busy pointer.
class WindowPrintRunView final : public PrintRunView
{
public:
    explicit WindowPrintRunView(Form1 &form);

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
    Form1 &m_form;
};
