#include "dicom/FolderWalk.h"

#include <cerrno>
#include <string_view>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dicom {

namespace {

constexpr int FolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// A folder on the walk's stack: how much of the walk's path is its own
// (the paths of a branch share their beginning, so a deep tree does not keep
// one long path per level), what it is (to recognise it when coming back
// up), and the sub-folders still to enter.
struct Frame {
    std::size_t pathLength = 0;
    dev_t device = 0;
    ino_t inode = 0;
    std::vector<std::string> subfolders;
    std::size_t next = 0;
};

bool isDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// What an entry is, from the kind the listing gave (no system call) or, when
// it gave none, from lstat.
enum class Kind { Folder, Regular, Link, Special, Gone };

Kind kindOf(int folderFd, const dirent& entry)
{
    switch (entry.d_type) {
    case DT_DIR: return Kind::Folder;
    case DT_REG: return Kind::Regular;
    case DT_LNK: return Kind::Link;
    case DT_FIFO:
    case DT_CHR:
    case DT_BLK:
    case DT_SOCK: return Kind::Special;
    default: break;
    }
    struct stat status {};
    if (::fstatat(folderFd, entry.d_name, &status, AT_SYMLINK_NOFOLLOW) != 0)
        return Kind::Gone;
    if (S_ISDIR(status.st_mode))
        return Kind::Folder;
    if (S_ISREG(status.st_mode))
        return Kind::Regular;
    if (S_ISLNK(status.st_mode))
        return Kind::Link;
    return Kind::Special;
}

class Walk {
public:
    Walk(bool recursive, const RegularFound& onFile, ScanCounts& counts, const std::atomic<bool>& stop)
        : m_recursive(recursive), m_onFile(onFile), m_counts(counts), m_stop(stop)
    {
    }

    bool run(const std::string& rootFolder);

private:
    bool list(int folderFd, std::vector<std::string>& subfolders);
    void entry(int folderFd, const std::string& folder, const dirent& entry, std::vector<std::string>& subfolders);
    int climb(int childFd, Frame& parent);

    bool m_recursive;
    const RegularFound& m_onFile;
    ScanCounts& m_counts;
    const std::atomic<bool>& m_stop;
    std::string m_path; // the folder being listed, or an ancestor's prefix of it
};

void Walk::entry(int folderFd, const std::string& folder, const dirent& entry, std::vector<std::string>& subfolders)
{
    switch (kindOf(folderFd, entry)) {
    case Kind::Folder:
        // Outside a recursive walk a sub-folder is not listed and counts nowhere.
        if (m_recursive)
            subfolders.emplace_back(entry.d_name);
        return;
    case Kind::Regular: m_onFile(folderFd, folder, entry.d_name); return;
    case Kind::Special: ++m_counts.special; return;
    case Kind::Gone: ++m_counts.unreadable; return;
    case Kind::Link: break;
    }
    // A link counts as what it leads to, except that a folder is never
    // entered through one: that is what keeps link loops out.
    struct stat target {};
    if (::fstatat(folderFd, entry.d_name, &target, 0) != 0)
        ++m_counts.unreadable; // broken, or a loop of links
    else if (S_ISDIR(target.st_mode))
        ++m_counts.linkedFolders;
    else if (S_ISREG(target.st_mode))
        m_onFile(folderFd, folder, entry.d_name);
    else
        ++m_counts.special;
}

// Lists one folder: its files go out in the order the system lists them, its
// sub-folders are kept in subfolders for later. False when stopped.
bool Walk::list(int folderFd, std::vector<std::string>& subfolders)
{
    const int listFd = ::dup(folderFd);
    DIR* folder = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (!folder) {
        if (listFd >= 0)
            ::close(listFd);
        ++m_counts.unreadable;
        return !m_stop.load();
    }
    ++m_counts.folders;
    while (const dirent* found = ::readdir(folder)) {
        if (m_stop.load())
            break;
        if (!isDot(found->d_name))
            entry(folderFd, m_path, *found, subfolders);
    }
    ::closedir(folder);
    return !m_stop.load();
}

// Goes from a finished child back to its parent. ".." is tried first (it
// works at any depth); if the tree moved meanwhile, the parent's path. -1
// when neither leads back to the same folder.
int Walk::climb(int childFd, Frame& parent)
{
    auto same = [&](int fd) {
        struct stat status {};
        return fd >= 0 && ::fstat(fd, &status) == 0 && status.st_dev == parent.device &&
               status.st_ino == parent.inode;
    };
    int fd = childFd >= 0 ? ::openat(childFd, "..", FolderFlags) : -1;
    if (childFd >= 0)
        ::close(childFd);
    if (same(fd))
        return fd;
    if (fd >= 0)
        ::close(fd);
    m_path.resize(parent.pathLength);
    fd = ::open(m_path.c_str(), FolderFlags);
    if (same(fd))
        return fd;
    if (fd >= 0)
        ::close(fd);
    return -1;
}

bool Walk::run(const std::string& rootFolder)
{
    int fd = rootFolder.empty() ? -1 : ::open(rootFolder.c_str(), FolderFlags);
    struct stat status {};
    if (fd < 0 || ::fstat(fd, &status) != 0) {
        if (fd >= 0)
            ::close(fd);
        ++m_counts.unreadable;
        return !m_stop.load();
    }
    m_path = rootFolder;
    std::vector<Frame> stack;
    stack.push_back({rootFolder.size(), status.st_dev, status.st_ino, {}, 0});
    if (!list(fd, stack.back().subfolders)) {
        ::close(fd);
        return false;
    }
    // fd always belongs to stack.back(), or is -1 when that folder was lost.
    while (!stack.empty()) {
        if (m_stop.load())
            break;
        Frame& top = stack.back();
        if (top.next == top.subfolders.size() || fd < 0) {
            if (fd < 0) // its folder was lost: what it still held cannot be reached
                m_counts.unreadable += top.subfolders.size() - top.next;
            stack.pop_back();
            if (!stack.empty())
                fd = climb(fd, stack.back());
            continue;
        }
        const std::string& name = top.subfolders[top.next++];
        m_path.resize(top.pathLength);
        const int child = ::openat(fd, name.c_str(), FolderFlags | O_NOFOLLOW);
        if (child < 0 || ::fstat(child, &status) != 0) {
            if (child >= 0)
                ::close(child);
            if (errno == ELOOP) // replaced by a link since listed
                ++m_counts.linkedFolders;
            else
                ++m_counts.unreadable;
            continue;
        }
        m_path += name;
        m_path += '/';
        Frame frame {m_path.size(), status.st_dev, status.st_ino, {}, 0};
        const bool going = list(child, frame.subfolders);
        if (!going) {
            ::close(child);
            break;
        }
        if (frame.subfolders.empty()) {
            ::close(child); // nothing below: stay where we are
            continue;
        }
        ::close(fd);
        fd = child;
        stack.push_back(std::move(frame));
    }
    if (fd >= 0)
        ::close(fd);
    return !m_stop.load();
}

} // namespace

std::string absoluteFolder(const std::filesystem::path& root)
{
    if (root.empty())
        return {};
    std::error_code error;
    std::string text = std::filesystem::absolute(root, error).string();
    if (error || text.empty())
        return {};
    if (text.back() != '/')
        text += '/';
    return text;
}

bool walkFolders(const std::filesystem::path& root, bool recursive, const RegularFound& onFile, ScanCounts& counts,
                 const std::atomic<bool>& stop)
{
    Walk walk(recursive, onFile, counts, stop);
    return walk.run(absoluteFolder(root));
}

} // namespace dicom
