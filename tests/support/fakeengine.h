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

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
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

    std::unique_ptr<EngineApplication> createInstance() override { return create({}); }
    std::unique_ptr<EngineApplication> createInstanceAhead(const std::function<bool()> &abandoned) override
    {
        return create(abandoned);
    }
    std::unique_ptr<EngineApplication> create(std::function<bool()> abandoned);
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
        // A list of its own, not one sharing the log's array: the log grows
        // on other threads while the copy is read.
        const std::lock_guard lock(mutex);
        QStringList copy;
        copy.reserve(log.size());
        for (const QString &entry : log)
            copy.append(entry);
        return copy;
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
    bool prepareThrows = false;    // laying a print out ahead throws something foreign
    int openDelayMs = 0;           // how long every Open takes
    QMap<QString, int> openDelays; // path -> how long its Open takes
    // path -> the path whose Open must have begun before this one's ends
    // (given up after 5 s): proves that a workbook was opened ahead.
    QMap<QString, QString> opensAfter;
    std::atomic<bool> stopped{false}; // stopNow() was called; a pending Open then fails at once

    mutable std::mutex mutex;
    QStringList log;
    int instances = 0;
    int live = 0;     // instances not yet ended
    int mostLive = 0; // the most that ever lived at once

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
    FakeWorkbooks(FakeEngine &engine, int id, std::function<bool()> abandoned)
        : m_engine(engine)
        , m_id(id)
        , m_abandoned(std::move(abandoned))
    {}
    void Open(const QString &path) override
    {
        m_engine.record(QStringLiteral("open#%1 %2").arg(m_id).arg(path));
        // A hung engine: the call returns only when its time is up or the engine is stopped.
        const auto stopped = [this] { return m_engine.stopped || (m_abandoned && m_abandoned()); };
        const auto until = std::chrono::steady_clock::now()
            + std::chrono::milliseconds(m_engine.openDelays.value(path, m_engine.openDelayMs));
        while (std::chrono::steady_clock::now() < until && !stopped())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (m_engine.opensAfter.contains(path)) {
            const QString other = m_engine.opensAfter.value(path);
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            const auto begun = [&] { return !m_engine.calls().filter(QStringLiteral(" ") + other).isEmpty(); };
            while (!begun() && !stopped() && std::chrono::steady_clock::now() < giveUp)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            if (!begun() && !stopped())
                throw EngineError(QStringLiteral("%1 was not opened while %2 opened").arg(other, path));
        }
        if (stopped())
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
    void prepareOut(const QString &printer, bool allSheets) override
    {
        m_engine.record(
            QStringLiteral("prepare#%1 %2%3").arg(m_id).arg(printer, allSheets ? QStringLiteral(" all") : QString()));
        if (m_engine.prepareThrows)
            throw std::runtime_error("the layout fell over");
    }

private:
    FakeEngine &m_engine;
    int m_id;
    std::function<bool()> m_abandoned;
    QStringList m_paths;
};

class FakeApplication final : public EngineApplication
{
public:
    FakeApplication(FakeEngine &engine, int id, std::function<bool()> abandoned)
        : m_engine(engine)
        , m_id(id)
        , m_workbooks(engine, id, std::move(abandoned))
    {}
    ~FakeApplication() override
    {
        {
            const std::lock_guard lock(m_engine.mutex);
            --m_engine.live;
        }
        m_engine.record(QStringLiteral("end#%1").arg(m_id));
    }
    EngineWorkbooks &Workbooks() override { return m_workbooks; }
    void Quit() override { m_engine.record(QStringLiteral("quit#%1").arg(m_id)); }

private:
    FakeEngine &m_engine;
    int m_id;
    FakeWorkbooks m_workbooks;
};

inline std::unique_ptr<EngineApplication> FakeEngine::create(std::function<bool()> abandoned)
{
    if (startFails)
        throw EngineError(QStringLiteral("LibreOffice could not be started."));
    struct ForeignFailure
    {};
    if (startThrowsForeign)
        throw ForeignFailure();
    int id = 0;
    {
        const std::lock_guard lock(mutex);
        id = ++instances;
        mostLive = std::max(mostLive, ++live);
    }
    record(QStringLiteral("create#%1").arg(id));
    return std::make_unique<FakeApplication>(*this, id, std::move(abandoned));
}
