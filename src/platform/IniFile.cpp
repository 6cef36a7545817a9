#include "IniFile.h"

#include "FileOps.h"
#include "WinPath.h"

#include <QFile>
#include <QFileInfo>

namespace sc {

namespace {

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    QString name;  // section or key name, trimmed
    QString value; // key value, trimmed
};

QByteArray withoutEnding(QByteArray line) {
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

ParsedLine parse(const QByteArray& raw, bool first) {
    QByteArray bytes = withoutEnding(raw);
    if (first && bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    const QString text = QString::fromUtf8(bytes).trimmed();
    ParsedLine line;
    if (text.isEmpty() || text.startsWith(u';'))
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

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
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
QByteArray encodedValue(QString value) {
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    const bool needsQuotes =
        !value.isEmpty() &&
        (value.front().isSpace() || value.back().isSpace() ||
         (value.size() >= 2 && isQuote(value.front()) && value.back() == value.front()));
    if (needsQuotes)
        value = u'"' + value + u'"';
    return value.toUtf8();
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

IniFile::IniFile(const QString& path) : path_(path) {}

bool IniFile::load() {
    lines_.clear();
    const QString host = winpath::hostPath(path_);
    if (!QFileInfo::exists(host))
        return true;
    QFile file(host);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    setBytes(file.readAll());
    return true;
}

bool IniFile::save() const {
    return fileops::writeFileReplacing(path_, bytes());
}

void IniFile::setBytes(const QByteArray& bytes) {
    lines_.clear();
    newline_ = "\r\n";
    bool endingSeen = false;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype nl = bytes.indexOf('\n', start);
        const qsizetype end = nl < 0 ? bytes.size() : nl + 1;
        lines_.append(bytes.mid(start, end - start));
        if (nl >= 0 && !endingSeen) {
            endingSeen = true;
            newline_ =
                (nl > start && bytes[nl - 1] == '\r') ? QByteArray("\r\n") : QByteArray("\n");
        }
        start = end;
    }
}

QByteArray IniFile::bytes() const {
    QByteArray out;
    for (const QByteArray& line : lines_)
        out += line;
    return out;
}

std::optional<qsizetype> IniFile::findKeyLine(const QString& section, const QString& key) const {
    bool inSection = false;
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        const ParsedLine line = parse(lines_[i], i == 0);
        if (line.kind == LineKind::Section)
            inSection = sameName(line.name, section);
        else if (inSection && line.kind == LineKind::Key && sameName(line.name, key))
            return i;
    }
    return std::nullopt;
}

bool IniFile::contains(const QString& section, const QString& key) const {
    return findKeyLine(section, key).has_value();
}

QString IniFile::readString(const QString& section, const QString& key, const QString& fallback,
                            int maxChars) const {
    const auto index = findKeyLine(section, key);
    if (!index)
        return fallback;
    QString value = unquoted(parse(lines_[*index], *index == 0).value);
    if (maxChars >= 0 && value.size() > maxChars)
        value.truncate(maxChars);
    return value;
}

int IniFile::readInteger(const QString& section, const QString& key, int fallback) const {
    if (!contains(section, key))
        return fallback;
    return parseIniInteger(readString(section, key, QString())).value_or(fallback);
}

bool IniFile::readBool(const QString& section, const QString& key, bool fallback) const {
    return readInteger(section, key, fallback ? 1 : 0) != 0;
}

void IniFile::ensureLastLineEnds() {
    if (!lines_.isEmpty() && !lines_.back().endsWith('\n'))
        lines_.back() += newline_;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    const QByteArray encoded = encodedValue(value);
    if (const auto index = findKeyLine(section, key)) {
        // Keep the key's spelling, its indentation and the line's own ending.
        QByteArray& line = lines_[*index];
        const QByteArray body = withoutEnding(line);
        const QByteArray ending = line.mid(body.size());
        const QByteArray beforeEquals = body.left(body.indexOf('='));
        qsizetype keyEnd = beforeEquals.size();
        while (keyEnd > 0 && (beforeEquals[keyEnd - 1] == ' ' || beforeEquals[keyEnd - 1] == '\t'))
            --keyEnd;
        line = beforeEquals.left(keyEnd) + '=' + encoded + ending;
        return;
    }
    const QByteArray newLine = key.toUtf8() + '=' + encoded + newline_;
    // The end of the first matching section: after its last non-blank line.
    qsizetype header = -1;
    qsizetype insertAt = -1;
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        const ParsedLine line = parse(lines_[i], i == 0);
        if (line.kind == LineKind::Section) {
            if (header >= 0)
                break;
            if (sameName(line.name, section)) {
                header = i;
                insertAt = i + 1;
            }
        } else if (header >= 0 && !withoutEnding(lines_[i]).trimmed().isEmpty()) {
            insertAt = i + 1;
        }
    }
    if (header >= 0) {
        if (insertAt == lines_.size())
            ensureLastLineEnds();
        lines_.insert(insertAt, newLine);
        return;
    }
    ensureLastLineEnds();
    lines_.append('[' + section.toUtf8() + ']' + newline_);
    lines_.append(newLine);
}

void IniFile::writeInteger(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace sc
