#pragma once

// The category tabs and the tag, name and value table that show a data
// set's header in "Dicom Tags" and "Open File".

namespace dicom {
struct DicomDataset;
}

class QTabBar;
class QTableWidget;
class QWidget;

namespace headertable {

enum Column { TagColumn, NameColumn, ValueColumn, ColumnCount };
inline constexpr int TagWidth = 100;
inline constexpr int ValueWidth = 400;

// "All", "Patient", "Study", "Physician", "Image"; "All" first, where the dialogs open.
QTabBar* makeCategoryTabs(QWidget* parent);
// The header view's font and row height; the Tag column grows where the
// font stands in for a wider one, so that no tag is cut.
QTableWidget* makeTable(QWidget* parent, int nameWidth);
// The rows of the tab's category; none without a data set.
void fill(QTableWidget& table, const dicom::DicomDataset* dataset, int tab);

} // namespace headertable
