// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/printing/spreadsheetengine.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Runs several instances of an engine at once for a print run whose list is
// known before it starts: while the run prints one workbook, instances of
// their own start, open and lay out the next ones on threads of their own.
// The run still meets each workbook in list order through the usual calls,
// so its steps, reports and print jobs keep that order: only the hand-over to
// the printer (or the PDF folder) happens on the run's turn.
class PipelinedEngine final : public SpreadsheetEngine
{
public:
    struct Plan
    {
        // The run's entries, in order; what each is printed on and how.
        QStringList entries;
        QString printer;
        bool allSheets = false;
        // At most this many instances at once, the run's current one included.
        int instances = 2;
        // Told on a worker's thread as the instance of entry i (counted from
        // 1) starts ahead of its turn, so that its time can count from there.
        std::function<void(int i)> starting;
    };

    // stopRequested: asked while the run waits for a workbook's turn.
    PipelinedEngine(SpreadsheetEngine &engine, Plan plan, std::function<bool()> stopRequested);
    // Ends the instances started ahead that the run never took, and waits for
    // the threads that started them.
    ~PipelinedEngine() override;

    PipelinedEngine(const PipelinedEngine &) = delete;
    PipelinedEngine &operator=(const PipelinedEngine &) = delete;

    QString displayName() const override;
    bool canCreateInstance() const override;
    // An instance whose Open() takes the workbook prepared for that entry.
    std::unique_ptr<EngineApplication> createInstance() override;
    bool isUserInstanceRunning() override;
    void stopNow() override;

    // For PipelinedInstance: the instance prepared for the run's next entry,
    // which must be path, once it is ready; throws what starting or opening
    // it threw. A path out of turn is opened in a plain instance.
    std::unique_ptr<EngineApplication> take(const QString &path);
    // An instance handed out by take() has ended: another may start.
    void release();

    // How many instances run at once by default: one per processor, up to
    // four; beyond that they contend for memory and the print server.
    static int defaultInstances();

private:
    enum class State : std::uint8_t { Waiting, Preparing, Ready, Taken };
    struct Entry
    {
        QString path;
        State state = State::Waiting;
        std::unique_ptr<EngineApplication> instance;
        std::exception_ptr failure;
        std::shared_ptr<std::atomic<bool>> abandoned = std::make_shared<std::atomic<bool>>(false);
    };

    void startWorkers();
    void work();
    bool mayPrepare() const;
    void cancel();

    SpreadsheetEngine &m_engine;
    Plan m_plan;
    std::function<bool()> m_stopRequested;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Entry> m_entries;
    std::size_t m_nextToPrepare = 0;
    std::size_t m_nextToTake = 0;
    int m_live = 0;
    bool m_cancelled = false;
    std::vector<std::thread> m_workers;
};
