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
    m_name->setText(exportBaseName(m_doc));
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

void ExportFramesDialog::updateEnabling()
{
    std::vector<int> highlighted;
    for (const QListWidgetItem* item : m_frameList->selectedItems())
        highlighted.push_back(m_frameList->row(item));
    const exporting::DialogState state { scope(), Formats[static_cast<std::size_t>(formatIndex())],
        m_exportHeader->isChecked(), m_selection, highlighted, m_directory->text().trimmed().isEmpty(),
        m_size->sizeValid() };
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
    const exporting::Scaling scaling = m_size->scaling();
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
        if (const auto written = exportHtmlPage(this, m_doc, choice); !written)
            QMessageBox::critical(this, windowTitle(),
                                  failureText(QString::fromUtf8(info.failureMessage), written.error().detail));
        return;
    }
    // The actual size is each frame's own; BMP files keep the display
    // bitmap's size at the zoom, whatever the dialog says.
    if (m_size->mode() != document::SizeMode::Actual && format != exporting::ExportFormat::Bmp) {
        request.width = m_size->size().width;
        request.height = m_size->size().height;
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
            failureText(tr("%1\n%2 of %3 files could not be written.")
                            .arg(QString::fromUtf8(info.failureMessage))
                            .arg(summary.failed)
                            .arg(paths.size()),
                        summary.firstError));
    }
}

void ExportFramesDialog::storeChoices()
{
    document::ExportChoices& choices = m_doc.exportChoices();
    choices.sizeMode = m_size->mode();
    choices.constrain = m_size->constrain();
    choices.width = m_size->size().width;
    choices.height = m_size->size().height;
    choices.selection = m_selection;

    const auto store = settings::open();
    settings::writeNumber(*store, settings::SettingsGroup, settings::UseScalingAtExport,
                          m_size->mode() != document::SizeMode::Actual ? 1 : 0);
    settings::writeNumber(*store, settings::SettingsGroup, settings::ExportScalingMethod,
                          static_cast<int>(m_size->scaling()));
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
