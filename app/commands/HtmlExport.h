#pragma once

#include "export/ExportTypes.h"

#include <QString>

#include <vector>

class COrvoDoc;
class QWidget;

// One HTML page of a document: directory + name + ".html" (or the page file
// named), its pictures in directory + name + "_files".
struct HtmlExportChoice {
    QString directory;       // ends in "/"
    QString name;            // the file name without extension
    std::vector<int> frames; // 0-based, in order; may be empty
    bool header = true;      // the header table
    bool continual = false;  // pictures numbered 1, 2, ... instead of frame + 1
    int quality = 75;
    exporting::Scaling scaling = exporting::Scaling::Nearest;
    QString pageFile;        // the page's file name in directory; empty: name + ".html"
    QString title;           // the page's title; empty: name
};

// Writes the page and its pictures under a progress window with Cancel.
// The error when the page could not be written (the caller says so, with
// the reason in its detail); pictures that fail only lose their table row.
exporting::Result<void> exportHtmlPage(QWidget* parent, const COrvoDoc& doc, const HtmlExportChoice& choice);
