#pragma once

#include "export/ExportTypes.h"

#include <QString>

#include <vector>

class COrvoDoc;
class QWidget;

// One HTML page of a document: directory + name + ".html", its pictures in
// directory + name + "_files".
struct HtmlExportChoice {
    QString directory;       // ends in "/"
    QString name;            // the file name without extension
    std::vector<int> frames; // 0-based, in order; may be empty
    bool header = true;      // the header table
    bool continual = false;  // pictures numbered 1, 2, ... instead of frame + 1
    int quality = 75;
    exporting::Scaling scaling = exporting::Scaling::Nearest;
};

// Writes the page and its pictures under a progress window with Cancel.
// False when the page could not be written (the caller says so); pictures
// that fail only lose their table row.
bool exportHtmlPage(QWidget* parent, const COrvoDoc& doc, const HtmlExportChoice& choice);
