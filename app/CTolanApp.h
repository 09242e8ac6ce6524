#pragma once

#include "app/PendingRequest.h"
#include "document/UserOptions.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

class CChildFrame;
class CMainFrame;
class COrvoDoc;

// The application object: owns the one options object, the pending request
// and the main frame, and handles the commands that need no document.
class CTolanApp : public QObject {
    Q_OBJECT
public:
    // Reads the settings: the current directory, then every user option.
    CTolanApp();
    // Closes the main frame first, then writes every user option back.
    ~CTolanApp() override;

    // A hidden start-up option for timing: firstFramePainted() is emitted
    // once the command-line file's first frame is on the screen (or once the
    // main window shows, without a file), and the program ends then.
    static constexpr const char* QuitAfterPaintOption = "--quit-after-paint";

    // Creates the main frame and opens the files named on the command line,
    // each as a document of its own. False when files were named and none
    // of them could be opened: the program then ends.
    bool start(const QStringList& arguments);
    bool quitAfterPaint() const { return m_quitAfterPaint; }

    document::UserOptions& options() { return m_options; }
    CMainFrame* mainFrame() const { return m_mainFrame.get(); }
    PendingRequest& pending() { return m_pending; }
    QString currentDirectory() const { return m_currentDirectory; }
    void setCurrentDirectory(const QString& directory);
    // The "AnonExports" option: what documents take at load, and what the
    // toggle shows without a document.
    bool anonymizedExports() const { return m_options.anonExports != 0; }

    // Opens one file as a document; false when nothing could be shown.
    bool openDocumentFile(const QString& path);
    // Opens a file stepped to in a folder in the active window, in place
    // of its document (a new window when there is none), so walking a
    // series leaves one window, not one a file. Unsaved edits are asked
    // about first; false when nothing was shown (yet).
    bool navigateToFile(const QString& path);
    // Runs "New": builds a document from the pending request; without one,
    // an empty document.
    void newDocument();
    // "Insert Clipboard contents": the picture becomes a secondary-capture
    // document of its own.
    void pastePicture(const QImage& picture);
    // Opens the files as one document with this title (through the pending
    // request and "New"); the main frame is told the first file.
    void openAsOne(const QStringList& paths, const QString& title);

    // The text the open window showed for the last failed open.
    QString lastOpenMessage() const { return m_lastOpenMessage; }

    static constexpr int BuildNumber = 12377;

signals:
    void firstFramePainted();

private:
    bool openCommandLineFiles(const QStringList& files);
    void newDocumentOfFiles();
    void newDocumentOfPictures();
    // "Dicom1", "Dicom2", ...: the names of documents made without a file.
    QString nextNewTitle();
    void watchFirstPaint();
    void connectCommands();
    void openFiles();
    void showAbout();
    void reopenActiveDocument(bool closeOld);
    bool showDocument(std::shared_ptr<COrvoDoc> document);
    // The navigated file in `window`, or in a new one without it.
    bool showNavigatedFile(const QString& path, QPointer<CChildFrame> window);
    // Loads a file behind the "opening" window; null, with the failure
    // shown, when it cannot be read.
    std::shared_ptr<COrvoDoc> loadDocument(const QString& path);

    document::UserOptions m_options;
    PendingRequest m_pending;
    QString m_currentDirectory;
    QString m_lastOpenMessage;
    bool m_quitAfterPaint = false;
    int m_newDocumentCount = 0;
    std::unique_ptr<CMainFrame> m_mainFrame;
};
