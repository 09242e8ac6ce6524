#include "app/ToolsPalette.h"

#include "app/ToolIcons.h"
#include "app/commands/CommandTargets.h"
#include "app/commands/ToolIds.h"
#include "document/COrvoDoc.h"
#include "view/COrvoView.h"

#include <QAction>
#include <QColorDialog>
#include <QFrame>
#include <QGridLayout>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>

namespace {

// The button shows what the command table says of its item.
void follow(QToolButton* button, const QAction* item)
{
    button->setEnabled(item->isEnabled());
    button->setChecked(item->isCheckable() && item->isChecked());
}

} // namespace

ToolsPalette::ToolsPalette(CMainFrame& frame, QWidget* parent)
    : QWidget(parent)
    , m_frame(frame)
{
    auto* grid = new QGridLayout(this);
    grid->setSpacing(2);
    const int iconSide = fontMetrics().height() * 3 / 2;
    for (std::size_t i = 0; i < viewmodel::PaletteTools.size(); ++i) {
        const viewmodel::Tool tool = viewmodel::PaletteTools[i];
        const Command command = commandOfTool(tool);
        QAction* item = frame.action(command);
        auto* button = new QToolButton(this);
        m_buttons[i] = button;
        button->setCheckable(true);
        button->setIcon(item->icon().isNull() ? commandIcon(command) : item->icon());
        button->setIconSize(QSize(iconSide, iconSide));
        button->setToolTip(QString::fromUtf8(viewmodel::toolCommand(tool).paletteTooltip.data(),
            static_cast<qsizetype>(viewmodel::toolCommand(tool).paletteTooltip.size())));
        follow(button, item);
        // Not the button's default action: that would take the menu item's
        // tooltip every time the item's state changes.
        connect(item, &QAction::changed, button, [button, item] { follow(button, item); });
        connect(button, &QToolButton::clicked, this, [this, button, item] {
            item->trigger();
            // A click on the tool already chosen leaves the item as it was.
            follow(button, item);
            if (COrvoView* view = activeView(m_frame))
                view->setFocus();
        });
        const int row = static_cast<int>(i / 2);
        if (i + 1 == viewmodel::PaletteTools.size())
            grid->addWidget(button, row, 0, 1, 2, Qt::AlignHCenter);
        else
            grid->addWidget(button, row, static_cast<int>(i % 2));
    }
    const int rows = static_cast<int>((viewmodel::PaletteTools.size() + 1) / 2);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    grid->addWidget(line, rows, 0, 1, 2);
    m_swatch = new QPushButton(tr("Color"), this);
    m_swatch->setToolTip(tr("Select Annotation Color"));
    grid->addWidget(m_swatch, rows + 1, 0, 1, 2);
    grid->setRowStretch(rows + 2, 1);
    connect(m_swatch, &QPushButton::clicked, this, &ToolsPalette::chooseColour);
    connect(&frame, &CMainFrame::activeDocumentChanged, this, &ToolsPalette::followActiveDocument);
    followActiveDocument();
}

QToolButton* ToolsPalette::button(viewmodel::Tool tool) const
{
    const auto* place = std::find(viewmodel::PaletteTools.begin(), viewmodel::PaletteTools.end(), tool);
    return place == viewmodel::PaletteTools.end() ? nullptr : m_buttons[static_cast<std::size_t>(place - viewmodel::PaletteTools.begin())];
}

void ToolsPalette::followActiveDocument()
{
    disconnect(m_followed);
    if (COrvoDoc* doc = activeView(m_frame) ? activeDocument(m_frame) : nullptr)
        m_followed = connect(doc, &COrvoDoc::drawingColoursChanged, this, &ToolsPalette::refreshSwatch);
    refreshSwatch();
}

void ToolsPalette::refreshSwatch()
{
    const COrvoDoc* doc = activeView(m_frame) ? activeDocument(m_frame) : nullptr;
    QPalette colours = palette();
    if (doc) {
        const document::ColorRef c = doc->annotationColour();
        const QColor face(document::redOf(c), document::greenOf(c), document::blueOf(c));
        colours.setColor(QPalette::Button, face);
        // The label stays readable on a dark or a light colour.
        colours.setColor(QPalette::ButtonText, face.lightness() < 128 ? Qt::white : Qt::black);
    }
    m_swatch->setPalette(colours);
    m_swatch->setEnabled(doc != nullptr);
}

void ToolsPalette::chooseColour()
{
    COrvoDoc* doc = activeView(m_frame) ? activeDocument(m_frame) : nullptr;
    if (!doc)
        return;
    const document::ColorRef c = doc->annotationColour();
    const QColor chosen = QColorDialog::getColor(
        QColor(document::redOf(c), document::greenOf(c), document::blueOf(c)), this);
    if (!chosen.isValid())
        return;
    doc->setAnnotationColour(document::makeColorRef(chosen.red(), chosen.green(), chosen.blue()));
}
