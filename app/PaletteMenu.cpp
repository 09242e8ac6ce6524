#include "app/PaletteMenu.h"

#include "app/CMainFrame.h"
#include "app/FrameJob.h"
#include "app/PaletteFiles.h"
#include "app/commands/CommandTargets.h"
#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "imaging/Palettes.h"

#include <QAction>
#include <QMenu>
#include <QMessageBox>

namespace {

bool isGrey(const imaging::FrameImage* image)
{
    return image && image->sampleDepth() != 0 && image->kind() == imaging::SampleKind::Grey;
}

} // namespace

PaletteMenu::PaletteMenu(CMainFrame& frame, QMenu& submenu, QAction& placeholder)
    : QObject(&frame)
    , m_frame(frame)
    , m_submenu(submenu)
    , m_placeholder(placeholder)
{
    setObjectName(QStringLiteral("PaletteMenu"));
    loadCustomPalettes(m_palettes);
    connect(&m_submenu, &QMenu::aboutToShow, this, &PaletteMenu::updateItems);
    rebuild();
}

int PaletteMenu::applyPalette(int number, COrvoDoc::Scope scope)
{
    COrvoDoc* doc = activeDocument(m_frame);
    if (!doc)
        return 0;
    // setPalette refuses RGB frames: a 24-bit bitmap has no colour table.
    return runFrameJob(&m_frame, *doc, [this, number](imaging::FrameImage& image) {
        return imaging::setPalette(image, number, m_palettes);
    }, scope);
}

int PaletteMenu::applyCustom(std::size_t index)
{
    COrvoDoc* doc = activeDocument(m_frame);
    if (!doc || index >= m_palettes.size())
        return 0;
    m_palettes.setLastChosen(index);
    return applyPalette(imaging::kFirstCustomPalette + static_cast<int>(index), COrvoDoc::Scope::AgreeingFrames);
}

bool PaletteMenu::save(const QString& file, const imaging::CustomPalette& palette)
{
    if (!saveCustomPalette(m_palettes, file, palette)) {
        QMessageBox::warning(&m_frame, CMainFrame::programName(), tr("I can n't create the file!    "));
        return false;
    }
    rebuild();
    return true;
}

void PaletteMenu::updateItems()
{
    const COrvoDoc* doc = activeDocument(m_frame);
    const imaging::FrameImage* image = doc ? doc->frame() : nullptr;
    const bool grey = isGrey(image);
    const bool custom = grey && imaging::getPalette(*image) == imaging::kFirstCustomPalette;
    const auto chosen = m_palettes.lastChosen();
    for (qsizetype k = 0; k < m_items.size(); ++k) {
        m_items[k]->setEnabled(grey);
        m_items[k]->setChecked(custom && chosen == static_cast<std::size_t>(k));
    }
}

void PaletteMenu::rebuild()
{
    qDeleteAll(m_items);
    m_items.clear();
    if (m_palettes.empty()) {
        if (!m_submenu.actions().contains(&m_placeholder))
            m_submenu.addAction(&m_placeholder);
        return;
    }
    m_submenu.removeAction(&m_placeholder);
    for (std::size_t k = 0; k < m_palettes.size(); ++k) {
        // A '&' in a name is shown, not taken as the item's key.
        QString text = QString::fromStdString(m_palettes.at(k)->name);
        auto* item = m_submenu.addAction(text.replace(QLatin1Char('&'), QStringLiteral("&&")));
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, k] {
            applyCustom(k);
            m_frame.updateCommandStates();
        });
        m_items.append(item);
    }
    updateItems();
}
