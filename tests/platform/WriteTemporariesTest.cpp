// The temporaries of writes that a run did not finish: a live writer's stays, a dead one's goes
// at the next write into its folder, and nothing else of that folder is touched.
#include "platform/FileWrites.h"
#include "platform/FolderIndex.h"

#include "QStringPrinting.h"
#include "TempProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cerrno>
#include <sys/stat.h>

using namespace sc;
using fileops::ReplacingFile;

namespace {

QStringList entries(const QString& host) {
    QStringList names = QDir(host).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    names.sort();
    return names;
}

QStringList sorted(QStringList names) {
    names.sort();
    return names;
}

// Another process of this program in the middle of a replacing write.
class SecondWriter {
public:
    SecondWriter(const QString& target, bool named) {
        process_.start(QStringLiteral(SC_WRITE_HOLDER),
                       {target, named ? QStringLiteral("named") : QStringLiteral("unnamed")});
        while (!process_.canReadLine() && process_.waitForReadyRead(10000)) {
        }
        const QByteArray line = process_.readLine().trimmed();
        EXPECT_TRUE(line.startsWith("writing ")) << line.toStdString();
        temporary_ = QFileInfo(QFile::decodeName(line.mid(8))).fileName();
    }
    ~SecondWriter() {
        if (process_.state() != QProcess::NotRunning)
            kill();
    }

    // The name of its temporary in the target's folder, when it has one.
    const QString& temporary() const { return temporary_; }

    bool commit() {
        process_.closeWriteChannel();
        return process_.waitForFinished(10000) && process_.exitCode() == 0;
    }
    void kill() {
        process_.kill(); // SIGKILL: nothing of it runs any more
        process_.waitForFinished(10000);
    }

private:
    QProcess process_;
    QString temporary_;
};

} // namespace

TEST(WriteTemporaries, ADeadRunsTemporaryGoesAtTheNextWriteAndALiveOnesStays) {
    test::TempProgramFolder folder;
    const QString out = folder.host("out");
    QDir().mkpath(out);
    SecondWriter live(out + "/a.jpg", true);
    SecondWriter killed(out + "/b.jpg", true);
    SecondWriter killedUnnamed(out + "/c.jpg", false);
    killed.kill();
    killedUnnamed.kill(); // its file never had a name: nothing of it is left
    folder.writeFile("out/.sc-3k9z.tmp", "left by an earlier version, which took no lock");
    EXPECT_EQ(entries(out), sorted({live.temporary(), killed.temporary(), ".sc-3k9z.tmp"}));

    fileops::writeFileReplacing(out + "/d.jpg", "d");
    EXPECT_EQ(entries(out), sorted({live.temporary(), "d.jpg"}));
    ASSERT_TRUE(live.commit());
    EXPECT_EQ(entries(out), QStringList({"a.jpg", "d.jpg"}));
    QFile a(out + "/a.jpg");
    ASSERT_TRUE(a.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), "from the second writer");
}

// What only looks like a temporary of this program stays, and so does what is no regular file.
// A job looks once per folder: a temporary left meanwhile goes with the next job.
TEST(WriteTemporaries, OnlyThisProgramsTemporariesGoAndAJobSweepsAFolderOnce) {
    test::TempProgramFolder folder;
    const QString out = folder.host("out");
    const QStringList lookAlikes = {
        ".sc-notes.TMP",          ".sc-.tmp",   "sc-1a.tmp", ".sc-1a.tmp.jpg",
        ".sc-1a2b3c4d5e6f7g.tmp", ".sc-a_b.tmp"};
    for (const QString& name : lookAlikes)
        folder.writeFile("out/" + name, "the user's");
    QDir().mkpath(out + "/.sc-dir1.tmp");
    ASSERT_TRUE(QFile::link(out + "/sc-1a.tmp", out + "/.sc-link1.tmp"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(out + "/.sc-fifo1.tmp").constData(), 0644), 0);
    const QStringList kept =
        lookAlikes + QStringList({".sc-dir1.tmp", ".sc-link1.tmp", ".sc-fifo1.tmp"});
    {
        const winpath::FolderListingScope job;
        folder.writeFile("out/.sc-dead1.tmp");
        fileops::writeFileReplacing(out + "/a.jpg", "a");
        folder.writeFile("out/.sc-dead2.tmp");
        fileops::writeFileReplacing(out + "/b.jpg", "b");
        EXPECT_EQ(entries(out), sorted(kept + QStringList({".sc-dead2.tmp", "a.jpg", "b.jpg"})));
    }
    const winpath::FolderListingScope nextJob;
    fileops::writeFileReplacing(out + "/c.jpg", "c");
    EXPECT_EQ(entries(out), sorted(kept + QStringList({"a.jpg", "b.jpg", "c.jpg"})));
}

// Naming the unnamed temporary is the step before the rename: when it fails, the old file
// stays and nothing is left.
TEST(WriteTemporaries, AFailedLinkKeepsTheOldFileAndLeavesNothing) {
    if (fileops::NamedTemporariesOnly::active())
        GTEST_SKIP() << "temporaries are named from the start";
    test::TempProgramFolder folder;
    folder.writeFile("drive_c/a.jpg", "old");
    {
        fileops::WriteFaults faults(fileops::WriteStep::Link, 1, ENOSPC);
        ReplacingFile file("C:/a.jpg");
        EXPECT_TRUE(file.write("new"));
        EXPECT_FALSE(file.commit());
        EXPECT_EQ(file.error(), ENOSPC);
    }
    QFile a(folder.host("drive_c/a.jpg"));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), "old");
    EXPECT_EQ(entries(folder.host("drive_c")), QStringList("a.jpg"));
}

// A new file gets the mode any new file of the user gets: the user's umask applies.
TEST(WriteTemporaries, ANewFileHasTheModeOfAnyNewFile) {
    test::TempProgramFolder folder;
    const mode_t previous = ::umask(027);
    fileops::writeFileReplacing(folder.host("new.jpg"), "new");
    ::umask(previous);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(folder.host("new.jpg")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}
