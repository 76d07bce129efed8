// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/printing/responsivesteprunner.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <future>
#include <thread>

void ResponsiveStepRunner::run(const std::function<void()> &work)
{
    std::packaged_task<void()> task(work);
    std::future<void> done = task.get_future();
    std::thread worker(std::move(task));
    while (done.wait_for(std::chrono::milliseconds(15)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 15);
    worker.join();
    done.get();
}
