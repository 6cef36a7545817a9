#pragma once

#include "ScriptedDialogs.h"
#include "TempProgramFolder.h"
#include "imaging/GKitImage.h"
#include "sources/SourcePreview.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QImage>

namespace sc::test {

// A picture with detail in every channel, so that encodings at different levels differ.
inline QImage stripes(int w = 64, int h = 48) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 37 + y * 11) % 256, (x * y) % 256, (x * 5 + 90) % 256));
    return image;
}

// A preview on plain picture models in a temporary program folder, with the window's part
// played by fields. Records the bytes of every after picture shown.
struct PreviewFixture {
    TempProgramFolder folder;
    ScriptedDialogs dialogs;
    GKitImage before, after;
    QString beforeText = QStringLiteral("0KB"), afterText = QStringLiteral("0KB");
    bool visible = true, idle = true;
    std::optional<QString> selected;
    sources::TPreviewSettings settings;
    int runs = 0; // each run reads the settings once
    QList<QByteArray> encoded;
    sources::TSourcePreview preview{{before, after, QSize(164, 124), QSize(164, 124),
                                     [this](const QString& t) { beforeText = t; },
                                     [this](const QString& t) { afterText = t; }},
                                    {[this] { return visible; }, [this] { return selected; },
                                     [this] {
                                         ++runs;
                                         return settings;
                                     },
                                     [this] { return idle; }},
                                    dialogs};

    PreviewFixture() {
        after.setChangeCallback([this] {
            if (!after.isEmpty())
                encoded << preview.afterBytes();
        });
    }
    ~PreviewFixture() { after.setChangeCallback({}); }

    // Handles events until the preview shows the values of the last run asked for.
    void settle() {
        const QDeadlineTimer deadline(20'000);
        while (!preview.settled() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        EXPECT_TRUE(preview.settled()) << "the preview did not settle";
    }
    // One run, waited for.
    void run() {
        preview.run();
        settle();
    }

    // Writes `picture` as a BMP (or a JPEG for a name ending in .jpg) and returns its path.
    QString source(const QString& name, const QImage& picture, qint64 padTo = 0) {
        const QString path = folder.host(name);
        EXPECT_TRUE(picture.save(path, name.endsWith(QStringLiteral(".jpg")) ? "JPG" : "BMP"));
        // A bitmap may carry bytes after its pixels: sources of an exact size.
        if (padTo > 0) {
            QFile file(path);
            EXPECT_LE(file.size(), padTo) << "padding would cut the picture";
            EXPECT_TRUE(file.resize(padTo));
        }
        return path;
    }
};

} // namespace sc::test
