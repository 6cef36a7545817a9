#pragma once

#include "imaging/JpegMetadata.h"
#include "imaging/Tuning.h"

#include <QImage>
#include <QString>
#include <functional>
#include <optional>

namespace sc {

namespace imaging {
struct DecodeScale;
struct Decoded;
} // namespace imaging

// One picture and every operation the program does on it: load, tune, resize, colour depth,
// save, clipboard. Not a widget: jobs and the preview drive it directly, and the image editing
// control (TGKitImageEdit) holds one and shows it.
//
// Pixels are always held as QImage::Format_RGB32 (BGRX in memory), the layout TurboJPEG
// decodes into and encodes from without a conversion. ColorDepth() says which colours the
// picture is limited to (see the depth codes below); it does not change the buffer layout.
//
// Member names follow the control's documented interface, so callers read like it; an
// operation that reads or writes a file takes its path as an argument.
// Every failure raises sc::Error. File names are Windows path texts or host paths; each is
// mapped through winpath::hostPath.
class GKitImage {
public:
    // SaveMediaFormat codes.
    static constexpr int kFormatBmp = 101;  // Windows bitmap, 24 bits per pixel
    static constexpr int kFormatJpeg = 103; // JPEG (the default)

    // SaveCompression codes for JPEG.
    // 1: baseline sequential JPEG with the standard Huffman tables: every decoder reads it and
    //    it is the fastest to write. The default, and what every job sets.
    // 2: progressive JPEG (its tables are optimised per picture): a few percent smaller, about
    //    twice the encoding time.
    static constexpr int kCompressionBaseline = 1;
    static constexpr int kCompressionProgressive = 2;

    // ColorDepth codes.
    static constexpr int kDepthMono = 1;       // two colours (1-bit palette)
    static constexpr int kDepthPalette16 = 4;  // at most 16 colours (4-bit palette)
    static constexpr int kDepthPalette256 = 8; // at most 256 colours (8-bit palette)
    static constexpr int kDepthGray = 10;      // 256 levels of grey
    static constexpr int kDepthFull = 12;      // full colour, 8 bits per channel (24-bit)

    // Largest picture accepted, in pixels. Pictures of 100 megapixels load; a header claiming
    // more than this fails before anything is allocated for it (decompression bombs).
    static constexpr qint64 kMaxPixels = 200'000'000;

    // The longest side a JPEG can have (libjpeg's limit).
    static constexpr int kMaxJpegSide = 65500;

    // What a picture file claims, read from its header without decoding it: its size as
    // stored and the memory a job's work on it takes at most (loaded with `loadSizeHint` as
    // LoadSizeHint). Empty when the header is no JPEG or BMP one or the file cannot be read:
    // its Load fails before allocating.
    struct Claim {
        QSize size;
        qint64 workingBytes = 0;
    };
    static std::optional<Claim> claimOf(const QString& fileName, QSize loadSizeHint = {});

    // Raises, before anything is decoded, for a picture that no JPEG can hold (a side over
    // kMaxJpegSide): for work that will write it as a JPEG. Any other file passes; its Load
    // judges it.
    static void requireJpegSize(const QString& fileName);

    GKitImage();
    ~GKitImage();
    GKitImage(const GKitImage&) = delete;
    GKitImage& operator=(const GKitImage&) = delete;

    // --- properties -------------------------------------------------------------------------

    // Save settings stay in force on the instance across later operations, Delete included.
    int SaveMediaFormat() const { return m_saveMediaFormat; }
    // Raises for a code other than kFormatJpeg or kFormatBmp.
    void setSaveMediaFormat(int format);

    // JPEG quality level 1 (smallest) … 10 (best): libjpeg quality 10 × level, chroma
    // subsampled 4:2:0 below 10 and kept whole (4:4:4) at 10. Raises outside 1 … 10.
    int SaveQuality() const { return m_saveQuality; }
    void setSaveQuality(int level);

    // See the SaveCompression codes above. Raises for another value.
    int SaveCompression() const { return m_saveCompression; }
    void setSaveCompression(int compression);

    // For a work instance whose pictures will only be shrunk to `size` (thumbnails): Load then
    // decodes a JPEG at the smallest DCT scale (1/8, 1/4, 1/2) whose picture still covers
    // `size`, several times faster than a full decode. An empty size (the default) loads
    // pictures whole. Not an operation of the control; jobs set it around their walk.
    QSize LoadSizeHint() const { return m_loadSizeHint; }
    void setLoadSizeHint(const QSize& size) { m_loadSizeHint = size; }

    // The three save settings at once, to set up another instance alike.
    struct SaveSettings {
        int format, quality, compression;
    };
    SaveSettings saveSettings() const {
        return {m_saveMediaFormat, m_saveQuality, m_saveCompression};
    }
    void setSaveSettings(const SaveSettings& settings);

    // Depth code of the held picture (codes above): kDepthFull for colour JPEGs and 16/24/32-bit
    // BMPs, kDepthGray for grey JPEGs, the palette code for 1/4/8-bit BMPs (kDepthGray for an
    // 8-bit palette of greys). Follows later changes: resizing or pasting into a palette picture
    // makes it full colour, unequal colour balance makes a grey picture full colour.
    // 0 when the control is empty.
    int ColorDepth() const { return m_colorDepth; }

    // --- operations -------------------------------------------------------------------------

    // Reads the picture file `fileName` (JPEG or BMP, told apart by content, not by the
    // name). A JPEG's EXIF orientation is applied, so the held picture stands upright and stays
    // so when saved. A JPEG's EXIF block (its orientation set to 1) and colour profile are kept
    // and written into JPEG saves until ResizeImage, Delete, setImage or the next Load drops
    // them; a damaged EXIF block is dropped at once. CMYK/YCCK and grey JPEGs load;
    // the held picture becomes the one Reset returns to. Raises for a missing or unreadable
    // file, one that is not a JPEG or BMP, a damaged one (a JPEG that decodes only with
    // warnings, such as a truncated one, is refused rather than shown half grey), or one larger
    // than kMaxPixels; the held picture is then left unchanged. A file that is missing or is a
    // folder raises a failure that names it and its cause instead of the format message.
    void Load(const QString& fileName);

    // Load for a picture that will only be shown within width × height: a JPEG is decoded at
    // the smallest DCT scale that still covers that area with its aspect kept, so the held
    // picture may be smaller than the file's (a BMP loads whole). Raises as Load does.
    void LoadScaled(const QString& fileName, int width, int height);

    // LoadScaled for a picture file held in memory (what encoded() made): the picture a file
    // of those bytes would give. Raises as Load does; no file is named in its failures.
    void loadScaledFrom(const QByteArray& bytes, int width, int height);

    // Writes the held picture to `fileName` in the save settings, replacing an existing file.
    // A JPEG carries the kept EXIF block, and the kept profile when it fits the written colours.
    // The bytes go to a temporary file beside it that is renamed over it, so a failure never
    // leaves a truncated file (also when a JPEG is re-encoded onto its own source); a link at
    // that name is replaced, never written through (fileops::ReplacingFile).
    // Raises when the control is empty, and a failure naming its cause when the file is
    // read-only (it is left as it was) or cannot be written (a full disk, a missing folder).
    void Save(const QString& fileName);

    // The bytes Save writes, made in memory, and their writing as Save does it: a job encodes
    // on a worker thread and writes, in list order, on the window thread.
    QByteArray encoded() const;
    static void writeEncoded(const QString& fileName, const QByteArray& bytes);

    // Discards the picture (and the loaded original): the control is empty. Large buffers are
    // kept for the next picture of the same size (at most two, shared by all instances).
    void Delete();

    // Scales to exactly width × height (the aspect ratio is not kept). Shrinking averages
    // every source pixel into the target pixel it covers (area averaging, no aliasing of fine
    // patterns); when a side grows, Qt's smooth (bilinear) scaling is used. Raises when empty
    // or for a size below 1 or above kMaxPixels.
    void ResizeImage(int width, int height);

    // Converts to the depth code given: kDepthFull keeps the colours and makes ColorDepth read
    // 12; kDepthGray takes the luma (Rec. 601); palette codes reduce to a fixed palette
    // (1: black and white by threshold, 4: the 16 VGA colours, 8: a 6×7×6 colour cube), each
    // pixel to its nearest entry. Raises when empty or for an unknown code.
    void ChangeColorDepth(int depth);

    // Tuning, each in place on the held picture; every value 0 is the identity, each is
    // monotone in its value, results are clamped to 0 … 255, never wrapped. Values outside
    // their range are clamped to it. Raises when the control is empty.
    // The three calls are collected and applied in one pass over the pixels (in the order
    // brightness/contrast, balance, hue/saturation/lightness) when the pixels are next needed:
    // by image(), Save, ResizeImage, ChangeColorDepth or the clipboard. Each step clamps; the
    // result is rounded to whole levels once, at the end.
    //
    // AdjustBrightness(brightness, contrast), each −100 … 100, per channel:
    //   brightness b adds 255·b/100 to each channel;
    //   contrast c scales around mid-grey 128: v' = 128 + (v − 128)·k, with
    //   k = (100 + c)/100 for c ≤ 0 (−100 gives flat grey) and k = 100/(100 − c) for c > 0
    //   (100 gives a hard threshold at 128). Brightness is applied first.
    void AdjustBrightness(int brightness, int contrast);

    // AdjustColorBalance(red, green, blue), each −100 … 100: adds 255·value/100 to that channel
    // (−100 removes the channel, 100 saturates it).
    void AdjustColorBalance(int red, int green, int blue);

    // AdjustHue(hue, saturation, lightness), in HSL space:
    //   hue −180 … 180 degrees turns each colour around the colour circle (120 turns red to
    //   green, −120 red to blue; ±180 are the same turn);
    //   saturation s −100 … 100 scales the HSL saturation by (100 + s)/100 for s ≤ 0 (−100 gives
    //   grey) and moves it towards full by s/100 of the remaining distance for s > 0;
    //   lightness l −100 … 100 moves each channel towards black (l < 0: v·(100 + l)/100) or
    //   towards white (l > 0: v + (255 − v)·l/100), so −100 is black and 100 white.
    //   Greys keep their hue-less grey under hue and saturation.
    void AdjustHue(int hue, int saturation, int lightness);

    // Back to the picture as last loaded (tuning, resize, depth changes and pastes undone).
    // Does nothing when the control is empty or its original was dropped.
    void Reset();

    // Puts a part of the picture on the system clipboard as an image. The rectangle runs from
    // (left, top) to (right, bottom), right and bottom exclusive, clipped to the picture;
    // 0, 0, 0, 0 means the whole picture. Raises when empty or when the rectangle is empty.
    void CopyToClipboard(int left, int top, int right, int bottom);

    // Draws the clipboard's image at its own size with its top-left corner at (x, y) on the
    // held picture, clipped to the picture. Raises when the control is empty or the clipboard
    // holds no image.
    void PasteFromClipboard(int x, int y);

    // Draws `picture` as PasteFromClipboard draws the clipboard's image, without the desktop's
    // clipboard, which every program of the session shares: for a sheet composed in memory.
    // Raises when the control is empty or `picture` is null.
    void paste(const QImage& picture, int x, int y);

    // --- accessors --------------------------------------------------------------------------

    bool isEmpty() const { return m_image.isNull(); }
    // The held picture (Format_RGB32) with every tuning applied, null when empty.
    const QImage& image() const;
    // Replaces the held picture (and the one Reset returns to) with `picture`, converted to
    // Format_RGB32; the depth code becomes `depth`. For callers that make a picture in memory.
    void setImage(const QImage& picture, int depth = kDepthFull);

    // Takes over everything `other` holds of its picture (the pixels, the original, pending
    // tuning, the depth codes, the kept camera data), leaving `other` empty; save settings stay
    // each instance's own. For a picture prepared on another thread, handed over once that
    // thread has finished with it.
    void takePicture(GKitImage& other);

    // Forgets the picture Reset returns to (Reset then does nothing), so that tuning writes into
    // the held buffer instead of a second one: for a job that never resets and keeps two
    // pictures in memory at once.
    void dropOriginal() { m_loaded = QImage(); }

    // Called after every change of the held picture (Load, Delete, tuning, resize, depth,
    // Reset, paste, setImage), so a view can follow a model that a job drives.
    void setChangeCallback(std::function<void()> callback) { m_onChange = std::move(callback); }

private:
    void changed();
    void load(const QString& fileName, const imaging::DecodeScale& scale);
    void holdDecoded(imaging::Decoded decoded);
    void applyPending() const;
    void requirePicture(const char* operation) const;

    int m_saveMediaFormat = kFormatJpeg;
    int m_saveQuality = 7;
    int m_saveCompression = kCompressionBaseline;
    int m_colorDepth = 0;
    int m_loadedDepth = 0;
    QSize m_loadSizeHint;
    // Tuning not yet applied to m_image (see applyPending): mutable, since reading the
    // picture applies it.
    mutable imaging::TuningPlan m_pending;
    mutable QImage m_image;
    QImage m_loaded;
    imaging::JpegMetadata m_metadata; // what a JPEG save carries
    imaging::JpegMetadata m_loadedMetadata;
    std::function<void()> m_onChange;
};

} // namespace sc
