// File access for the terrain databases: host paths through the drive map, names found
// without regard to letter case, and bounded reads that never run past a record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <unordered_map>
#include <vector>

namespace dorvex {

// Folder of drive letter `letter` (a..z, either case) in the drive map, ending with "/":
// $VERDAN_DRIVES/x/, else $XDG_DATA_HOME/verdan/drives/x/, else
// $HOME/.local/share/verdan/drives/x/.
std::string driveFolder(char letter);

// A path as written by a Windows tool ("D:\Quarn\DATS\") turned into a host path through
// the drive map, with "/" separators. Paths without a drive letter are returned unchanged.
std::string hostPath(std::string_view path);

// The existing file or folder whose path matches `path` when letter case is ignored in
// each component; `path` itself when it exists or no match is found.
std::string findNoCase(const std::string& path);

// True when `path`, looked up without regard to letter case, is an existing regular file.
bool fileExistsNoCase(const std::string& path);

// `text` without trailing blanks (and without trailing NUL bytes).
std::string_view trimRight(std::string_view text);

// True when the first `width` characters of `text` are all blanks.
bool isBlank(const char* text, std::size_t width);

// Copies `text` into the fixed-width field `field` of `width` characters, padding with
// blanks and cutting what does not fit.
void copyPadded(char* field, std::size_t width, std::string_view text);

// Upper-case copy of ASCII text.
std::string upperAscii(std::string_view text);

// Little-endian integers from a byte buffer.
inline int16_t readInt16(const unsigned char* bytes) {
    return static_cast<int16_t>(static_cast<uint16_t>(bytes[0] | (bytes[1] << 8)));
}
inline int32_t readInt32(const unsigned char* bytes) {
    return static_cast<int32_t>(
        static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
        (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24));
}

// A read-only regular file, closed when the object goes.
class ReadFile {
public:
    ReadFile() = default;
    ReadFile(const ReadFile&) = delete;
    ReadFile& operator=(const ReadFile&) = delete;
    ReadFile(ReadFile&& other) noexcept;
    ReadFile& operator=(ReadFile&& other) noexcept;
    ~ReadFile();

    // Opens an existing regular file found by findNoCase; false when it cannot be opened or
    // is not a regular file (a FIFO or device is refused without waiting for a writer).
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    // The file's current size in bytes; 0 when it is not open.
    std::size_t size() const;

    // Reads up to `count` bytes at byte `offset`: the number read (less than `count` only
    // at the end of the file), or -1 on a read error.
    ssize_t readAt(off_t offset, void* buffer, std::size_t count) const;

    // True when all `count` bytes at `offset` were read.
    bool readRecord(off_t offset, void* buffer, std::size_t count) const {
        return readAt(offset, buffer, count) == static_cast<ssize_t>(count);
    }

private:
    int fd_ = -1;
};

// A read-only regular file read in blocks through a small cache. A file that shrinks while
// it is open gives a failed read, never a signal (as a memory map would).
class BlockCachedFile {
public:
    // Opens an existing regular file found by findNoCase; false when it cannot be opened.
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return file_.isOpen(); }
    // The file's size in bytes when it was opened.
    std::size_t size() const { return size_; }
    // Copies the `count` bytes at `offset` (within one block of kBlockBytes) into `buffer`;
    // false when the bytes lie past the end or cannot be read.
    bool read(std::size_t offset, unsigned char* buffer, std::size_t count);

    static constexpr std::size_t kBlockBytes = 16384;
    static constexpr std::size_t kMaxBlocks = 256; // 4 MiB

private:
    const unsigned char* block(std::size_t index);

    ReadFile file_;
    std::size_t size_ = 0;
    std::unordered_map<std::size_t, std::vector<unsigned char>> blocks_;
};

} // namespace dorvex
