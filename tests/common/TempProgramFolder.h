#pragma once

#include "platform/WinPath.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace sc::test {

// A fresh program folder for one test; the drive mapping points into it while it lives.
class TempProgramFolder {
public:
    TempProgramFolder() {
        EXPECT_TRUE(dir_.isValid());
        previous_ = winpath::programFolder();
        winpath::setProgramFolder(dir_.path());
    }
    ~TempProgramFolder() { winpath::setProgramFolder(previous_); }

    QString path() const { return dir_.path(); }
    // Host path of a file or folder inside the program folder.
    QString host(const QString& relative) const { return dir_.path() + u'/' + relative; }

    // Writes a file (creating its folders) and returns its host path.
    QString writeFile(const QString& relative, const QByteArray& bytes = "x") const {
        const QString p = host(relative);
        QDir().mkpath(p.left(p.lastIndexOf(u'/')));
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return p;
    }

private:
    QTemporaryDir dir_;
    QString previous_;
};

// The public test pictures, or an empty text when the corpus is not beside the checkout.
inline QString corpusDir() {
    const QString dir = qEnvironmentVariable("SC_CORPUS_DIR");
    return QDir(dir).exists() ? dir : QString();
}

} // namespace sc::test
