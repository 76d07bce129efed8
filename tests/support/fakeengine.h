// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/printing/engineapplication.h"
#include "core/printing/engineerror.h"
#include "core/printing/enginesheet.h"
#include "core/printing/engineworkbook.h"
#include "core/printing/engineworkbooks.h"
#include "core/printing/spreadsheetengine.h"

#include <QMap>
#include <QSet>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <stdexcept>
#include <thread>

// A scripted engine that writes every call it gets into a shared log, e.g.
// "open#2 /a.xls", "printsheet#2 Office", "quit#2", "end#2" (#2: the second instance).
class FakeEngine final : public SpreadsheetEngine
{
public:
    enum class Availability : std::uint8_t { Installed, Missing, Broken };

    explicit FakeEngine(Availability availability = Availability::Installed)
        : m_availability(availability)
    {}

    QString displayName() const override { return QStringLiteral("LibreOffice"); }
    bool canCreateInstance() const override
    {
        if (m_availability == Availability::Broken)
            throw std::runtime_error("the engine could not be asked");
        return m_availability == Availability::Installed;
    }

    std::unique_ptr<EngineApplication> createInstance() override;
    bool isUserInstanceRunning() override
    {
        if (userRunningFails)
            throw EngineError(QStringLiteral("cannot look"));
        return userRunning;
    }

    void stopNow() override
    {
        record(QStringLiteral("stop"));
        stopped = true;
    }

    void record(const QString &entry)
    {
        const std::lock_guard lock(mutex);
        log.append(entry);
    }
    QStringList calls() const
    {
        const std::lock_guard lock(mutex);
        return log;
    }

    // Script
    bool userRunning = false;
    bool userRunningFails = false;
    bool startFails = false;
    // Fails the start with something that is no standard exception, as a
    // library's own exception types are not.
    bool startThrowsForeign = false;
    QMap<QString, QString> openFailures; // path -> description
    QSet<QString> printFailures;         // paths whose printing fails
    QSet<QString> closeFailures;         // paths whose closing fails
    QSet<QString> printers{QStringLiteral("Office"), QStringLiteral("Second")};
    int openDelayMs = 0;              // how long every Open takes
    std::atomic<bool> stopped{false}; // stopNow() was called; a pending Open then fails at once

    mutable std::mutex mutex;
    QStringList log;
    int instances = 0;

private:
    Availability m_availability;
};

// Records a print call and fails it the way the scripted engine says.
inline void fakePrint(FakeEngine &engine, const char *what, int id, const QString &path, const QString &printer)
{
    engine.record(QStringLiteral("%1#%2 %3").arg(QLatin1String(what)).arg(id).arg(printer));
    if (!engine.printers.contains(printer) || engine.printFailures.contains(path))
        throw EngineError(QStringLiteral("There is no printer named \"%1\".").arg(printer));
}

class FakeSheet final : public EngineSheet
{
public:
    FakeSheet(FakeEngine &engine, int id, QString path)
        : m_engine(engine)
        , m_id(id)
        , m_path(std::move(path))
    {}
    void PrintOut(const QString &printer) override { fakePrint(m_engine, "printsheet", m_id, m_path, printer); }

private:
    FakeEngine &m_engine;
    int m_id;
    QString m_path;
};

class FakeWorkbook final : public EngineWorkbook
{
public:
    FakeWorkbook(FakeEngine &engine, int id, QString path)
        : m_engine(engine)
        , m_id(id)
        , m_path(std::move(path))
    {}
    std::unique_ptr<EngineSheet> ActiveSheet() override { return std::make_unique<FakeSheet>(m_engine, m_id, m_path); }
    void PrintOut(const QString &printer) override { fakePrint(m_engine, "printbook", m_id, m_path, printer); }

private:
    FakeEngine &m_engine;
    int m_id;
    QString m_path;
};

class FakeWorkbooks final : public EngineWorkbooks
{
public:
    FakeWorkbooks(FakeEngine &engine, int id)
        : m_engine(engine)
        , m_id(id)
    {}
    void Open(const QString &path) override
    {
        m_engine.record(QStringLiteral("open#%1 %2").arg(m_id).arg(path));
        // A hung engine: the call returns only when its time is up or the engine is stopped.
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_engine.openDelayMs);
        while (std::chrono::steady_clock::now() < until && !m_engine.stopped)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (m_engine.stopped)
            throw EngineError(QStringLiteral("stopped"));
        if (m_engine.openFailures.contains(path))
            throw EngineError(m_engine.openFailures.value(path));
        m_paths.append(path);
    }
    int count() override { return int(m_paths.size()); }
    std::unique_ptr<EngineWorkbook> item(int index) override
    {
        if (index < 1 || index > m_paths.size())
            throw EngineError(QStringLiteral("no workbook %1").arg(index));
        return std::make_unique<FakeWorkbook>(m_engine, m_id, m_paths.at(index - 1));
    }
    void Close() override
    {
        m_engine.record(QStringLiteral("close#%1").arg(m_id));
        for (const QString &path : std::as_const(m_paths)) {
            if (m_engine.closeFailures.contains(path))
                throw EngineError(QStringLiteral("cannot close"));
        }
        m_paths.clear();
    }

private:
    FakeEngine &m_engine;
    int m_id;
    QStringList m_paths;
};

class FakeApplication final : public EngineApplication
{
public:
    FakeApplication(FakeEngine &engine, int id)
        : m_engine(engine)
        , m_id(id)
        , m_workbooks(engine, id)
    {}
    ~FakeApplication() override { m_engine.record(QStringLiteral("end#%1").arg(m_id)); }
    EngineWorkbooks &Workbooks() override { return m_workbooks; }
    void Quit() override { m_engine.record(QStringLiteral("quit#%1").arg(m_id)); }

private:
    FakeEngine &m_engine;
    int m_id;
    FakeWorkbooks m_workbooks;
};

inline std::unique_ptr<EngineApplication> FakeEngine::createInstance()
{
    if (startFails)
        throw EngineError(QStringLiteral("LibreOffice could not be started."));
    struct ForeignFailure
    {};
    if (startThrowsForeign)
        throw ForeignFailure();
    const int id = ++instances;
    record(QStringLiteral("create#%1").arg(id));
    return std::make_unique<FakeApplication>(*this, id);
}
