#include "app/commands/ExportNames.h"

#include "app/ReportContent.h"

#include "document/COrvoDoc.h"
#include "export/ExportPlan.h"

#include <QFile>
#include <QFileInfo>

QString withTrailingSlash(const QString& directory)
{
    if (directory.isEmpty() || directory.endsWith(QLatin1Char('/')))
        return directory;
    return directory + QLatin1Char('/');
}

QString exportBaseName(const COrvoDoc& doc)
{
    // A file named after the patient gives the anonymized value instead.
    const QString title = reports::shownText(doc, doc.fileTitle(), reports::reportOptions(doc));
    bool fileName = !doc.filePath().isEmpty() && QFileInfo(doc.filePath()).fileName() == title;
    for (const QString& source : doc.sourcePaths())
        fileName = fileName || QFileInfo(source).fileName() == title;
    const auto source = fileName ? exporting::TitleSource::FileName : exporting::TitleSource::HeaderValues;
    const auto anonymized = doc.anonymizedExports() ? exporting::Anonymized::Yes : exporting::Anonymized::No;
    return QString::fromStdString(exporting::defaultExportName(title.toStdString(), source, anonymized));
}

std::filesystem::path localPath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

std::vector<std::filesystem::path> protectedPaths(const COrvoDoc& doc)
{
    std::vector<std::filesystem::path> paths;
    for (const QString& source : doc.sourcePaths())
        paths.push_back(localPath(source));
    if (!doc.filePath().isEmpty())
        paths.push_back(localPath(doc.filePath()));
    return paths;
}

QString failureText(const QString& fixed, const std::string& reason)
{
    if (reason.empty())
        return fixed;
    return fixed + QLatin1Char('\n') + QString::fromLocal8Bit(reason.data(), static_cast<qsizetype>(reason.size()));
}
