// "Pag&e Setup...", "&Print...", "Print Pre&view" and "View Report" of the
// active document, and "P&rint Setup...": one printer for the whole session,
// so that what the set-up chose is what printing and the preview use.

#include "app/CMainFrame.h"
#include "app/ReportPrinting.h"
#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "app/dialogs/PageSetupDialog.h"
#include "document/COrvoDoc.h"

#include <QDir>
#include <QLibrary>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

// Set when the program is built; a relative or empty path loads nothing, so
// no library can be slipped in through the working directory.
constexpr const char* ReportLibraryPath = TV_REPORT_LIBRARY;
constexpr const char* ReportEntry = "tolanViewReport";
const QString ReportLibraryMissing = QStringLiteral("Report library not found!    ");

// The record the report library reads: the title, the file name, "%dKB" and
// the file date, each zero-terminated in its field.
constexpr std::size_t ReportRecordSize = 536;
using ReportRecord = std::array<char, ReportRecordSize>;
using ReportFunction = void (*)(std::uintptr_t window, const char* record);

// Cuts at a character boundary so the library never sees half a character.
void putField(ReportRecord& record, std::size_t offset, std::size_t size, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::size_t length = std::min<std::size_t>(static_cast<std::size_t>(bytes.size()), size - 1);
    while (length > 0 && length < static_cast<std::size_t>(bytes.size())
           && (static_cast<unsigned char>(bytes[static_cast<qsizetype>(length)]) & 0xC0U) == 0x80U)
        --length;
    std::memcpy(record.data() + offset, bytes.constData(), length);
}

ReportRecord reportRecord(const QString& title, const COrvoDoc& doc)
{
    ReportRecord record {};
    putField(record, 0, 256, title);
    putField(record, 256, 256, doc.fileTitle());
    putField(record, 512, 12, QStringLiteral("%1KB").arg(std::max<qint64>(0, doc.fileSize()) / 1024));
    putField(record, 524, 12, doc.fileDate());
    return record;
}

void viewReport(CMainFrame& frame)
{
    CChildFrame* child = frame.activeChild();
    if (!child)
        return;
    const QString path = QString::fromUtf8(ReportLibraryPath);
    ReportFunction entry = nullptr;
    if (!path.isEmpty() && QDir::isAbsolutePath(path)) {
        // Parented to the frame and never unloaded: the library may keep windows open.
        auto* library = new QLibrary(path, &frame);
        if (library->load())
            entry = reinterpret_cast<ReportFunction>(library->resolve(ReportEntry));
        if (!entry)
            library->deleteLater();
    }
    if (!entry) {
        auto* box = new QMessageBox(QMessageBox::NoIcon, CMainFrame::programName(), ReportLibraryMissing, QMessageBox::Ok, &frame);
        box->setObjectName(QStringLiteral("ReportLibraryMissing"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        return;
    }
    const ReportRecord record = reportRecord(child->windowTitle(), child->document());
    entry(static_cast<std::uintptr_t>(frame.winId()), record.data());
}

void pageSetup(CMainFrame& frame)
{
    QPointer<CChildFrame> child = frame.activeChild();
    if (!child)
        return;
    auto* dialog = new PageSetupDialog(child->document().pageSetup(), &frame);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::accepted, &frame, [&frame, child, dialog] {
        if (child)
            child->document().pageSetup() = dialog->pageSetup();
        frame.commands().update();
    });
    dialog->open();
}

// The session's printer, made when first needed: looking for the system's
// default printer can take a while.
class SessionPrinter {
public:
    QPrinter* get()
    {
        if (!m_printer)
            m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        return m_printer.get();
    }

private:
    std::unique_ptr<QPrinter> m_printer;
};
using SharedPrinter = std::shared_ptr<SessionPrinter>;

// A dialog that works on the printer holds it until the dialog is gone,
// even when the main frame and its commands go first.
void holdWhileOpen(QObject* dialog, const SharedPrinter& printer)
{
    QObject::connect(dialog, &QObject::destroyed, [printer] {});
}

void printSetup(CMainFrame& frame, const SharedPrinter& printer)
{
    auto* dialog = new QPageSetupDialog(printer->get(), &frame);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    holdWhileOpen(dialog, printer);
    dialog->open();
}

void print(CMainFrame& frame, const SharedPrinter& printer)
{
    QPointer<CChildFrame> child = frame.activeChild();
    if (!child)
        return;
    auto* dialog = new QPrintDialog(printer->get(), &frame);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    holdWhileOpen(dialog, printer);
    QObject::connect(dialog, &QDialog::accepted, &frame, [&frame, child, printer] {
        if (child)
            reports::printReport(&frame, child->document(), *printer->get());
    });
    dialog->open();
}

void printPreview(CMainFrame& frame, const SharedPrinter& printer)
{
    QPointer<CChildFrame> child = frame.activeChild();
    if (!child)
        return;
    auto* preview = new QPrintPreviewDialog(printer->get(), &frame);
    preview->setAttribute(Qt::WA_DeleteOnClose);
    holdWhileOpen(preview, printer);
    QObject::connect(preview, &QPrintPreviewDialog::paintRequested, &frame, [&frame, child](QPrinter* printer) {
        if (child)
            reports::printReport(&frame, child->document(), *printer);
    });
    preview->open();
}

} // namespace

void addPrintCommands(CommandTable& table, CMainFrame& frame)
{
    const auto hasImage = [&frame] { return documentWithImage(frame) != nullptr; };
    const auto canPrint = [&frame] {
        const COrvoDoc* doc = documentWithImage(frame);
        return doc && reports::hasPrintContent(doc->pageSetup());
    };
    const auto printer = std::make_shared<SessionPrinter>();
    table.add(Command::PrintSetup, [&frame, printer] { printSetup(frame, printer); });
    table.add(Command::PageSetup, [&frame] { pageSetup(frame); }, hasImage);
    table.add(Command::Print, [&frame, printer] { print(frame, printer); }, canPrint);
    table.add(Command::PrintPreview, [&frame, printer] { printPreview(frame, printer); }, canPrint);
    table.add(Command::ViewReport, [&frame] { viewReport(frame); }, [&frame] { return frame.activeChild() != nullptr; });
}
