#include "files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace dorvex {

namespace {

std::string envValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string withSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

bool pathExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// The entry of `folder` named `name` without regard to case, or empty when none.
std::string matchEntry(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) {
        return {};
    }
    std::string found;
    while (const dirent* entry = ::readdir(dir)) {
        if (equalNoCase(entry->d_name, name)) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

} // namespace

std::string driveFolder(char letter) {
    const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    std::string root = envValue("VERDAN_DRIVES");
    if (root.empty()) {
        std::string data = envValue("XDG_DATA_HOME");
        if (data.empty()) {
            std::string home = envValue("HOME");
            if (home.empty()) {
                const passwd* user = ::getpwuid(::getuid());
                home = user && user->pw_dir ? user->pw_dir : "";
            }
            data = withSlash(home) + ".local/share";
        }
        root = withSlash(data) + "verdan/drives";
    }
    return withSlash(root) + drive + '/';
}

std::string hostPath(std::string_view path) {
    if (path.size() < 2 || path[1] != ':' || !std::isalpha(static_cast<unsigned char>(path[0]))) {
        return std::string(path);
    }
    std::string rest(path.substr(2));
    for (char& c : rest) {
        if (c == '\\') {
            c = '/';
        }
    }
    std::size_t start = 0;
    while (start < rest.size() && rest[start] == '/') {
        ++start;
    }
    return driveFolder(path[0]) + rest.substr(start);
}

std::string findNoCase(const std::string& path) {
    if (path.empty() || pathExists(path)) {
        return path;
    }
    std::string resolved = path[0] == '/' ? "/" : "";
    std::size_t pos = path[0] == '/' ? 1 : 0;
    while (pos <= path.size()) {
        std::size_t end = path.find('/', pos);
        if (end == std::string::npos) {
            end = path.size();
        }
        const std::string part = path.substr(pos, end - pos);
        if (!part.empty()) {
            std::string candidate = resolved + part;
            if (!pathExists(candidate)) {
                const std::string match = matchEntry(resolved, part);
                if (match.empty()) {
                    return path;
                }
                candidate = resolved + match;
            }
            resolved = candidate;
            if (end < path.size()) {
                resolved += '/';
            }
        }
        pos = end + 1;
    }
    return resolved;
}

bool fileExistsNoCase(const std::string& path) {
    struct stat info {};
    return ::stat(findNoCase(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string_view trimRight(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\0')) {
        --end;
    }
    return text.substr(0, end);
}

bool isBlank(const char* text, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) {
        if (text[i] != ' ') {
            return false;
        }
    }
    return true;
}

void copyPadded(char* field, std::size_t width, std::string_view text) {
    for (std::size_t i = 0; i < width; ++i) {
        field[i] = i < text.size() ? text[i] : ' ';
    }
}

std::string upperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return upper;
}

ReadFile::ReadFile(ReadFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

ReadFile& ReadFile::operator=(ReadFile&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

ReadFile::~ReadFile() {
    close();
}

bool ReadFile::open(const std::string& path) {
    close();
    // Non-blocking, so that a FIFO without a writer does not stop the caller; the type is
    // checked before anything is read.
    const int fd = ::open(findNoCase(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void ReadFile::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

ssize_t ReadFile::readAt(off_t offset, void* buffer, std::size_t count) const {
    if (fd_ < 0 || offset < 0) {
        return -1;
    }
    auto* bytes = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got =
            ::pread(fd_, bytes + done, count - done, offset + static_cast<off_t>(done));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return -1;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(done);
}

std::size_t ReadFile::size() const {
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0 || info.st_size < 0) {
        return 0;
    }
    return static_cast<std::size_t>(info.st_size);
}

bool BlockCachedFile::open(const std::string& path) {
    close();
    if (!file_.open(path)) {
        return false;
    }
    size_ = file_.size();
    return true;
}

void BlockCachedFile::close() {
    file_.close();
    size_ = 0;
    blocks_.clear();
}

bool BlockCachedFile::read(std::size_t offset, unsigned char* buffer, std::size_t count) {
    const std::size_t index = offset / kBlockBytes;
    const std::size_t within = offset % kBlockBytes;
    if (offset + count > size_ || within + count > kBlockBytes) {
        return false;
    }
    const unsigned char* bytes = block(index);
    if (!bytes) {
        return false;
    }
    std::copy_n(bytes + within, count, buffer);
    return true;
}

const unsigned char* BlockCachedFile::block(std::size_t index) {
    const auto found = blocks_.find(index);
    if (found != blocks_.end()) {
        return found->second.data();
    }
    if (blocks_.size() >= kMaxBlocks) {
        blocks_.clear();
    }
    const std::size_t start = index * kBlockBytes;
    const std::size_t wanted = std::min(kBlockBytes, size_ - start);
    std::vector<unsigned char> bytes(kBlockBytes);
    // A block shorter than the size at opening means the file was cut meanwhile.
    if (file_.readAt(static_cast<off_t>(start), bytes.data(), wanted) !=
        static_cast<ssize_t>(wanted)) {
        return nullptr;
    }
    return blocks_.emplace(index, std::move(bytes)).first->second.data();
}

} // namespace dorvex
