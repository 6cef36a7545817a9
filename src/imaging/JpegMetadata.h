#pragma once

#include <QByteArray>

// What a JPEG carries beside its pixels and a re-encoded copy keeps: the EXIF block (camera,
// dates, settings) and the ICC colour profile.
namespace sc::imaging {

struct JpegMetadata {
    QByteArray exif;     // the TIFF-structured EXIF block (APP1 payload after "Exif\0\0")
    QByteArray icc;      // the whole colour profile, its chunks joined in order
    int orientation = 1; // EXIF orientation 1 … 8 of IFD0, read also from a dropped block

    bool isEmpty() const { return exif.isEmpty() && icc.isEmpty(); }
};

// The EXIF block and colour profile among the headers of a JPEG stream. Every offset is
// checked against its block: a damaged EXIF block (an IFD or value outside the block, IFDs
// that loop) is dropped, as is a profile whose chunks are missing, repeated or disagree.
JpegMetadata readJpegMetadata(const uchar* data, qsizetype size);

// The EXIF block for a copy whose pixels stand upright and may be tuned: every orientation tag
// of its first IFD set to 1, and no embedded thumbnail, which shows the picture as it was
// stored (a viewer would show it turned or with the old colours). Empty for a damaged block.
QByteArray exifForCopy(QByteArray exif);

// The APP1 and APP2 segments that carry `metadata`, to follow SOI (and JFIF APP0) of a JPEG
// stream. The profile goes only where it describes the written colours: an RGB profile into a
// colour stream, a grey one into a grey stream (a CMYK source's profile never fits). A block
// too large for a segment is left out.
QByteArray metadataSegments(const JpegMetadata& metadata, bool greyStream);

} // namespace sc::imaging
