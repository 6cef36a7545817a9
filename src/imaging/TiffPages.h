#pragma once

#include <QImage>
#include <QString>

namespace sc::imaging {

// Appends `picture` (Format_RGB32) as the next page of the multi-page TIFF at `hostPath`,
// created when absent: 24-bit RGB, uncompressed. The whole file is rebuilt in memory and
// written beside the target, then renamed over it. Raises sc::Error.
void appendTiffPage(const QString& path, const QImage& picture);

// Sizes of the pages of a TIFF file, for callers that check a page file.
QList<QSize> tiffPageSizes(const QString& path);

} // namespace sc::imaging
