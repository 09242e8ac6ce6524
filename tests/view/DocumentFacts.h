#pragma once

// Reads facts out of a document for Qt tests. Kept out of the test classes'
// own files because moc cannot parse the C++20 headers of the core.
#include <QString>
#include <QStringList>

class COrvoDoc;

namespace testfacts {

int frameWidth(const COrvoDoc& doc, int index);
// The header rows of the current data set as the listing gives them: tag and value.
QStringList headerTags(const COrvoDoc& doc);
QStringList headerValues(const COrvoDoc& doc);

} // namespace testfacts
