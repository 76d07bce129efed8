// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdfexport.h"

#include "libreofficesession.h"
#include "printing/engineerror.h"
#include "unostrings.h"

#include <QFileInfo>
#include <QTemporaryFile>
#include <QUrl>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

using namespace com::sun::star;

namespace {

mode_t currentUmask()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("Umask:"))
                return mode_t(line.mid(6).trimmed().toUInt(nullptr, 8));
        }
    }
    return 022;
}

} // namespace

namespace PdfExport {

QString freeName(const QString &folder, const QString &name, const std::function<bool(const QString &)> &taken)
{
    QString candidate = folder + QLatin1Char('/') + name + QStringLiteral(".pdf");
    for (int n = 2; taken(candidate); ++n)
        candidate = folder + QLatin1Char('/') + name + QStringLiteral(" (%1).pdf").arg(n);
    return candidate;
}

QString write(LibreOfficeSession &session, const uno::Reference<lang::XComponent> &document,
              const uno::Reference<sheet::XSpreadsheet> &onlySheet)
{
    const QString folder = session.printSettings().pdfFolder;
    QString name;
    session.call(QStringLiteral("reading the workbook's name"), [&] {
        const uno::Reference<frame::XModel> model(document, uno::UNO_QUERY_THROW);
        name = QFileInfo(QUrl(toQString(model->getURL())).toLocalFile()).completeBaseName();
    });
    if (name.isEmpty())
        name = QStringLiteral("workbook");

    // Hidden, and removed whatever happens, unless it became the PDF.
    QTemporaryFile part(folder + QStringLiteral("/.corvane-XXXXXX.pdf.part"));
    if (!part.open())
        throw EngineError(QStringLiteral("Cannot write in \"%1\": %2").arg(folder, part.errorString()));
    part.close();

    session.call(QStringLiteral("writing the PDF"), [&] {
        uno::Sequence<beans::PropertyValue> filterData(onlySheet.is() ? 1 : 0);
        if (onlySheet.is()) {
            filterData[0].Name = "Selection";
            filterData[0].Value <<= onlySheet;
        }
        if (!session.printSettings().pages.isEmpty()) {
            filterData.realloc(filterData.getLength() + 1);
            // The export counts pages as printing does, with "-" and ";".
            filterData[filterData.getLength() - 1].Name = "PageRange";
            filterData[filterData.getLength() - 1].Value <<= toOUString(session.printSettings().pages);
        }
        uno::Sequence<beans::PropertyValue> arguments(3);
        arguments[0].Name = "FilterName";
        arguments[0].Value <<= rtl::OUString("calc_pdf_Export");
        arguments[1].Name = "FilterData";
        arguments[1].Value <<= filterData;
        arguments[2].Name = "Overwrite";
        arguments[2].Value <<= true; // our own temporary file, made empty above
        const uno::Reference<frame::XStorable> storable(document, uno::UNO_QUERY_THROW);
        storable->storeToURL(toOUString(QString::fromUtf8(QUrl::fromLocalFile(part.fileName()).toEncoded())),
                             arguments);
    });
    if (QFileInfo(part.fileName()).size() == 0)
        throw EngineError(QStringLiteral("LibreOffice wrote no PDF for the workbook."));

    // The PDF gets the permissions any new file of the user gets.
    ::chmod(QFile::encodeName(part.fileName()).constData(), 0666 & ~currentUmask());

    // A hard link is made only where no file is, so another program's file
    // that took the name meanwhile is never written over.
    const QByteArray from = QFile::encodeName(part.fileName());
    QString target;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        target = freeName(folder, name, [](const QString &path) { return QFileInfo::exists(path); });
        if (::link(from.constData(), QFile::encodeName(target).constData()) == 0) {
            if (session.printSettings().exported)
                session.printSettings().exported(target);
            return target;
        }
        if (errno != EEXIST)
            throw EngineError(
                QStringLiteral("Cannot write \"%1\": %2").arg(target, QString::fromLocal8Bit(std::strerror(errno))));
    }
    throw EngineError(QStringLiteral("No free name for the PDF of \"%1\" in \"%2\".").arg(name, folder));
}

} // namespace PdfExport
