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

    void clear()
    {
        files.clear();
        title.clear();
        pictures.clear();
    }
};
