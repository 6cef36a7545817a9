#pragma once

#include "TextEncoding.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>
#include <vector>

namespace sc {

// A settings file with the Windows initialisation-file semantics the program relies on:
// - sections and keys match without regard to letter case; the first match wins;
// - values are read trimmed, one pair of matching surrounding quotes removed, at most
//   kMaxValueChars characters (never half a character);
// - a write rewrites the one key line and keeps every other line byte for byte (comments, blank
//   lines, unknown keys, their order and line endings); a key line that already reads as the
//   value written stays as it is (its spacing, its quotes, bytes its encoding cannot read); a
//   new key goes after the last line of its section, a new section at the end of the file;
// - lines end in CRLF, LF or a lone CR; new lines take the ending of the file's first line,
//   CRLF in a new file (as the original platform wrote them);
// - the file keeps its encoding (TextEncoding: UTF-8, CP932 or UTF-16 with its mark); a new
//   file is UTF-8. A CP932 file whose rewritten lines leave it valid UTF-8 would be read back
//   as UTF-8, its other texts changed: it is stored as UTF-8 instead.
// The file is parsed once into an index of its sections and keys, so loading, every look-up
// and saving stay linear in its size however damaged it is. The whole file is held in memory
// between load() and save(); save() replaces the file atomically, so a failed save never
// leaves a half-written settings file.
class IniFile {
public:
    static constexpr int kMaxValueChars = 2047;

    // `path` is a path text (a Windows path is mapped through winpath::hostPath).
    explicit IniFile(const QString& path = QString());

    const QString& path() const { return path_; }

    // Reads the file. A missing file reads as an empty one (true); false when it exists but
    // cannot be read or is larger than any settings file (256 MB), and the content is then
    // empty.
    bool load();
    // Writes the content to the file through a temporary file and a rename. False on failure.
    [[nodiscard]] bool save() const;

    void setBytes(const QByteArray& bytes);
    QByteArray bytes() const;

    const TextEncoding& encoding() const { return encoding_; }

    bool contains(const QString& section, const QString& key) const;

    // The value text, or `fallback` when the key is missing. A present empty value is empty.
    // `maxChars` < 0 reads the whole value.
    QString readString(const QString& section, const QString& key, const QString& fallback,
                       int maxChars = kMaxValueChars) const;
    // Decimal, or hexadecimal after "0x"/"0X" in a text longer than two characters; an empty
    // or non-numeric text and a missing key give `fallback`.
    int readInteger(const QString& section, const QString& key, int fallback) const;
    // An integer that is not 0.
    bool readBool(const QString& section, const QString& key, bool fallback) const;

    // A key line that a read already gives `value` from stays as it is; `readChars` is how much
    // of a value that read takes (readString's maxChars).
    void writeString(const QString& section, const QString& key, const QString& value,
                     int readChars = kMaxValueChars);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);

private:
    struct KeyLine {
        qsizetype start;   // byte offset of the line
        qsizetype bodyEnd; // byte offset of its line ending (or of the end of the file)
    };

    // While parsing: the folded name of the section the lines stand in (null before the
    // first) and the index of its end in sectionEnds_ (-1 when the section repeats a name).
    struct ParseState {
        QString section;
        qsizetype sectionEnd = -1;
    };

    void parse();
    void indexLine(qsizetype start, qsizetype bodyEnd, qsizetype lineEnd, ParseState& state);
    const KeyLine* findKeyLine(const QString& section, const QString& key) const;
    QString decodedLine(const KeyLine& line) const;
    bool lastLineEnds() const;
    QByteArray endingForLastLine() const;
    void shiftIndex(qsizetype at, qsizetype delta, bool inserted);
    void insertBytes(qsizetype at, const QByteArray& bytes);
    QByteArray encoded(const QString& text) const { return encoding_.encode(text); }
    QByteArray fileBytes() const;
    QByteArray asUtf8() const;

    QString path_;
    QByteArray bytes_; // the whole file, its byte-order mark included
    TextEncoding encoding_;
    qsizetype textStart_ = 0; // first byte after the byte-order mark
    QByteArray newline_;
    // The first line of each section and key, by their names folded to one letter case
    // ("section\nkey" for keys).
    std::vector<KeyLine> keyLines_;
    QHash<QString, qsizetype> keyIndex_;
    // Where a new key of each section goes: after the last non-blank line of its first
    // occurrence.
    std::vector<qsizetype> sectionEnds_;
    QHash<QString, qsizetype> sectionIndex_;
};

// The integer reading rule of IniFile::readInteger; empty when the text is not a number.
std::optional<int> parseIniInteger(const QString& text);

} // namespace sc
