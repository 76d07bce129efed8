// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/filelist/timeslicedyield.h"

#include "gui/filelist/walkabandoned.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <memory>

namespace TimeSlicedYield {

AddFolder::Yield make(std::function<bool()> abandoned, int sliceMilliseconds)
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer, sliceMilliseconds, abandoned = std::move(abandoned)] {
        if (timer->elapsed() >= sliceMilliseconds) {
            QCoreApplication::processEvents();
            timer->restart();
        }
        if (abandoned && abandoned())
            throw WalkAbandoned();
    };
}

} // namespace TimeSlicedYield
