#include "app/dialogs/RulersSetupDialog.h"

#include "document/OverlayText.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <array>

namespace {

using viewmodel::RulerCorner;

struct CornerChoice {
    const char* label;
    RulerCorner corner;
};

constexpr std::array CornerChoices = {
    CornerChoice { QT_TRANSLATE_NOOP("RulersSetupDialog", "Upper left"), RulerCorner::UpperLeft },
    CornerChoice { QT_TRANSLATE_NOOP("RulersSetupDialog", "Lower left"), RulerCorner::LowerLeft },
    CornerChoice { QT_TRANSLATE_NOOP("RulersSetupDialog", "Upper right"), RulerCorner::UpperRight },
    CornerChoice { QT_TRANSLATE_NOOP("RulersSetupDialog", "Lower right"), RulerCorner::LowerRight },
};

constexpr QSize SwatchSize { 48, 22 };

} // namespace

RulersSetupDialog::RulersSetupDialog(viewmodel::RulerSetting current,
                                     std::function<void(viewmodel::RulerSetting)> setAsDefault, QWidget* parent)
    : QDialog(parent)
    , m_colour(current.colour)
    , m_storeDefault(std::move(setAsDefault))
    , m_pickColour([](const QColor& initial, QWidget* owner) {
        const QColor colour = QColorDialog::getColor(initial, owner);
        return colour.isValid() ? std::optional<QColor>(colour) : std::nullopt;
    })
{
    setWindowTitle(tr("Rulers setup"));

    auto* startBox = new QGroupBox(tr("Start of axis"), this);
    auto* startLayout = new QVBoxLayout(startBox);
    m_corners = new QButtonGroup(this);
    for (const CornerChoice& choice : CornerChoices) {
        auto* button = new QRadioButton(tr(choice.label), startBox);
        m_corners->addButton(button, static_cast<int>(choice.corner));
        startLayout->addWidget(button);
    }
    cornerButton(current.corner)->setChecked(true);

    m_swatch = new QFrame(this);
    m_swatch->setFrameShape(QFrame::Box);
    m_swatch->setFixedSize(SwatchSize);
    m_swatch->setAutoFillBackground(true);
    m_select = new QPushButton(tr("Select..."), this);
    m_setAsDefault = new QPushButton(tr("Set as default"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* colourRow = new QHBoxLayout;
    colourRow->addWidget(m_swatch);
    colourRow->addWidget(m_select);
    colourRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(startBox);
    layout->addLayout(colourRow);
    layout->addWidget(m_setAsDefault, 0, Qt::AlignLeft);
    layout->addWidget(buttons);

    connect(m_select, &QPushButton::clicked, this, [this] {
        if (const auto colour = m_pickColour(overlaytext::toQColor(m_colour), this)) {
            m_colour = overlaytext::fromQColor(*colour);
            showColour();
        }
    });
    connect(m_setAsDefault, &QPushButton::clicked, this, [this] {
        if (m_storeDefault)
            m_storeDefault(setting());
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    showColour();
}

QRadioButton* RulersSetupDialog::cornerButton(viewmodel::RulerCorner corner) const
{
    return qobject_cast<QRadioButton*>(m_corners->button(static_cast<int>(corner)));
}

viewmodel::RulerSetting RulersSetupDialog::setting() const
{
    return { viewmodel::rulerCornerOf(m_corners->checkedId()), m_colour };
}

void RulersSetupDialog::showColour()
{
    QPalette palette = m_swatch->palette();
    palette.setColor(QPalette::Window, overlaytext::toQColor(m_colour));
    m_swatch->setPalette(palette);
}
