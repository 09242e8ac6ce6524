// The Copy commands of the Edit menu: frames as pictures, reports as RTF;
// and the paste of a picture as a new document.

#include "app/CMainFrame.h"
#include "app/ExportJob.h"
#include "app/ReportContent.h"
#include "app/Settings.h"
#include "app/commands/CommandTable.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/Commands.h"
#include "app/dialogs/CopyFramesDialog.h"
#include "document/COrvoDoc.h"
#include "document/ExportPictures.h"
#include "export/ImageWriters.h"
#include "export/RtfReport.h"
#include "view/COrvoView.h"
#include "view/FramePicture.h"
#include "view/model/ToolContextMenu.h"

#include <QApplication>
#include <QClipboard>
#include <QMdiArea>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QSettings>

#include <cmath>
#include <memory>

namespace {

const QString ClipboardError = QStringLiteral("Clipboard error");

// Word processors on X11 ask for "text/rtf"; "Rich Text Format" is the name
// the format has on the other platforms.
const QString RtfMimeTypes[] = {
    QStringLiteral("text/rtf"),
    QStringLiteral("Rich Text Format"),
    QStringLiteral("application/x-qt-windows-mime;value=\"Rich Text Format\""),
};

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

void fail(CMainFrame& frame)
{
    auto* box = new QMessageBox(QMessageBox::Critical, CMainFrame::programName(), ClipboardError, QMessageBox::Ok, &frame);
    box->setObjectName(QStringLiteral("ClipboardError"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

// The clipboard keeps its former contents when the picture cannot be made.
void putPicture(CMainFrame& frame, const exporting::Result<imaging::DisplayBitmap>& bitmap)
{
    const QImage image = bitmap ? framePicture(*bitmap) : QImage();
    if (image.isNull())
        return fail(frame);
    QApplication::clipboard()->setImage(image);
}

void putReport(CMainFrame& frame, const std::string& rtf, const std::string& plain)
{
    if (rtf.empty())
        return fail(frame);
    auto data = std::make_unique<QMimeData>();
    const QByteArray bytes(rtf.data(), static_cast<qsizetype>(rtf.size()));
    for (const QString& type : RtfMimeTypes)
        data->setData(type, bytes);
    data->setText(QString::fromStdString(plain));
    QApplication::clipboard()->setMimeData(data.release()); // the clipboard owns it
}

struct ReportChoice {
    bool header = false;
    reports::PictureChoice pictures;
    bool withPictures = false;
};

void copyReport(CMainFrame& frame, const COrvoDoc& doc, const ReportChoice& choice)
{
    const auto options = reports::reportOptions(doc);
    const std::string title = reports::shownText(doc, doc.fileTitle(), options).toStdString();
    const auto header = choice.header ? reports::reportHeader(doc, options) : std::nullopt;
    if (choice.header && !header)
        return fail(frame);
    std::vector<imaging::DisplayBitmap> pictures;
    if (choice.withPictures) {
        bool made = false;
        runExportJob(&frame, static_cast<int>(choice.pictures.frames.size()), [&](const exporting::Progress& progress) {
            auto result = reports::reportPictures(doc, choice.pictures, progress);
            if (result) {
                pictures = std::move(*result);
                made = true;
            }
            return made;
        });
        if (!made)
            return fail(frame);
    }
    WaitCursor wait;
    try {
        const std::string plain = header ? exporting::plainHeaderReport(title, *header) : title + "\n";
        if (header && choice.withPictures)
            putReport(frame, exporting::rtfHeaderAndPictureReport(title, *header, pictures), plain);
        else if (header)
            putReport(frame, exporting::rtfHeaderReport(title, *header), plain);
        else
            putReport(frame, exporting::rtfPictureReport(title, pictures), plain);
    } catch (const std::bad_alloc&) {
        fail(frame);
    }
}

void copyFrame(CMainFrame& frame)
{
    const COrvoDoc* doc = documentWithImage(frame);
    if (!doc)
        return;
    WaitCursor wait;
    putPicture(frame, document::reportBitmap(*doc, doc->currentFrameIndex()));
}

void copyRoi(CMainFrame& frame)
{
    const COrvoDoc* doc = documentWithImage(frame);
    if (!doc || !doc->frame()->hasSelection())
        return;
    WaitCursor wait;
    auto selection = doc->frame()->copySelection();
    if (!selection)
        return fail(frame);
    const double zoom = doc->zoom();
    if (zoom == 1.0)
        return putPicture(frame, std::move(*selection));
    const auto sized = [zoom](std::int32_t size) {
        return static_cast<std::int32_t>(std::max(1.0, std::round(size * zoom)));
    };
    putPicture(frame, exporting::resampleBitmap(*selection, sized(selection->width()), sized(selection->height()),
                                                exporting::Scaling::Nearest));
}

void copySelectedFrames(CMainFrame& frame)
{
    QPointer<CChildFrame> child = frame.activeChild();
    const COrvoDoc* doc = documentWithImage(frame);
    if (!child || !doc)
        return;
    CopyFramesDialog::Frames facts { doc->frameCount(), doc->currentFrameIndex(), doc->frame()->width(),
                                     doc->frame()->height(), doc->zoom() };
    auto store = settings::open();
    const int method = settings::readNumber(*store, settings::SettingsGroup, settings::ExportScalingMethod, 0, 0, 1);
    auto* dialog = new CopyFramesDialog(facts, doc->exportChoices(),
                                        method == 1 ? exporting::Scaling::Bilinear : exporting::Scaling::Nearest, &frame);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::accepted, &frame, [&frame, child, dialog] {
        if (!child)
            return;
        const CopyFramesDialog::Parameters chosen = dialog->parameters();
        COrvoDoc& document = child->document();
        document.exportChoices() = chosen.choices;
        settings::writeNumber(*settings::open(), settings::SettingsGroup, settings::ExportScalingMethod,
                              static_cast<int>(chosen.scaling));
        if (!chosen.header && !chosen.frames)
            return;
        ReportChoice choice;
        choice.header = chosen.header;
        choice.withPictures = chosen.frames;
        choice.pictures = { chosen.list, chosen.width, chosen.height, chosen.scaling };
        copyReport(frame, document, choice);
    });
    dialog->open();
}

} // namespace

void addClipboardCommands(CommandTable& table, CMainFrame& frame)
{
    const auto hasImage = [&frame] { return documentWithImage(frame) != nullptr; };
    const auto report = [&frame](bool header, bool pictures) {
        const COrvoDoc* doc = documentWithImage(frame);
        if (!doc)
            return;
        ReportChoice choice;
        choice.header = header;
        choice.withPictures = pictures;
        choice.pictures.frames = reports::allFrames(*doc);
        copyReport(frame, *doc, choice);
    };
    table.add(Command::CopyFrame, [&frame] { copyFrame(frame); }, hasImage);
    table.add(Command::CopyAllFrames, [report] { report(false, true); }, [&frame] {
        const COrvoDoc* doc = documentWithImage(frame);
        return doc && doc->frameCount() > 1;
    });
    table.add(Command::CopyHeader, [report] { report(true, false); }, hasImage);
    table.add(Command::CopyAll, [report] { report(true, true); }, hasImage);
    table.add(Command::CopySelectedFrames, [&frame] { copySelectedFrames(frame); }, hasImage);
    table.add(Command::CopyRoi, [&frame] { copyRoi(frame); }, [&frame] {
        const COrvoDoc* doc = documentWithImage(frame);
        return doc && doc->frame()->hasSelection();
    });
    // The image view's selection menu offers two of the copies.
    QObject::connect(frame.mdiArea(), &QMdiArea::subWindowActivated, &frame, [&frame] {
        if (COrvoView* view = activeView(frame)) {
            view->setMenuCommand(viewmodel::MenuItem::CopyRoi, frame.action(Command::CopyRoi));
            view->setMenuCommand(viewmodel::MenuItem::CopyFrame, frame.action(Command::CopyFrame));
        }
    });
    // Asking the clipboard's owner on every idle update would cost a round
    // trip to it each time; its change signal keeps the answer instead.
    auto holdsPicture = std::make_shared<bool>(false);
    const auto recheck = [holdsPicture] {
        const QMimeData* data = QApplication::clipboard()->mimeData();
        *holdsPicture = data && data->hasImage();
    };
    recheck();
    QObject::connect(QApplication::clipboard(), &QClipboard::dataChanged, &frame, recheck);
    table.add(Command::InsertClipboard, [&frame] {
        const QImage picture = QApplication::clipboard()->image();
        if (!picture.isNull())
            emit frame.picturePasted(picture);
    }, [holdsPicture] { return *holdsPicture; });
}
