#include "app/dialogs/PalettesDialog.h"

#include "imaging/CustomPalette.h"
#include "imaging/Palettes.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int StripHeight = 32;

// 256 one-pixel columns, one per palette entry, centred in the widget.
class PaletteStrip : public QWidget {
public:
    PaletteStrip(const imaging::PaletteTable& table, QWidget* parent)
        : QWidget(parent)
        , m_table(table)
    {
        setFixedHeight(StripHeight);
        setMinimumWidth(256);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const int left = (width() - 256) / 2;
        for (int i = 0; i < 256; ++i) {
            const imaging::PaletteEntry& e = m_table.entries[static_cast<std::size_t>(i)];
            painter.setPen(QColor(e.red, e.green, e.blue));
            painter.drawLine(left + i, 0, left + i, height() - 1);
        }
    }

private:
    const imaging::PaletteTable& m_table;
};

} // namespace

PalettesDialog::PalettesDialog(const imaging::CustomPaletteList& custom, int number, QWidget* parent)
    : QDialog(parent)
    , m_custom(custom)
{
    setWindowTitle(tr("Palettes"));
    m_list = new QListWidget(this);
    for (int n = 0; n < imaging::kBuiltInPaletteCount; ++n) {
        const std::string_view name = imaging::builtInPaletteName(n);
        m_list->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    for (const imaging::CustomPalette& palette : custom.palettes())
        m_list->addItem(QString::fromStdString(palette.name));
    m_strip = new PaletteStrip(m_table, this);
    auto* buttons = new QDialogButtonBox(this);
    m_select = buttons->addButton(tr("Select"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(m_strip);
    layout->addWidget(buttons);

    connect(m_list, &QListWidget::currentRowChanged, this, &PalettesDialog::showPalette);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const bool known = number >= 0 && number < m_list->count();
    m_list->setCurrentRow(known ? number : imaging::kGrayscalePalette);
}

void PalettesDialog::showPalette(int number)
{
    if (const imaging::PaletteTable* table = imaging::builtInPalette(number))
        m_table = *table;
    else if (const imaging::CustomPalette* palette
             = number >= imaging::kFirstCustomPalette
                 ? m_custom.at(static_cast<std::size_t>(number - imaging::kFirstCustomPalette))
                 : nullptr)
        m_table = palette->table();
    m_select->setEnabled(number >= 0);
    m_strip->update();
}

int PalettesDialog::chosen() const { return m_list->currentRow(); }

std::optional<int> PalettesDialog::ask(const imaging::CustomPaletteList& custom, int number, QWidget* parent)
{
    PalettesDialog dialog(custom, number, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.chosen() < 0)
        return std::nullopt;
    return dialog.chosen();
}
