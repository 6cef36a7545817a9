#pragma once

// The main window on a temporary program folder, with scripted dialogs and helpers that drop
// pictures and choose list items as a user would.
#include "Children.h"
#include "IsolatedTrash.h"
#include "ScriptedDialogs.h"
#include "TempProgramFolder.h"
#include "app/Changewindow1.h"
#include "controls/TShadowLabel.h"
#include "platform/FileOps.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QTimer>

namespace sc::test {

inline const QDateTime kTaken(QDate(2004, 1, 2), QTime(9, 5, 6));

// Handles events until the preview shows the values of the last change: its picture work runs
// off the window thread.
inline void settlePreview(const app::TConvertForm1& form) {
    const QDeadlineTimer deadline(20'000);
    while (!form.previewSettled() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    EXPECT_TRUE(form.previewSettled()) << "the preview did not settle";
}

// The setting whose control has the object name `control` ("C1_02": the JPEG quality).
inline settings::Key settingNamed(const char* control) {
    for (const settings::KeyInfo& info : settings::keyTable()) {
        if (qstrcmp(info.name, control) == 0)
            return info.key;
    }
    ADD_FAILURE() << "no setting control " << control;
    return {};
}

struct Window {
    sc::test::IsolatedTrash trash;
    sc::test::TempProgramFolder folder;
    sc::test::ScriptedDialogs dialogs;
    std::unique_ptr<app::TConvertForm1> form;

    // Over a settings file of `ini` lines (none: no file).
    explicit Window(const QByteArray& ini = {}) {
        if (!ini.isEmpty())
            folder.writeFile("SC_CONVERTER.ini", ini);
        form = std::make_unique<app::TConvertForm1>(folder.path(), dialogs);
        form->show();
    }
    template <typename T = QWidget> T* get(const char* name) { return childOf<T>(*form, name); }
    QString status() { return get<controls::TShadowLabel>("ShadowLabel21")->text(); }
    // Writes a picture at a path text (a Windows path lands in the program folder's drives),
    // as a JPEG when the name says so, else as a bitmap; returns the path text.
    static QString picture(const QString& path, QColor colour = Qt::darkCyan, QSize size = {8, 6}) {
        const QString host = winpath::hostPath(path);
        QDir().mkpath(QFileInfo(host).absolutePath());
        QImage img(size, QImage::Format_RGB32);
        img.fill(colour);
        EXPECT_TRUE(img.save(host, host.endsWith(QStringLiteral(".jpg")) ? "JPG" : "BMP"));
        return path;
    }
    // Drops pictures written at host paths under the program folder; `broken` is no picture.
    void dropPictures(const QStringList& names, const QString& broken = QString()) {
        QStringList paths;
        for (const QString& name : names) {
            const QString host = folder.host(name);
            if (name == broken)
                folder.writeFile(name, "not a picture");
            else
                picture(host);
            sc::fileops::setLastWriteTime(host, kTaken);
            paths << host;
        }
        form->dropFiles(paths);
    }
    // Writes `bytes` at a host path under the program folder with a modification time.
    QString place(const QString& name, const QByteArray& bytes, const QDateTime& time = kTaken) {
        const QString host = folder.writeFile(name, bytes);
        sc::fileops::setLastWriteTime(host, time);
        return host;
    }
    QByteArray bytesOf(const QString& name) {
        QFile f(folder.host(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void choose(const char* list, int index) {
        get<QComboBox>(list)->setCurrentIndex(index);
        form->settingChanged(settingNamed(list));
    }
};

// The system ending the program (a logout) while its event loop runs, as in the program: the
// loop must end, within seconds, with status 0.
inline void endProgramFromItsLoop(app::TConvertForm1& form) {
    QTimer::singleShot(0, &form, [&form] { form.endProgram(); });
    QTimer stuck; // gone with this call, so it cannot end a later loop
    stuck.setSingleShot(true);
    QObject::connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    stuck.start(5000);
    EXPECT_EQ(QCoreApplication::exec(), 0) << "the program did not end";
}

} // namespace sc::test
