// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/printing/pipelinedengine.h"

#include "core/common/logcategories.h"
#include "core/printing/engineapplication.h"
#include "core/printing/engineerror.h"
#include "core/printing/engineworkbooks.h"
#include "core/printing/pipelinedinstance.h"
#include "core/printing/printingtexts.h"

#include <algorithm>
#include <chrono>

#include <sched.h>

PipelinedEngine::PipelinedEngine(SpreadsheetEngine &engine, Plan plan, std::function<bool()> stopRequested)
    : m_engine(engine)
    , m_plan(std::move(plan))
    , m_stopRequested(std::move(stopRequested))
    , m_entries(std::size_t(m_plan.entries.size()))
{
    m_plan.instances = std::max(1, m_plan.instances);
    for (std::size_t k = 0; k < m_entries.size(); ++k)
        m_entries[k].path = m_plan.entries.at(qsizetype(k));
}

PipelinedEngine::~PipelinedEngine()
{
    cancel();
    for (std::thread &worker : m_workers)
        worker.join();
    // The workers are gone: what they left ready is ended here, one by one.
    for (Entry &entry : m_entries)
        entry.instance.reset();
}

int PipelinedEngine::defaultInstances()
{
    // The processors this process may run on: a container or taskset may
    // allow fewer than the machine has.
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    const int processors = ::sched_getaffinity(0, sizeof(allowed), &allowed) == 0
        ? CPU_COUNT(&allowed)
        : int(std::thread::hardware_concurrency());
    return std::clamp(processors, 1, 4);
}

QString PipelinedEngine::displayName() const
{
    return m_engine.displayName();
}

bool PipelinedEngine::canCreateInstance() const
{
    return m_engine.canCreateInstance();
}

std::unique_ptr<EngineApplication> PipelinedEngine::createInstance()
{
    return std::make_unique<PipelinedInstance>(*this);
}

bool PipelinedEngine::isUserInstanceRunning()
{
    return m_engine.isUserInstanceRunning();
}

void PipelinedEngine::stopNow()
{
    cancel();
    m_engine.stopNow();
}

void PipelinedEngine::cancel()
{
    {
        const std::lock_guard lock(m_mutex);
        m_cancelled = true;
        for (Entry &entry : m_entries) {
            if (entry.state != State::Taken)
                entry.abandoned->store(true);
        }
    }
    m_changed.notify_all();
}

void PipelinedEngine::startWorkers()
{
    // Started with the first workbook, not before: nothing starts while the
    // run still asks the user whether to print at all.
    if (!m_workers.empty())
        return;
    const int workers = std::min(m_plan.instances, int(m_entries.size()));
    for (int k = 0; k < workers; ++k)
        m_workers.emplace_back([this] { work(); });
}

bool PipelinedEngine::mayPrepare() const
{
    return m_nextToPrepare < m_entries.size() && m_live < m_plan.instances
        && m_nextToPrepare < m_nextToTake + std::size_t(m_plan.instances);
}

void PipelinedEngine::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_cancelled || m_nextToPrepare >= m_entries.size() || mayPrepare(); });
        // A stop starts nothing more, even before the run has seen it.
        if (m_cancelled || m_nextToPrepare >= m_entries.size() || (m_stopRequested && m_stopRequested()))
            return;
        const int number = int(m_nextToPrepare) + 1;
        Entry &entry = m_entries[m_nextToPrepare++];
        entry.state = State::Preparing;
        ++m_live;
        const QString path = entry.path;
        const std::shared_ptr<std::atomic<bool>> abandoned = entry.abandoned;
        lock.unlock();

        qCDebug(lcRun).noquote() << "opening ahead:" << path;
        if (m_plan.starting)
            m_plan.starting(number);
        std::unique_ptr<EngineApplication> instance;
        std::exception_ptr failure;
        try {
            instance = m_engine.createInstanceAhead([abandoned] { return abandoned->load(); });
            instance->Workbooks().Open(path);
        } catch (...) {
            failure = std::current_exception();
            // As when opening in turn: a failed open leaves no instance behind.
            instance.reset();
        }
        if (instance && !abandoned->load()) {
            try {
                instance->Workbooks().prepareOut(m_plan.printer, m_plan.allSheets);
            } catch (...) {
                // Nothing escapes a worker thread: without a prepared print,
                // the print call lays it out itself and reports what fails.
                qCDebug(lcRun).noquote() << "could not lay out ahead:" << path;
            }
        }

        lock.lock();
        if (!instance)
            --m_live;
        entry.instance = std::move(instance);
        entry.failure = failure;
        entry.state = State::Ready;
        m_changed.notify_all();
    }
}

std::unique_ptr<EngineApplication> PipelinedEngine::take(const QString &path)
{
    std::unique_lock lock(m_mutex);
    if (m_nextToTake >= m_entries.size() || m_entries[m_nextToTake].path != path || m_cancelled) {
        // Not the entry the plan expects: opened now, in a plain instance.
        ++m_live;
        lock.unlock();
        try {
            std::unique_ptr<EngineApplication> instance = m_engine.createInstance();
            instance->Workbooks().Open(path);
            return instance;
        } catch (...) {
            release();
            throw;
        }
    }
    startWorkers();
    Entry &entry = m_entries[m_nextToTake++];
    m_changed.notify_all();
    // The instance's own calls are bounded; the wait looks at stop requests too.
    while (entry.state != State::Ready) {
        if (m_stopRequested && m_stopRequested())
            throw EngineError(PrintingTexts::stopped());
        m_changed.wait_for(lock, std::chrono::milliseconds(50));
    }
    entry.state = State::Taken;
    if (entry.failure)
        std::rethrow_exception(entry.failure);
    return std::move(entry.instance);
}

void PipelinedEngine::release()
{
    {
        const std::lock_guard lock(m_mutex);
        --m_live;
    }
    m_changed.notify_all();
}
