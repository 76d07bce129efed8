// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/printing/engineapplication.h"
#include "core/printing/spreadsheetengine.h"

// A real engine that sees no office of the user's: other people's and other
// tests' offices on the machine must not make a test that is not about the
// "may be open" question meet it.
class WithoutUserOffice final : public SpreadsheetEngine
{
public:
    explicit WithoutUserOffice(SpreadsheetEngine &engine)
        : m_engine(engine)
    {}

    QString displayName() const override { return m_engine.displayName(); }
    bool canCreateInstance() const override { return m_engine.canCreateInstance(); }
    std::unique_ptr<EngineApplication> createInstance() override { return m_engine.createInstance(); }
    bool isUserInstanceRunning() override { return false; }
    void stopNow() override { m_engine.stopNow(); }

private:
    SpreadsheetEngine &m_engine;
};
