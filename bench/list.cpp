// SPDX-License-Identifier: GPL-3.0-or-later
// Times the file list in the real window (offscreen): appending 100,000
// entries, "Clear Selected Files" with every second one selected, and the
// memory the process holds with the list full.
#include "core/filelist/filelistmodel.h"
#include "gui/filelist/filelistview.h"
#include "support/formfixture.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QItemSelection>

#include <cstdio>

namespace {

constexpr int entryCount = 100000;

double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    FormFixture fixture;
    Form1 &form = fixture.make();
    form.show();
    QApplication::processEvents();

    QStringList paths;
    paths.reserve(entryCount);
    for (int i = 0; i < entryCount; ++i)
        paths.append(
            QStringLiteral("/home/user/Documents/Quarterly reports/Region %1/Report %2.xlsx").arg(i % 97).arg(i));

    QElapsedTimer timer;
    timer.start();
    for (const QString &path : paths)
        form.fileList().append(path);
    QApplication::processEvents();
    const double appendOneByOne = double(timer.nsecsElapsed()) / 1e9;
    const double rss = residentMegabytes();

    form.ClearList();
    timer.restart();
    form.fileList().append(paths);
    QApplication::processEvents();
    const double appendAtOnce = double(timer.nsecsElapsed()) / 1e9;

    auto *view = form.findChild<FileListView *>(QStringLiteral("ListView1"));
    QItemSelection everySecond;
    for (int row = 1; row < entryCount; row += 2)
        everySecond.select(form.fileList().index(row), form.fileList().index(row));
    view->selectionModel()->select(everySecond, QItemSelectionModel::Select);
    timer.restart();
    form.findChild<QAction *>(QStringLiteral("m5"))->trigger();
    QApplication::processEvents();
    const double clearSelected = double(timer.nsecsElapsed()) / 1e9;
    const int left = form.fileList().count();

    std::printf("entries: %d\n", entryCount);
    std::printf("append_at_once_seconds: %.3f\n", appendAtOnce);
    std::printf("entries_left_after_clear_selected: %d\n", left);
    std::printf("clear_selected_every_second_seconds: %.3f\n", clearSelected);
    std::printf("resident_mb_with_100000_entries: %.1f\n", rss);
    std::printf("append_one_by_one_seconds: %.3f\n", appendOneByOne);
    return left == entryCount / 2 ? 0 : 1;
}
