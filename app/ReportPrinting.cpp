#include "app/ReportPrinting.h"

#include "app/ExportJob.h"
#include "app/ReportContent.h"
#include "document/COrvoDoc.h"
#include "export/ReportText.h"
#include "view/FramePicture.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>

namespace reports {

namespace {

// The widest picture a portrait page holds between its margins, in the
// document's pixels; wider ones are scaled down to it.
constexpr double MaxPictureWidth = 640.0;

QString decoded(const std::string& bytes, exporting::CharacterSet set)
{
    const std::u32string text = exporting::decodeText(bytes, set);
    QString result = QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
    for (QChar& c : result) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    }
    return result;
}

// Cut as the RTF report cuts its cells, so both reports read alike.
QString cut(const QString& text, qsizetype longest, qsizetype kept)
{
    return text.size() > longest ? text.left(kept) + QStringLiteral("...") : text;
}

void addTitle(QTextCursor& cursor, const QString& title)
{
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setFontPointSize(12);
    cursor.setBlockFormat(centred);
    cursor.insertText(title, bold);
}

void addHeaderTable(QTextCursor& cursor, const exporting::ReportHeader& header)
{
    cursor.insertBlock();
    QTextTableFormat format;
    format.setHeaderRowCount(1);
    format.setCellPadding(2);
    format.setCellSpacing(0);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setAlignment(Qt::AlignHCenter);
    QTextTable* table = cursor.insertTable(static_cast<int>(header.rows.size()) + 1, 5, format);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setFontPointSize(8);
    QTextCharFormat plain;
    plain.setFontPointSize(8);
    const QString titles[] = { QStringLiteral("Tag"), QStringLiteral("Tag Name"), QStringLiteral("VR"),
                               QStringLiteral("Length"), QStringLiteral("Value") };
    for (int column = 0; column < 5; ++column)
        table->cellAt(0, column).firstCursorPosition().insertText(titles[column], bold);
    int line = 1;
    for (const exporting::ReportRow& row : header.rows) {
        const QString cells[] = {
            QStringLiteral("0x%1,0x%2").arg(row.group, 4, 16, QLatin1Char('0')).arg(row.element, 4, 16, QLatin1Char('0')),
            cut(decoded(row.name, exporting::CharacterSet::Latin1), 35, 33),
            decoded(row.vr, exporting::CharacterSet::Latin1),
            QString::number(row.length),
            cut(decoded(exporting::valueCell(row, exporting::RtfValueLimit), header.characterSet), 48, 46),
        };
        for (int column = 0; column < 5; ++column)
            table->cellAt(line, column).firstCursorPosition().insertText(cells[column], plain);
        ++line;
    }
    cursor.movePosition(QTextCursor::End);
}

void addPictures(QTextDocument& report, QTextCursor& cursor, const std::vector<imaging::DisplayBitmap>& pictures)
{
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    int number = 0;
    for (const imaging::DisplayBitmap& bitmap : pictures) {
        const QImage image = framePicture(bitmap);
        if (image.isNull())
            continue;
        const QUrl name(QStringLiteral("report-picture:%1").arg(++number));
        report.addResource(QTextDocument::ImageResource, name, image);
        QTextImageFormat format;
        format.setName(name.toString());
        const double width = std::min<double>(image.width(), MaxPictureWidth);
        format.setWidth(width);
        format.setHeight(image.height() * width / image.width());
        cursor.insertBlock(centred);
        cursor.insertImage(format);
    }
}

} // namespace

bool hasPrintContent(const document::PageSetup& setup) { return setup.printHeader || setup.printImages; }

std::unique_ptr<QTextDocument> printableReport(QWidget* parent, const COrvoDoc& doc)
{
    const document::PageSetup& setup = doc.pageSetup();
    if (!hasPrintContent(setup))
        return nullptr;
    const auto options = reportOptions(doc);
    const auto header = setup.printHeader ? reportHeader(doc, options) : std::nullopt;
    std::vector<imaging::DisplayBitmap> pictures;
    if (setup.printImages) {
        PictureChoice choice;
        choice.frames = allFrames(doc);
        bool made = false;
        runExportJob(parent, static_cast<int>(choice.frames.size()), [&](const exporting::Progress& progress) {
            auto result = reportPictures(doc, choice, progress);
            if (result) {
                pictures = std::move(*result);
                made = true;
            }
            return made;
        });
        if (!made)
            return nullptr;
    }
    auto report = std::make_unique<QTextDocument>();
    QTextCursor cursor(report.get());
    addTitle(cursor, shownText(doc, doc.fileTitle(), options));
    if (header)
        addHeaderTable(cursor, *header);
    addPictures(*report, cursor, pictures);
    return report;
}

bool printReport(QWidget* parent, const COrvoDoc& doc, QPagedPaintDevice& device)
{
    const auto report = printableReport(parent, doc);
    if (!report)
        return false;
    report->print(&device);
    return true;
}

} // namespace reports
