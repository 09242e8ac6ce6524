#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

// What the next "New" turns into a document: files shown as one document, or
// pictures pasted from the clipboard.
struct PendingRequest {
    QStringList files;
    QString title;
    std::vector<QImage> pictures;
    // The files are copies of the program's own (a download in its cache):
    // the document has no file of its own to save to.
    bool privateCopy = false;

    void clear()
    {
        files.clear();
        title.clear();
        pictures.clear();
        privateCopy = false;
    }
};
