// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class PrinterSystem;
class Prompts;
class QComboBox;
class SettingsStore;

// listPrinters as its numbered steps: each row of the table says where the
// procedure goes on when the step answers yes, when it answers no, and after
// a failure has been reported; the steps themselves name no line.
class PrinterListing final
{
public:
    PrinterListing(QComboBox &combo, PrinterSystem &printers, SettingsStore &settings, Prompts &prompts);

    void run();

private:
    static constexpr int end = -1;

    struct Step
    {
        int line;
        int then;
        int otherwise;
        int onFailure;
        bool (PrinterListing::*run)();
    };
    static const Step steps[];

    bool readDefaultPrinter();
    bool startThroughPrinters();
    bool appendNextPrinter();
    bool readStoredPick();
    bool testDefaultPrinter();
    bool selectDefaultPrinter();
    bool restoreStoredPick();

    QComboBox &Combo1;
    PrinterSystem &m_printers;
    SettingsStore &m_settings;
    Prompts &m_prompts;

    QString d; // the default printer
    QString s; // the stored pick
    QStringList m_names;
    qsizetype m_next = 0;
    // Off once a stored pick is being restored: its failures are silent.
    bool m_reporting = true;
};
