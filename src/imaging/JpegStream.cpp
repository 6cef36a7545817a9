#include "imaging/JpegStream.h"

#include "imaging/GKitImage.h"
#include "imaging/JpegMetadata.h"
#include "platform/Error.h"

#include <condition_variable>
#include <csetjmp>
#include <cstdio> // before jpeglib.h, which needs FILE
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

// TurboJPEG has no way to hand out its bytes while it encodes, so this file drives the same
// library through its libjpeg interface, set up as TurboJPEG sets it up (tjCompress2 and
// tjDecompress2 of libjpeg-turbo 2.1): tests hold the bytes and pixels to encodeJpeg's and
// decodeJpeg's.
namespace sc::imaging {

namespace {

constexpr size_t kChunk = 16 * 1024;

// The encoded bytes in the order they come out, from the encoding thread to the decoding one.
class ChunkPipe {
public:
    void put(const JOCTET* data, size_t size) {
        QByteArray chunk(reinterpret_cast<const char*>(data), qsizetype(size));
        {
            std::lock_guard lock(guard_);
            chunks_.push_back(std::move(chunk));
        }
        changed_.notify_all();
    }
    void end() {
        {
            std::lock_guard lock(guard_);
            ended_ = true;
        }
        changed_.notify_all();
    }
    // The chunk `index` once it is there; empty when the encoding ended without it.
    QByteArray take(size_t index) {
        std::unique_lock lock(guard_);
        changed_.wait(lock, [&] { return index < chunks_.size() || ended_; });
        return index < chunks_.size() ? chunks_[index] : QByteArray();
    }
    QByteArray joined() {
        std::lock_guard lock(guard_);
        QByteArray all;
        qsizetype total = 0;
        for (const QByteArray& chunk : chunks_)
            total += chunk.size();
        all.reserve(total);
        for (const QByteArray& chunk : chunks_)
            all.append(chunk);
        return all;
    }

private:
    std::mutex guard_;
    std::condition_variable changed_;
    std::vector<QByteArray> chunks_;
    bool ended_ = false;
};

// libjpeg reports a failure through error_exit, which must not return: it jumps back to the
// setjmp of the call, whose frame holds nothing that needs destroying.
struct Failure {
    jpeg_error_mgr manager;
    std::jmp_buf back;
    bool stopOnWarning;
    char text[JMSG_LENGTH_MAX];
};

[[noreturn]] void failed(j_common_ptr info) {
    auto* failure = reinterpret_cast<Failure*>(info->err);
    info->err->format_message(info, failure->text);
    std::longjmp(failure->back, 1);
}

// As TJFLAG_STOPONWARNING: a damaged stream is refused rather than shown half grey.
void warned(j_common_ptr info, int level) {
    if (level >= 0)
        return;
    ++info->err->num_warnings;
    if (reinterpret_cast<Failure*>(info->err)->stopOnWarning)
        failed(info);
}

jpeg_error_mgr* failureManager(Failure& failure, bool stopOnWarning) {
    jpeg_std_error(&failure.manager);
    failure.manager.error_exit = failed;
    failure.manager.emit_message = warned;
    failure.stopOnWarning = stopOnWarning;
    failure.text[0] = '\0';
    return &failure.manager;
}

struct Destination {
    jpeg_destination_mgr manager;
    ChunkPipe* pipe;
    JOCTET buffer[kChunk];
};

Destination& destinationOf(j_compress_ptr info) {
    return *reinterpret_cast<Destination*>(info->dest);
}

void startChunk(j_compress_ptr info) {
    Destination& d = destinationOf(info);
    d.manager.next_output_byte = d.buffer;
    d.manager.free_in_buffer = kChunk;
}

boolean passChunk(j_compress_ptr info) {
    destinationOf(info).pipe->put(destinationOf(info).buffer, kChunk);
    startChunk(info);
    return TRUE;
}

void passLastChunk(j_compress_ptr info) {
    Destination& d = destinationOf(info);
    d.pipe->put(d.buffer, kChunk - d.manager.free_in_buffer);
}

// Marker segments as encodeJpeg places them, or empty when they are not a plain run of
// segments (encodeJpeg would then copy bytes that libjpeg cannot write).
std::optional<std::vector<std::pair<int, QByteArray>>> segmentsOf(const QByteArray& bytes) {
    std::vector<std::pair<int, QByteArray>> segments;
    qsizetype at = 0;
    while (at < bytes.size()) {
        if (at + 4 > bytes.size() || uchar(bytes[at]) != 0xff)
            return std::nullopt;
        const int length = uchar(bytes[at + 2]) << 8 | uchar(bytes[at + 3]);
        if (length < 2 || at + 2 + length > bytes.size())
            return std::nullopt;
        segments.emplace_back(uchar(bytes[at + 1]), bytes.mid(at + 4, length - 2));
        at += 2 + length;
    }
    return segments;
}

// tjCompress2 with TJPF_BGRX and no flags but progressive: its defaults, quality, DCT method,
// colour space and sampling. Returns the failure, empty when there was none; an encoding no
// longer `wanted` stops between rows and sets `abandoned`.
QString encodeInto(const QImage& picture, const JpegSettings& s,
                   const std::vector<std::pair<int, QByteArray>>& segments, ChunkPipe& pipe,
                   const std::function<bool()>& wanted, bool& abandoned) {
    jpeg_compress_struct info{};
    Failure failure;
    Destination destination;
    destination.manager.init_destination = startChunk;
    destination.manager.empty_output_buffer = passChunk;
    destination.manager.term_destination = passLastChunk;
    destination.pipe = &pipe;
    info.err = failureManager(failure, false);
    if (setjmp(failure.back)) {
        jpeg_destroy_compress(&info);
        return QString::fromLocal8Bit(failure.text);
    }
    jpeg_create_compress(&info);
    info.dest = &destination.manager;
    info.image_width = JDIMENSION(picture.width());
    info.image_height = JDIMENSION(picture.height());
    info.in_color_space = JCS_EXT_BGRX;
    info.input_components = 4;
    jpeg_set_defaults(&info);
    const int level = std::clamp(s.level, 1, 10), quality = level * 10;
    jpeg_set_quality(&info, quality, TRUE);
    info.dct_method = quality >= 96 ? JDCT_ISLOW : JDCT_FASTEST;
    jpeg_set_colorspace(&info, s.gray ? JCS_GRAYSCALE : JCS_YCbCr);
    if (s.progressive)
        jpeg_simple_progression(&info);
    const int lumaSampling = !s.gray && level < 10 ? 2 : 1; // 4:2:0 below level 10
    info.comp_info[0].h_samp_factor = info.comp_info[0].v_samp_factor = lumaSampling;
    for (int c = 1; c < info.num_components; ++c)
        info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    for (const auto& [marker, data] : segments)
        jpeg_write_marker(&info, marker, reinterpret_cast<const JOCTET*>(data.constData()),
                          unsigned(data.size()));
    while (info.next_scanline < info.image_height) {
        if (wanted && !wanted()) {
            abandoned = true;
            jpeg_destroy_compress(&info);
            return {};
        }
        JSAMPROW rows[16];
        const JDIMENSION count = std::min<JDIMENSION>(16, info.image_height - info.next_scanline);
        for (JDIMENSION i = 0; i < count; ++i)
            rows[i] = const_cast<JSAMPROW>(picture.constScanLine(int(info.next_scanline + i)));
        jpeg_write_scanlines(&info, rows, count);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return {};
}

struct Source {
    jpeg_source_mgr manager;
    ChunkPipe* pipe;
    size_t next;
    QByteArray chunk; // the one libjpeg reads from
};

Source& sourceOf(j_decompress_ptr info) {
    return *reinterpret_cast<Source*>(info->src);
}

void startSource(j_decompress_ptr) {}
void endSource(j_decompress_ptr) {}

// Waits for the next chunk; past the end, as libjpeg's own sources do, a warning (a failure
// here) and an end marker.
boolean takeChunk(j_decompress_ptr info) {
    static const JOCTET kEnd[] = {0xff, JPEG_EOI};
    Source& s = sourceOf(info);
    s.chunk = s.pipe->take(s.next++);
    if (s.chunk.isEmpty()) {
        info->err->msg_code = JWRN_JPEG_EOF;
        info->err->emit_message(reinterpret_cast<j_common_ptr>(info), -1);
        s.manager.next_input_byte = kEnd;
        s.manager.bytes_in_buffer = sizeof kEnd;
        return TRUE;
    }
    s.manager.next_input_byte = reinterpret_cast<const JOCTET*>(s.chunk.constData());
    s.manager.bytes_in_buffer = size_t(s.chunk.size());
    return TRUE;
}

void skipBytes(j_decompress_ptr info, long count) {
    jpeg_source_mgr& m = sourceOf(info).manager;
    while (count > 0) {
        if (m.bytes_in_buffer == 0)
            takeChunk(info);
        const size_t skipped = std::min(m.bytes_in_buffer, size_t(count));
        m.next_input_byte += skipped;
        m.bytes_in_buffer -= skipped;
        count -= long(skipped);
    }
}

// tjDecompress2 into TJPF_BGRX with TJFLAG_STOPONWARNING at decodeJpeg's scale for an upright
// picture (our own bytes carry orientation 1). Returns the failure, empty when there was none.
QString decodeInto(ChunkPipe& pipe, const DecodeScale& scale, Decoded& out) {
    jpeg_decompress_struct info{};
    Failure failure;
    Source source{};
    source.manager.init_source = startSource;
    source.manager.fill_input_buffer = takeChunk;
    source.manager.skip_input_data = skipBytes;
    source.manager.resync_to_restart = jpeg_resync_to_restart;
    source.manager.term_source = endSource;
    source.pipe = &pipe;
    info.err = failureManager(failure, true);
    if (setjmp(failure.back)) {
        jpeg_destroy_decompress(&info);
        return QString::fromLocal8Bit(failure.text);
    }
    jpeg_create_decompress(&info);
    info.src = &source.manager;
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGRX;
    info.scale_num = 1;
    info.scale_denom =
        unsigned(scaleDivisor(int(info.image_width), int(info.image_height), 1, scale));
    jpeg_start_decompress(&info);
    out.image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB32);
    out.depth =
        info.jpeg_color_space == JCS_GRAYSCALE ? GKitImage::kDepthGray : GKitImage::kDepthFull;
    while (!out.image.isNull() && info.output_scanline < info.output_height) {
        JSAMPROW row = out.image.scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    if (!out.image.isNull())
        jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return out.image.isNull() ? QStringLiteral("Not enough memory") : QString();
}

// Whether segments carry an EXIF orientation that decodeJpeg would apply (a copy's says 1).
bool turnedBy(const QByteArray& segments) {
    const QByteArray head = QByteArray("\xff\xd8", 2) + segments;
    return readJpegMetadata(reinterpret_cast<const uchar*>(head.constData()), head.size())
               .orientation != 1;
}

// What TurboJPEG reads from the environment to change its encoding.
bool encoderTold() {
    for (const char* name : {"TJ_OPTIMIZE", "TJ_ARITHMETIC", "TJ_RESTART", "TJ_PROGRESSIVE"})
        if (!qEnvironmentVariableIsEmpty(name))
            return true;
    return false;
}

Decoded decodedWithoutMetadata(const QByteArray& bytes, DecodeScale scale) {
    Decoded decoded =
        decodeJpeg(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size(), scale);
    decoded.metadata = {};
    return decoded;
}

} // namespace

EncodedAndDecoded encodeJpegDecodingAlong(const QImage& picture, const JpegSettings& settings,
                                          DecodeScale scale, const std::function<bool()>& wanted) {
    const auto segments = segmentsOf(settings.segments);
    if (!segments || encoderTold() || picture.format() != QImage::Format_RGB32 ||
        turnedBy(settings.segments)) {
        EncodedAndDecoded result{encodeJpeg(picture, settings), {}};
        result.decoded = decodedWithoutMetadata(result.bytes, scale);
        return result;
    }
    ChunkPipe pipe;
    EncodedAndDecoded result;
    QString decodeFailure, encodeFailure;
    bool abandoned = false;
    {
        std::thread decoder([&] {
            try {
                decodeFailure = decodeInto(pipe, scale, result.decoded);
            } catch (...) {
                decodeFailure = QStringLiteral("Not enough memory");
            }
        });
        // The decoder waits for bytes until the pipe ends, however the encoding ends.
        struct EndAndJoin {
            ChunkPipe& pipe;
            std::thread& decoder;
            ~EndAndJoin() {
                pipe.end();
                decoder.join();
            }
        } endAndJoin{pipe, decoder};
        encodeFailure = encodeInto(picture, settings, *segments, pipe, wanted, abandoned);
    }
    if (abandoned)
        return {};
    if (!encodeFailure.isEmpty())
        throw Error(QStringLiteral("The JPEG cannot be encoded: %1").arg(encodeFailure));
    result.bytes = pipe.joined();
    // Never expected of our own bytes; the decoder the program loads with has the last word.
    if (!decodeFailure.isEmpty())
        result.decoded = decodedWithoutMetadata(result.bytes, scale);
    return result;
}

} // namespace sc::imaging
