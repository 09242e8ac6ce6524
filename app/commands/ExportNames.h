#pragma once

// Names and paths the export commands and the "Export frames" dialog share.

#include <QString>

#include <filesystem>
#include <string>
#include <vector>

class COrvoDoc;

// Folders are kept with a trailing "/"; an empty text stays empty.
QString withTrailingSlash(const QString& directory);
// The name exports start with: the document's title without its extension,
// made safe as a file name; a neutral name when anonymized exports are on
// and the title is not one of the document's file names (a series label
// made of header values may hold the Patient's Name).
QString exportBaseName(const COrvoDoc& doc);
// A path of the file system from a name the user typed.
std::filesystem::path localPath(const QString& path);
// The document's own files, which no export may overwrite.
std::vector<std::filesystem::path> protectedPaths(const COrvoDoc& doc);
// A failure's fixed text first, then the reason the system gave (such as
// "No space left on device") on a line of its own, when there is one.
QString failureText(const QString& fixed, const std::string& reason);
