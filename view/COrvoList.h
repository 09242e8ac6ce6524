#pragma once

#include <QTreeWidget>

class COrvoDoc;

// The header view: one row per element of the document's current data set,
// group lengths included, in the five columns of the header listing.
class COrvoList : public QTreeWidget {
    Q_OBJECT
public:
    explicit COrvoList(COrvoDoc& document, QWidget* parent = nullptr);

    // Re-reads the rows from the current data set.
    void fill();

private:
    COrvoDoc& m_document;
    const void* m_shownDataset = nullptr;
};
