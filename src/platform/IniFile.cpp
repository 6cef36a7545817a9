#include "IniFile.h"

#include "FileKinds.h"
#include "FileOps.h"
#include "FileWrites.h"
#include "WinPath.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace sc {

namespace {

enum class LineKind { Blank, Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Blank;
    QString name;  // section or key name, trimmed
    QString value; // key value, trimmed
};

// Larger files are not settings files; reading one would only stall the start.
constexpr qint64 kMaxFileBytes = 256 * 1024 * 1024;

ParsedLine parseLine(const QString& raw) {
    const QString text = raw.trimmed();
    ParsedLine line;
    if (text.isEmpty())
        return line;
    line.kind = LineKind::Other;
    if (text.startsWith(u';'))
        return line;
    if (text.startsWith(u'[')) {
        const qsizetype close = text.lastIndexOf(u']');
        if (close > 0) {
            line.kind = LineKind::Section;
            line.name = text.mid(1, close - 1).trimmed();
            return line;
        }
    }
    const qsizetype eq = text.indexOf(u'=');
    if (eq < 0)
        return line;
    line.kind = LineKind::Key;
    line.name = text.left(eq).trimmed();
    line.value = text.mid(eq + 1).trimmed();
    return line;
}

QString keyId(const QString& foldedSection, const QString& key) {
    return foldedSection + u'\n' + key.toCaseFolded();
}

bool isBlankUnit(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f';
}

bool isQuote(QChar c) {
    return c == u'"' || c == u'\'';
}

QString unquoted(const QString& value) {
    if (value.size() >= 2 && isQuote(value.front()) && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

// The value as written to a line: quoted when reading would otherwise lose its surrounding
// blanks or quotes, and kept on its one line.
QString valueText(QString value) {
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    const bool needsQuotes =
        !value.isEmpty() &&
        (value.front().isSpace() || value.back().isSpace() ||
         (value.size() >= 2 && isQuote(value.front()) && value.back() == value.front()));
    if (needsQuotes)
        value = u'"' + value + u'"';
    return value;
}

// At most `maxChars` characters, never half of a surrogate pair.
QString cutAt(QString value, int maxChars) {
    if (maxChars < 0 || value.size() <= maxChars)
        return value;
    qsizetype cut = maxChars;
    if (cut > 0 && value[cut - 1].isHighSurrogate())
        --cut;
    value.truncate(cut);
    return value;
}

} // namespace

std::optional<int> parseIniInteger(const QString& text) {
    if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
        quint64 result = 0;
        for (qsizetype i = 2; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            int digit = -1;
            if (c >= u'0' && c <= u'9')
                digit = c - u'0';
            else if (c >= u'a' && c <= u'f')
                digit = c - u'a' + 10;
            else if (c >= u'A' && c <= u'F')
                digit = c - u'A' + 10;
            if (digit < 0)
                return std::nullopt;
            result = result * 16 + static_cast<quint64>(digit);
            if (result > 0xFFFFFFFFull)
                return std::nullopt;
        }
        // Eight hex digits cover the whole 32-bit pattern, as the original reader took them.
        return static_cast<int>(static_cast<quint32>(result));
    }
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i >= text.size())
        return std::nullopt;
    qint64 result = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c < u'0' || c > u'9')
            return std::nullopt;
        result = result * 10 + (c.unicode() - u'0');
        if (result > 2147483648LL)
            return std::nullopt;
    }
    if (negative)
        result = -result;
    if (result > 2147483647LL)
        return std::nullopt;
    return static_cast<int>(result);
}

IniFile::IniFile(const QString& path) : path_(path) {
    parse();
}

bool IniFile::load() {
    setBytes(QByteArray());
    const QString host = winpath::hostPath(path_);
    if (!QFileInfo::exists(host))
        return true;
    QFile file;
    // A pipe at the file's name would hold the start until something wrote to it.
    if (fileops::openRegularFile(path_, file) != 0 || file.size() > kMaxFileBytes)
        return false;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    setBytes(bytes);
    return true;
}

bool IniFile::save() const {
    fileops::ReplacingFile file(path_);
    return file.write(fileBytes()) && file.commit();
}

void IniFile::setBytes(const QByteArray& bytes) {
    bytes_ = bytes;
    parse();
}

QByteArray IniFile::bytes() const {
    return fileBytes();
}

// What is stored: the file as read and written, unless a CP932 file has become valid UTF-8
// with non-ASCII bytes left in it, which the next read would take for UTF-8.
QByteArray IniFile::fileBytes() const {
    if (encoding_.kind() != TextEncoding::Kind::Cp932 || !bytes_.isValidUtf8())
        return bytes_;
    const bool ascii = std::all_of(bytes_.begin(), bytes_.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii ? bytes_ : asUtf8();
}

// The file in UTF-8, line by line as the lines are read; line endings as they are (CP932 never
// holds a CR or LF byte inside a character).
QByteArray IniFile::asUtf8() const {
    QByteArray utf8;
    utf8.reserve(bytes_.size() + bytes_.size() / 2);
    const auto isEnding = [](char c) { return c == '\r' || c == '\n'; };
    for (qsizetype start = 0; start < bytes_.size();) {
        qsizetype end = start;
        while (end < bytes_.size() && !isEnding(bytes_[end]))
            ++end;
        utf8 += encoding_.decode(QByteArrayView(bytes_).sliced(start, end - start)).toUtf8();
        start = end;
        while (start < bytes_.size() && isEnding(bytes_[start]))
            utf8 += bytes_[start++];
    }
    return utf8;
}

// One pass over the file: every line is split off once and only its non-blank lines are
// decoded, so a file of millions of empty lines costs no more than reading it.
void IniFile::parse() {
    keyLines_.clear();
    keyIndex_.clear();
    sectionEnds_.clear();
    sectionIndex_.clear();
    encoding_ = TextEncoding::detect(bytes_);
    textStart_ = encoding_.markLength(bytes_);
    newline_.clear();
    const int unit = encoding_.unitSize();
    const qsizetype end = bytes_.size();
    ParseState state;
    qsizetype start = textStart_;
    while (start < end) {
        qsizetype at = start;
        char16_t c = 0;
        while (at + unit <= end) {
            c = encoding_.unitAt(bytes_, at);
            if (c == u'\n' || c == u'\r')
                break;
            at += unit;
        }
        const qsizetype bodyEnd = at + unit <= end ? at : end;
        qsizetype lineEnd = bodyEnd;
        if (bodyEnd < end) {
            lineEnd += unit;
            if (c == u'\r' && lineEnd + unit <= end && encoding_.unitAt(bytes_, lineEnd) == u'\n')
                lineEnd += unit;
            if (newline_.isEmpty())
                newline_ = bytes_.mid(bodyEnd, lineEnd - bodyEnd);
        }
        if (bodyEnd > start)
            indexLine(start, bodyEnd, lineEnd, state);
        start = lineEnd;
    }
    if (newline_.isEmpty())
        newline_ = encoded(QStringLiteral("\r\n"));
}

void IniFile::indexLine(qsizetype start, qsizetype bodyEnd, qsizetype lineEnd, ParseState& state) {
    const int unit = encoding_.unitSize();
    if ((bodyEnd - start) % unit == 0) {
        bool blank = true;
        for (qsizetype at = start; blank && at < bodyEnd; at += unit)
            blank = isBlankUnit(encoding_.unitAt(bytes_, at));
        if (blank)
            return;
    }
    const ParsedLine line =
        parseLine(encoding_.decode(QByteArrayView(bytes_).sliced(start, bodyEnd - start)));
    if (line.kind == LineKind::Blank)
        return;
    if (line.kind == LineKind::Section) {
        state.section = line.name.toCaseFolded();
        // Only the first section of a name takes new keys.
        state.sectionEnd = -1;
        if (!sectionIndex_.contains(state.section)) {
            state.sectionEnd = static_cast<qsizetype>(sectionEnds_.size());
            sectionIndex_.insert(state.section, state.sectionEnd);
            sectionEnds_.push_back(lineEnd);
        }
        return;
    }
    if (state.section.isNull())
        return;
    if (line.kind == LineKind::Key) {
        const QString id = keyId(state.section, line.name);
        // One look-up per key line; only the first line of a key is kept.
        const qsizetype known = keyIndex_.size();
        qsizetype& index = keyIndex_[id];
        if (keyIndex_.size() > known) {
            index = static_cast<qsizetype>(keyLines_.size());
            keyLines_.push_back({start, bodyEnd});
        }
    }
    if (state.sectionEnd >= 0)
        sectionEnds_[static_cast<std::size_t>(state.sectionEnd)] = lineEnd;
}

const IniFile::KeyLine* IniFile::findKeyLine(const QString& section, const QString& key) const {
    const auto found = keyIndex_.constFind(keyId(section.toCaseFolded(), key));
    return found == keyIndex_.cend() ? nullptr : &keyLines_[static_cast<std::size_t>(*found)];
}

QString IniFile::decodedLine(const KeyLine& line) const {
    return encoding_.decode(QByteArrayView(bytes_).sliced(line.start, line.bodyEnd - line.start));
}

bool IniFile::contains(const QString& section, const QString& key) const {
    return findKeyLine(section, key) != nullptr;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& fallback,
                            int maxChars) const {
    const KeyLine* line = findKeyLine(section, key);
    if (!line)
        return fallback;
    return cutAt(unquoted(parseLine(decodedLine(*line)).value), maxChars);
}

int IniFile::readInteger(const QString& section, const QString& key, int fallback) const {
    if (!contains(section, key))
        return fallback;
    return parseIniInteger(readString(section, key, QString())).value_or(fallback);
}

bool IniFile::readBool(const QString& section, const QString& key, bool fallback) const {
    return readInteger(section, key, fallback ? 1 : 0) != 0;
}

bool IniFile::lastLineEnds() const {
    const int unit = encoding_.unitSize();
    const qsizetype size = bytes_.size();
    if (size <= textStart_)
        return true;
    if ((size - textStart_) % unit != 0)
        return false;
    const char16_t last = encoding_.unitAt(bytes_, size - unit);
    return last == u'\n' || last == u'\r';
}

// What ends the file's last line before anything is added after it (nothing when it ends or
// the file is empty). A cut last UTF-16 unit is completed first, so added lines stay aligned.
QByteArray IniFile::endingForLastLine() const {
    if (lastLineEnds())
        return {};
    const qsizetype partial = (bytes_.size() - textStart_) % encoding_.unitSize();
    return QByteArray(partial == 0 ? 0 : encoding_.unitSize() - partial, '\0') + newline_;
}

// Moves the index behind a change of `delta` bytes at `at`. Text inserted at a line's end
// goes after that line; a body that ends at `at` does not grow.
void IniFile::shiftIndex(qsizetype at, qsizetype delta, bool inserted) {
    const auto moves = [&](qsizetype offset) { return offset > at || (inserted && offset == at); };
    for (KeyLine& line : keyLines_) {
        if (moves(line.start))
            line.start += delta;
        if (line.bodyEnd > at)
            line.bodyEnd += delta;
    }
    for (qsizetype& sectionEnd : sectionEnds_) {
        if (moves(sectionEnd))
            sectionEnd += delta;
    }
}

void IniFile::insertBytes(qsizetype at, const QByteArray& bytes) {
    bytes_.insert(at, bytes);
    shiftIndex(at, bytes.size(), true);
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value,
                          int readChars) {
    const QByteArray assignment = encoded(QStringLiteral("=") + valueText(value));
    if (const KeyLine* found = findKeyLine(section, key)) {
        // A line that already reads as `value` stays as it is: rewritten, a line of bytes the
        // code page cannot read would change although its value does not.
        if (cutAt(unquoted(parseLine(decodedLine(*found)).value), readChars) == value)
            return;
        // Keep the key's spelling, its indentation and the line's own ending. '=' is never
        // part of a multi-byte character in the encodings read.
        const KeyLine line = *found;
        const int unit = encoding_.unitSize();
        qsizetype keyEnd = line.start;
        while (keyEnd + unit <= line.bodyEnd && encoding_.unitAt(bytes_, keyEnd) != u'=')
            keyEnd += unit;
        while (keyEnd > line.start && isBlankUnit(encoding_.unitAt(bytes_, keyEnd - unit)))
            keyEnd -= unit;
        const QByteArray body = bytes_.mid(line.start, keyEnd - line.start) + assignment;
        bytes_.replace(line.start, line.bodyEnd - line.start, body);
        shiftIndex(line.start, body.size() - (line.bodyEnd - line.start), false);
        return;
    }
    const QString folded = section.toCaseFolded();
    const QByteArray keyLine = encoded(key) + assignment;
    qsizetype at = bytes_.size();
    if (const auto found = sectionIndex_.constFind(folded); found != sectionIndex_.cend()) {
        at = sectionEnds_[static_cast<std::size_t>(*found)];
    } else {
        insertBytes(at, endingForLastLine());
        // Appended after every section's end, so no index entry moves.
        bytes_ += encoded(u'[' + section + u']') + newline_;
        sectionIndex_.insert(folded, static_cast<qsizetype>(sectionEnds_.size()));
        sectionEnds_.push_back(bytes_.size());
        at = bytes_.size();
    }
    const QByteArray ending = at == bytes_.size() ? endingForLastLine() : QByteArray();
    const qsizetype lineStart = at + ending.size();
    insertBytes(at, ending + keyLine + newline_);
    keyIndex_.insert(keyId(folded, key), static_cast<qsizetype>(keyLines_.size()));
    keyLines_.push_back({lineStart, lineStart + keyLine.size()});
}

void IniFile::writeInteger(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace sc
