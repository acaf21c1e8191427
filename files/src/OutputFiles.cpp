#include <verdan/files/OutputFiles.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace verdan::files {

namespace {

std::string systemReason(int error) {
    return std::strerror(error);
}

// `path` without its last component ("." for a bare name).
std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a write to `path` replaces: the end of its chain of links owned by the user, so
// that a link keeps naming the new content. A link owned by anyone else is never followed
// (as the kernel's protected links rule for shared folders): it fails with `reason`.
bool resolveTarget(std::string path, std::string& resolved, std::string& reason) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            resolved = path;
            return true;
        }
        if (info.st_uid != ::geteuid()) {
            reason = "it is a link owned by another user";
            return false;
        }
        char buffer[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), buffer, sizeof buffer);
        if (length < 0) {
            reason = systemReason(errno);
            return false;
        }
        const std::string link(buffer, static_cast<std::size_t>(length));
        const std::size_t slash = path.rfind('/');
        path = link.front() == '/' || slash == std::string::npos ? link
                                                                 : path.substr(0, slash + 1) + link;
    }
    reason = systemReason(ELOOP);
    return false;
}

// Why `target` (resolved) cannot be replaced, or the empty string.
std::string targetProblem(const std::string& target) {
    if (target.empty() || target.back() == '/')
        return "it names a folder";
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0)
        return {};
    // A pipe, device or folder under that name stays what it is: renaming over it would
    // silently put a plain file in its place.
    if (!S_ISREG(info.st_mode))
        return "it is not a regular file (a folder, pipe or device)";
    if (::access(target.c_str(), W_OK) != 0)
        return systemReason(errno);
    return {};
}

// `target` with its folder made canonical, so that two spellings of one file compare equal.
std::string canonicalName(const std::string& target) {
    char folder[PATH_MAX];
    if (::realpath(folderOf(target).c_str(), folder) == nullptr)
        return target;
    return std::string(folder) + '/' + target.substr(target.rfind('/') + 1);
}

std::string randomSuffix() {
    std::uint64_t value = 0;
    if (::getrandom(&value, sizeof value, 0) != static_cast<ssize_t>(sizeof value))
        value ^= static_cast<std::uint64_t>(::getpid()) << 32 ^
                 static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&value));
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string text;
    for (int i = 0; i < 10; ++i, value /= 36)
        text += digits[value % 36];
    return text;
}

// A new, empty file beside `target`: created, never opened through a link or reused, with the
// permissions of the existing `target` (else those of a new file). Its descriptor, or -1.
int createBeside(const std::string& target, std::string& name) {
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + '.' + randomSuffix();
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                              exists ? 0600 : 0666);
        if (fd >= 0 && exists && ::fchmod(fd, existing.st_mode & 07777) != 0) {
            const int error = errno;
            ::close(fd);
            ::unlink(name.c_str());
            errno = error;
            return -1;
        }
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool flushed(int fd) {
    return ::fsync(fd) == 0 || errno == EINVAL;
}

// Whether the file now named `name` is the one open as `fd` and no link: a filler that
// writes by name must not have been sent elsewhere.
bool sameFile(int fd, const std::string& name) {
    const int again = ::open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (again < 0)
        return false;
    struct stat opened {};
    struct stat now {};
    const bool same = ::fstat(fd, &opened) == 0 && ::fstat(again, &now) == 0 &&
                      S_ISREG(now.st_mode) && opened.st_dev == now.st_dev &&
                      opened.st_ino == now.st_ino;
    ::close(again);
    return same;
}

// The temporaries of one publishing, removed unless renamed.
class Temporaries {
public:
    ~Temporaries() {
        for (const std::string& name : m_names)
            ::unlink(name.c_str());
    }
    void add(std::string name) { m_names.push_back(std::move(name)); }
    const std::string& operator[](std::size_t i) const { return m_names[i]; }
    void released(std::size_t i) { m_names[i].clear(); }

private:
    std::vector<std::string> m_names;
};

PublishResult failure(const std::string& path, std::string reason) {
    return {false, false, path, std::move(reason)};
}

bool isCancelled(const std::atomic<bool>* cancel) {
    return cancel != nullptr && cancel->load();
}

void syncFolders(const std::vector<std::string>& targets) {
    std::vector<std::string> folders;
    for (const std::string& target : targets)
        folders.push_back(folderOf(target));
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    for (const std::string& folder : folders) {
        // The renames are done: a folder whose fsync fails (some file systems refuse it) only
        // loses the ordering guarantee, not the files.
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }
}

} // namespace

std::string writeBytes(const TemporaryFile& file, std::string_view bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t written = ::write(file.fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return systemReason(errno);
        if (written == 0) // nothing taken and no reason given: never loop on it
            return systemReason(ENOSPC);
        done += static_cast<std::size_t>(written);
    }
    return {};
}

std::string PublishResult::message() const {
    if (cancelled)
        return "cancelled";
    return path + ": could not be written (" + reason + ")";
}

void OutputSet::add(std::string path, std::string bytes) {
    m_entries.push_back({std::move(path), std::move(bytes), {}});
}

void OutputSet::add(std::string path, FileFiller fill) {
    m_entries.push_back({std::move(path), {}, std::move(fill)});
}

PublishResult OutputSet::publish(const std::atomic<bool>* cancel) const {
    std::vector<std::string> targets(m_entries.size());
    std::vector<std::string> canonical;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const std::string& path = m_entries[i].path;
        std::string reason;
        if (!resolveTarget(path, targets[i], reason))
            return failure(path, reason);
        if (reason = targetProblem(targets[i]); !reason.empty())
            return failure(path, reason);
        canonical.push_back(canonicalName(targets[i]));
        if (std::count(canonical.begin(), canonical.end(), canonical.back()) > 1)
            return failure(path, "it is given twice");
    }
    Temporaries temporaries;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (isCancelled(cancel))
            return {false, true, {}, {}};
        const Entry& entry = m_entries[i];
        std::string name;
        const int fd = createBeside(targets[i], name);
        if (fd < 0)
            return failure(entry.path, systemReason(errno));
        temporaries.add(name);
        const TemporaryFile file{name, fd};
        std::string reason = entry.fill ? entry.fill(file) : writeBytes(file, entry.bytes);
        if (reason.empty() && !sameFile(fd, name))
            reason = "the file was replaced while it was written";
        if (reason.empty() && !flushed(fd))
            reason = systemReason(errno);
        if (::close(fd) != 0 && reason.empty())
            reason = systemReason(errno);
        if (isCancelled(cancel))
            return {false, true, {}, {}};
        if (!reason.empty())
            return failure(entry.path, reason);
    }
    if (isCancelled(cancel))
        return {false, true, {}, {}};
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (::rename(temporaries[i].c_str(), targets[i].c_str()) != 0)
            return failure(m_entries[i].path, systemReason(errno));
        temporaries.released(i);
    }
    syncFolders(targets);
    return {};
}

PublishResult writeFileAtomically(const std::string& path, const std::string& bytes) {
    OutputSet set;
    set.add(path, bytes);
    return set.publish();
}

} // namespace verdan::files
