#include "app/WindowPresetsColumn.h"

#include "app/Settings.h"
#include "app/dialogs/PresetsSetupDialog.h"

#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>

WindowPresetsColumn::WindowPresetsColumn(std::function<bool()> available, QWidget* parent)
    : QWidget(parent)
    , m_available(std::move(available))
    , m_presets(settings::readWindowPresets(*settings::open()))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        m_buttons[i] = new QPushButton(this);
        layout->addWidget(m_buttons[i]);
        connect(m_buttons[i], &QPushButton::clicked, this, [this, i] { emit presetChosen(static_cast<int>(i)); });
    }
    m_setup = new QPushButton(tr("Setup..."), this);
    layout->addWidget(m_setup);
    connect(m_setup, &QPushButton::clicked, this, &WindowPresetsColumn::setup);
    nameButtons();
    // Polled rather than signalled: documents and views come and go in many
    // places, and a tenth of a second is quick enough for a hand on the mouse.
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, &WindowPresetsColumn::followAvailability);
    poll->start(100);
    followAvailability();
}

void WindowPresetsColumn::setup()
{
    if (const auto edited = PresetsSetupDialog::ask(m_presets, this)) {
        m_presets = edited->presets;
        settings::writeWindowPresets(*settings::open(), m_presets);
    }
    nameButtons();
    if (parentWidget())
        parentWidget()->setFocus();
}

void WindowPresetsColumn::followAvailability()
{
    const bool on = m_available && m_available();
    for (QPushButton* button : m_buttons)
        button->setEnabled(on);
    m_setup->setEnabled(on);
}

void WindowPresetsColumn::nameButtons()
{
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
        m_buttons[i]->setText(QString::fromStdString(m_presets[i].name));
}
