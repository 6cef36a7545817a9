// Names taken for files written later, and marks that tell a live job's files from a dead one's.
#include "platform/TakenName.h"
#include "platform/FileWrites.h"
#include "platform/RunMark.h"

#include "QStringPrinting.h"
#include "TempProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <optional>

using namespace sc;

namespace {

QByteArray readAll(const QString& host) {
    QFile f(host);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList entries(const QString& host) {
    return QDir(host).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace

// A name is free when no file, folder or link has it and no other print has taken it; a claim
// given up frees its name again.
TEST(TakenName, ANewPdfIsOneNoFileHasAndNoOtherPrintHasTaken) {
    test::TempProgramFolder folder;
    const QString docs = folder.host("Documents");
    folder.writeFile("Documents/SC_CONVERTER.pdf");
    QDir().mkpath(docs + "/SC_CONVERTER (2).pdf");
    QFile::link("nowhere", docs + "/SC_CONVERTER (3).pdf");

    std::optional<fileops::TakenName> first(
        fileops::TakenName::newIn(docs, "SC_CONVERTER", ".pdf"));
    EXPECT_EQ(first->path(), docs + "/SC_CONVERTER (4).pdf");
    {
        const fileops::TakenName second = fileops::TakenName::newIn(docs, "SC_CONVERTER", ".pdf");
        EXPECT_EQ(second.path(), docs + "/SC_CONVERTER (5).pdf");
    }
    first.reset();
    EXPECT_EQ(fileops::TakenName::newIn(docs, "SC_CONVERTER", ".pdf").path(),
              docs + "/SC_CONVERTER (4).pdf");
    folder.writeFile("Documents/SC_CONVERTER (4).pdf");
    EXPECT_EQ(fileops::TakenName::newIn(docs, "SC_CONVERTER", ".pdf").path(),
              docs + "/SC_CONVERTER (5).pdf");
}

// A PDF's name is chosen in the dialog before the print is made: a file that comes to that
// name meanwhile is never replaced, while the file that was there when it was chosen is.
TEST(TakenName, AWriteReplacesOnlyWhatHadItsNameWhenItWasChosen) {
    test::TempProgramFolder folder;
    const QString chosen = folder.host("out.pdf");
    const auto writeChosen = [&](const std::optional<fileops::FileIdentity>& there) {
        fileops::ReplacingFile file(chosen);
        file.replaceOnly(there);
        file.write(QByteArray("the print"));
        const bool done = file.commit();
        return done ? 0 : file.error();
    };

    // Nothing was there; another program writes the name in the meantime.
    const std::optional<fileops::FileIdentity> nothing = fileops::fileIdentity(chosen);
    ASSERT_FALSE(nothing);
    folder.writeFile("out.pdf", "another program's");
    EXPECT_EQ(writeChosen(nothing), EEXIST);
    EXPECT_EQ(readAll(chosen), "another program's");

    // The user chose that file to be replaced; it is, unless it was replaced meanwhile.
    const std::optional<fileops::FileIdentity> old = fileops::fileIdentity(chosen);
    EXPECT_EQ(writeChosen(old), 0);
    EXPECT_EQ(readAll(chosen), "the print");
    const std::optional<fileops::FileIdentity> printed = fileops::fileIdentity(chosen);
    QFile::remove(chosen);
    folder.writeFile("out.pdf", "newer");
    EXPECT_EQ(writeChosen(printed), EEXIST);
    EXPECT_EQ(readAll(chosen), "newer");

    QFile::remove(chosen);
    EXPECT_EQ(writeChosen(nothing), 0);
    EXPECT_EQ(readAll(chosen), "the print");
    EXPECT_EQ(entries(folder.path()), QStringList{"out.pdf"}) << "no temporary left";
}

// Files named with a mark belong to its job while it runs; once it has ended (its lock free,
// or its lock file gone) the next job's sweep removes them and its lock file.
TEST(RunMark, TheNextJobRemovesWhatEndedJobsLeftAndNothingOfALiveOne) {
    test::TempProgramFolder folder;
    std::optional<fileops::RunMark> ended(std::in_place, folder.path());
    const fileops::RunMark running(folder.path());
    ASSERT_EQ(ended->error(), 0);
    ASSERT_EQ(running.error(), 0);
    const QString endedPages = ended->name("bg_tate", ".tif");
    const QString runningPages = running.name("bg_film", ".tif");
    EXPECT_TRUE(endedPages.contains(QRegularExpression("/bg_tate\\.[0-9a-z]+\\.tif$")));
    for (const QString& pages : {endedPages, runningPages})
        folder.writeFile(QFileInfo(pages).fileName(), "pages");
    ended.reset();
    // A killed job's: a lock file nobody holds, and pages whose lock file is gone.
    for (const char* left : {".sc-run.k1.lock", "bg_tate.k1.tif", "bg_film.k2.tif"})
        folder.writeFile(left);
    // Not a job's: no id, or one with a dot in it.
    for (const char* other : {"bg_tate.tif", "bg_tate.a.b.tif", "bg_tate.bmp"})
        folder.writeFile(other);

    const fileops::RunMark next(folder.path());
    next.removeLeftovers({"bg_tate", "bg_film"}, ".tif");
    QStringList left = entries(folder.path());
    left.removeAll(QFileInfo(runningPages).fileName());
    left.removeAll("bg_tate.tif");
    left.removeAll("bg_tate.a.b.tif");
    left.removeAll("bg_tate.bmp");
    EXPECT_EQ(left.size(), 2) << qPrintable(left.join(u' '));
    EXPECT_EQ(left.filter(QRegularExpression("^\\.sc-run\\.[0-9a-z]+\\.lock$")).size(), 2)
        << "the running job's mark and the new one's";
    EXPECT_EQ(readAll(runningPages), "pages");
}

TEST(RunMark, AFolderThatCannotBeWrittenGivesItsCause) {
    test::TempProgramFolder folder;
    const fileops::RunMark mark(folder.host("missing"));
    EXPECT_EQ(mark.error(), ENOENT);
}
