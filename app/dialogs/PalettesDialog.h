#pragma once

#include "imaging/PaletteTable.h"

#include <QDialog>

#include <optional>

class QListWidget;
class QPushButton;
class QWidget;
namespace imaging {
class CustomPaletteList;
}

// "Palettes": the built-in palettes by number, then the user's, with a strip
// of the chosen palette's 256 colours.
class PalettesDialog : public QDialog {
    Q_OBJECT
public:
    PalettesDialog(const imaging::CustomPaletteList& custom, int number, QWidget* parent = nullptr);

    // The palette number chosen with "Select", or none on "Cancel".
    static std::optional<int> ask(const imaging::CustomPaletteList& custom, int number, QWidget* parent);

    int chosen() const;
    // The colours the strip shows.
    const imaging::PaletteTable& shownTable() const { return m_table; }
    QListWidget* list() const { return m_list; }
    QPushButton* selectButton() const { return m_select; }

private:
    void showPalette(int number);

    const imaging::CustomPaletteList& m_custom;
    imaging::PaletteTable m_table = imaging::PaletteTable::grayscale();
    QListWidget* m_list = nullptr;
    QWidget* m_strip = nullptr;
    QPushButton* m_select = nullptr;
};
