#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// What the fuzz targets share. The loaders under test read files (the picture decoders map
// them), so each input is written to a scratch file first.
namespace sc::fuzz {

// A broken promise of the code under test. Aborting makes the fuzzer keep the input.
[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

// One file in a temporary folder of this process, rewritten with each input.
class ScratchFile {
public:
    explicit ScratchFile(const QString& name) : path_(dir_.filePath(name)) {
        if (!dir_.isValid())
            fail("no temporary folder");
    }
    const QString& path() const { return path_; }

    void write(const std::uint8_t* data, std::size_t size) const {
        QFile file(path_);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
            fail("the scratch file cannot be written");
    }

    QByteArray read() const {
        QFile file(path_);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir dir_;
    QString path_;
};

// Qt's warnings about damaged input would drown the fuzzer's own output; fatal ones still end
// the process.
inline void quietQt() {
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtFatalMsg) {
            std::fprintf(stderr, "%s\n", qPrintable(text));
            std::abort();
        }
    });
}

} // namespace sc::fuzz

#define SC_FUZZ_CHECK(condition) ((condition) ? void() : sc::fuzz::fail(#condition))
