#include "app/dialogs/PixelSpacingDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

std::optional<double> valueOf(const QLineEdit* edit)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(edit->text().trimmed(), &ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

// Enough digits for spacings such as 0.661468 to come back unchanged.
QString textOf(double value) { return QLocale::c().toString(value, 'g', 10); }

QGroupBox* group(const QString& title, std::initializer_list<std::pair<QString, QLineEdit*>> rows, QWidget* parent)
{
    auto* box = new QGroupBox(title, parent);
    auto* form = new QFormLayout(box);
    for (const auto& [label, edit] : rows)
        form->addRow(label, edit);
    return box;
}

} // namespace

PixelSpacingDialog::PixelSpacingDialog(const Parameters& current, const Parameters& header, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Pixel spacing and slice thikness"));
    m_horizontal = new QLineEdit(this);
    m_vertical = new QLineEdit(this);
    m_thickness = new QLineEdit(this);
    m_fromHeader = new QPushButton(tr("From Header"), this);
    m_fromHeader->setEnabled(header.row != 0.0 && header.column != 0.0 && header.thickness != 0.0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group(tr("Pixel Spacing"), { { tr("Horizontal (mm)"), m_horizontal }, { tr("Vertical (mm)"), m_vertical } }, this));
    layout->addWidget(group(tr("Slice Thickness"), { { tr("Thickness (mm)"), m_thickness } }, this));
    layout->addWidget(m_fromHeader);
    layout->addWidget(buttons);

    for (QLineEdit* edit : { m_horizontal, m_vertical, m_thickness })
        connect(edit, &QLineEdit::textChanged, this, [this] { m_ok->setEnabled(parameters().has_value()); });
    connect(m_fromHeader, &QPushButton::clicked, this, [this, header] { fill(header); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (parameters())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    fill(current);
}

void PixelSpacingDialog::fill(const Parameters& values)
{
    m_horizontal->setText(textOf(values.column));
    m_vertical->setText(textOf(values.row));
    m_thickness->setText(textOf(values.thickness));
}

std::optional<PixelSpacingDialog::Parameters> PixelSpacingDialog::parameters() const
{
    const auto column = valueOf(m_horizontal);
    const auto row = valueOf(m_vertical);
    const auto thickness = valueOf(m_thickness);
    if (!column || !row || !thickness || !viewmodel::isValidSpacing(*column) || !viewmodel::isValidSpacing(*row)
        || !std::isfinite(*thickness) || *thickness < 0.0)
        return std::nullopt;
    return Parameters { *row, *column, *thickness };
}

std::optional<PixelSpacingDialog::Parameters> PixelSpacingDialog::ask(const Parameters& current,
                                                                      const Parameters& header, QWidget* parent)
{
    PixelSpacingDialog dialog(current, header, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.parameters();
}
