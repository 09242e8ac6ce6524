#pragma once

// The shell's commands, one registration per feature. Each adds what its
// commands run and when they are enabled to the main frame's command table.

#include <functional>

class CMainFrame;
class CommandTable;

// Undo and Redo of the active document's current frame (every frame while
// "Apply to all frames" is on), enabled by what that frame can take back.
void addEditCommands(CommandTable& table, CMainFrame& frame);
// Unselect, Inverse Selection, Clear and Crop To Selection on the active
// document's frames in scope, enabled by the current frame's selection.
void addSelectionCommands(CommandTable& table, CMainFrame& frame);
// The commands that choose the image view's tool, the movie commands and
// the frame time, and "Select drawing color" for the active tool.
void addToolCommands(CommandTable& table, CMainFrame& frame);
// Fit, actual size, and back and forth through the view's zoom history.
void addZoomCommands(CommandTable& table, CMainFrame& frame);
// The current frame, the image and header tabs, "Apply to all" and the
// anonymized-exports switch of the active document.
void addDocumentCommands(CommandTable& table, CMainFrame& frame);
// The files of the current directory, the document windows and Exit.
void addWindowCommands(CommandTable& table, CMainFrame& frame);
// "All Frames": the frames of the active document as thumbnails to choose from.
void addFrameListCommands(CommandTable& table, CMainFrame& frame);
// "Info...", "Histogram..." and "Pixel Spacing Setup..." over the active
// document, enabled while its current frame holds an image.
void addImageInfoCommands(CommandTable& table, CMainFrame& frame);
// The annotation, measurement and ruler switches and "Rulers Setup...".
void addOverlayCommands(CommandTable& table, CMainFrame& frame);
// "R&otate Canvas" and "&Resample..." on the active document's frames in
// scope, enabled while its current frame holds an image.
void addGeometryCommands(CommandTable& table, CMainFrame& frame);
// Inverse, Thresholding, Brightness - Contrast and Remove Burned In
// Annotations on the active document's frames in scope, enabled while its
// current frame holds an image; "Auto Levels" has no command.
void addIntensityCommands(CommandTable& table, CMainFrame& frame);
// The "&Color" menu: the built-in palettes, "&View Palettes...", "&Extract
// Palette..." and the user's palettes in "Custom &Palettes".
void addPaletteCommands(CommandTable& table, CMainFrame& frame);
// "&Save\tCtrl+S" (with the overwrite guard) and "Save &As..." of the active
// document, enabled while its current frame holds an image.
void addSaveCommands(CommandTable& table, CMainFrame& frame);
// Saves the active document as "&Save" does, asking for a name where it
// needs one; `done` learns whether it was written (false when the user
// cancelled, the file was refused or the write failed).
void saveActiveDocument(CMainFrame& frame, const std::function<void(bool saved)>& done);

// "&Anonymize..." of the active document's file, "&Batch Anonymize..." and
// "Anonymizing &Options...".
void addAnonymizeCommands(CommandTable& table, CMainFrame& frame);

// "Export as &TIFF...", "Export as &JPEG...", "Export as &BMP...", "Export
// as &Raw file..." of the active document's current frame at its zoom, and
// "Export &frames...", enabled while the current frame holds an image.
void addExportCommands(CommandTable& table, CMainFrame& frame);
// "Export as &HTML...": the active document's page and its pictures.
void addHtmlExportCommands(CommandTable& table, CMainFrame& frame);
// "Pag&e Setup...", "&Print...", "Print Pre&view" and "View Report", and
// "P&rint Setup..." of the one printer the first two use.
void addPrintCommands(CommandTable& table, CMainFrame& frame);
// The Copy items of the Edit menu: pictures and RTF reports on the clipboard.
void addClipboardCommands(CommandTable& table, CMainFrame& frame);
// "Export as &AVI...": the included frames of a document of several frames
// as a movie, after "Video Setup".
void addAviCommands(CommandTable& table, CMainFrame& frame);
// "&Directory Contents..." (shows or hides its modeless window) and
// "&Search...": a folder's DICOM files, all or those matching the criteria,
// each opened as a document of its own.
void addDirectoryCommands(CommandTable& table, CMainFrame& frame);
// "&Batch Convert...": the files found by a folder scan, every frame of each
// as a TIFF, JPEG, BMP or raw picture, or each file as an HTML page.
void addBatchConvertCommands(CommandTable& table, CMainFrame& frame);
// "Open by &Header...": the "Open File" dialog's folder tree and header list;
// the file chosen opens as a document titled with its file name.
void addOpenCommands(CommandTable& table, CMainFrame& frame);
// "Open &Multiple Files...": a folder's DICOM files sorted into groups by
// header keys, a group or rows of it opened as one document.
void addOpenMultipleCommands(CommandTable& table, CMainFrame& frame);
// "&Preferences...": every user option edited in memory; open windows take
// the new colours and ruler start.
void addPreferencesCommands(CommandTable& table, CMainFrame& frame);
// "&System Info...": the display, memory, disk, system and OpenGL report.
void addSystemInfoCommands(CommandTable& table, CMainFrame& frame);
// "Calculat&or...": the first desktop calculator installed; disabled without one.
void addCalculatorCommands(CommandTable& table, CMainFrame& frame);
// "Open from &Internet...": a file fetched from an HTTP, HTTPS or FTP address
// off the interface thread, saved locally when the user wants, and opened.
void addInternetCommands(CommandTable& table, CMainFrame& frame);
