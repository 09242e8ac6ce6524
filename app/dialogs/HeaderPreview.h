#pragma once

#include <QImage>
#include <QObject>
#include <QString>

#include <memory>

namespace dicom {
struct DicomDataset;
}

// What the open dialogs show of one file: its header, read header-only, and
// on request the thumbnail of its first frame.
struct HeaderPreview {
    QString path;
    // Null when the file is not a regular file or its header does not read.
    std::shared_ptr<const dicom::DicomDataset> header;
    // Null unless asked for and the whole file reads.
    QImage thumbnail;
};

// Reads on the calling thread. A thumbnail side of 0 asks for no thumbnail.
HeaderPreview readHeaderPreview(const QString& path, int thumbnailSide);

// The five facts beside the preview, as text bounded to MaxFactLength
// characters, so a value of thousands of characters costs nothing to lay out.
struct HeaderFacts {
    static constexpr qsizetype MaxFactLength = 256;
    QString patientName; // (0010,0010)
    QString studyId;     // (0020,0010)
    QString date;        // (0008,0020)
    QString modality;    // (0008,0060)
    int frames = 1;      // (0028,0008); 1 when absent or not a positive number
};
HeaderFacts headerFacts(const dicom::DicomDataset& dataset);

// Reads previews on a pool thread, so that a large or slow file never holds
// up the dialog. One read runs at a time; a request made meanwhile replaces
// any earlier one still waiting, and only the newest request's result is
// handed out.
class HeaderPreviewReader : public QObject {
    Q_OBJECT
public:
    explicit HeaderPreviewReader(QObject* parent = nullptr);

    void request(const QString& path, int thumbnailSide);
    // Drops the waiting request and the result of the running one.
    void cancel();
    bool busy() const { return m_running; }

signals:
    void ready(const HeaderPreview& preview);

private:
    struct Request {
        QString path;
        int side = 0;
    };
    void start(const Request& request);
    void finished(const HeaderPreview& preview, quint64 generation);

    bool m_running = false;
    bool m_hasWaiting = false;
    Request m_waiting;
    quint64 m_generation = 0; // of the newest request
};
