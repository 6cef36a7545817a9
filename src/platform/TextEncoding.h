#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace sc {

// The encoding of a text file that users and other programs may have written. A file that
// starts with a UTF-16 byte-order mark is UTF-16; any other file is UTF-8 when it starts with
// the UTF-8 mark or is valid UTF-8, and otherwise the Japanese Windows code page CP932
// (Shift-JIS), in which Japanese editors and Japanese Windows programs write text files.
class TextEncoding {
public:
    enum class Kind { Utf8, Cp932, Utf16Le, Utf16Be };

    explicit TextEncoding(Kind kind = Kind::Utf8) : kind_(kind) {}
    static TextEncoding detect(QByteArrayView bytes);

    Kind kind() const { return kind_; }
    // Bytes of this encoding's byte-order mark at the start of `bytes`, 0 when there is none.
    qsizetype markLength(QByteArrayView bytes) const;
    // Bytes per code unit: 2 for UTF-16, else 1.
    int unitSize() const { return kind_ == Kind::Utf16Le || kind_ == Kind::Utf16Be ? 2 : 1; }
    // The code unit at byte offset `at`; the unit must lie wholly inside `bytes`.
    char16_t unitAt(QByteArrayView bytes, qsizetype at) const {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + at;
        if (kind_ == Kind::Utf16Le)
            return static_cast<char16_t>(p[0] | (p[1] << 8));
        if (kind_ == Kind::Utf16Be)
            return static_cast<char16_t>((p[0] << 8) | p[1]);
        return p[0];
    }

    // Bytes that are not valid in the encoding decode to replacement characters; a UTF-16 text
    // cut inside its last unit decodes as if a zero byte completed it.
    QString decode(QByteArrayView bytes) const;
    // Characters the encoding cannot hold become '?', as the Windows code-page conversion
    // writes them.
    QByteArray encode(QStringView text) const;

private:
    QString decodeUtf16(QByteArrayView bytes) const;

    Kind kind_;
};

} // namespace sc
