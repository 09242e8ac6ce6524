#pragma once

#include "app/Command.h"
#include "document/UserOptions.h"

#include <QMainWindow>
#include <QImage>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QUrl>

#include <memory>

class CChildFrame;
class CommandTable;
class MainFrameActions;
class QAction;
class QComboBox;
class QMdiArea;
class QToolBar;
class RecentFileList;
class SelectFileBar;
class StatusPanes;

// The application's main window: menus, toolbars and status panes around the
// area where document windows live. It shares the application's options
// object, so a change made here is the one written at shutdown.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(document::UserOptions& options, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The main window's title and every message box's: a box titled with the
    // window's title would show the document's name cut short instead.
    static QString programName() { return QStringLiteral("Tolan Viewer"); }

    QAction* exitAction() const { return action(Command::Exit); }
    QAction* action(Command command) const;
    MainFrameActions& actions() const { return *m_actions; }
    CommandTable& commands() const { return *m_commands; }
    QMdiArea* mdiArea() const { return m_mdiArea; }
    StatusPanes& statusPanes() const { return *m_statusPanes; }
    SelectFileBar* selectFileBar() const { return m_selectFileBar; }
    RecentFileList& recentFiles() const { return *m_recentFiles; }
    QComboBox* zoomList() const { return m_zoomList; }
    document::UserOptions& options() const { return m_options; }

    // The active document window, or nullptr.
    CChildFrame* activeChild() const;
    // Shows a new document window maximised and follows what it shows.
    void addChildFrame(CChildFrame* child);
    // The cursor over the active frame, or (-1, -1) when it is elsewhere.
    void showCursor(int column, int row);

    // Tells the select-file bar and the recent list which file is now open.
    void fileOpened(const QString& path);
    // A file that could not be opened leaves the recent list.
    void fileOpenFailed(const QString& path);
    // Re-reads the facts shown in the status panes from the active document.
    void refreshStatusPanes();
    void updateCommandStates();
    // The background colour or pictures may have changed in the options.
    void applyOptions();
    // Opens the local files among dropped URLs; returns how many.
    int openDroppedUrls(const QList<QUrl>& urls);
    // "Select current directory...": the folder chosen becomes the working
    // directory and is selected, or added and scanned, in the select-file bar.
    void selectDirectory(const QString& directory);

signals:
    // Another window became active, or the active one shows another
    // document: what follows the active document attaches to it again.
    void activeDocumentChanged();
    void openRequested(const QString& path);
    // Files shown as one document under this title (a group of Open
    // Multiple Files, several files of File Open); the application sorts
    // them by file name.
    void openAsOneRequested(const QStringList& paths, const QString& title);
    // A file of the program's own (a download in the cache) shown under this
    // title; neither the select-file bar nor the recent files list it.
    void openUnlistedRequested(const QString& path, const QString& title);
    // A file chosen or stepped to in the select-file bar.
    void navigationRequested(const QString& path);
    // A folder new to the select-file bar was chosen: it becomes the start
    // folder of File Open.
    void currentDirectoryChosen(const QString& directory);
    // A picture taken from the clipboard, to become a document of its own.
    void picturePasted(const QImage& picture);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createToolBars();
    QToolBar* createZoomBar();
    // The command shows and hides `bar`, and follows a floating bar closed
    // by its own button.
    void bindToolBarToggle(Command command, QWidget* bar);
    void bindBarToggle(Command command, QWidget* bar);
    void connectCommands();
    // A zoom list entry chosen or typed: a factor, or "fit".
    void chooseZoom(const QString& text);
    void childActivated();
    void restoreBars();
    void saveBarsAndRecentFiles();

    document::UserOptions& m_options;
    QMdiArea* m_mdiArea = nullptr;
    std::unique_ptr<MainFrameActions> m_actions;
    std::unique_ptr<CommandTable> m_commands;
    std::unique_ptr<StatusPanes> m_statusPanes;
    RecentFileList* m_recentFiles = nullptr;
    SelectFileBar* m_selectFileBar = nullptr;
    QComboBox* m_zoomList = nullptr;
    bool m_barsSaved = false;
    QPointer<CChildFrame> m_lastActiveChild;
};
