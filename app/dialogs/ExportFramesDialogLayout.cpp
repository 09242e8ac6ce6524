// The widgets of "Export frames" and how they are laid out and wired.

#include "app/dialogs/ExportFramesDialog.h"

#include "app/dialogs/FramePreviewIcon.h"

#include "app/Settings.h"
#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr int PreviewSide = 128;

} // namespace

void ExportFramesDialog::buildWidgets()
{
    const QString scopeTexts[] = { tr("Current frame"), tr("All frames"), tr("Selected frames") };
    for (std::size_t i = 0; i < m_scopes.size(); ++i)
        m_scopes[i] = new QRadioButton(scopeTexts[i], this);
    m_frameList = new QListWidget(this);
    m_frameList->setObjectName(QStringLiteral("frameList"));
    m_frameList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (int i = 0; i < m_doc.frameCount(); ++i) {
        auto* item = new QListWidgetItem(tr("Frame %1").arg(i + 1), m_frameList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
    m_markExport = new QPushButton(tr("Export frame(s)"), this);
    m_markNotExport = new QPushButton(tr("Not export frame(s)"), this);
    m_continual = new QCheckBox(tr("Continual numeration"), this);
    m_preview = new QPushButton(this);
    m_preview->setObjectName(QStringLiteral("preview"));
    m_preview->setIcon(QIcon(QPixmap::fromImage(framePreview(m_doc, PreviewSide))));
    m_preview->setIconSize(QSize(PreviewSide, PreviewSide));
    m_preview->setFixedSize(PreviewSide + 12, PreviewSide + 12);

    const QString formatTexts[] = { tr("TIFF"), tr("JPEG"), tr("BMP"), tr("RAW"), tr("HTML") };
    for (std::size_t i = 0; i < m_formats.size(); ++i)
        m_formats[i] = new QRadioButton(formatTexts[i], this);
    m_qualitySlider = new QSlider(Qt::Horizontal, this);
    m_qualitySlider->setRange(0, 100);
    m_qualitySlider->setTickPosition(QSlider::TicksBelow);
    m_qualitySlider->setTickInterval(10);
    m_qualitySpin = new QSpinBox(this);
    m_qualitySpin->setRange(0, 100);
    m_exportHeader = new QCheckBox(tr("Export Header"), this);
    m_exportHeader->setChecked(true);

    m_name = new QLineEdit(this);
    m_directory = new QLineEdit(this);
    m_browse = new QPushButton(tr("Export directory..."), this);

    const document::ExportChoices& choices = m_doc.exportChoices();
    const auto store = settings::open();
    const SizeChoiceBox::Setup size { .frame = frameSize(), .zoom = m_doc.zoom(), .mode = choices.sizeMode,
        .userWidth = choices.width, .userHeight = choices.height, .constrain = choices.constrain,
        .scaling = static_cast<exporting::Scaling>(
            settings::readNumber(*store, settings::SettingsGroup, settings::ExportScalingMethod, 0, 0, 1)) };
    m_size = new SizeChoiceBox(tr("Size"), size, this);

    m_export = new QPushButton(tr("Export"), this);
    m_close = new QPushButton(tr("Close"), this);
}

void ExportFramesDialog::layOut()
{
    auto* frames = new QGroupBox(tr("Frames"), this);
    auto* framesGrid = new QGridLayout(frames);
    for (std::size_t i = 0; i < m_scopes.size(); ++i)
        framesGrid->addWidget(m_scopes[i], static_cast<int>(i), 0);
    framesGrid->addWidget(m_preview, 0, 1, 3, 1, Qt::AlignRight);
    framesGrid->addWidget(m_frameList, 3, 0, 1, 2);
    auto* marks = new QHBoxLayout;
    marks->addWidget(m_markExport);
    marks->addWidget(m_markNotExport);
    framesGrid->addLayout(marks, 4, 0, 1, 2);
    framesGrid->addWidget(m_continual, 5, 0, 1, 2);

    auto* format = new QGroupBox(tr("Format"), this);
    auto* formatGrid = new QGridLayout(format);
    auto* formatRow = new QHBoxLayout;
    for (QRadioButton* button : m_formats)
        formatRow->addWidget(button);
    formatGrid->addLayout(formatRow, 0, 0, 1, 4);
    formatGrid->addWidget(new QLabel(tr("Quality:"), this), 1, 0);
    formatGrid->addWidget(new QLabel(tr("smaller file"), this), 1, 1);
    formatGrid->addWidget(m_qualitySlider, 1, 2);
    formatGrid->addWidget(new QLabel(tr("better quality"), this), 1, 3);
    formatGrid->addWidget(m_qualitySpin, 2, 2, Qt::AlignLeft);
    formatGrid->addWidget(m_exportHeader, 2, 3);

    auto* target = new QGroupBox(tr("File"), this);
    auto* targetGrid = new QGridLayout(target);
    targetGrid->addWidget(new QLabel(tr("File name:"), this), 0, 0);
    targetGrid->addWidget(m_name, 0, 1, 1, 2);
    targetGrid->addWidget(new QLabel(tr("Directory:"), this), 1, 0);
    targetGrid->addWidget(m_directory, 1, 1);
    targetGrid->addWidget(m_browse, 1, 2);

    auto* right = new QVBoxLayout;
    right->addWidget(format);
    right->addWidget(target);
    right->addWidget(m_size);
    right->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addWidget(frames);
    columns->addLayout(right);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_export);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);
}

void ExportFramesDialog::connectWidgets()
{
    const exporting::Scope scopes[] = { exporting::Scope::Current, exporting::Scope::All, exporting::Scope::Selected };
    for (std::size_t i = 0; i < m_scopes.size(); ++i) {
        connect(m_scopes[i], &QRadioButton::toggled, this, [this, scope = scopes[i]](bool on) {
            if (on)
                chooseScope(scope);
        });
    }
    for (std::size_t i = 0; i < m_formats.size(); ++i) {
        connect(m_formats[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                chooseFormat(static_cast<int>(i));
        });
    }
    connect(m_frameList, &QListWidget::itemSelectionChanged, this, &ExportFramesDialog::updateEnabling);
    connect(m_markExport, &QPushButton::clicked, this, [this] { markHighlighted(true); });
    connect(m_markNotExport, &QPushButton::clicked, this, [this] { markHighlighted(false); });
    connect(m_qualitySlider, &QSlider::valueChanged, m_qualitySpin, &QSpinBox::setValue);
    connect(m_qualitySpin, &QSpinBox::valueChanged, m_qualitySlider, &QSlider::setValue);
    connect(m_exportHeader, &QCheckBox::toggled, this, &ExportFramesDialog::updateEnabling);
    connect(m_directory, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_directories[static_cast<std::size_t>(m_shownFormat)] = text;
        updateEnabling();
    });
    connect(m_browse, &QPushButton::clicked, this, &ExportFramesDialog::chooseDirectory);
    connect(m_size, &SizeChoiceBox::changed, this, &ExportFramesDialog::updateEnabling);
    connect(m_export, &QPushButton::clicked, this, &ExportFramesDialog::runExport);
    connect(m_close, &QPushButton::clicked, this, &ExportFramesDialog::reject);
}
