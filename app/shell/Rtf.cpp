#include "Rtf.h"

#include <algorithm>
#include <vector>

namespace verdan {

namespace {

constexpr int kTwipsPerPx = 15;
constexpr qsizetype kMaxDepth = 512;
constexpr qint64 kMaxPictureSizePx = 1'000'000;
constexpr qsizetype kHexLineLength = 128;

// ---------------------------------------------------------------------------------------
// Writing

void appendControl(QByteArray& out, const char* word) {
    out += word;
    out += ' ';
}

void appendFormatChange(QByteArray& out, const CharFormat& from, const CharFormat& to) {
    if (from.bold != to.bold)
        appendControl(out, to.bold ? "\\b" : "\\b0");
    if (from.italic != to.italic)
        appendControl(out, to.italic ? "\\i" : "\\i0");
    if (from.underline != to.underline)
        appendControl(out, to.underline ? "\\ul" : "\\ulnone");
}

void appendEscapedText(QByteArray& out, const QString& text) {
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit == u'\\' || unit == u'{' || unit == u'}') {
            out += '\\';
            out += static_cast<char>(unit);
        } else if (unit == u'\t') {
            out += "\\tab ";
        } else if (unit >= 0x20 && unit < 0x7f) {
            out += static_cast<char>(unit);
        } else {
            // RTF takes \u with a signed 16-bit number, then one fallback character.
            out += "\\u";
            out += QByteArray::number(static_cast<int>(static_cast<qint16>(unit)));
            out += '?';
        }
    }
}

void appendPicture(QByteArray& out, const Picture& picture) {
    out += "{\\pict\\pngblip\\picw" + QByteArray::number(picture.widthPx);
    out += "\\pich" + QByteArray::number(picture.heightPx);
    out += "\\picwgoal" + QByteArray::number(qint64(picture.widthPx) * kTwipsPerPx);
    out += "\\pichgoal" + QByteArray::number(qint64(picture.heightPx) * kTwipsPerPx);
    out += '\n';
    const QByteArray hex = picture.png.toHex();
    for (qsizetype i = 0; i < hex.size(); i += kHexLineLength) {
        out += hex.mid(i, kHexLineLength);
        out += '\n';
    }
    out += '}';
}

// ---------------------------------------------------------------------------------------
// Reading

// Windows-1252 characters 0x80 to 0x9F; the undefined ones keep their C1 code.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QChar fromCp1252(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0)
        return QChar(kCp1252High[byte - 0x80]);
    return QChar(static_cast<char16_t>(byte));
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Where the text of a group goes.
enum class Destination { Text, Skip, Picture };

struct GroupState {
    CharFormat format;
    int fallbackCount = 1; // \ucN: characters that follow a \uN as its fallback
    Destination destination = Destination::Text;
};

struct PictureState {
    bool png = false;
    bool otherFormat = false;
    QByteArray data;
    int highNibble = -1;
    qint64 widthPx = 0;
    qint64 heightPx = 0;
    qint64 widthTwips = 0;
    qint64 heightTwips = 0;
};

// Groups whose content is never text of the document.
bool isSkippedDestination(const QByteArray& word) {
    static const char* const kSkipped[] = {
        "fonttbl", "colortbl", "stylesheet", "info",       "header",
        "headerl", "headerr",  "headerf",    "footer",     "footerl",
        "footerr", "footerf",  "footnote",   "listtable",  "listoverridetable",
        "revtbl",  "rsidtbl",  "filetbl",    "nonshppict", "pntext",
        "pntxta",  "pntxtb",   "object",     "objdata",    "fldinst",
        "xe",      "tc",       "template",   "datastore",  "themedata"};
    return std::any_of(std::begin(kSkipped), std::end(kSkipped),
                       [&](const char* name) { return word == name; });
}

struct SpecialChar {
    const char* word;
    char16_t unit;
};
constexpr SpecialChar kSpecialChars[] = {
    {"tab", u'\t'},     {"cell", u'\t'},     {"emdash", 0x2014},    {"endash", 0x2013},
    {"lquote", 0x2018}, {"rquote", 0x2019},  {"ldblquote", 0x201C}, {"rdblquote", 0x201D},
    {"bullet", 0x2022}, {"emspace", 0x2003}, {"enspace", 0x2002},   {"qmspace", 0x2005}};

class Reader {
public:
    explicit Reader(const QByteArray& rtf) : m_data(rtf.constData()), m_size(rtf.size()) {}

    bool read(LogDocument& out, RtfTail tail);

private:
    bool controlWord();
    void controlSymbol(char symbol);
    void handleWord(const QByteArray& word, bool hasParam, qint64 param);
    void pictureWord(const QByteArray& word, bool hasParam, qint64 param);
    bool skipBinary(qint64 count);
    void character(QChar c);
    bool consumeFallback();
    void flushText();
    void paragraphBreak();
    void finishPicture();

    const char* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;

    std::vector<GroupState> m_stack;
    GroupState m_group;
    bool m_starPending = false;
    int m_fallbackLeft = 0;

    qsizetype m_pictureDepth = -1;
    PictureState m_picture;

    LogDocument m_document;
    QString m_pendingText;
    CharFormat m_pendingFormat;
};

bool Reader::read(LogDocument& out, RtfTail tail) {
    while (m_pos < m_size && (m_data[m_pos] == ' ' || m_data[m_pos] == '\t' ||
                              m_data[m_pos] == '\r' || m_data[m_pos] == '\n'))
        ++m_pos;
    if (m_size - m_pos < 5 || QByteArrayView(m_data + m_pos, 5) != "{\\rtf")
        return false;

    bool closed = false;
    while (!closed && m_pos < m_size) {
        const char c = m_data[m_pos++];
        switch (c) {
        case '{':
            m_fallbackLeft = 0;
            m_starPending = false;
            if (qsizetype(m_stack.size()) >= kMaxDepth)
                return false;
            m_stack.push_back(m_group);
            break;
        case '}':
            m_fallbackLeft = 0;
            m_starPending = false;
            if (m_stack.empty())
                return false;
            if (qsizetype(m_stack.size()) == m_pictureDepth)
                finishPicture();
            m_group = m_stack.back();
            m_stack.pop_back();
            closed = m_stack.empty();
            break;
        case '\\':
            if (!controlWord())
                return false;
            break;
        case '\r':
        case '\n':
        case '\0':
            break;
        default:
            character(fromCp1252(static_cast<unsigned char>(c)));
            break;
        }
    }
    if (!closed)
        return false;
    // Only blanks, line ends and NUL padding may follow the document's group, unless the
    // caller ignores what follows.
    for (; tail == RtfTail::Blanks && m_pos < m_size; ++m_pos) {
        const char c = m_data[m_pos];
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\0')
            return false;
    }
    flushText();
    out = std::move(m_document);
    return true;
}

// Reads what follows a backslash. Returns false only for a \binN longer than the input.
bool Reader::controlWord() {
    if (m_pos >= m_size)
        return true; // the missing closing braces make the input fail
    if (!isLetter(m_data[m_pos])) {
        controlSymbol(m_data[m_pos++]);
        return true;
    }
    const qsizetype start = m_pos;
    while (m_pos < m_size && isLetter(m_data[m_pos]))
        ++m_pos;
    // RTF control words have at most 32 letters; longer ones match nothing we know.
    const QByteArray word(m_data + start, std::min<qsizetype>(m_pos - start, 32));
    bool negative = false;
    if (m_pos + 1 < m_size && m_data[m_pos] == '-' && isDigit(m_data[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    bool hasParam = false;
    qint64 param = 0;
    while (m_pos < m_size && isDigit(m_data[m_pos])) {
        hasParam = true;
        param = std::min<qint64>(param * 10 + (m_data[m_pos] - '0'), 0x7fffffffLL);
        ++m_pos;
    }
    if (negative)
        param = -param;
    if (m_pos < m_size && m_data[m_pos] == ' ')
        ++m_pos;

    const bool star = m_starPending;
    m_starPending = false;
    if (word == "bin")
        return skipBinary(hasParam ? param : 0);
    if (m_group.destination == Destination::Skip)
        return true;
    if (star && word != "shppict") {
        m_group.destination = Destination::Skip;
        return true;
    }
    if (consumeFallback())
        return true;
    if (m_group.destination == Destination::Picture)
        pictureWord(word, hasParam, param);
    else
        handleWord(word, hasParam, param);
    return true;
}

void Reader::controlSymbol(char symbol) {
    if (symbol == '*') {
        m_starPending = true;
        return;
    }
    m_starPending = false;
    if (symbol == '\'') {
        int value = -1;
        if (m_pos + 1 < m_size) {
            const int high = hexValue(m_data[m_pos]);
            const int low = hexValue(m_data[m_pos + 1]);
            if (high >= 0 && low >= 0) {
                value = high * 16 + low;
                m_pos += 2;
            }
        }
        if (value >= 0 && m_group.destination == Destination::Text)
            character(fromCp1252(static_cast<unsigned char>(value)));
        return;
    }
    if (m_group.destination != Destination::Text)
        return;
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        character(QChar(static_cast<char16_t>(symbol)));
        break;
    case '~':
        character(QChar(char16_t(0x00A0)));
        break;
    case '_':
        character(QChar(char16_t(0x2011)));
        break;
    case '\r':
    case '\n':
        if (!consumeFallback())
            paragraphBreak();
        break;
    default: // \- optional hyphen, \: index entry, \| formula, unknown symbols
        consumeFallback();
        break;
    }
}

void Reader::handleWord(const QByteArray& word, bool hasParam, qint64 param) {
    const bool on = !hasParam || param != 0;
    if (word == "par" || word == "line" || word == "row" || word == "page" || word == "sect") {
        paragraphBreak();
    } else if (word == "plain") {
        m_group.format = CharFormat{};
    } else if (word == "b") {
        m_group.format.bold = on;
    } else if (word == "i") {
        m_group.format.italic = on;
    } else if (word == "ulnone") {
        m_group.format.underline = false;
    } else if (word.startsWith("ul") && word != "ulc") {
        m_group.format.underline = on;
    } else if (word == "uc") {
        m_group.fallbackCount = int(std::clamp<qint64>(hasParam ? param : 1, 0, 16));
    } else if (word == "u") {
        character(QChar(static_cast<char16_t>(param & 0xffff)));
        m_fallbackLeft = m_group.fallbackCount;
    } else if (word == "pict") {
        if (m_pictureDepth < 0) {
            flushText();
            m_group.destination = Destination::Picture;
            m_pictureDepth = qsizetype(m_stack.size());
            m_picture = PictureState{};
        } else {
            m_group.destination = Destination::Skip;
        }
    } else if (isSkippedDestination(word)) {
        m_group.destination = Destination::Skip;
    } else {
        for (const SpecialChar& special : kSpecialChars) {
            if (word == special.word) {
                character(QChar(special.unit));
                break;
            }
        }
    }
}

void Reader::pictureWord(const QByteArray& word, bool hasParam, qint64 param) {
    if (word == "pngblip") {
        m_picture.png = true;
    } else if (word == "jpegblip" || word == "emfblip" || word == "wmetafile" ||
               word == "macpict" || word == "pmmetafile" || word == "dibitmap" ||
               word == "wbitmap") {
        m_picture.otherFormat = true;
    } else if (!hasParam) {
        return;
    } else if (word == "picw") {
        m_picture.widthPx = param;
    } else if (word == "pich") {
        m_picture.heightPx = param;
    } else if (word == "picwgoal") {
        m_picture.widthTwips = param;
    } else if (word == "pichgoal") {
        m_picture.heightTwips = param;
    }
}

bool Reader::skipBinary(qint64 count) {
    if (count < 0)
        count = 0;
    if (count > m_size - m_pos)
        return false;
    if (m_group.destination == Destination::Picture)
        m_picture.data.append(m_data + m_pos, qsizetype(count));
    m_pos += qsizetype(count);
    return true;
}

// A \uN is followed by \ucN fallback characters for readers without Unicode: drop them.
bool Reader::consumeFallback() {
    if (m_fallbackLeft <= 0)
        return false;
    --m_fallbackLeft;
    return true;
}

void Reader::character(QChar c) {
    if (consumeFallback())
        return;
    if (m_group.destination == Destination::Picture) {
        const int value = c.unicode() < 0x80 ? hexValue(char(c.unicode())) : -1;
        if (value < 0)
            return;
        if (m_picture.highNibble < 0) {
            m_picture.highNibble = value;
        } else {
            m_picture.data.append(char(m_picture.highNibble * 16 + value));
            m_picture.highNibble = -1;
        }
        return;
    }
    if (m_group.destination != Destination::Text)
        return;
    if (m_group.format != m_pendingFormat)
        flushText();
    m_pendingFormat = m_group.format;
    m_pendingText += c;
}

void Reader::flushText() {
    if (!m_pendingText.isEmpty())
        m_document.appendText(m_pendingText, m_pendingFormat);
    m_pendingText.clear();
}

void Reader::paragraphBreak() {
    flushText();
    m_document.appendParagraphBreak();
}

void Reader::finishPicture() {
    m_pictureDepth = -1;
    if (!m_picture.png || m_picture.otherFormat || m_picture.data.isEmpty())
        return;
    const qint64 widthPx =
        m_picture.widthTwips > 0 ? m_picture.widthTwips / kTwipsPerPx : m_picture.widthPx;
    const qint64 heightPx =
        m_picture.heightTwips > 0 ? m_picture.heightTwips / kTwipsPerPx : m_picture.heightPx;
    flushText();
    m_document.appendPicture(m_picture.data, int(std::clamp<qint64>(widthPx, 0, kMaxPictureSizePx)),
                             int(std::clamp<qint64>(heightPx, 0, kMaxPictureSizePx)));
    m_picture = PictureState{};
}

} // namespace

namespace {

// Writes the part of `document` after `mark` and moves `mark` to the end. A paragraph that
// `mark` has begun continues where it stopped: its last text run may have grown since.
void appendBody(QByteArray& out, const LogDocument& document, RtfMark& mark) {
    const QList<Paragraph>& paragraphs = document.paragraphs();
    for (qsizetype p = std::max<qsizetype>(mark.paragraphs - 1, 0); p < paragraphs.size(); ++p) {
        const bool begun = p < mark.paragraphs;
        if (!begun && p > 0)
            out += "\\par\n";
        const QList<ParagraphItem>& items = paragraphs.at(p).items;
        const qsizetype first = begun ? std::max<qsizetype>(mark.items - 1, 0) : 0;
        for (qsizetype i = first; i < items.size(); ++i) {
            const bool written = begun && i < mark.items;
            if (const auto* run = std::get_if<TextRun>(&items.at(i))) {
                appendFormatChange(out, mark.format, run->format);
                mark.format = run->format;
                appendEscapedText(out, written ? run->text.mid(mark.runLength) : run->text);
            } else if (!written) {
                appendPicture(out, std::get<Picture>(items.at(i)));
            }
        }
        mark.paragraphs = p + 1;
        mark.items = items.size();
        const auto* last = items.isEmpty() ? nullptr : std::get_if<TextRun>(&items.last());
        mark.runLength = last ? last->text.size() : 0;
    }
}

} // namespace

QByteArray writeRtf(const LogDocument& document) {
    RtfMark end;
    return writeRtf(document, end);
}

QByteArray writeRtf(const LogDocument& document, RtfMark& end) {
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1"
                     "{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset0 DejaVu Sans Mono;}}\n"
                     "\\viewkind4\\pard\\plain\\f0\\fs20 ";
    end = RtfMark{};
    appendBody(out, document, end);
    out += "}\n";
    return out;
}

QByteArray writeRtfContinuation(const LogDocument& document, RtfMark& mark) {
    QByteArray out;
    appendBody(out, document, mark);
    return out;
}

bool readRtf(const QByteArray& rtf, LogDocument& out, RtfTail tail) {
    Reader reader(rtf);
    return reader.read(out, tail);
}

} // namespace verdan
