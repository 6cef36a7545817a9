#include "platform/ProgramFolders.h"
#include "SmallTmpfs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sc;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

// A marker without a data folder keeps the data files beside the program. A first start that
// cannot bring the samples (a full disk) leaves no half-made folder, so that the next start
// makes it whole.
TEST(ProgramFolders, AUserFolderIsMadeWholeOrNotAtAll) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "a small file system of its own needs root";
    QTemporaryDir root;
    const QString program = root.path() + "/program";
    writeFile(program + "/SC_CONVERTER.shared", "[SHARED]\n");
    writeFile(program + "/drive_c/Album/big.bmp", QByteArray(256 * 1024, 'p'));
    const UserPlaces user{root.path() + "/home/.local/share", root.path() + "/run/pages"};
    {
        const test::SmallTmpfs disk(user.data, 64 * 1024);
        ASSERT_TRUE(disk.mounted());
        const ProgramFolders folders = chooseProgramFolders(program, user);
        EXPECT_EQ(folders.data, program);
        EXPECT_EQ(folders.own, user.data + "/sc-converter");
        EXPECT_EQ(folders.scratch, user.scratch);
        EXPECT_EQ(entriesOf(user.data), QStringList());
    }
    const ProgramFolders folders = chooseProgramFolders(program, user);
    EXPECT_EQ(folders.scratch, folders.own);
    EXPECT_EQ(QFileInfo(folders.own + "/drive_c/Album/big.bmp").size(), 256 * 1024);
}
