#include "WinPath.h"

#include "FolderIndex.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace sc::winpath {

namespace {
QString& programFolderStore() {
    static QString folder;
    return folder;
}

// Every file access maps its path: the pattern is compiled once.
const QRegularExpression kSeparators(QStringLiteral("[\\\\/]"));

// In a host path only "/" separates: '\' and ':' are ordinary characters of a Linux name.
bool isHostSeparator(QChar c) {
#ifdef Q_OS_WIN
    return c == u'\\' || c == u'/';
#else
    return c == u'/';
#endif
}

// The entry of `dir` named `name`, preferring an exact match, else one that differs in case.
QString findComponent(const QString& dir, const QString& name) {
    if (name.isEmpty() || name == u"." || name == u"..")
        return name;
    if (QFileInfo::exists(dir + u'/' + name))
        return name;
    const QString entry = entryNamedLike(dir, name);
    return entry.isEmpty() ? name : entry;
}
} // namespace

void setProgramFolder(const QString& folder) {
    programFolderStore() = folder;
}
QString programFolder() {
    return programFolderStore();
}

bool isWindowsPath(const QString& text) {
    return text.size() >= 2 && text[0].isLetter() && text[0].unicode() < 128 && text[1] == u':';
}

QString hostPath(const QString& text) {
#ifdef Q_OS_WIN
    return text;
#else
    if (!isWindowsPath(text))
        return text;
    QString path = programFolder() + u'/' +
                   findComponent(programFolder(), QStringLiteral("drive_") + text[0].toLower());
    const QStringList parts = text.mid(2).split(kSeparators, Qt::SkipEmptyParts);
    for (const QString& part : parts)
        path += u'/' + findComponent(path, part);
    return path;
#endif
}

QString windowsPathOf(const QString& host) {
    static const QRegularExpression drive(QStringLiteral("^drive_([a-z])(/.*)?$"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QString root = programFolder() + u'/';
    if (programFolder().isEmpty() || !host.startsWith(root))
        return host;
    const auto m = drive.match(host.mid(root.size()));
    if (!m.hasMatch())
        return host;
    // A folder name holding a '\' would be read as two names in the Windows spelling.
    if (m.captured(2).contains(u'\\'))
        return host;
    return m.captured(1).toUpper() + u':' + m.captured(2);
}

QString spelledUnder(const QString& root, const QString& hostRoot, const QString& chosen) {
    QString rest = QDir(hostRoot).relativeFilePath(chosen);
    if (rest == u".")
        return root;
    if (isWindowsPath(root) && rest.contains(u'\\'))
        return chosen;
    const QChar separator = root.contains(u'\\') ? u'\\' : u'/';
    rest.replace(u'/', separator);
    return root.endsWith(separator) ? root + rest : root + separator + rest;
}

int lastDelimiter(const QString& path) {
    if (!isWindowsPath(path)) {
        for (int i = path.size() - 1; i >= 0; --i) {
            if (isHostSeparator(path[i]))
                return i;
        }
        return -1;
    }
    for (int i = path.size() - 1; i >= 2; --i) {
        if (path[i] == u'\\' || path[i] == u'/')
            return i;
    }
    return 1; // the drive's colon
}

QString fileNameOf(const QString& path) {
    return path.mid(lastDelimiter(path) + 1);
}

QString folderOf(const QString& path) {
    const int i = lastDelimiter(path);
    if (i < 0)
        return QString();
    // A drive root keeps its colon: "C:\a.bmp" -> "C:".
    if (path[i] == u':')
        return path.left(i + 1);
    if (i == 2 && path[1] == u':')
        return path.left(2);
    return path.left(i);
}

QString extensionOf(const QString& path) {
    const QString name = fileNameOf(path);
    const int dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

QString withJpgExtension(const QString& path) {
    return path.left(path.size() - extensionOf(path).size()) + QStringLiteral(".jpg");
}

QString baseNameOf(const QString& path) {
    const QString name = fileNameOf(path);
    const int dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

bool staysOneName(const QString& name) {
    return !name.contains(u'\\') && !name.contains(u'/') && name != u"." && name != u"..";
}

QString join(const QString& folder, const QString& name) {
    if (isWindowsPath(folder) && !staysOneName(name))
        return hostPath(folder) + u'/' + name;
    return folder + u'/' + name;
}

} // namespace sc::winpath
