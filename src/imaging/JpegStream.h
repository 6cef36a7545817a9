#pragma once

#include "imaging/Codecs.h"

#include <functional>

// An encoding whose bytes are decoded while they come out: the preview shows the picture a file
// of those bytes gives, and the decoder's work hides behind the encoder's on a second core.
namespace sc::imaging {

struct EncodedAndDecoded {
    QByteArray bytes; // encodeJpeg's bytes of the picture, byte for byte
    Decoded decoded;  // decodeJpeg's picture of those bytes at the scale asked (no metadata)
};

// encodeJpeg(picture, settings) and decodeJpeg(bytes, scale) in one, the decoding on a second
// thread that reads the bytes as the encoder writes them. Where the TurboJPEG encoder could be
// told otherwise (its TJ_* environment variables), both run one after the other instead, so the
// bytes are always encodeJpeg's. An encoding that is no longer `wanted` (asked between rows)
// stops there and gives nothing. Raises as encodeJpeg does.
EncodedAndDecoded encodeJpegDecodingAlong(const QImage& picture, const JpegSettings& settings,
                                          DecodeScale scale,
                                          const std::function<bool()>& wanted = {});

} // namespace sc::imaging
