#pragma once

#include "IsolatedTrash.h"
#include "ScriptedDialogs.h"
#include "TempProgramFolder.h"
#include "imaging/GKitImage.h"
#include "jobs/JobRunner.h"
#include "jobs/JpegJob.h"
#include "jobs/StatusLine.h"
#include "platform/FileOps.h"
#include "sources/SourceList.h"

#include <QImage>

namespace sc::test {

// Records every status-line text; the idle prompt shows as "<idle>".
class RecordingStatusLine : public jobs::StatusLine {
public:
    QStringList texts;
    int windowRepaints = 0;
    void show(const QString& text) override { texts << text; }
    void showIdlePrompt() override { texts << QStringLiteral("<idle>"); }
    void repaintWindow() override { ++windowRepaints; }
    QString last() const { return texts.isEmpty() ? QString() : texts.last(); }
};

// A temporary program folder with the pieces a job needs and helpers to make pictures.
class JobFixture : public ::testing::Test {
protected:
    IsolatedTrash trash;
    TempProgramFolder folder;
    ScriptedDialogs dialogs;
    RecordingStatusLine status;
    GKitImage image;
    sources::TSourceList sources;
    int clears = 0;
    int workers = jobs::pictureWorkersOfThisMachine();

    // Writes a small picture at a Windows path text and gives it a modification time.
    QString picture(const QString& path,
                    const QDateTime& time = QDateTime(QDate(2004, 1, 2), QTime(9, 5, 6)),
                    QColor colour = QColor(200, 120, 40)) {
        const QString host = winpath::hostPath(path);
        QDir().mkpath(QFileInfo(host).absolutePath());
        QImage img(16, 12, QImage::Format_RGB32);
        img.fill(colour);
        EXPECT_TRUE(img.save(
            host, path.endsWith(QStringLiteral(".jpg"), Qt::CaseInsensitive) ? "JPG" : "BMP"));
        EXPECT_TRUE(fileops::setLastWriteTime(path, time));
        return path;
    }

    void add(const QString& path) { sources.add(path); }

    bool run(const jobs::JpegJobSettings& settings) {
        jobs::JpegJob job(image, sources, status, dialogs, [this] {
            sources.clear();
            ++clears;
        });
        job.setPictureWorkers(workers);
        return jobs::runGuarded(dialogs, [&] { job.run(settings); });
    }

    static jobs::JpegJobSettings plain(int renaming = 0) {
        jobs::JpegJobSettings s;
        s.renaming = renaming;
        return s;
    }

    bool exists(const QString& path) const { return fileops::exists(path); }
    QDateTime timeOf(const QString& path) const {
        return fileops::lastWriteTime(path).value_or(QDateTime());
    }
};

} // namespace sc::test
