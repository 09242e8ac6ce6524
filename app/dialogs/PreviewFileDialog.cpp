#include "app/dialogs/PreviewFileDialog.h"

#include "app/dialogs/DialogSize.h"

#include "app/Settings.h"
#include "app/dialogs/DicomTagsDialog.h"
#include "app/dialogs/HeaderPreview.h"
#include "dicom/DicomDataset.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QSettings>
#include <QTimer>

namespace {

constexpr int ThumbnailSide = PreviewFileDialog::PreviewSide - 8; // inside the button's frame
const QString Dots = QStringLiteral("...");

// The longest beginning of `text` that fits `width` with "..." after it;
// the whole text when it fits as it is.
QString elided(const QString& text, const QFontMetrics& metrics, int width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    qsizetype fits = 0;
    qsizetype tooLong = text.size();
    while (tooLong - fits > 1) {
        const qsizetype middle = fits + (tooLong - fits) / 2;
        if (metrics.horizontalAdvance(text.left(middle) + Dots) <= width)
            fits = middle;
        else
            tooLong = middle;
    }
    // A surrogate pair stays whole or goes whole.
    if (fits > 0 && text.at(fits - 1).isHighSurrogate())
        --fits;
    return text.left(fits) + Dots;
}

// A one-line static that shortens its text to its width, as plain text: a
// header value is data, never markup.
class ElidedLabel : public QLabel {
public:
    explicit ElidedLabel(QWidget* parent)
        : QLabel(parent)
    {
        setTextFormat(Qt::PlainText);
        setWordWrap(false);
        // The column decides the width, never the text.
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        setMinimumWidth(40);
    }
    void setFullText(const QString& text)
    {
        m_fullText = text;
        setToolTip(text);
        refit();
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        refit();
    }

private:
    void refit() { setText(elided(m_fullText, fontMetrics(), contentsRect().width())); }

    QString m_fullText;
};

ElidedLabel* elidedLabel(QLabel* label) { return static_cast<ElidedLabel*>(label); }

const std::array<const char*, PreviewFileDialog::FactCount> FactLabels = {
    QT_TRANSLATE_NOOP("PreviewFileDialog", "Patient's Name :"),
    QT_TRANSLATE_NOOP("PreviewFileDialog", "Study ID :"),
    QT_TRANSLATE_NOOP("PreviewFileDialog", "Date :"),
    QT_TRANSLATE_NOOP("PreviewFileDialog", "Modality :"),
    QT_TRANSLATE_NOOP("PreviewFileDialog", "Frames :"),
};

// "%s %s": the label, a blank and the value; the label alone without a value.
QString factLine(const char* label, const QString& value)
{
    const QString text = PreviewFileDialog::tr(label);
    return value.isEmpty() ? text : text + QLatin1Char(' ') + value;
}

bool readShowPreview()
{
    const auto store = settings::open();
    return !store || settings::readNumber(*store, settings::SettingsGroup, settings::PreviewIcons, 1, 0, 1) != 0;
}

} // namespace

PreviewFileDialog::PreviewFileDialog(QWidget* parent, const QString& directory)
    : QFileDialog(parent, tr("Open"), directory.isEmpty() ? QDir::currentPath() : directory)
{
    // The platform's own dialog cannot take the preview area.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setOption(QFileDialog::ReadOnly, true);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFiles);
    // "*" rather than "*.*": DICOM files often have no extension at all.
    setNameFilters({ tr("All Files (*)"), tr("Bitmap Files (*.bmp)"), tr("JPEG Files (*.jpg *.jpe)") });

    m_reader = new HeaderPreviewReader(this);
    m_updateTimer = new QTimer(this);
    m_updateTimer->setSingleShot(true);
    m_updateTimer->setInterval(0);
    addPreviewArea();
    dialogsize::fitToScreen(*this);
    dialogsize::widenFileColumns(*this);

    connect(m_updateTimer, &QTimer::timeout, this, &PreviewFileDialog::updatePreview);
    connect(m_reader, &HeaderPreviewReader::ready, this, &PreviewFileDialog::showPreview);
    connect(this, &QFileDialog::currentChanged, this, &PreviewFileDialog::scheduleUpdate);
    connect(this, &QFileDialog::filesSelected, this, &PreviewFileDialog::scheduleUpdate);
    // Names typed or pasted into the file name field are previewed too.
    if (auto* nameEdit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        connect(nameEdit, &QLineEdit::textChanged, this, &PreviewFileDialog::scheduleUpdate);
    connect(m_showPreview, &QCheckBox::toggled, this, &PreviewFileDialog::scheduleUpdate);
    connect(m_viewHeader, &QPushButton::clicked, this, &PreviewFileDialog::viewHeader);
}

void PreviewFileDialog::addPreviewArea()
{
    m_area = new QWidget(this);
    m_area->setObjectName(QStringLiteral("previewArea"));
    m_preview = new QPushButton(m_area);
    m_preview->setFixedSize(PreviewSide, PreviewSide);
    m_preview->setIconSize(QSize(ThumbnailSide, ThumbnailSide));
    m_showPreview = new QCheckBox(tr("Show preview"), m_area);
    m_showPreview->setChecked(readShowPreview());
    for (std::size_t i = 0; i < m_facts.size(); ++i) {
        auto* label = new ElidedLabel(m_area);
        label->setFullText(tr(FactLabels[i]));
        m_facts[i] = label;
    }
    m_singleFile = new QCheckBox(tr("Open as single file"), m_area);
    m_singleFile->setChecked(true);
    m_singleFile->setEnabled(false);
    m_viewHeader = new QPushButton(tr("View Header..."), m_area);
    m_viewHeader->setEnabled(false);

    auto* grid = new QGridLayout(m_area);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(2);
    const int rows = FactCount + 2;
    grid->addWidget(m_preview, 0, 0, rows, 1, Qt::AlignTop);
    for (int i = 0; i < FactCount; ++i)
        grid->addWidget(m_facts[static_cast<std::size_t>(i)], i, 1);
    grid->addWidget(m_singleFile, FactCount, 1);
    grid->addWidget(m_viewHeader, FactCount + 1, 1, Qt::AlignLeft);
    grid->addWidget(m_showPreview, 0, 2, Qt::AlignRight | Qt::AlignTop);
    grid->setColumnStretch(1, 1);
    showEmptyPicture();

    // The file dialog's own widgets stand in a grid: the area takes a new row under them.
    if (auto* dialogGrid = qobject_cast<QGridLayout*>(layout()))
        dialogGrid->addWidget(m_area, dialogGrid->rowCount(), 0, 1, dialogGrid->columnCount());
    else if (layout())
        layout()->addWidget(m_area);
}

void PreviewFileDialog::scheduleUpdate()
{
    // Selecting fires several signals at once; they make one update.
    m_updateTimer->start();
}

void PreviewFileDialog::updatePreview()
{
    QStringList files;
    for (const QString& file : selectedFiles()) {
        if (QFileInfo(file).isFile())
            files.append(file);
    }
    if (files.isEmpty()) {
        m_reader->cancel();
        m_area->unsetCursor();
        showEmptyPicture();
        return;
    }
    if (files.size() > 1) {
        m_singleFile->setEnabled(true);
    } else {
        m_singleFile->setChecked(true);
        m_singleFile->setEnabled(false);
    }
    m_area->setCursor(Qt::BusyCursor);
    m_reader->request(files.first(), m_showPreview->isChecked() ? ThumbnailSide : 0);
}

void PreviewFileDialog::showPreview(const HeaderPreview& preview)
{
    m_area->unsetCursor();
    // A file the reader refuses leaves the preview as it was: it can still be opened.
    if (!preview.header)
        return;
    m_header = preview.header;
    const HeaderFacts facts = headerFacts(*m_header);
    const std::array<QString, FactCount> values
        = { facts.patientName, facts.studyId, facts.date, facts.modality, QString::number(facts.frames) };
    for (std::size_t i = 0; i < m_facts.size(); ++i)
        elidedLabel(m_facts[i])->setFullText(factLine(FactLabels[i], values[i]));
    m_viewHeader->setEnabled(true);
    if (preview.thumbnail.isNull())
        showEmptyPicture();
    else
        m_preview->setIcon(QIcon(QPixmap::fromImage(preview.thumbnail)));
}

void PreviewFileDialog::showEmptyPicture()
{
    m_preview->setIcon(QIcon());
}

void PreviewFileDialog::viewHeader()
{
    // The copy keeps the data set alive while the dialog shows it.
    if (const auto header = m_header) {
        DicomTagsDialog dialog(*header, this);
        dialog.exec();
    }
}

void PreviewFileDialog::done(int result)
{
    if (auto store = settings::open())
        settings::writeNumber(*store, settings::SettingsGroup, settings::PreviewIcons, m_showPreview->isChecked() ? 1 : 0);
    QFileDialog::done(result);
}

std::optional<PreviewFileDialog::Choice> PreviewFileDialog::choose(QWidget* parent, const QString& directory)
{
    PreviewFileDialog dialog(parent, directory);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    Choice choice;
    choice.files = dialog.selectedFiles();
    if (choice.files.isEmpty())
        return std::nullopt;
    choice.asOne = choice.files.size() > 1 && dialog.singleFileBox()->isChecked();
    return choice;
}
