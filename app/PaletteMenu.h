#pragma once

#include "document/COrvoDoc.h"
#include "imaging/CustomPalette.h"

#include <QList>
#include <QObject>

#include <cstddef>
#include <optional>

class CMainFrame;
class QAction;
class QMenu;

// The user palettes of this session and the "Custom &Palettes" submenu that
// offers them: one item per palette in list order, or the placeholder item
// alone when there is none. The list is read from the palette folders when
// the menu is made and grows as palettes are saved.
class PaletteMenu : public QObject {
    Q_OBJECT
public:
    // `submenu` holds `placeholder` ("(Not Found)") as the table made it.
    PaletteMenu(CMainFrame& frame, QMenu& submenu, QAction& placeholder);

    const imaging::CustomPaletteList& palettes() const { return m_palettes; }
    QMenu& submenu() const { return m_submenu; }
    // The palette items, in list order; empty when the placeholder shows.
    const QList<QAction*>& items() const { return m_items; }

    // Shows palette number (0..10 built in, 11 + k custom) on the grey frames
    // the active document's edit covers, one undoable step per frame.
    int applyPalette(int number, COrvoDoc::Scope scope = COrvoDoc::Scope::InScope);
    // Custom palette k on every grey frame when the document's frames agree
    // in size and colour, whatever "Apply to all" says, else on the current
    // frame; remembers k for the check mark.
    int applyCustom(std::size_t index);

    // Saves `palette` to `file`; on success it joins the list and the menu.
    // A failure is told to the user.
    bool save(const QString& file, const imaging::CustomPalette& palette);

    // Enables the items while the current frame is grey and checks the one
    // last chosen while that frame shows a custom palette.
    void updateItems();
    // Replaces the items by one per palette of the list.
    void rebuild();

private:
    CMainFrame& m_frame;
    QMenu& m_submenu;
    QAction& m_placeholder;
    imaging::CustomPaletteList m_palettes;
    QList<QAction*> m_items;
};
