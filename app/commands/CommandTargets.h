#pragma once

// What the commands act on: the active child window's image view and document.

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/Settings.h"
#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"

#include <QSettings>
#include <QString>

#include <memory>

class COrvoView;

inline COrvoView* activeView(const CMainFrame& frame)
{
    const CChildFrame* child = frame.activeChild();
    return child ? child->imageView() : nullptr;
}

inline COrvoDoc* activeDocument(const CMainFrame& frame)
{
    const CChildFrame* child = frame.activeChild();
    return child ? &child->document() : nullptr;
}

// The active document while its current frame holds an image, which every
// pixel command needs; none otherwise.
inline COrvoDoc* documentWithImage(const CMainFrame& frame)
{
    COrvoDoc* doc = activeDocument(frame);
    const imaging::FrameImage* image = doc ? doc->frame() : nullptr;
    return image && image->sampleDepth() != 0 ? doc : nullptr;
}

// The folder the folder dialogs start in: the working directory the program
// started with, then each folder the user makes current.
inline std::shared_ptr<QString> followWorkingDirectory(CMainFrame& frame)
{
    auto folder = std::make_shared<QString>();
    if (auto store = settings::open())
        *folder = settings::readString(*store, settings::SettingsGroup, settings::CurrentWorkingDirectory);
    QObject::connect(&frame, &CMainFrame::currentDirectoryChosen, &frame,
                     [folder](const QString& directory) { *folder = directory; });
    return folder;
}
