#include "app/dialogs/ExportFramesDialog.h"

#include "app/ExportJob.h"
#include "app/Settings.h"
#include "app/commands/HtmlExport.h"
#include "app/commands/ExportNames.h"
#include "document/COrvoDoc.h"
#include "document/ExportPictures.h"
#include "export/ExportFormats.h"
#include "export/ExportRun.h"
#include "imaging/FrameImage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>

#include <algorithm>
#include <filesystem>

namespace {

int percentOf(int pixels, int side)
{
    if (side <= 0)
        return 0;
    return static_cast<int>(std::min<qint64>(static_cast<qint64>(pixels) * 100 / side, 99999999));
}

QString settingKey(exporting::ExportFormat format)
{
    return QString::fromUtf8(exporting::formatInfo(format).directorySetting);
}

} // namespace

ExportFramesDialog::ExportFramesDialog(COrvoDoc& doc, QWidget* parent)
    : QDialog(parent)
    , m_doc(doc)
{
    setWindowTitle(tr("Export frames"));
    buildWidgets();
    layOut();
    connectWidgets();

    const auto store = settings::open();
    // A working folder that was removed has no path; the home folder stands in.
    const QString current = QDir::currentPath();
    const QString here = withTrailingSlash(current.isEmpty() ? QDir::homePath() : current);
    for (std::size_t i = 0; i < Formats.size(); ++i) {
        const QByteArray key = settingKey(Formats[i]).toUtf8();
        const QString saved = settings::readString(*store, settings::SettingsGroup, key.constData());
        m_directories[i] = saved.isEmpty() ? here : saved;
    }
    m_qualitySpin->setValue(settings::readNumber(*store, settings::SettingsGroup, settings::ExportJpegQuality, 75, 0, 100));
    m_method->setCurrentIndex(settings::readNumber(*store, settings::SettingsGroup, settings::ExportScalingMethod, 0, 0, 1));
    m_name->setText(exportBaseName(m_doc));

    const document::ExportChoices& choices = m_doc.exportChoices();
    m_constrain->setChecked(choices.constrain);
    const exporting::PictureSize frame = frameSize();
    m_following = true;
    showSide(Side::Width, choices.width > 0 ? choices.width : frame.width, nullptr);
    showSide(Side::Height, choices.height > 0 ? choices.height : frame.height, nullptr);
    m_following = false;
    const int mode = std::clamp(static_cast<int>(choices.sizeMode), 0, 2);
    m_sizes[static_cast<std::size_t>(mode)]->setChecked(true);
    m_formats.front()->setChecked(true);
    m_scopes.front()->setChecked(true);
    updateEnabling();
}

QRadioButton* ExportFramesDialog::scopeButton(exporting::Scope scope) const
{
    return m_scopes[static_cast<std::size_t>(scope)];
}

QRadioButton* ExportFramesDialog::formatButton(exporting::ExportFormat format) const
{
    for (std::size_t i = 0; i < Formats.size(); ++i) {
        if (Formats[i] == format)
            return m_formats[i];
    }
    return nullptr;
}

exporting::Scope ExportFramesDialog::scope() const
{
    if (m_scopes[2]->isChecked())
        return exporting::Scope::Selected;
    return m_scopes[1]->isChecked() ? exporting::Scope::All : exporting::Scope::Current;
}

int ExportFramesDialog::formatIndex() const
{
    const auto chosen = std::find_if(m_formats.begin(), m_formats.end(), [](QRadioButton* b) { return b->isChecked(); });
    return chosen == m_formats.end() ? 0 : static_cast<int>(chosen - m_formats.begin());
}

ExportFramesDialog::SizeChoice ExportFramesDialog::sizeChoice() const
{
    if (m_sizes[2]->isChecked())
        return SizeChoice::User;
    return m_sizes[1]->isChecked() ? SizeChoice::Scaled : SizeChoice::Actual;
}

exporting::PictureSize ExportFramesDialog::frameSize() const
{
    const imaging::FrameImage* frame = m_doc.frame();
    if (!frame)
        return {};
    return { std::max(frame->width(), 1), std::max(frame->height(), 1) };
}

void ExportFramesDialog::chooseScope(exporting::Scope chosen)
{
    m_selection = exporting::scopeSelection(chosen, m_doc.frameCount(), m_doc.currentFrameIndex());
    showSelection();
    updateEnabling();
}

void ExportFramesDialog::chooseFormat(int index)
{
    // A folder the user picked holds for every format until the dialog closes.
    const QString picked = m_directory->text();
    m_shownFormat = index;
    const QString shown = m_directoryChosen ? picked : m_directories[static_cast<std::size_t>(index)];
    m_directory->setText(shown);
    m_directories[static_cast<std::size_t>(index)] = shown;
    updateEnabling();
}

void ExportFramesDialog::chooseDirectory()
{
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Export directory"), m_directory->text());
    if (folder.isEmpty())
        return;
    m_directoryChosen = true;
    m_directory->setText(withTrailingSlash(folder));
}

void ExportFramesDialog::chooseSize(SizeChoice choice)
{
    const bool typed = choice == SizeChoice::User;
    for (QWidget* field : { static_cast<QWidget*>(m_widthPixels), static_cast<QWidget*>(m_widthPercent),
                            static_cast<QWidget*>(m_heightPixels), static_cast<QWidget*>(m_heightPercent),
                            static_cast<QWidget*>(m_constrain) })
        field->setEnabled(typed);
    if (!typed) {
        const exporting::PictureSize frame = frameSize();
        const exporting::PictureSize size
            = choice == SizeChoice::Scaled ? exporting::scaledSize(frame, m_doc.zoom()) : frame;
        m_following = true;
        showSide(Side::Width, size.width, nullptr);
        showSide(Side::Height, size.height, nullptr);
        m_following = false;
    }
    updateEnabling();
}

void ExportFramesDialog::markHighlighted(bool exported)
{
    for (const QListWidgetItem* item : m_frameList->selectedItems()) {
        const int row = m_frameList->row(item);
        if (row >= 0 && static_cast<std::size_t>(row) < m_selection.size())
            m_selection[static_cast<std::size_t>(row)] = exported ? 1 : 0;
    }
    showSelection();
    updateEnabling();
}

void ExportFramesDialog::showSelection()
{
    for (int row = 0; row < m_frameList->count(); ++row) {
        const bool on = static_cast<std::size_t>(row) < m_selection.size() && m_selection[static_cast<std::size_t>(row)];
        m_frameList->item(row)->setData(Qt::CheckStateRole, on ? Qt::Checked : Qt::Unchecked);
    }
}

void ExportFramesDialog::setSide(Side side, int pixels, const QSpinBox* typed)
{
    showSide(side, pixels, typed);
    if (!m_constrain->isChecked())
        return;
    const exporting::PictureSize frame = frameSize();
    if (side == Side::Width)
        showSide(Side::Height, exporting::constrainedHeight(frame, pixels), nullptr);
    else
        showSide(Side::Width, exporting::constrainedWidth(frame, pixels), nullptr);
}

void ExportFramesDialog::showSide(Side side, int pixels, const QSpinBox* typed)
{
    const bool width = side == Side::Width;
    QSpinBox* pixelEdit = width ? m_widthPixels : m_heightPixels;
    QSpinBox* percentEdit = width ? m_widthPercent : m_heightPercent;
    const exporting::PictureSize frame = frameSize();
    // The field being typed in keeps its text; only the others follow it.
    if (pixelEdit != typed)
        pixelEdit->setValue(pixels);
    if (percentEdit != typed)
        percentEdit->setValue(percentOf(pixels, width ? frame.width : frame.height));
}

void ExportFramesDialog::updateEnabling()
{
    std::vector<int> highlighted;
    for (const QListWidgetItem* item : m_frameList->selectedItems())
        highlighted.push_back(m_frameList->row(item));
    const bool user = sizeChoice() == SizeChoice::User;
    const exporting::DialogState state { scope(), Formats[static_cast<std::size_t>(formatIndex())],
        m_exportHeader->isChecked(), m_selection, highlighted, m_directory->text().trimmed().isEmpty(),
        !user || (exporting::userSideValid(m_widthPixels->value()) && exporting::userSideValid(m_heightPixels->value())) };
    const exporting::DialogEnabling on = exporting::dialogEnabling(state);
    m_frameList->setEnabled(on.frameList);
    m_markExport->setEnabled(on.markExport);
    m_markNotExport->setEnabled(on.markNotExport);
    m_continual->setEnabled(on.continual);
    m_qualitySlider->setEnabled(on.quality);
    m_qualitySpin->setEnabled(on.quality);
    m_exportHeader->setEnabled(on.exportHeader);
    m_export->setEnabled(on.exportButton);
}

void ExportFramesDialog::runExport()
{
    if (!m_export->isEnabled())
        return;
    const exporting::ExportFormat format = Formats[static_cast<std::size_t>(formatIndex())];
    const exporting::FormatInfo& info = exporting::formatInfo(format);
    const QString directory = withTrailingSlash(m_directory->text().trimmed());
    const bool continual = m_continual->isEnabled() && m_continual->isChecked();
    const auto scaling = m_method->currentIndex() == 1 ? exporting::Scaling::Bilinear : exporting::Scaling::Nearest;
    const std::string name = m_name->text().toStdString();
    const auto outputs = exporting::planOutputs(name, info.extension, scope(), m_doc.frameCount(),
        m_doc.currentFrameIndex(), m_selection, continual ? exporting::Numbering::Continual : exporting::Numbering::FrameNumber);
    exporting::ExportRequest request;
    request.format = format;
    for (const exporting::PlannedOutput& output : outputs)
        request.frames.push_back(output.frame);
    request.quality = m_qualitySpin->value();
    request.scaling = scaling;
    request.anonymizedHeader = m_doc.anonymizedExports();
    if (format == exporting::ExportFormat::Html) {
        const HtmlExportChoice choice { directory, m_name->text(), request.frames, m_exportHeader->isChecked(),
                                        continual, request.quality, scaling };
        if (!exportHtmlPage(this, m_doc, choice))
            QMessageBox::critical(this, windowTitle(), QString::fromUtf8(info.failureMessage));
        return;
    }
    // The actual size is each frame's own; BMP files keep the display
    // bitmap's size at the zoom, whatever the dialog says.
    if (sizeChoice() != SizeChoice::Actual && format != exporting::ExportFormat::Bmp) {
        request.width = m_widthPixels->value();
        request.height = m_heightPixels->value();
    }
    std::vector<std::filesystem::path> paths;
    for (const exporting::PlannedOutput& output : outputs)
        paths.push_back(localPath(directory + QString::fromStdString(output.fileName)));
    const std::vector<std::filesystem::path> sources = protectedPaths(m_doc);
    exporting::PictureSource source = document::exportPictureSource(m_doc);
    unsigned workers = 0;
    if (format == exporting::ExportFormat::Bmp) {
        const COrvoDoc* doc = &m_doc;
        source.bitmap = [doc](int frame) { return document::reportBitmap(*doc, frame); };
        workers = 1;
    }
    exporting::RunSummary summary;
    runExportJob(this, static_cast<int>(paths.size()), [&](const exporting::Progress& progress) {
        summary = exporting::exportPictureFiles(request, source, paths, sources, workers, progress);
        return summary.failed == 0;
    });
    if (summary.failed > 0) {
        QMessageBox::critical(this, windowTitle(),
            tr("%1\n%2 of %3 files could not be written.")
                .arg(QString::fromUtf8(info.failureMessage))
                .arg(summary.failed)
                .arg(paths.size()));
    }
}

void ExportFramesDialog::storeChoices()
{
    document::ExportChoices& choices = m_doc.exportChoices();
    choices.sizeMode = static_cast<document::SizeMode>(static_cast<int>(sizeChoice()));
    choices.constrain = m_constrain->isChecked();
    choices.width = std::clamp<std::int32_t>(m_widthPixels->value(), 1, static_cast<std::int32_t>(exporting::MaxUserSide));
    choices.height = std::clamp<std::int32_t>(m_heightPixels->value(), 1, static_cast<std::int32_t>(exporting::MaxUserSide));
    choices.selection = m_selection;

    const auto store = settings::open();
    settings::writeNumber(*store, settings::SettingsGroup, settings::UseScalingAtExport,
                          sizeChoice() != SizeChoice::Actual ? 1 : 0);
    settings::writeNumber(*store, settings::SettingsGroup, settings::ExportScalingMethod, m_method->currentIndex());
    for (std::size_t i = 0; i < Formats.size(); ++i) {
        const QByteArray key = settingKey(Formats[i]).toUtf8();
        const QString directory = m_directories[i].trimmed();
        settings::writeString(*store, settings::SettingsGroup, key.constData(),
                              directory.isEmpty() ? directory : withTrailingSlash(directory));
    }
    settings::writeNumber(*store, settings::SettingsGroup, settings::ExportJpegQuality, m_qualitySpin->value());
}

void ExportFramesDialog::reject()
{
    storeChoices();
    QDialog::reject();
}
