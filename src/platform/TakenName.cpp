#include "TakenName.h"

#include "Locks.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <utility>

namespace sc::fileops {

namespace {

QString nameOf(int n, const QString& stem, const QString& suffix) {
    return n == 1 ? stem + suffix : QStringLiteral("%1 (%2)%3").arg(stem).arg(n).arg(suffix);
}

// Where the claims live: the user's runtime folder, emptied at every logout. Empty when there
// is none to write; names are then only told apart by the files already there.
QString claimsFolder() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    const QString folder = runtime + QStringLiteral("/SC_CONVERTER-names");
    return !runtime.isEmpty() && QDir().mkpath(folder) ? folder : QString();
}

QByteArray claimFor(const QString& claims, const QString& path) {
    const QByteArray key =
        QCryptographicHash::hash(QFile::encodeName(path), QCryptographicHash::Sha1).toHex();
    return QFile::encodeName(claims) + '/' + key + ".lock";
}

bool hasFile(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

TakenName TakenName::newIn(const QString& folder, const QString& stem, const QString& suffix) {
    const QDir dir(folder);
    const QString claims = claimsFolder();
    for (int n = 1;; ++n) {
        const QString path = dir.filePath(nameOf(n, stem, suffix));
        if (claims.isEmpty()) {
            if (!hasFile(path))
                return TakenName(path, {}, -1);
            continue;
        }
        // The claim first: a file that another print writes under its claim is then seen.
        const QByteArray claim = claimFor(claims, path);
        const int fd = locks::take(claim, locks::Making::IfAbsent);
        if (fd < 0 && errno == EWOULDBLOCK)
            continue;
        TakenName taken(path, fd < 0 ? QByteArray() : claim, fd);
        if (!hasFile(path))
            return taken;
    }
}

TakenName::TakenName(QString path, QByteArray claim, int fd)
    : path_(std::move(path)), claim_(std::move(claim)), fd_(fd) {}

TakenName::TakenName(TakenName&& other) noexcept
    : path_(std::move(other.path_)), claim_(std::move(other.claim_)),
      fd_(std::exchange(other.fd_, -1)) {}

TakenName::~TakenName() {
    locks::drop(fd_, claim_);
}

} // namespace sc::fileops
