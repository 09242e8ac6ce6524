#include "app/dialogs/InfoDialog.h"

#include "app/dialogs/PixelSpacingDialog.h"
#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "imaging/Statistics.h"
#include "view/model/RoiStatistics.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <iterator>
#include <vector>

namespace {

struct Column {
    const char* title;
    int width;
};

constexpr Column Columns[] = {
    { "Frame", 80 }, { "Voxels", 80 }, { "Mean Value", 90 }, { "Std Deviation", 100 }, { "Area (cm2)", 100 },
    { "Volume (cm3)", 100 },
};

viewmodel::FrameFigures figuresOf(const imaging::FrameImage& frame)
{
    const bool selected = frame.hasSelection();
    const std::uint64_t all = static_cast<std::uint64_t>(frame.width()) * static_cast<std::uint64_t>(frame.height());
    return { selected ? frame.selectionPixelCount() : all, imaging::mean(frame).value_or(0.0),
             imaging::standardDeviation(frame).value_or(0.0), selected };
}

QLineEdit* readOnlyField(QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setReadOnly(true);
    return field;
}

QString textOf(double value) { return QLocale::c().toString(value, 'g', 10); }

} // namespace

InfoDialog::InfoDialog(COrvoDoc& document, QWidget* parent)
    : QDialog(parent)
    , m_document(document)
{
    setWindowTitle(tr("Info"));
    m_list = new QTableWidget(0, static_cast<int>(std::size(Columns)), this);
    for (int i = 0; i < m_list->columnCount(); ++i) {
        m_list->setHorizontalHeaderItem(i, new QTableWidgetItem(tr(Columns[i].title)));
        m_list->setColumnWidth(i, Columns[i].width);
    }
    m_list->verticalHeader()->hide();
    m_list->setShowGrid(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setMinimumWidth(560);
    m_spacingX = readOnlyField(this);
    m_spacingY = readOnlyField(this);
    m_thickness = readOnlyField(this);
    m_setSpacing = new QPushButton(tr("Set Pixel Spacing and Slice Thickness..."), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);

    auto* fields = new QFormLayout;
    fields->addRow(tr("Pixel Spacing X:"), m_spacingX);
    fields->addRow(tr("Pixel Spacing Y:"), m_spacingY);
    fields->addRow(tr("Slice Thickness:"), m_thickness);
    fields->addRow(m_setSpacing);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(fields);
    layout->addWidget(buttons);

    connect(m_setSpacing, &QPushButton::clicked, this, &InfoDialog::editSpacing);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    refresh();
}

void InfoDialog::refresh()
{
    const auto [row, column] = m_document.pixelSpacing();
    const viewmodel::VoxelSize size { row, column, m_document.sliceThickness() };
    m_spacingX->setText(textOf(column));
    m_spacingY->setText(textOf(row));
    m_thickness->setText(textOf(size.thickness));

    std::vector<viewmodel::FrameFigures> figures;
    for (int i = 0; i < m_document.frameCount(); ++i)
        figures.push_back(figuresOf(*m_document.frame(i)));
    const std::vector<viewmodel::InfoRow> rows = viewmodel::infoRows(figures, size);
    m_list->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < m_list->rowCount(); ++r) {
        const viewmodel::InfoRow& info = rows[static_cast<std::size_t>(r)];
        const std::string* cells[] = { &info.frame, &info.voxels, &info.mean, &info.deviation, &info.area, &info.volume };
        for (int c = 0; c < m_list->columnCount(); ++c)
            m_list->setItem(r, c, new QTableWidgetItem(QString::fromStdString(*cells[c])));
    }
}

void InfoDialog::editSpacing()
{
    const auto [row, column] = m_document.pixelSpacing();
    const auto [headerRow, headerColumn] = m_document.headerPixelSpacing();
    const auto chosen = PixelSpacingDialog::ask({ row, column, m_document.sliceThickness() },
                                                { headerRow, headerColumn, m_document.headerSliceThickness() }, this);
    if (!chosen)
        return;
    m_document.setVoxelSize({ chosen->row, chosen->column }, chosen->thickness);
    refresh();
}

void InfoDialog::showFor(COrvoDoc& document, QWidget* parent)
{
    InfoDialog dialog(document, parent);
    dialog.exec();
}
