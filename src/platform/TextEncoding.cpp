#include "TextEncoding.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>

namespace sc {

namespace {

constexpr const char* kCp932Name = "CP932";

bool isAscii(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool startsWith(QByteArrayView bytes, QByteArrayView mark) {
    return bytes.size() >= mark.size() && bytes.first(mark.size()) == mark;
}

const QByteArrayView kUtf8Mark("\xEF\xBB\xBF", 3);
const QByteArrayView kUtf16LeMark("\xFF\xFE", 2);
const QByteArrayView kUtf16BeMark("\xFE\xFF", 2);

// One character (a surrogate pair counts as one) through the code page, or '?'.
QByteArray encodeEachOrQuestionMark(QStringView text) {
    QByteArray out;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length =
            (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2
                                                                                               : 1;
        QStringEncoder encoder(kCp932Name);
        const QByteArray one = encoder(text.sliced(i, length));
        out += encoder.hasError() || one.isEmpty() ? QByteArray("?") : one;
        i += length;
    }
    return out;
}

} // namespace

// A file cut inside its last unit reads as if that unit were completed with a zero byte, as
// anything written after it completes it: the last line reads the same before and after.
QString TextEncoding::decodeUtf16(QByteArrayView bytes) const {
    QStringDecoder decoder(kind_ == Kind::Utf16Le ? QStringConverter::Utf16LE
                                                  : QStringConverter::Utf16BE);
    if (bytes.size() % 2 == 0)
        return decoder.decode(bytes);
    return decoder.decode(bytes.toByteArray() + '\0');
}

TextEncoding TextEncoding::detect(QByteArrayView bytes) {
    if (startsWith(bytes, kUtf16LeMark))
        return TextEncoding(Kind::Utf16Le);
    if (startsWith(bytes, kUtf16BeMark))
        return TextEncoding(Kind::Utf16Be);
    // A UTF-8 mark says what the file is even where a damaged byte follows.
    if (startsWith(bytes, kUtf8Mark))
        return TextEncoding(Kind::Utf8);
    // Strict UTF-8: no overlong forms, no surrogates, nothing beyond U+10FFFF, no cut sequence.
    return TextEncoding(bytes.isValidUtf8() ? Kind::Utf8 : Kind::Cp932);
}

qsizetype TextEncoding::markLength(QByteArrayView bytes) const {
    switch (kind_) {
    case Kind::Utf8:
        return startsWith(bytes, kUtf8Mark) ? kUtf8Mark.size() : 0;
    case Kind::Utf16Le:
        return startsWith(bytes, kUtf16LeMark) ? kUtf16LeMark.size() : 0;
    case Kind::Utf16Be:
        return startsWith(bytes, kUtf16BeMark) ? kUtf16BeMark.size() : 0;
    case Kind::Cp932:
        break;
    }
    return 0;
}

QString TextEncoding::decode(QByteArrayView bytes) const {
    switch (kind_) {
    case Kind::Utf8:
        return QString::fromUtf8(bytes);
    case Kind::Utf16Le:
    case Kind::Utf16Be:
        return decodeUtf16(bytes);
    case Kind::Cp932:
        break;
    }
    // Most lines of a settings file are plain ASCII, which the code page keeps as it is.
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    QStringDecoder decoder(kCp932Name);
    // Without a code-page converter every byte is kept as one character, so nothing is lost.
    return decoder.isValid() ? decoder.decode(bytes) : QString::fromLatin1(bytes);
}

QByteArray TextEncoding::encode(QStringView text) const {
    switch (kind_) {
    case Kind::Utf8:
        return text.toUtf8();
    case Kind::Utf16Le:
        return QStringEncoder(QStringConverter::Utf16LE).encode(text);
    case Kind::Utf16Be:
        return QStringEncoder(QStringConverter::Utf16BE).encode(text);
    case Kind::Cp932:
        break;
    }
    QStringEncoder encoder(kCp932Name);
    if (!encoder.isValid())
        return text.toLatin1();
    const QByteArray whole = encoder.encode(text);
    return encoder.hasError() ? encodeEachOrQuestionMark(text) : whole;
}

} // namespace sc
