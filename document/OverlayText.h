#pragma once

// The toolkit's side of the overlay records: their fonts and colours as Qt
// sees them, and text sizes measured the way the records keep them.

#include "document/UserOptions.h"
#include "view/model/OverlayRecords.h"

#include <QColor>
#include <QFont>
#include <QString>

namespace overlaytext {

// The screen's vertical resolution the fonts are sized by; 96 without a screen.
int pixelsPerInch();

QColor toQColor(viewmodel::Colour colour);
viewmodel::Colour fromQColor(const QColor& colour);

// A record's font at a zoom factor: its point height turned into pixels at
// pixelsPerInch() and scaled, never below one pixel.
QFont toQFont(const viewmodel::OverlayFont& font, double zoom);
// What the font dialog chose, as a record keeps it (height in points).
viewmodel::OverlayFont fromQFont(const QFont& font);
// A font the user set in the options.
viewmodel::OverlayFont fromFontRecord(const document::FontRecord& record);
// The font for the font dialog: the record's at its point size.
QFont toDialogFont(const viewmodel::OverlayFont& font);

QString toQString(const std::string& utf8);
// The text's extent in a font at zoom 1, the size a record keeps. Lines are
// measured one below another, so a multi-line annotation's box covers all of it.
viewmodel::Size nominalTextSize(const QString& text, const viewmodel::OverlayFont& font);

} // namespace overlaytext
