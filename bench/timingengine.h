// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/printing/engineapplication.h"
#include "core/printing/enginesheet.h"
#include "core/printing/engineworkbook.h"
#include "core/printing/engineworkbooks.h"
#include "core/printing/spreadsheetengine.h"

#include <QElapsedTimer>

#include <map>
#include <string>
#include <vector>

// Seconds each engine call took, by phase, for every workbook of a run.
using PhaseTimes = std::map<std::string, std::vector<double>>;

// Passes every call on to the real engine and writes down how long it took,
// so that a real print run shows where its time goes.
class TimingEngine final : public SpreadsheetEngine
{
public:
    TimingEngine(SpreadsheetEngine &engine, PhaseTimes &times)
        : m_engine(engine)
        , m_times(times)
    {}

    template<typename Call> static auto timed(PhaseTimes &times, const char *phase, Call &&call)
    {
        QElapsedTimer timer;
        timer.start();
        struct Record
        {
            PhaseTimes &times;
            const char *phase;
            QElapsedTimer &timer;
            ~Record() { times[phase].push_back(double(timer.nsecsElapsed()) / 1e9); }
        } record{times, phase, timer};
        return call();
    }

    QString displayName() const override { return m_engine.displayName(); }
    bool canCreateInstance() const override { return m_engine.canCreateInstance(); }
    std::unique_ptr<EngineApplication> createInstance() override;
    bool isUserInstanceRunning() override
    {
        return timed(m_times, "user_office_check", [&] { return m_engine.isUserInstanceRunning(); });
    }
    void stopNow() override { m_engine.stopNow(); }

private:
    SpreadsheetEngine &m_engine;
    PhaseTimes &m_times;
};

class TimingSheet final : public EngineSheet
{
public:
    TimingSheet(std::unique_ptr<EngineSheet> sheet, PhaseTimes &times)
        : m_sheet(std::move(sheet))
        , m_times(times)
    {}
    void PrintOut(const QString &printer) override
    {
        TimingEngine::timed(m_times, "print", [&] { m_sheet->PrintOut(printer); });
    }

private:
    std::unique_ptr<EngineSheet> m_sheet;
    PhaseTimes &m_times;
};

class TimingWorkbook final : public EngineWorkbook
{
public:
    TimingWorkbook(std::unique_ptr<EngineWorkbook> workbook, PhaseTimes &times)
        : m_workbook(std::move(workbook))
        , m_times(times)
    {}
    std::unique_ptr<EngineSheet> ActiveSheet() override
    {
        return std::make_unique<TimingSheet>(
            TimingEngine::timed(m_times, "select_sheet", [&] { return m_workbook->ActiveSheet(); }), m_times);
    }
    void PrintOut(const QString &printer) override
    {
        TimingEngine::timed(m_times, "print", [&] { m_workbook->PrintOut(printer); });
    }

private:
    std::unique_ptr<EngineWorkbook> m_workbook;
    PhaseTimes &m_times;
};

class TimingWorkbooks final : public EngineWorkbooks
{
public:
    TimingWorkbooks(EngineWorkbooks &workbooks, PhaseTimes &times)
        : m_workbooks(workbooks)
        , m_times(times)
    {}
    void Open(const QString &path) override
    {
        TimingEngine::timed(m_times, "load", [&] { m_workbooks.Open(path); });
    }
    int count() override { return m_workbooks.count(); }
    std::unique_ptr<EngineWorkbook> item(int index) override
    {
        return std::make_unique<TimingWorkbook>(
            TimingEngine::timed(m_times, "find_workbook", [&] { return m_workbooks.item(index); }), m_times);
    }
    void Close() override
    {
        TimingEngine::timed(m_times, "close", [&] { m_workbooks.Close(); });
    }

private:
    EngineWorkbooks &m_workbooks;
    PhaseTimes &m_times;
};

class TimingApplication final : public EngineApplication
{
public:
    TimingApplication(std::unique_ptr<EngineApplication> application, PhaseTimes &times)
        : m_application(std::move(application))
        , m_workbooks(m_application->Workbooks(), times)
        , m_times(times)
    {}
    ~TimingApplication() override
    {
        TimingEngine::timed(m_times, "release_and_reap", [&] { m_application.reset(); });
    }
    EngineWorkbooks &Workbooks() override { return m_workbooks; }
    void Quit() override
    {
        TimingEngine::timed(m_times, "quit", [&] { m_application->Quit(); });
    }

private:
    std::unique_ptr<EngineApplication> m_application;
    TimingWorkbooks m_workbooks;
    PhaseTimes &m_times;
};

inline std::unique_ptr<EngineApplication> TimingEngine::createInstance()
{
    return std::make_unique<TimingApplication>(
        timed(m_times, "start_office", [&] { return m_engine.createInstance(); }), m_times);
}
