// Files that no one can redirect and that appear complete or not at all. Plain C++ over POSIX,
// shared by the program, verdan-cli and the engines that write files.
//
// Every file is written under a unique temporary name beside its target, created with
// O_EXCL|O_NOFOLLOW (so a link or file planted under a predictable name is never followed or
// reused), every write and the fsync checked, and renamed over the target only when every file
// of the set is complete. On failure or cancellation nothing is renamed and no temporary is
// left; existing files of those names are unchanged.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace verdan::files {

/// How publishing a set of files ended.
struct PublishResult {
    bool ok = true;
    bool cancelled = false; ///< stopped through the cancel flag; nothing was renamed
    std::string path;       ///< the file at fault when !ok
    std::string reason;     ///< the system's reason, one line

    /// "PATH: could not be written (REASON)", or "cancelled".
    std::string message() const;
};

/// A temporary file of a set while it is filled: created empty, open for writing as `fd`.
struct TemporaryFile {
    std::string path;
    int fd = -1;
};

/// Fills a temporary file, through its descriptor (see writeBytes()) or by its name (as GDAL
/// writes): the empty string on success, else the reason.
using FileFiller = std::function<std::string(const TemporaryFile& file)>;

/// Writes `bytes` to `file` through its descriptor, every write checked: the empty string,
/// or the system's reason (a full disk, a file size limit).
std::string writeBytes(const TemporaryFile& file, std::string_view bytes);

/// A set of output files published together.
///
/// A target that is a symbolic link owned by the user stands for the file it names (the link
/// keeps naming the new content); a link owned by anyone else, a folder, pipe or device under
/// a target's name, or a target given twice is refused before anything is written.
class OutputSet {
public:
    /// Adds the file `path` with `bytes` as its content.
    void add(std::string path, std::string bytes);
    /// Adds the file `path` whose content `fill` writes when the set is published; the set
    /// checks that the file it created is the one filled (a filler that writes by name must
    /// not have been sent elsewhere) and flushes it to disk.
    void add(std::string path, FileFiller fill);

    /// Writes every file, then renames them all. `cancel`, when given, is looked at between
    /// the steps: once set, the set stops, removes its temporaries and reports `cancelled`.
    PublishResult publish(const std::atomic<bool>* cancel = nullptr) const;

private:
    struct Entry {
        std::string path;
        std::string bytes;
        FileFiller fill;
    };
    std::vector<Entry> m_entries;
};

/// Replaces the file `path` with `bytes` as a set of one file.
PublishResult writeFileAtomically(const std::string& path, const std::string& bytes);

} // namespace verdan::files
