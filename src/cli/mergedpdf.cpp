// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/mergedpdf.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <qpdf/ClosedFileInputSource.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <exception>
#include <memory>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemReason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool exists(const QString &path)
{
    struct stat status = {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0;
}

// Stops QPDFWriter between its steps.
struct Stopped final : std::exception
{
    const char *what() const noexcept override { return "stopped"; }
};

// Outline items, one per workbook, each pointing at its first page.
void addBookmarks(QPDF &pdf, const std::vector<std::pair<QString, QPDFObjectHandle>> &firstPages)
{
    QPDFObjectHandle outlines = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
    outlines.replaceKey("/Type", QPDFObjectHandle::newName("/Outlines"));
    std::vector<QPDFObjectHandle> items;
    for (const auto &[title, page] : firstPages) {
        QPDFObjectHandle item = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        item.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(title.toStdString()));
        item.replaceKey("/Parent", outlines);
        item.replaceKey("/Dest", QPDFObjectHandle::newArray({page, QPDFObjectHandle::newName("/Fit")}));
        if (!items.empty()) {
            item.replaceKey("/Prev", items.back());
            items.back().replaceKey("/Next", item);
        }
        items.push_back(item);
    }
    if (items.empty())
        return;
    outlines.replaceKey("/First", items.front());
    outlines.replaceKey("/Last", items.back());
    outlines.replaceKey("/Count", QPDFObjectHandle::newInteger(static_cast<long long>(items.size())));
    QPDFObjectHandle root = pdf.getRoot();
    root.replaceKey("/Outlines", outlines);
    // Opened with the bookmarks showing: they are the way through a run's PDF.
    root.replaceKey("/PageMode", QPDFObjectHandle::newName("/UseOutlines"));
}

} // namespace

MergedPdf::MergedPdf(QString target, bool replace)
    : m_target(std::move(target))
    , m_replace(replace)
{}

MergedPdf::~MergedPdf()
{
    removeMadeFiles();
}

void MergedPdf::removeMadeFiles()
{
    if (m_folder.isEmpty())
        return;
    // By name, the files this made and nothing else: never a walk of the folder.
    for (const Part &part : m_parts)
        ::unlink(QFile::encodeName(part.path).constData());
    if (!m_merged.isEmpty())
        ::unlink(QFile::encodeName(m_merged).constData());
    ::rmdir(QFile::encodeName(m_folder).constData());
    m_folder.clear();
    if (m_lock >= 0)
        ::close(m_lock);
    m_lock = -1;
}

void MergedPdf::removeAbandoned(const QString &folder)
{
    // Younger than this, a folder may be one another run has made and not locked yet.
    constexpr time_t settledSeconds = 60;
    const QStringList names = QDir(folder).entryList({QStringLiteral(".corvane-merge-*")},
                                                     QDir::Dirs | QDir::Hidden | QDir::NoSymLinks | QDir::System);
    for (const QString &name : names) {
        const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + name);
        const int descriptor = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (descriptor < 0)
            continue;
        struct stat status = {};
        // Only the user's own, settled, and held by no running program.
        if (::fstat(descriptor, &status) != 0 || status.st_uid != ::getuid()
            || status.st_mtime > ::time(nullptr) - settledSeconds || ::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
            ::close(descriptor);
            continue;
        }
        // What a run puts there, by its names; anything else keeps the folder.
        const QRegularExpression made(QStringLiteral("^([0-9]+|merged)\\.pdf$"));
        for (const QString &entry :
             QDir(QFile::decodeName(path)).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
            if (made.match(entry).hasMatch())
                ::unlinkat(descriptor, QFile::encodeName(entry).constData(), 0);
        }
        ::close(descriptor);
        ::rmdir(path.constData());
    }
}

bool MergedPdf::prepare(QString &error)
{
    const QFileInfo target(m_target);
    const QString folder = target.absolutePath();
    if (!QFileInfo(folder).isDir()) {
        error = QStringLiteral("--merge-pdf: there is no folder \"%1\"").arg(folder);
        return false;
    }
    if (target.isDir() && !target.isSymLink()) {
        error = QStringLiteral("--merge-pdf: \"%1\" is a folder").arg(m_target);
        return false;
    }
    if (exists(m_target) && !m_replace) {
        error = QStringLiteral("--merge-pdf: \"%1\" exists; --force replaces it").arg(m_target);
        return false;
    }
    // Beside the target, so that the finished file moves into place without a copy.
    QByteArray pattern = QFile::encodeName(folder + QStringLiteral("/.corvane-merge-XXXXXX"));
    if (::mkdtemp(pattern.data()) == nullptr) {
        error = QStringLiteral("--merge-pdf: cannot write in \"%1\": %2").arg(folder, systemReason());
        return false;
    }
    m_folder = QFile::decodeName(pattern);
    m_lock = ::open(pattern.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (m_lock >= 0)
        ::flock(m_lock, LOCK_EX | LOCK_NB);
    removeAbandoned(folder);
    return true;
}

void MergedPdf::add(const QString &rendered, const QString &title)
{
    if (m_folder.isEmpty() || !m_copyFailure.isEmpty())
        return;
    const QString path = m_folder + QStringLiteral("/%1.pdf").arg(m_parts.size() + 1);
    if (!QFile::copy(rendered, path)) {
        m_copyFailure = QStringLiteral("cannot keep the pages of \"%1\" for it in \"%2\"").arg(title, m_folder);
        ::unlink(QFile::encodeName(path).constData());
        return;
    }
    m_parts.push_back({path, title.isEmpty() ? QStringLiteral("Workbook %1").arg(m_parts.size() + 1) : title});
}

bool MergedPdf::write(const std::function<bool()> &stopRequested, QString &error)
{
    if (!m_copyFailure.isEmpty()) {
        error = m_copyFailure;
        return false;
    }
    if (m_parts.empty()) {
        error = QStringLiteral("no workbook was printed, so \"%1\" was not written").arg(m_target);
        return false;
    }
    m_merged = m_folder + QStringLiteral("/merged.pdf");
    try {
        QPDF merged;
        merged.emptyPDF();
        QPDFPageDocumentHelper pages(merged);
        // Each source is kept until the writer has copied its pages' streams.
        std::vector<std::unique_ptr<QPDF>> sources;
        std::vector<std::pair<QString, QPDFObjectHandle>> firstPages;
        for (const Part &part : m_parts) {
            if (stopRequested())
                throw Stopped();
            // Open only while read: a run of thousands of workbooks must not
            // hold a descriptor for each until the writer is done.
            const auto input = std::make_shared<ClosedFileInputSource>(QFile::encodeName(part.path).constData());
            input->stayOpen(true);
            auto source = std::make_unique<QPDF>();
            source->processInputSource(input);
            const std::vector<QPDFPageObjectHelper> sourcePages = QPDFPageDocumentHelper(*source).getAllPages();
            for (const QPDFPageObjectHelper &page : sourcePages)
                pages.addPage(page, false);
            input->stayOpen(false);
            const std::vector<QPDFObjectHandle> &all = merged.getAllPages();
            if (!sourcePages.empty())
                firstPages.emplace_back(part.title, all.at(all.size() - sourcePages.size()));
            sources.push_back(std::move(source));
        }
        addBookmarks(merged, firstPages);
        // The writer keeps the name's pointer until it is done: the bytes must outlive it.
        const QByteArray mergedName = QFile::encodeName(m_merged);
        QPDFWriter writer(merged, mergedName.constData());
        writer.registerProgressReporter(std::make_shared<QPDFWriter::FunctionProgressReporter>([&](int) {
            if (stopRequested())
                throw Stopped();
        }));
        writer.write();
    } catch (const Stopped &) {
        error = QStringLiteral("stopped, so \"%1\" was not written").arg(m_target);
        return false;
    } catch (const std::exception &failure) {
        error = QStringLiteral("cannot write \"%1\": %2").arg(m_target, QString::fromLocal8Bit(failure.what()));
        return false;
    }
    // On the disk before it takes the name: a crash never leaves an empty file under it.
    const int descriptor = ::open(QFile::encodeName(m_merged).constData(), O_RDONLY | O_CLOEXEC);
    const bool synced = descriptor >= 0 && ::fsync(descriptor) == 0;
    if (descriptor >= 0)
        ::close(descriptor);
    if (!synced) {
        error = QStringLiteral("cannot write \"%1\": %2").arg(m_target, systemReason());
        return false;
    }
    const QByteArray from = QFile::encodeName(m_merged);
    const QByteArray to = QFile::encodeName(m_target);
    // A link is made only where no file is, so a file that took the name
    // meanwhile is never written over; a rename replaces it whole, at once.
    const bool placed
        = m_replace ? ::rename(from.constData(), to.constData()) == 0 : ::link(from.constData(), to.constData()) == 0;
    if (!placed) {
        error = errno == EEXIST ? QStringLiteral("\"%1\" appeared during the run; it was left as it is").arg(m_target)
                                : QStringLiteral("cannot write \"%1\": %2").arg(m_target, systemReason());
        return false;
    }
    return true;
}
