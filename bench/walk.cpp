// SPDX-License-Identifier: GPL-3.0-or-later
// Times the folder walk against find(1) on the same generated tree:
// 100,000 files in 5,000 folders, up to 8 levels deep.
#include "core/filelist/folderwalk.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int folderCount = 5000;
constexpr int fileCount = 100000;
constexpr int maxDepth = 8;

void generateTree(const QString &root)
{
    std::mt19937 random(20141205);
    std::vector<QString> folders{root};
    std::vector<int> depth{0};
    while (int(folders.size()) < folderCount + 1) {
        int parent = 0;
        do
            parent = int(random() % folders.size());
        while (depth[std::size_t(parent)] >= maxDepth);
        const QString path = folders[std::size_t(parent)] + QStringLiteral("/Folder %1").arg(folders.size());
        QDir().mkdir(path);
        folders.push_back(path);
        depth.push_back(depth[std::size_t(parent)] + 1);
    }
    const char *extensions[] = {".xls", ".XLS", ".xlsx", ".txt", ".ods"};
    for (int i = 0; i < fileCount; ++i) {
        const QString &folder = folders[std::size_t(1 + i % folderCount)];
        QFile file(folder + QStringLiteral("/Report %1").arg(i) + QLatin1String(extensions[i % 5]));
        file.open(QIODevice::WriteOnly);
    }
}

double bestOf(int runs, const std::function<void()> &work)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e9);
    }
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString tree = dir.path() + QStringLiteral("/tree");
    QDir().mkdir(tree);
    generateTree(tree);

    qsizetype found = 0;
    qsizetype walked = 0;
    const double findSeconds = bestOf(5, [&] {
        QProcess find;
        find.start(
            QStringLiteral("find"),
            {tree, QStringLiteral("-type"), QStringLiteral("f"), QStringLiteral("-iname"), QStringLiteral("*.xls")});
        find.waitForFinished(-1);
        found = find.readAllStandardOutput().count('\n');
    });
    const double walkSeconds
        = bestOf(5, [&] { walked = AddFolder::CollectFiles(tree, QStringLiteral("*.xls")).size(); });

    std::printf("files_in_tree: %d\n", fileCount);
    std::printf("folders_in_tree: %d\n", folderCount);
    std::printf("matches_find: %lld\n", static_cast<long long>(found));
    std::printf("matches_walk: %lld\n", static_cast<long long>(walked));
    std::printf("find_seconds: %.3f\n", findSeconds);
    std::printf("walk_seconds: %.3f\n", walkSeconds);
    std::printf("walk_to_find_ratio: %.2f\n", walkSeconds / findSeconds);
    return found == walked ? 0 : 1;
}
