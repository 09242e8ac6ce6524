#include "app/dialogs/VideoSpeedDialog.h"

#include "view/model/FrameRate.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

double valueOf(const QLineEdit* edit)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(edit->text().trimmed(), &ok);
    return ok ? value : 0.0;
}

QString rateText(double value) { return QString::fromStdString(viewmodel::frameRateText(value)); }

} // namespace

VideoSpeedDialog::VideoSpeedDialog(double frameTime, double headerFrameTime, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Video Speed Setup"));
    m_unit = new QComboBox(this);
    m_unit->addItems({ tr("Frame Time"), tr("Frames per Second") });
    m_frameTime = new QLineEdit(rateText(frameTime > 0.0 ? frameTime : 0.0), this);
    m_framesPerSecond = new QLineEdit(rateText(viewmodel::otherFrameRate(frameTime)), this);
    m_fromHeader = new QPushButton(tr("From Header"), this);
    m_fromHeader->setEnabled(headerFrameTime != 0.0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* form = new QFormLayout;
    form->addRow(m_unit);
    form->addRow(tr("Frame Time (msec)"), m_frameTime);
    form->addRow(tr("Frames per second"), m_framesPerSecond);
    form->addRow(m_fromHeader);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(m_unit, &QComboBox::currentIndexChanged, this, &VideoSpeedDialog::chooseUnit);
    connect(m_frameTime, &QLineEdit::textEdited, this, [this] { follow(m_frameTime, m_framesPerSecond); });
    connect(m_framesPerSecond, &QLineEdit::textEdited, this, [this] { follow(m_framesPerSecond, m_frameTime); });
    connect(m_fromHeader, &QPushButton::clicked, this, [this, headerFrameTime] {
        m_frameTime->setText(rateText(headerFrameTime));
        follow(m_frameTime, m_framesPerSecond);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    chooseUnit(0);
}

void VideoSpeedDialog::chooseUnit(int index)
{
    QLineEdit* chosen = index == 0 ? m_frameTime : m_framesPerSecond;
    m_frameTime->setEnabled(index == 0);
    m_framesPerSecond->setEnabled(index != 0);
    chosen->setFocus();
    chosen->selectAll();
}

void VideoSpeedDialog::follow(const QLineEdit* typed, QLineEdit* target)
{
    if (m_following)
        return;
    m_following = true;
    target->setText(rateText(viewmodel::otherFrameRate(valueOf(typed))));
    m_following = false;
}

VideoSpeedDialog::Parameters VideoSpeedDialog::parameters() const
{
    const double typed = valueOf(m_frameTime);
    return { typed > 0.0 ? typed : 0.0 };
}

std::optional<VideoSpeedDialog::Parameters> VideoSpeedDialog::ask(double frameTime, double headerFrameTime,
                                                                  QWidget* parent)
{
    VideoSpeedDialog dialog(frameTime, headerFrameTime, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.parameters();
}
