#include <verdan/coverage/Sites.h>

#include <verdan/files/OutputFiles.h>
#include <verdan/radio/AntennaPattern.h>
#include <verdan/radio/Units.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace verdan::coverage {

namespace {

constexpr std::array<const char*, SiteColumnCount> ColumnNames = {
    "name", "lat",     "lon",     "height_m", "power",   "tx_loss",
    "gain", "antenna", "azimuth", "tilt",     "freq_mhz"};

constexpr std::size_t MaxFileBytes = 16u << 20;

std::string lowered(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return std::string(text);
}

// The fields of one CSV line: separated by commas, optionally in double quotes ("" for "),
// each trimmed. False for a quote left open.
bool csvFields(std::string_view line, std::vector<std::string>& fields) {
    fields.assign(1, std::string());
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"')
            fields.back() += line[++i];
        else if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    for (std::string& field : fields)
        field = trimmed(field);
    return !quoted;
}

std::string shortest(double value) {
    std::array<char, 32> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
    return std::string(buffer.data(), end);
}

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"") == std::string::npos && trimmed(text) == text)
        return text;
    std::string quoted = "\"";
    for (const char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + '"';
}

bool plainName(const std::string& name) {
    const auto allowed = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               c == '.' || c == '_' || c == '-';
    };
    return !name.empty() && name.front() != '.' && std::all_of(name.begin(), name.end(), allowed);
}

// A cell's value into its site; the empty string, or why the text was refused.
class CellReader {
public:
    CellReader(Site& site, const std::string& text) : m_site(site), m_text(text) {}

    std::string read(SiteColumn column) {
        switch (column) {
        case SiteColumn::Name:
            m_site.name = m_text;
            return plainName(m_text) ? ""
                                     : "not a plain file name (letters, digits, '.', '_', '-')";
        case SiteColumn::Lat:
            return number(m_site.latDeg, -90, 90);
        case SiteColumn::Lon:
            return number(m_site.lonDeg, -180, 180);
        case SiteColumn::HeightM:
            return optionalNumber(m_site.heightM, 0.5, 3000);
        case SiteColumn::Azimuth:
            return optionalNumber(m_site.azimuthDeg, 0, 360);
        case SiteColumn::Tilt:
            return optionalNumber(m_site.tiltDeg, -90, 90);
        case SiteColumn::FreqMHz:
            return optionalNumber(m_site.freqMHz, 20, 20000);
        case SiteColumn::Antenna:
            m_site.antenna = m_text;
            return {};
        default:
            return withUnit(column);
        }
    }

private:
    std::string number(double& value, double minimum, double maximum) {
        const std::optional<double> read = radio::parseDecimal(m_text);
        if (!read || *read < minimum || *read > maximum)
            return "expected " + shortest(minimum) + " to " + shortest(maximum) + "; got \"" +
                   m_text + '"';
        value = *read;
        return {};
    }

    std::string optionalNumber(std::optional<double>& value, double minimum, double maximum) {
        if (m_text.empty())
            return {};
        double read = 0;
        std::string refused = number(read, minimum, maximum);
        if (refused.empty())
            value = read;
        return refused;
    }

    // power, tx_loss, gain: the radio library's readers of values with units.
    std::string withUnit(SiteColumn column) {
        if (m_text.empty())
            return {};
        std::string message;
        if (column == SiteColumn::Power) {
            const radio::PowerValue power = radio::parsePowerDbm(m_text);
            m_site.powerDbm = power.dbm;
            return power.dbm ? "" : power.message;
        }
        std::optional<double>& value =
            column == SiteColumn::Gain ? m_site.gainDbi : m_site.txLossDb;
        value = column == SiteColumn::Gain ? radio::parseGainDbi(m_text, message)
                                           : radio::parseLossDb(m_text, message);
        return value ? "" : message;
    }

    Site& m_site;
    const std::string& m_text;
};

// The header's columns, or the empty optional with `message` set.
std::optional<std::vector<SiteColumn>> headerColumns(const std::vector<std::string>& fields,
                                                     std::string& message) {
    std::vector<SiteColumn> columns;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string name = lowered(fields[i]);
        const auto known = std::find(ColumnNames.begin(), ColumnNames.end(), name);
        if (known == ColumnNames.end()) {
            message = "column " + std::to_string(i + 1) + ": \"" + fields[i] +
                      "\" is not a sites column (name, lat, lon, height_m, power, tx_loss, gain, "
                      "antenna, azimuth, tilt, freq_mhz)";
            return std::nullopt;
        }
        const auto column = static_cast<SiteColumn>(known - ColumnNames.begin());
        if (std::find(columns.begin(), columns.end(), column) != columns.end()) {
            message = "the column " + name + " is named twice";
            return std::nullopt;
        }
        columns.push_back(column);
    }
    for (const SiteColumn required : {SiteColumn::Name, SiteColumn::Lat, SiteColumn::Lon})
        if (std::find(columns.begin(), columns.end(), required) == columns.end()) {
            message = "expected a header naming the columns name, lat and lon (and optionally "
                      "height_m, power, tx_loss, gain, antenna, azimuth, tilt, freq_mhz)";
            return std::nullopt;
        }
    return columns;
}

// One row's site; the empty string, or why it was refused (naming the column).
std::string readRow(const std::vector<SiteColumn>& columns, const std::vector<std::string>& fields,
                    Site& site) {
    if (fields.size() > columns.size())
        return std::to_string(fields.size()) + " cells, but the header names " +
               std::to_string(columns.size()) + " columns";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const std::string text = i < fields.size() ? fields[i] : std::string();
        const bool required = columns[i] == SiteColumn::Name || columns[i] == SiteColumn::Lat ||
                              columns[i] == SiteColumn::Lon;
        std::string refused = required && text.empty() ? "a value is required"
                                                       : CellReader(site, text).read(columns[i]);
        if (!refused.empty())
            return "column " + siteColumnName(columns[i]) + ": " + refused;
    }
    if (site.gainDbi && !site.antenna.empty())
        return "columns gain and antenna: both given; the pattern file gives the antenna's gain";
    return {};
}

std::string systemError(const std::string& path) {
    return path + ": cannot read the sites file (" + std::strerror(errno) + ')';
}

} // namespace

std::string siteColumnName(SiteColumn column) {
    return ColumnNames.at(static_cast<std::size_t>(column));
}

SitesRead parseSites(std::string_view text, const std::string& fileName) {
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    SitesFile file;
    std::set<std::string> names; // in lower case
    std::vector<std::string> fields;
    std::size_t row = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        const std::string where = fileName + ": row " + std::to_string(++row);
        if (trimmed(line).empty())
            continue;
        if (!csvFields(line, fields))
            return {std::nullopt, where + ": a quote is not closed"};
        if (file.columns.empty()) {
            std::string message;
            const auto columns = headerColumns(fields, message);
            if (!columns)
                return {std::nullopt, where + ", " + message};
            file.columns = *columns;
            continue;
        }
        Site& site = file.sites.emplace_back();
        if (const std::string refused = readRow(file.columns, fields, site); !refused.empty())
            return {std::nullopt, where + ", " + refused};
        if (!names.insert(lowered(site.name)).second)
            return {std::nullopt, where + ", column name: \"" + site.name +
                                      "\" is given twice (letter case ignored)"};
    }
    if (file.sites.empty())
        return {std::nullopt, fileName + ": lists no site"};
    return {std::move(file), {}};
}

SitesRead readSitesFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return {std::nullopt, systemError(path)};
    struct stat info {};
    std::string text;
    std::string message;
    if (::fstat(fd, &info) != 0)
        message = systemError(path);
    else if (!S_ISREG(info.st_mode))
        message = path + ": not a regular file";
    else if (static_cast<std::size_t>(info.st_size) > MaxFileBytes)
        message = path + ": too large for a sites file (at most 16 MiB)";
    text.resize(message.empty() ? static_cast<std::size_t>(info.st_size) : 0);
    for (std::size_t done = 0; done < text.size() && message.empty();) {
        const ssize_t got = ::read(fd, text.data() + done, text.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            message = got == 0 ? path + ": changed while it was read" : systemError(path);
        done += got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    ::close(fd);
    if (!message.empty())
        return {std::nullopt, message};
    return parseSites(text, path);
}

namespace {

std::string cellText(const Site& site, SiteColumn column) {
    const auto optional = [](const std::optional<double>& value, const char* unit) {
        return value ? shortest(*value) + unit : std::string();
    };
    switch (column) {
    case SiteColumn::Name:
        return site.name;
    case SiteColumn::Lat:
        return shortest(site.latDeg);
    case SiteColumn::Lon:
        return shortest(site.lonDeg);
    case SiteColumn::HeightM:
        return optional(site.heightM, "");
    case SiteColumn::Power:
        return optional(site.powerDbm, "dBm");
    case SiteColumn::TxLoss:
        return optional(site.txLossDb, "");
    case SiteColumn::Gain:
        return optional(site.gainDbi, "dBi");
    case SiteColumn::Antenna:
        return site.antenna;
    case SiteColumn::Azimuth:
        return optional(site.azimuthDeg, "");
    case SiteColumn::Tilt:
        return optional(site.tiltDeg, "");
    case SiteColumn::FreqMHz:
        return optional(site.freqMHz, "");
    }
    return {};
}

} // namespace

std::string sitesCsv(const SitesFile& file) {
    std::string text;
    for (std::size_t i = 0; i < file.columns.size(); ++i)
        text += (i ? "," : "") + siteColumnName(file.columns[i]);
    text += '\n';
    for (const Site& site : file.sites) {
        for (std::size_t i = 0; i < file.columns.size(); ++i)
            text += (i ? "," : "") + csvField(cellText(site, file.columns[i]));
        text += '\n';
    }
    return text;
}

terrain::Status writeSitesFile(const std::string& path, const SitesFile& file) {
    const files::PublishResult written = files::writeFileAtomically(path, sitesCsv(file));
    return written.ok ? terrain::Status::success() : terrain::Status::failure(written.message());
}

std::string sitePatternPath(const std::string& sitesPath, const std::string& antenna) {
    if (antenna.starts_with('/'))
        return antenna;
    const std::size_t slash = sitesPath.rfind('/');
    return slash == std::string::npos ? antenna : sitesPath.substr(0, slash + 1) + antenna;
}

namespace {

std::string columnFault(SiteColumn column, const std::string& why) {
    return "column " + siteColumnName(column) + ": " + why;
}

// The transmitter's cells: a power replaces an ERP, a gain a pattern and a pattern a gain.
std::string applyTransmitter(const Site& site, const std::string& sitesPath, CoverageInputs& in) {
    radio::TransmitterSide& tx = in.transmitter;
    if (site.powerDbm) {
        tx.powerDbm = site.powerDbm;
        in.erpDbw.reset();
    }
    for (const auto& [column, given] : {std::pair{SiteColumn::TxLoss, site.txLossDb.has_value()},
                                        {SiteColumn::Gain, site.gainDbi.has_value()}})
        if (given && in.erpDbw)
            return columnFault(column, "the ERP already holds it; give the site a power");
    tx.lineLossDb = site.txLossDb.value_or(tx.lineLossDb);
    if (site.gainDbi) {
        tx.gainDbi = *site.gainDbi;
        tx.pattern.reset();
        tx.pointing = {};
    }
    if (!site.antenna.empty()) {
        radio::PatternRead read = radio::readPatternFile(sitePatternPath(sitesPath, site.antenna));
        if (!read.pattern)
            return columnFault(SiteColumn::Antenna, read.message);
        tx.pattern = std::move(read.pattern);
        tx.gainDbi = tx.pattern->gainDbi;
    }
    for (const auto& [column, given] : {std::pair{SiteColumn::Azimuth, site.azimuthDeg.has_value()},
                                        {SiteColumn::Tilt, site.tiltDeg.has_value()}})
        if (given && !tx.pattern)
            return columnFault(column, "it aims an antenna pattern; give the site's antenna");
    tx.pointing.azimuthDeg = site.azimuthDeg.value_or(tx.pointing.azimuthDeg);
    tx.pointing.downtiltDeg = site.tiltDeg.value_or(tx.pointing.downtiltDeg);
    return {};
}

} // namespace

std::string applySite(const Site& site, const std::string& sitesPath, CoverageInputs& in) {
    in.tx = {site.latDeg, site.lonDeg};
    in.txHeightM = site.heightM.value_or(in.txHeightM);
    in.freqMHz = site.freqMHz.value_or(in.freqMHz);
    if (std::string fault = applyTransmitter(site, sitesPath, in); !fault.empty())
        return fault;
    return checkInputs(in);
}

} // namespace verdan::coverage
