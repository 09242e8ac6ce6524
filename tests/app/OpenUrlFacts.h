#pragma once

// The pixels of a document's frame as bytes, for comparing two documents in
// Qt tests; kept out of the test class's file because moc cannot parse the
// core's headers.
#include <QByteArray>

class COrvoDoc;

namespace testfacts {

// Empty when the document has no such frame.
QByteArray framePixels(const COrvoDoc& doc, int index);

} // namespace testfacts
