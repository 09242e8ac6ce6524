#include "app/dialogs/AnnotationDialog.h"

#include "app/dialogs/DicomTagsDialog.h"
#include "document/OverlayText.h"
#include "view/model/BoundedText.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

std::optional<QFont> systemFontDialog(const QFont& initial, QWidget* parent)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parent);
    return ok ? std::optional<QFont>(font) : std::nullopt;
}

std::optional<QColor> systemColourDialog(const QColor& initial, QWidget* parent)
{
    const QColor colour = QColorDialog::getColor(initial, parent);
    return colour.isValid() ? std::optional<QColor>(colour) : std::nullopt;
}

} // namespace

AnnotationDialog::AnnotationDialog(Mode mode, const AnnotationDraft& start, bool applyToAllAvailable,
                                   const QFont& fontDialogStart, const dicom::DicomDataset* dataset, QWidget* parent)
    : QDialog(parent)
    , m_dataset(dataset)
    , m_font(start.font)
    , m_colour(start.colour)
    , m_fontDialogStart(fontDialogStart)
    , m_pickFont(systemFontDialog)
    , m_pickColour(systemColourDialog)
    , m_pickValue([](const dicom::DicomDataset& data, QWidget* owner) { return DicomTagsDialog::pickValue(data, owner); })
{
    setWindowTitle(mode == Mode::Add ? tr("Add Annotation") : tr("Edit Annotation"));

    m_text = new QPlainTextEdit(start.text, this);
    // Tab moves on to the buttons; a line break is what Enter is for here.
    m_text->setTabChangesFocus(true);
    m_fontButton = new QPushButton(tr("Font..."), this);
    m_colourButton = new QPushButton(tr("Color..."), this);
    m_fromHeader = new QPushButton(tr("From Header..."), this);
    m_fromHeader->setEnabled(dataset != nullptr);
    m_applyToAll = new QCheckBox(tr("Apply to all frames"), this);
    m_applyToAll->setChecked(start.applyToAll);
    m_applyToAll->setEnabled(applyToAllAvailable);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* side = new QVBoxLayout;
    for (QPushButton* button : { m_fontButton, m_colourButton, m_fromHeader })
        side->addWidget(button);
    side->addStretch();
    auto* layout = new QGridLayout(this);
    layout->addWidget(m_text, 0, 0);
    layout->addLayout(side, 0, 1);
    layout->addWidget(m_applyToAll, 1, 0, 1, 2);
    layout->addWidget(buttons, 2, 0, 1, 2);

    connect(m_fontButton, &QPushButton::clicked, this, &AnnotationDialog::pickFont);
    connect(m_colourButton, &QPushButton::clicked, this, &AnnotationDialog::pickColour);
    connect(m_fromHeader, &QPushButton::clicked, this, &AnnotationDialog::pickFromHeader);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // Typing replaces an existing text at once, as an edit usually rewrites it.
    m_text->selectAll();
    m_text->setFocus();
}

void AnnotationDialog::setPickers(FontPicker font, ColourPicker colour, ValuePicker value)
{
    m_pickFont = std::move(font);
    m_pickColour = std::move(colour);
    m_pickValue = std::move(value);
}

AnnotationDraft AnnotationDialog::draft() const
{
    const std::string text = viewmodel::boundedUtf8(m_text->toPlainText().toStdString(), viewmodel::AnnotationTextLimit);
    return { m_font, m_colour, overlaytext::toQString(text), m_applyToAll->isEnabled() && m_applyToAll->isChecked() };
}

void AnnotationDialog::pickFont()
{
    if (const auto font = m_pickFont(m_chosenFont.value_or(m_fontDialogStart), this)) {
        m_chosenFont = font;
        m_font = overlaytext::fromQFont(*font);
    }
}

void AnnotationDialog::pickColour()
{
    if (const auto colour = m_pickColour(overlaytext::toQColor(m_colour), this))
        m_colour = overlaytext::fromQColor(*colour);
}

void AnnotationDialog::pickFromHeader()
{
    if (m_dataset == nullptr)
        return;
    if (const auto value = m_pickValue(*m_dataset, this))
        m_text->setPlainText(*value);
}

std::optional<overlayedits::AnnotationAnswer> AnnotationDialog::prompt(QWidget* parent,
                                                                      const overlayedits::AnnotationRequest& request)
{
    AnnotationDialog dialog(request.editing ? Mode::Edit : Mode::Add, request.start, request.applyToAllAvailable,
                            request.fontDialogStart, request.dataset, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return overlayedits::AnnotationAnswer { dialog.draft(), dialog.chosenFont() };
}
