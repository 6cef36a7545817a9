#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace sc {

// A settings file with the Windows initialisation-file semantics the program relies on:
// - sections and keys match without regard to letter case; the first match wins;
// - values are read trimmed, one pair of matching surrounding quotes removed, at most
//   kMaxValueChars characters;
// - a write rewrites the one key line and keeps every other line byte for byte (comments, blank
//   lines, unknown keys, their order and line endings); a new key goes after the last line of
//   its section, a new section at the end of the file;
// - lines end in CRLF or LF when read; new lines take the ending of the file's first line, CRLF
//   in a new file (as the original platform wrote them);
// - the text is UTF-8; bytes of lines that are not rewritten are kept even when they are not.
// The whole file is held in memory between load() and save(); save() replaces the file
// atomically, so a failed save never leaves a half-written settings file.
class IniFile {
public:
    static constexpr int kMaxValueChars = 2047;

    // `path` is a path text (a Windows path is mapped through winpath::hostPath).
    explicit IniFile(const QString& path = QString());

    const QString& path() const { return path_; }

    // Reads the file. A missing file reads as an empty one (true); false when it exists but
    // cannot be read, and the content is then empty.
    bool load();
    // Writes the content to the file through a temporary file and a rename. False on failure.
    [[nodiscard]] bool save() const;

    void setBytes(const QByteArray& bytes);
    QByteArray bytes() const;

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

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);

private:
    std::optional<qsizetype> findKeyLine(const QString& section, const QString& key) const;
    void ensureLastLineEnds();

    QString path_;
    QList<QByteArray> lines_; // each with its own line ending (the last one may have none)
    QByteArray newline_ = "\r\n";
};

// The integer reading rule of IniFile::readInteger; empty when the text is not a number.
std::optional<int> parseIniInteger(const QString& text);

} // namespace sc
