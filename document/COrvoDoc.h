#pragma once

#include "document/EditHistory.h"
#include "document/ExportChoices.h"
#include "document/UserOptions.h"
#include "dicom/SavedAttributes.h"
#include "view/model/FrameOverlays.h"
#include "view/model/Measurement.h"
#include "view/model/Rulers.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace dicom {
struct DicomDataset;
}
namespace imaging {
class FrameImage;
}
namespace document {
struct LoadedFile;
}

namespace document {
// What a failed load says when the reader gave no message of its own.
inline const QString UnknownFormatMessage = QStringLiteral("Error: Unknown or Unsupported format!");
} // namespace document

// One open study: the data sets of its source files, the frames of all of
// them as image objects in document order, the current frame and the
// settings its views and exports share.
class COrvoDoc : public QObject {
    Q_OBJECT
public:
    enum class ApplyToAllResult { Toggled, Unchanged, FramesDiffer };
    // Called once per file of a multi-file load, with its index.
    using Progress = std::function<void(int index, int count)>;

    explicit COrvoDoc(QObject* parent = nullptr);
    ~COrvoDoc() override;

    // Loads one file; on failure the document is empty and loadError() says why.
    bool load(const QString& path, const document::UserOptions& options);
    // Loads several files as one document; files that fail are skipped.
    // False when none of them gave a frame.
    bool loadFiles(const QStringList& paths, const QString& title, const document::UserOptions& options,
                   const Progress& progress = {});
    // Makes one secondary-capture data set of pasted pictures (packed
    // bitmaps of one size and kind) and loads its frames under `title`. On
    // failure loadError() is "Error N": 1 the data set cannot be made, 2 it
    // holds no frame, 6 to 8 a frame's image cannot be made (8, 12, 16 bits).
    bool loadPictures(const std::vector<std::vector<std::uint8_t>>& bitmaps, const QString& title,
                      const document::UserOptions& options);
    void clear();

    int frameCount() const;
    int datasetCount() const;
    int currentFrameIndex() const { return m_currentFrame; }
    int currentDatasetIndex() const { return m_currentDataset; }
    // An index of -1 or out of range gives the current one; nullptr when empty.
    imaging::FrameImage* frame(int index = -1);
    const imaging::FrameImage* frame(int index = -1) const;
    const dicom::DicomDataset* dataset(int index = -1) const;

    bool firstFrame();
    bool previousFrame();
    bool nextFrame();
    bool lastFrame();
    void setCurrentFrame(int index);
    void setCurrentDataset(int index);
    bool allFramesAgree() const;
    ApplyToAllResult toggleApplyToAll();
    bool applyToAll() const { return m_applyToAll; }

    void recordPixelStep(int frame);
    // Which frames an edit covers: every frame while "Apply to all frames"
    // is on, else only `current` (-1: the current frame). AgreeingFrames:
    // every frame whenever they all agree in size and kind, whatever the
    // switch says (a user palette goes on the whole series).
    enum class Scope { InScope, CurrentOnly, AgreeingFrames };
    // Runs `change` on each frame the edit covers, with its index; each frame
    // it changed (true) gets one pixel step, and the document announces the
    // edit once. Answers how many frames changed.
    int changeFrames(const std::function<bool(imaging::FrameImage&, int index)>& change, Scope scope = Scope::InScope,
                     int current = -1);
    // The annotations and measurements of a frame (-1: the current one).
    const viewmodel::FrameOverlays& overlays(int frame = -1) const;
    // Runs `edit` over the overlays of every frame, in document order; each
    // frame whose overlays it changed gets one overlay step that takes the
    // change back, and the document announces the edit once. Answers how
    // many frames changed.
    int editOverlays(const std::function<void(std::span<viewmodel::FrameOverlays> frames)>& edit);
    bool canUndo(int frame) const;
    // Some frame was edited (pixels, window, selection, overlays) since the
    // document was loaded or saved; undoing back to that state clears it.
    bool isModified() const;
    // What every frame shows now is what the document's file holds.
    void markSaved();
    bool canRedo(int frame) const;
    bool undo(int frame);
    bool redo(int frame);

    // Row and column spacing; 1.0 x 1.0 (stored) when either is missing.
    std::pair<double, double> pixelSpacing();
    // Millimetres; 0 when the file gives none.
    double sliceThickness() const { return m_sliceThickness; }
    // The spacing and thickness as the file gave them, for going back to them.
    std::pair<double, double> headerPixelSpacing() const { return m_headerPixelSpacing; }
    double headerSliceThickness() const { return m_headerSliceThickness; }
    // Lengths and areas drawn afterwards use these; views repaint.
    void setVoxelSize(std::pair<double, double> rowColumnSpacing, double sliceThickness);

    bool loadOk() const { return m_loadOk; }
    QString loadError() const { return m_loadError; }
    QString fileTitle() const { return m_fileTitle; }
    // The title of a document that has no file of its own.
    void setFileTitle(const QString& title) { m_fileTitle = title; }
    QString filePath() const { return m_filePath; }
    QString fileDate() const { return m_fileDate; }
    qint64 fileSize() const { return m_fileSize; }
    QStringList sourcePaths() const { return m_sourcePaths; }
    float zoom() const { return m_zoom; }
    // Views rescale and the zoom field follows through zoomChanged().
    void setZoom(float zoom);
    double frameTime() const { return m_frameTime; }
    // The frame time the file gives; 0 when it gives none.
    double headerFrameTime() const { return m_headerFrameTime; }
    // Milliseconds between movie frames; 0 or less plays no movie.
    void setFrameTime(double milliseconds) { m_frameTime = milliseconds; }
    bool showRulers() const { return m_showRulers; }
    bool showAnnotations() const { return m_showAnnotations; }
    bool showMeasurements() const { return m_showMeasurements; }
    // Each switch repaints the views.
    void setShowRulers(bool on);
    void setShowAnnotations(bool on);
    void setShowMeasurements(bool on);
    // Where a frame's rulers start and their colour (-1: the current frame).
    viewmodel::RulerSetting rulerSetting(int frame = -1) const;
    void setRulerSetting(int frame, viewmodel::RulerSetting setting);
    // The spacing lengths are measured with: row and column, never 0.
    viewmodel::PixelSpacing measuringSpacing() const;
    // What new lengths and angles take, from the user's options at load.
    struct MeasurementStyle {
        viewmodel::OverlayFont font;
        std::int32_t lineWidth = 2;
        document::ColorRef lengthColour = 0x0000FF;
        document::ColorRef angleColour = 0x0000FF;
    };
    const MeasurementStyle& measurementStyle() const { return m_measurementStyle; }
    // The font new annotations start with.
    const viewmodel::OverlayFont& annotationFont() const { return m_annotationFont; }
    // Changed preferences reach what is drawn next; what is drawn keeps its style.
    void setMeasurementStyle(const MeasurementStyle& style) { m_measurementStyle = style; }
    void setAnnotationFont(const viewmodel::OverlayFont& font) { m_annotationFont = font; }
    bool anonymizedExports() const { return m_anonymizedExports; }
    void setAnonymizedExports(bool on) { m_anonymizedExports = on; }
    // New annotations take this colour; it starts as the user's default.
    document::ColorRef annotationColour() const { return m_annotationColour; }
    void setAnnotationColour(document::ColorRef colour)
    {
        m_annotationColour = colour;
        emit drawingColoursChanged();
    }

    // Saving: the frames as shown (each image's current level) become one
    // secondary-capture file, written atomically, with the spacing the
    // document measures with and, as the options say, the patient and
    // study; the document then reloads from it as DICOM (whatever its name),
    // so its histories are empty afterwards. On a failure to write, the
    // document and the old file stay as they were. ReloadFailed: the file
    // was written but does not read back; the document stays as it was and
    // saveError() says why.
    enum class SaveResult { Saved, FramesDiffer, CannotCreate, NothingToSave, ReloadFailed };
    SaveResult save(const QString& path, const dicom::SaveOptions& saveOptions,
                    const std::function<bool(std::uint64_t)>& writeHook = {});
    SaveResult save(const QString& path, const std::function<bool(std::uint64_t)>& writeHook = {})
    {
        return save(path, dicom::SaveOptions {}, writeHook);
    }
    // The reason the last save failed, in words; empty after a save that worked.
    QString saveError() const { return m_saveError; }
    // Whether Save may write over what is at the path: nothing, a file that
    // is not DICOM, or a DICOM file of ours.
    static bool mayOverwrite(const QString& path);
    // Save goes through Save As for documents that have no file of their
    // own: those of several files, and those shown from a private copy.
    bool saveNeedsName() const { return m_sourcePaths.size() != 1 || m_filePath.isEmpty() || m_privateCopy; }
    // A document shown from a copy of the program's own (a download in its
    // cache, which goes when the program ends) has no file of its own: Save
    // asks for a name rather than write into the copy. A load clears it;
    // a document made from such a copy again (Reload, Duplicate) sets it.
    void setSourceIsPrivateCopy(bool privateCopy) { m_privateCopy = privateCopy; }
    bool sourceIsPrivateCopy() const { return m_privateCopy; }

    // The page setup and the choices of the export, copy and video dialogs;
    // the flag vectors have one entry a frame.
    document::PageSetup& pageSetup() { return m_pageSetup; }
    const document::PageSetup& pageSetup() const { return m_pageSetup; }
    document::ExportChoices& exportChoices() { return m_exportChoices; }
    const document::ExportChoices& exportChoices() const { return m_exportChoices; }
    document::VideoChoices& videoChoices() { return m_videoChoices; }
    const document::VideoChoices& videoChoices() const { return m_videoChoices; }

    static QString dateText(const QString& path);
    static QString documentPath(const QString& path);

signals:
    // The current frame or its pixels changed: views repaint, panes refresh.
    void changed();
    // Only the zoom factor changed: the frame's pixels are as they were, so
    // views scale the picture they hold.
    void zoomChanged();
    // Only the overlays, their switches or the rulers changed: views repaint
    // over the picture they hold.
    void overlaysChanged();
    // The colour new annotations take changed: its swatch repaints.
    void drawingColoursChanged();

private:
    // Makes the document of one file read already; false, the document
    // empty, when the read failed.
    bool takeFile(const QString& path, document::LoadedFile&& file, const document::UserOptions& options);
    // The saved data set's spacing and thickness: what the document measures
    // with when that differs from what its file said.
    void writeMeasuringSpacing(dicom::DicomDataset& saved) const;
    // Appends the data set and frames of one file; false when it adds nothing.
    bool appendFile(const QString& path, const document::UserOptions& options);
    void noteFile(const QString& path);
    void createFrameState(const document::UserOptions& options);
    void addDefaultAnnotations();
    // An overlay list's own undo: the lists as they were before each step.
    struct OverlayUndo {
        std::vector<viewmodel::FrameOverlays> undo;
        std::vector<viewmodel::FrameOverlays> redo;
    };
    bool canUndoOverlay(std::size_t frame) const;
    bool canRedoOverlay(std::size_t frame) const;

    document::UserOptions m_options;
    float m_zoom = 1.0F;
    qint64 m_fileSize = 0;
    QString m_fileDate = QStringLiteral("  ");
    bool m_applyToAll = false;
    bool m_showRulers = false;
    bool m_showAnnotations = true;
    bool m_showMeasurements = true;
    MeasurementStyle m_measurementStyle;
    viewmodel::OverlayFont m_annotationFont;
    std::vector<viewmodel::FrameOverlays> m_overlays;
    std::vector<OverlayUndo> m_overlayUndo;
    std::vector<viewmodel::RulerSetting> m_rulers;
    QString m_fileTitle;
    QString m_filePath;
    QStringList m_sourcePaths;
    bool m_privateCopy = false;
    QString m_saveError;
    bool m_anonymizedExports = true;
    document::PageSetup m_pageSetup;
    document::ExportChoices m_exportChoices;
    document::VideoChoices m_videoChoices;
    document::ColorRef m_annotationColour = document::UserOptions {}.annotationColor;
    std::vector<std::unique_ptr<dicom::DicomDataset>> m_datasets;
    int m_currentDataset = 0;
    std::vector<imaging::FrameImage> m_frames;
    int m_currentFrame = 0;
    bool m_loadOk = false;
    QString m_loadError = document::UnknownFormatMessage;
    double m_headerFrameTime = 0.0;
    double m_frameTime = 66.67;
    std::vector<document::EditHistory> m_history;
    std::pair<double, double> m_pixelSpacing { 0.0, 0.0 };
    std::pair<double, double> m_headerPixelSpacing { 0.0, 0.0 };
    double m_sliceThickness = 0.0;
    double m_headerSliceThickness = 0.0;
    // The pixel aspect ratio the frames of data set 0 were stretched by.
    std::optional<double> m_firstAspectRatio;
};
