// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/libreofficeworkbooks.h"

#include "core/common/filenames.h"
#include "core/printing/engineerror.h"
#include "engine/libreoffice/abortinghandler.h"
#include "engine/libreoffice/libreofficesession.h"
#include "engine/libreoffice/libreofficeworkbook.h"
#include "engine/libreoffice/unoproperties.h"
#include "engine/libreoffice/unostrings.h"

#include <QFileInfo>
#include <QStringConverter>
#include <QUrl>
#include <com/sun/star/awt/XToolkitExperimental.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/document/XViewDataSupplier.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <rtl/ref.hxx>

using namespace com::sun::star;

namespace {

// What can be told about a path before LibreOffice sees it.
void checkFile(const QString &path)
{
    const QFileInfo info(path);
    // A name that is not valid in the system's encoding reaches us with its
    // bytes kept (from a folder walk) or with replacement characters (from
    // elsewhere); LibreOffice can open neither.
    const QByteArray bytes = FileNames::encode(path);
    if (!bytes.isValidUtf8() || (!info.exists() && path.contains(QChar::ReplacementCharacter)))
        throw EngineError(QStringLiteral("The name of \"%1\" cannot be read in the system's encoding (%2), so the "
                                         "file cannot be opened. Renaming it helps.")
                              .arg(QString::fromUtf8(bytes),
                                   QString::fromLatin1(QStringConverter::nameForEncoding(QStringConverter::System))));
    if (!info.exists())
        throw EngineError(QStringLiteral("The file \"%1\" does not exist.").arg(path));
    if (info.isDir())
        throw EngineError(QStringLiteral("\"%1\" is a folder, not a workbook.").arg(path));
    if (!info.isFile())
        throw EngineError(QStringLiteral("\"%1\" is not an ordinary file.").arg(path));
    if (!info.isReadable())
        throw EngineError(QStringLiteral("The file \"%1\" cannot be read.").arg(path));
    // LibreOffice would open an empty file as an empty workbook and print a blank page.
    if (info.size() == 0)
        throw EngineError(QStringLiteral("The file \"%1\" is empty.").arg(path));
}

void closeDocument(const uno::Reference<lang::XComponent> &document)
{
    const uno::Reference<util::XCloseable> closeable(document, uno::UNO_QUERY);
    if (closeable.is())
        closeable->close(true);
    else if (document.is())
        document->dispose();
}

// The sheet a workbook opens on is part of its stored view. Most formats hand
// that view to the document, where a hidden view finds it; the Excel 97-2003
// import keeps it for the view to read when it is first shown, so a hidden
// view stays on the first sheet. Showing the frame reads it; the office runs
// headless, so no window appears anywhere. The view takes the stored sheet
// in the office's own event loop, not during the call that shows it: until
// the office has worked through its pending events, the active sheet may
// still be the first one, which is what a busy machine showed.
void applyStoredView(const uno::Reference<uno::XComponentContext> &context,
                     const uno::Reference<lang::XComponent> &document)
{
    const uno::Reference<document::XViewDataSupplier> views(document, uno::UNO_QUERY);
    const uno::Reference<container::XIndexAccess> stored = views.is() ? views->getViewData() : nullptr;
    if (stored.is() && stored->getCount() > 0)
        return;
    const uno::Reference<frame::XModel> model(document, uno::UNO_QUERY_THROW);
    const uno::Reference<frame::XController> controller = model->getCurrentController();
    const uno::Reference<frame::XFrame> frame = controller.is() ? controller->getFrame() : nullptr;
    const uno::Reference<awt::XWindow> window = frame.is() ? frame->getContainerWindow() : nullptr;
    if (!window.is())
        return;
    window->setVisible(true);
    const uno::Reference<awt::XToolkitExperimental> toolkit(
        context->getServiceManager()->createInstanceWithContext("com.sun.star.awt.Toolkit", context),
        uno::UNO_QUERY_THROW);
    toolkit->processEventsToIdle();
}

} // namespace

LibreOfficeWorkbooks::LibreOfficeWorkbooks(std::shared_ptr<LibreOfficeSession> session)
    : m_session(std::move(session))
{}

void LibreOfficeWorkbooks::Open(const QString &path)
{
    checkFile(path);
    const rtl::OUString url
        = toOUString(QString::fromUtf8(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded()));
    const rtl::Reference<AbortingHandler> handler = new AbortingHandler;

    uno::Sequence<beans::PropertyValue> arguments(6);
    arguments[0] = property("Hidden", uno::Any(true));
    // Read-only: no lock file beside the workbook, nothing written to it.
    arguments[1] = property("ReadOnly", uno::Any(true));
    arguments[2] = property("MacroExecutionMode", uno::Any(document::MacroExecMode::NEVER_EXECUTE));
    arguments[3] = property("UpdateDocMode", uno::Any(document::UpdateDocMode::NO_UPDATE));
    arguments[4] = property("InteractionHandler", uno::Any(uno::Reference<task::XInteractionHandler>(handler.get())));
    // A template is printed as itself, under its own name, not as a new untitled workbook made from it.
    arguments[5] = property("AsTemplate", uno::Any(false));

    uno::Reference<lang::XComponent> document;
    try {
        m_session->call(QStringLiteral("opening \"%1\"").arg(path), [&] {
            const uno::Reference<frame::XComponentLoader> loader(m_session->desktop(), uno::UNO_QUERY_THROW);
            document = loader->loadComponentFromURL(url, "_blank", 0, arguments);
        });
    } catch (const EngineError &failure) {
        // What LibreOffice adds to the reason names its own sources and URLs:
        // of no use to the user.
        if (!handler->reason().isEmpty())
            throw EngineError(handler->reason() + QStringLiteral(" (\"%1\")").arg(path));
        throw;
    }
    if (!document.is()) {
        const QString reason = handler->reason();
        throw EngineError(reason.isEmpty() ? QStringLiteral("LibreOffice could not open \"%1\".").arg(path)
                                           : reason + QStringLiteral(" (\"%1\")").arg(path));
    }

    bool spreadsheet = false;
    m_session->call(QStringLiteral("opening \"%1\"").arg(path), [&] {
        const uno::Reference<lang::XServiceInfo> info(document, uno::UNO_QUERY);
        spreadsheet = info.is() && info->supportsService("com.sun.star.sheet.SpreadsheetDocument");
        if (!spreadsheet)
            closeDocument(document);
        else
            applyStoredView(m_session->context(), document);
    });
    if (!spreadsheet)
        throw EngineError(QStringLiteral("\"%1\" is not a spreadsheet.").arg(path));
    m_documents.push_back(document);
}

int LibreOfficeWorkbooks::count()
{
    return int(m_documents.size());
}

std::unique_ptr<EngineWorkbook> LibreOfficeWorkbooks::item(int index)
{
    if (index < 1 || index > int(m_documents.size()))
        throw EngineError(QStringLiteral("There is no workbook number %1 open.").arg(index));
    return std::make_unique<LibreOfficeWorkbook>(m_session, m_documents[std::size_t(index - 1)]);
}

void LibreOfficeWorkbooks::Close()
{
    m_session->call(QStringLiteral("closing the workbooks"), [this] {
        // Every document of the office, not only ours: nothing may stay open.
        const uno::Reference<container::XEnumerationAccess> components(m_session->desktop()->getComponents(),
                                                                       uno::UNO_QUERY_THROW);
        const uno::Reference<container::XEnumeration> all = components->createEnumeration();
        while (all->hasMoreElements()) {
            const uno::Reference<lang::XComponent> document(all->nextElement(), uno::UNO_QUERY);
            closeDocument(document);
        }
    });
    m_documents.clear();
    m_session->preparedPrint().reset();
}

void LibreOfficeWorkbooks::prepareOut(const QString &printer, bool allSheets)
{
    if (!m_documents.empty())
        LibreOfficeWorkbook::prepare(*m_session, m_documents.back(), printer, allSheets);
}

void LibreOfficeWorkbooks::forget()
{
    m_documents.clear();
}
