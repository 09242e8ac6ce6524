#include "app/dialogs/PreferencesDialog.h"

#include "document/OverlayText.h"
#include "view/model/Rulers.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <array>

using document::ColorRef;
using document::FontRecord;
using document::UserOptions;

namespace preferences {

// The overlay font's conversions already bound heights and weights as the
// font dialog needs; only the character set, which a QFont lacks, is kept.
QFont toQFont(const FontRecord& record)
{
    return overlaytext::toDialogFont(overlaytext::fromFontRecord(record));
}

FontRecord toFontRecord(const QFont& font, std::uint8_t charSet)
{
    const viewmodel::OverlayFont chosen = overlaytext::fromQFont(font);
    FontRecord record;
    record.height = chosen.height;
    record.weight = chosen.weight;
    record.italic = chosen.italic ? 1 : 0;
    record.underline = chosen.underline ? 1 : 0;
    record.strikeOut = chosen.strikeOut ? 1 : 0;
    record.charSet = charSet;
    const std::string& face = chosen.face.str();
    record.faceName = face.empty() ? FontRecord {}.faceName : face.substr(0, FontRecord::MaxFaceNameLength);
    return record;
}

} // namespace preferences

namespace {

// The switches; the two number options hold 0 or 1 once edited here.
struct CheckChoice {
    const char* label;
    bool UserOptions::*flag;
    int UserOptions::*number;
};

constexpr std::array CheckChoices = {
    CheckChoice { QT_TRANSLATE_NOOP("PreferencesDialog", "Start with rulers on"), &UserOptions::rulersOn, nullptr },
    CheckChoice { QT_TRANSLATE_NOOP("PreferencesDialog", "Start witth default annotations"),
        &UserOptions::defAnnotations, nullptr },
    CheckChoice { QT_TRANSLATE_NOOP("PreferencesDialog", "Automatic Pixel Aspect Ratio"), &UserOptions::aspectRatio,
        nullptr },
    CheckChoice { QT_TRANSLATE_NOOP("PreferencesDialog", "Show background image"), &UserOptions::bgImage, nullptr },
    CheckChoice { QT_TRANSLATE_NOOP("PreferencesDialog", "Anonymized copies and exports"), nullptr,
        &UserOptions::anonExports },
    CheckChoice { QT_TRANSLATE_NOOP("PreferencesDialog", "Automatic close"), nullptr, &UserOptions::autoClose },
    CheckChoice { QT_TRANSLATE_NOOP("PreferencesDialog", "Keep patient and study in saved files"),
        &UserOptions::keepPatientAndStudy, nullptr },
};

struct ColourChoice {
    const char* label;
    ColorRef UserOptions::*member;
};

constexpr std::array ColourChoices = {
    ColourChoice { QT_TRANSLATE_NOOP("PreferencesDialog", "Default annotation color "),
        &UserOptions::annotationColor },
    ColourChoice { QT_TRANSLATE_NOOP("PreferencesDialog", "Default distance color "), &UserOptions::distanceColor },
    ColourChoice { QT_TRANSLATE_NOOP("PreferencesDialog", "Default angle color "), &UserOptions::angleColor },
    ColourChoice { QT_TRANSLATE_NOOP("PreferencesDialog", "Rulers' color"), &UserOptions::axisColor },
    ColourChoice { QT_TRANSLATE_NOOP("PreferencesDialog", "Main background color"), &UserOptions::mainBgColor },
    ColourChoice { QT_TRANSLATE_NOOP("PreferencesDialog", "Document background color"), &UserOptions::docBgColor },
};

struct FontChoice {
    const char* sample;
    FontRecord UserOptions::*member;
};

constexpr std::array FontChoices = {
    FontChoice { QT_TRANSLATE_NOOP("PreferencesDialog", "Annotation font"), &UserOptions::annotationFont },
    FontChoice { QT_TRANSLATE_NOOP("PreferencesDialog", "Measurement font"), &UserOptions::measurementFont },
};

// The corners laid out where they are: upper row first.
struct CornerChoice {
    const char* label;
    viewmodel::RulerCorner corner;
    int row;
    int column;
};

constexpr std::array CornerChoices = {
    CornerChoice { QT_TRANSLATE_NOOP("PreferencesDialog", "Upper left"), viewmodel::RulerCorner::UpperLeft, 0, 0 },
    CornerChoice { QT_TRANSLATE_NOOP("PreferencesDialog", "Upper right"), viewmodel::RulerCorner::UpperRight, 0, 1 },
    CornerChoice { QT_TRANSLATE_NOOP("PreferencesDialog", "Lower left"), viewmodel::RulerCorner::LowerLeft, 1, 0 },
    CornerChoice { QT_TRANSLATE_NOOP("PreferencesDialog", "Lower right"), viewmodel::RulerCorner::LowerRight, 1, 1 },
};

// Samples are drawn at this size whatever the font's own.
constexpr int SamplePointSize = 10;
constexpr QSize SwatchSize { 32, 16 };

} // namespace

PreferencesDialog::PreferencesDialog(const UserOptions& options, QWidget* parent)
    : QDialog(parent)
    , m_options(options)
    , m_pickColour([](const QColor& initial, QWidget* owner) {
        const QColor colour = QColorDialog::getColor(initial, owner);
        return colour.isValid() ? std::optional<QColor>(colour) : std::nullopt;
    })
    , m_pickFont([](const QFont& initial, QWidget* owner) {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, initial, owner);
        return ok ? std::optional<QFont>(font) : std::nullopt;
    })
{
    setWindowTitle(tr("Preferences"));

    auto* lineRow = new QHBoxLayout;
    lineRow->addWidget(new QLabel(tr("Line Width"), this));
    m_lineWidth = new QSpinBox(this);
    m_lineWidth->setRange(document::LineWidthRange.low, document::LineWidthRange.high);
    m_lineWidth->setValue(options.lineWidth);
    lineRow->addWidget(m_lineWidth);
    lineRow->addStretch();

    auto* left = new QVBoxLayout;
    left->addWidget(createChecks());
    left->addWidget(createAxisGroup());
    left->addLayout(lineRow);
    left->addStretch();
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addWidget(createColourButtons(), 0, Qt::AlignTop);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(createFontRows());
    layout->addWidget(buttons);
}

QWidget* PreferencesDialog::createChecks()
{
    auto* box = new QWidget(this);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    for (std::size_t i = 0; i < CheckChoices.size(); ++i) {
        const CheckChoice& choice = CheckChoices[i];
        auto* check = new QCheckBox(tr(choice.label), box);
        check->setChecked(choice.flag ? m_options.*choice.flag : m_options.*choice.number != 0);
        layout->addWidget(check);
        m_checks.emplace_back(check, i);
    }
    return box;
}

QWidget* PreferencesDialog::createColourButtons()
{
    auto* box = new QWidget(this);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    for (const ColourChoice& choice : ColourChoices) {
        auto* button = new QPushButton(tr(choice.label), box);
        button->setIconSize(SwatchSize);
        showColour(button, m_options.*choice.member);
        connect(button, &QPushButton::clicked, this, [this, button, member = choice.member] {
            if (const auto colour = m_pickColour(overlaytext::toQColor(m_options.*member), this)) {
                m_options.*member = overlaytext::fromQColor(*colour);
                showColour(button, m_options.*member);
            }
        });
        layout->addWidget(button);
    }
    return box;
}

QWidget* PreferencesDialog::createFontRows()
{
    auto* box = new QWidget(this);
    auto* layout = new QGridLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    int row = 0;
    for (const FontChoice& choice : FontChoices) {
        auto* button = new QPushButton(tr("Select Default Font..."), box);
        auto* sample = new QLabel(tr(choice.sample), box);
        sample->setMinimumHeight(sample->sizeHint().height() * 2);
        showFont(sample, m_options.*choice.member);
        connect(button, &QPushButton::clicked, this, [this, sample, member = choice.member] {
            const FontRecord& current = m_options.*member;
            if (const auto font = m_pickFont(preferences::toQFont(current), this)) {
                m_options.*member = preferences::toFontRecord(*font, current.charSet);
                showFont(sample, m_options.*member);
            }
        });
        layout->addWidget(button, row, 0);
        layout->addWidget(sample, row, 1);
        ++row;
    }
    layout->setColumnStretch(1, 1);
    return box;
}

QWidget* PreferencesDialog::createAxisGroup()
{
    auto* group = new QGroupBox(tr("Start of axis"), this);
    auto* layout = new QGridLayout(group);
    m_axisStart = new QButtonGroup(this);
    for (const CornerChoice& choice : CornerChoices) {
        auto* button = new QRadioButton(tr(choice.label), group);
        m_axisStart->addButton(button, static_cast<int>(choice.corner));
        layout->addWidget(button, choice.row, choice.column);
    }
    const auto corner = viewmodel::rulerCornerOf(m_options.axisStart);
    m_axisStart->button(static_cast<int>(corner))->setChecked(true);
    return group;
}

void PreferencesDialog::showColour(QPushButton* button, ColorRef colour)
{
    QPixmap swatch(SwatchSize);
    swatch.fill(overlaytext::toQColor(colour));
    button->setIcon(QIcon(swatch));
}

void PreferencesDialog::showFont(QLabel* sample, const FontRecord& record)
{
    QFont font = preferences::toQFont(record);
    font.setPointSize(SamplePointSize);
    sample->setFont(font);
}

UserOptions PreferencesDialog::options() const
{
    UserOptions result = m_options;
    for (const auto& [check, index] : m_checks) {
        const CheckChoice& choice = CheckChoices[index];
        if (choice.flag)
            result.*choice.flag = check->isChecked();
        else
            result.*choice.number = check->isChecked() ? 1 : 0;
    }
    result.lineWidth = m_lineWidth->value();
    result.axisStart = m_axisStart->checkedId();
    return result;
}
