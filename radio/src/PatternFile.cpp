// Reading Planet/MSI antenna pattern files.
#include <verdan/radio/AntennaPattern.h>
#include <verdan/radio/Units.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace verdan::radio {

namespace {

constexpr std::size_t MaxFileBytes = 1 << 20;
constexpr double MaxAttenuationDb = 200;

// A line cut into blank-separated words (blanks: spaces and tabs; a CR at the end dropped).
std::vector<std::string_view> wordsOf(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
            ++at;
        std::size_t end = at;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t')
            ++end;
        if (end > at)
            words.push_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

std::string upper(std::string_view word) {
    std::string result(word);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    return result;
}

// The text after the first word of a line, without the line end and surrounding blanks.
std::string restAfterFirstWord(std::string_view line) {
    const auto words = wordsOf(line);
    if (words.size() < 2)
        return {};
    const std::string_view& last = words.back();
    return std::string(words[1].data(), last.data() + last.size() - words[1].data());
}

bool isKeyword(const std::string& word) {
    static const char* const Known[] = {"NAME", "MAKE",       "FREQUENCY", "GAIN",
                                        "TILT", "HORIZONTAL", "VERTICAL",  "COMMENT"};
    return std::any_of(std::begin(Known), std::end(Known),
                       [&word](const char* key) { return word == key; });
}

class Parser {
public:
    Parser(std::string_view text, const std::string& fileName) : m_fileName(fileName) {
        std::size_t at = 0;
        while (at <= text.size()) {
            const std::size_t end = std::min(text.find('\n', at), text.size());
            m_lines.push_back(text.substr(at, end - at));
            at = end + 1;
        }
        if (m_lines.size() > 1 && m_lines.back().empty())
            m_lines.pop_back(); // the line end of the last line
    }

    PatternRead run() {
        bool horizontal = false;
        bool vertical = false;
        for (m_index = 0; m_index < m_lines.size(); ++m_index) {
            const auto words = wordsOf(m_lines[m_index]);
            if (words.empty())
                continue;
            const std::string key = upper(words[0]);
            if (key == "HORIZONTAL" || key == "VERTICAL") {
                const bool isHorizontal = key == "HORIZONTAL";
                if (!readBlock(words, isHorizontal ? m_pattern.horizontalDb : m_pattern.verticalDb,
                               key))
                    return failure();
                (isHorizontal ? horizontal : vertical) = true;
            } else if (!readKeyword(key, words))
                return failure();
        }
        if (!horizontal || !vertical) {
            m_message = m_fileName + ": no " + std::string(horizontal ? "VERTICAL" : "HORIZONTAL") +
                        " block of 360 rows: not an antenna pattern file";
            return failure();
        }
        m_pattern.gainDbi = m_gainDb + (m_gainInDbi ? 0.0 : DipoleGainDbi);
        return {m_pattern, {}};
    }

private:
    PatternRead failure() const { return {std::nullopt, m_message}; }

    bool fail(std::size_t lineIndex, const std::string& what) {
        m_message = m_fileName + ":" + std::to_string(lineIndex + 1) + ": " + what;
        return false;
    }

    bool readKeyword(const std::string& key, const std::vector<std::string_view>& words) {
        if (key == "NAME")
            m_pattern.name = restAfterFirstWord(m_lines[m_index]);
        else if (key == "MAKE")
            m_pattern.make = restAfterFirstWord(m_lines[m_index]);
        else if (key == "FREQUENCY")
            return readFrequency(words);
        else if (key == "GAIN")
            return readGain(words);
        else if (key == "TILT")
            return readTilt(words);
        else if (m_index == firstWordLine() && !isKeyword(key))
            m_pattern.name = restOfLine(m_lines[m_index]);
        else if (parseDecimal(words[0]))
            return fail(m_index, "a row of numbers outside a HORIZONTAL or VERTICAL block");
        return true;
    }

    // The index of the first line with a word.
    std::size_t firstWordLine() const {
        for (std::size_t i = 0; i < m_lines.size(); ++i)
            if (!wordsOf(m_lines[i]).empty())
                return i;
        return m_lines.size();
    }

    static std::string restOfLine(std::string_view line) {
        const auto words = wordsOf(line);
        const std::string_view& last = words.back();
        return std::string(words[0].data(), last.data() + last.size() - words[0].data());
    }

    bool readFrequency(const std::vector<std::string_view>& words) {
        const auto freq = words.size() >= 2 ? parseDecimal(words[1]) : std::nullopt;
        const bool unitOk = words.size() < 3 || upper(words[2]) == "MHZ";
        if (!freq || !(*freq > 0 && *freq <= 1e6) || !unitOk || words.size() > 3)
            return fail(m_index, "FREQUENCY is a number of MHz above 0");
        m_pattern.freqMHz = *freq;
        return true;
    }

    // GAIN 15.85 | GAIN 15.85 dBd | GAIN 18 dBi | GAIN 18dBi
    bool readGain(const std::vector<std::string_view>& words) {
        std::string text;
        for (std::size_t i = 1; i < words.size(); ++i)
            text += words[i];
        const std::string unit = upper(text.size() >= 3 ? text.substr(text.size() - 3) : "");
        m_gainInDbi = unit == "DBI";
        const auto value =
            parseDecimal(unit == "DBI" || unit == "DBD" ? text.substr(0, text.size() - 3) : text);
        if (!value || std::abs(*value) > 60)
            return fail(m_index, "GAIN is a number of dB (-60..60), optionally followed by "
                                 "dBi or dBd");
        m_gainDb = *value;
        return true;
    }

    // TILT 6 | TILT ELECTRICAL | TILT MECHANICAL (the kind of tilt only; no value)
    bool readTilt(const std::vector<std::string_view>& words) {
        if (words.size() < 2)
            return true;
        const auto value = parseDecimal(words[1]);
        if (value) {
            if (std::abs(*value) > 90)
                return fail(m_index, "TILT is a number of degrees, -90..90");
            m_pattern.electricalTiltDeg = *value;
        }
        return true;
    }

    bool readBlock(const std::vector<std::string_view>& words, std::array<double, 360>& table,
                   const std::string& key) {
        const auto count = words.size() >= 2 ? parseDecimal(words[1]) : std::nullopt;
        if (!count || *count != 360)
            return fail(m_index, key + " must be followed by 360 (rows at whole degrees)");
        const std::size_t header = m_index;
        int rows = 0;
        while (rows < 360) {
            ++m_index;
            if (m_index >= m_lines.size())
                return fail(m_lines.size() - 1, shortBlock(key, header, rows));
            const auto row = wordsOf(m_lines[m_index]);
            if (row.empty())
                continue;
            if (!parseDecimal(row[0]))
                return fail(m_index, shortBlock(key, header, rows));
            if (!readRow(row, table, rows))
                return false;
            ++rows;
        }
        return true;
    }

    static std::string shortBlock(const std::string& key, std::size_t header, int rows) {
        return "the " + key + " block of line " + std::to_string(header + 1) + " ends after " +
               std::to_string(rows) + " of its 360 rows";
    }

    bool readRow(const std::vector<std::string_view>& row, std::array<double, 360>& table,
                 int index) {
        const auto angle = parseDecimal(row[0]);
        const auto value = row.size() >= 2 ? parseDecimal(row[1]) : std::nullopt;
        if (row.size() != 2 || !value)
            return fail(m_index, "expected an angle and an attenuation in dB, found \"" +
                                     std::string(m_lines[m_index].substr(
                                         0, std::min<std::size_t>(m_lines[m_index].size(), 40))) +
                                     "\"");
        if (std::abs(*angle - index) > 1e-6)
            return fail(m_index, "expected the angle " + std::to_string(index) +
                                     " (rows at whole degrees from 0 to 359)");
        if (std::abs(*value) > MaxAttenuationDb)
            return fail(m_index, "attenuation out of range: 0..200 dB below the peak");
        table[static_cast<std::size_t>(index)] = std::abs(*value);
        return true;
    }

    std::string m_fileName;
    std::vector<std::string_view> m_lines;
    std::size_t m_index = 0;
    AntennaPattern m_pattern;
    double m_gainDb = 0;
    bool m_gainInDbi = false;
    std::string m_message;
};

std::string systemError(const std::string& path, const char* what) {
    return path + ": " + what + " (" + std::strerror(errno) + ")";
}

} // namespace

PatternRead parsePattern(std::string_view text, const std::string& fileName) {
    return Parser(text, fileName).run();
}

PatternRead readPatternFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return {std::nullopt, systemError(path, "cannot open the antenna pattern file")};
    struct stat info {};
    std::string text;
    std::string message;
    if (::fstat(fd, &info) != 0)
        message = systemError(path, "cannot read the antenna pattern file");
    else if (!S_ISREG(info.st_mode))
        message = path + ": not a regular file";
    else if (static_cast<std::size_t>(info.st_size) > MaxFileBytes)
        message = path + ": too large for an antenna pattern file (at most 1 MiB)";
    else {
        text.resize(static_cast<std::size_t>(info.st_size));
        std::size_t done = 0;
        while (done < text.size()) {
            const ssize_t got = ::read(fd, text.data() + done, text.size() - done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                message = systemError(path, "cannot read the antenna pattern file");
                break;
            }
            done += static_cast<std::size_t>(got);
        }
    }
    ::close(fd);
    if (!message.empty())
        return {std::nullopt, message};
    return parsePattern(text, path);
}

} // namespace verdan::radio
