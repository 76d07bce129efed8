// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/filelist/timeslicedyield.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <memory>

namespace TimeSlicedYield {

AddFolder::Yield make(int sliceMilliseconds)
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer, sliceMilliseconds] {
        if (timer->elapsed() < sliceMilliseconds)
            return;
        QCoreApplication::processEvents();
        timer->restart();
    };
}

} // namespace TimeSlicedYield
