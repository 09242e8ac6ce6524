#pragma once

// The walk under FolderScan: a depth-first pass over a folder tree that keeps
// its own stack (a tree thousands of levels deep costs heap, not call stack),
// opens every folder relative to its parent's descriptor (so neither the
// process's working directory nor PATH_MAX matters), and holds one folder
// descriptor at a time, going back up through "..", checked against the
// device and inode it left.

#include "dicom/FolderScan.h"

#include <atomic>
#include <functional>
#include <string>

namespace dicom {

// A regular file (or a link to one) met by the walk: the descriptor of its
// folder, valid for the call only, the folder's absolute path ending in "/",
// and the name inside it.
using RegularFound = std::function<void(int folderFd, const std::string& folder, const char* name)>;

// Counts folders, special entries, links to folders and what could not be
// opened; regular files go to onFile, which counts them. False when stopped.
bool walkFolders(const std::filesystem::path& root, bool recursive, const RegularFound& onFile, ScanCounts& counts,
                 const std::atomic<bool>& stop);

// The absolute path of root as text ending in "/", fixed once from the
// working directory of the moment; empty for an empty root.
std::string absoluteFolder(const std::filesystem::path& root);

} // namespace dicom
