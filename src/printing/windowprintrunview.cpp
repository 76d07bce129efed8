#include "windowprintrunview.h"

#include "filelist/filelistmodel.h"
#include "optionspage.h"
#include "shell/form1.h"

#include <QComboBox>

#include <cmath>
#include <QProgressBar>

WindowPrintRunView::WindowPrintRunView(Form1 &form)
    : m_form(form)
{
}

int WindowPrintRunView::entryCount()
{
    return m_form.fileList().count();
}

QString WindowPrintRunView::entry(int i)
{
    return m_form.fileList().text(i - 1);
}

QString WindowPrintRunView::printerName()
{
    return m_form.optionsPage().printerBox()->currentText();
}

bool WindowPrintRunView::printActiveSheet()
{
    return m_form.optionsPage().printActiveSheet();
}

bool WindowPrintRunView::printAllSheets()
{
    return m_form.optionsPage().printAllSheets();
}

void WindowPrintRunView::setProgress(double percent)
{
    // The bar has a whole-number scale: 28.999... for workbook 29 of 100 shows as 29.
    m_form.progressBar().setValue(int(std::lround(percent)));
}

void WindowPrintRunView::setBusy(bool busy)
{
    m_form.setBusyPointer(busy);
}

bool WindowPrintRunView::stopRequested()
{
    return m_form.isClosing();
}

bool WindowPrintRunView::stopNow()
{
    return m_form.isClosing();
}
