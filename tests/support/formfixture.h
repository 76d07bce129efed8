// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/shell/form1.h"
#include "support/fakeengine.h"
#include "support/fakeprintersystem.h"
#include "support/fakeprompts.h"
#include "support/fakeshellopen.h"
#include "support/scriptedrandom.h"
#include "support/tempsettings.h"

#include <QTemporaryDir>

#include <memory>

// A main window built on fakes, with its own settings and program folder.
struct FormFixture
{
    explicit FormFixture(FakeEngine::Availability engineAvailability = FakeEngine::Availability::Installed)
        : engine(engineAvailability)
    {}

    Form1 &make()
    {
        form = std::make_unique<Form1>(
            Form1Services{prompts, shell, random, settings.store, engine, printers, programFolder.path()});
        return *form;
    }

    FakePrompts prompts;
    FakeShellOpen shell;
    ScriptedRandom random;
    TempSettings settings;
    FakeEngine engine;
    FakePrinterSystem printers;
    QTemporaryDir programFolder;
    std::unique_ptr<Form1> form;
};
