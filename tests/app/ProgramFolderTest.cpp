// Where the window keeps what is the user's: in a program folder it may write, in a folder of
// the user's own when a package installed it for everyone, and nowhere when it may write
// neither (a read-only folder that is no package's).
#include "ReadOnlyFolder.h"
#include "ScriptedDialogs.h"
#include "TempProgramFolder.h"
#include "WindowFixture.h"
#include "app/Changewindow1.h"
#include "imaging/TGKitImageEdit.h"
#include "platform/FileOps.h"
#include "platform/ProgramFolders.h"
#include "printing/SheetLayout.h"

#include <QComboBox>
#include <QDirIterator>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>

using sc::app::TConvertForm1;

namespace {

using sc::test::ReadOnlyFolder;
using sc::test::ScriptedDialogs;

const QDateTime kTaken(QDate(2004, 1, 2), QTime(9, 5, 6));

void writePicture(const QString& host, QSize size = {16, 12}) {
    QDir().mkpath(QFileInfo(host).path());
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(picture.save(host, "BMP"));
    ASSERT_TRUE(sc::fileops::setLastWriteTime(host, kTaken));
}

// The program's data files as the build makes them: both backgrounds and the read-me.
void writeDataFiles(const QString& folder) {
    writePicture(folder + "/bg_tate.bmp", {sc::printing::sheet::kVerticalSheetSize.x,
                                           sc::printing::sheet::kVerticalSheetSize.y});
    writePicture(folder + "/bg_film.bmp",
                 {sc::printing::sheet::kFilmSheetSize.x, sc::printing::sheet::kFilmSheetSize.y});
    QFile readme(folder + "/Readme.txt");
    ASSERT_TRUE(readme.open(QIODevice::WriteOnly));
}

// Every entry below `folder` with its size and time: what "nothing written there" compares.
QStringList snapshot(const QString& folder) {
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        entries << QStringLiteral("%1 %2 %3")
                       .arg(entry.filePath())
                       .arg(entry.isDir() ? -1 : entry.size())
                       .arg(entry.lastModified().toMSecsSinceEpoch());
    }
    entries.sort();
    return entries;
}

void showAndSettle(TConvertForm1& form) {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QCoreApplication::processEvents(); // the start's check of the program folder
}

// A window over `folders`, with the drive letters mapped into the program folder it chose.
struct Start {
    ScriptedDialogs dialogs;
    std::unique_ptr<TConvertForm1> form;

    explicit Start(const sc::ProgramFolders& folders) {
        sc::winpath::setProgramFolder(folders.own);
        form = std::make_unique<TConvertForm1>(folders, dialogs);
        showAndSettle(*form);
    }
    int quality() const { return form->findChild<QComboBox*>("C1_02")->currentIndex(); }
    void chooseQuality(int index) {
        form->findChild<QComboBox*>("C1_02")->setCurrentIndex(index);
        form->settingChanged(sc::settings::Key::JpegQuality);
    }
};

} // namespace

// As the package leaves it: the program and its data in folders nobody may write, the marker
// naming the data folder. Each user gets a program folder of their own at the first start,
// with the sample drives; their settings live there and are kept from one start to the next;
// another user never sees them; nothing is written into the shared folders.
TEST(ProgramFolder, AnInstallForEveryoneGivesEachUserAProgramFolderOfTheirOwn) {
    const sc::test::TempProgramFolder restoresTheDriveMapping;
    QTemporaryDir root;
    const QString program = root.path() + "/lib/sc-converter";
    const QString data = root.path() + "/share/sc-converter";
    QDir().mkpath(program);
    QFile marker(program + "/SC_CONVERTER.shared");
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.write("[SHARED]\nDATA=../../share/sc-converter\n");
    marker.close();
    writeDataFiles(data);
    writePicture(data + "/drive_c/Album/beach.bmp");
    writePicture(data + "/drive_c/Program Files/Snapcycle/Trip/SC000010.bmp");
    const ReadOnlyFolder shared(root.path());
    ASSERT_TRUE(shared.holds());
    const QStringList before = snapshot(root.path());

    QTemporaryDir homes;
    const sc::UserPlaces anna{homes.path() + "/anna/.local/share", homes.path() + "/anna-run"};
    const sc::UserPlaces ben{homes.path() + "/ben/.local/share", homes.path() + "/ben-run"};
    const QString annasFolder = anna.data + "/sc-converter";
    {
        Start first(sc::chooseProgramFolders(program, anna));
        EXPECT_EQ(first.form->programFolder(), annasFolder);
        EXPECT_EQ(first.form->sourceList().paths(), QStringList({"C:\\Album\\beach.bmp"}));
        EXPECT_EQ(sc::fileops::lastWriteTime(annasFolder +
                                             "/drive_c/Program Files/Snapcycle/Trip/SC000010.bmp"),
                  kTaken);
        EXPECT_EQ(first.quality(), 2);
        first.chooseQuality(0);
        first.form->close();
        EXPECT_TRUE(first.dialogs.shown.isEmpty()) << first.dialogs.shown.join('\n').toStdString();
    }
    EXPECT_TRUE(QFileInfo::exists(annasFolder + "/SC_CONVERTER.ini"));
    // Hers alone, though a home may be readable by all (as a new one is on Debian).
    for (const QString& made : {annasFolder, anna.data, QFileInfo(anna.data).path()})
        EXPECT_EQ(QFileInfo(made).permissions() & (QFile::ReadGroup | QFile::ReadOther), 0)
            << made.toStdString();
    // A sample the user deleted stays deleted: only a first start brings them.
    QFile::remove(annasFolder + "/drive_c/Album/beach.bmp");
    {
        Start again(sc::chooseProgramFolders(program, anna));
        EXPECT_EQ(again.quality(), 0);
        EXPECT_TRUE(again.form->sourceList().paths().isEmpty());
        again.form->close();
    }
    {
        Start other(sc::chooseProgramFolders(program, ben));
        EXPECT_EQ(other.form->programFolder(), ben.data + "/sc-converter");
        EXPECT_EQ(other.quality(), 2);
        EXPECT_EQ(other.form->sourceList().count(), 1);
        other.form->close();
    }
    EXPECT_EQ(snapshot(root.path()), before);
    // Nothing but the two program folders was made in the users' data folders.
    EXPECT_EQ(QDir(anna.data).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"sc-converter"}));
    EXPECT_EQ(QDir(ben.data).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"sc-converter"}));
}

// Another user's build or a mounted share: the start says once that the folder cannot be
// written; a preview, a JPEG job into a folder the user may write and a print all work; the
// settings are not kept; nothing is written into the folder and nothing more is said.
TEST(ProgramFolder, AReadOnlyFolderThatIsNoPackagesIsSaidOnceAndEverythingElseWorks) {
    const sc::test::TempProgramFolder folder;
    writeDataFiles(folder.path());
    QTemporaryDir mine;
    const QString picture = mine.path() + "/shots/a.bmp";
    writePicture(picture);
    const ReadOnlyFolder readOnly(folder.path());
    ASSERT_TRUE(readOnly.holds());
    const QStringList before = snapshot(folder.path());

    const sc::ProgramFolders folders = sc::chooseProgramFolders(
        folder.path(), {mine.path() + "/.local/share", mine.path() + "/run/pages"});
    EXPECT_EQ(folders.own, folder.path());
    EXPECT_EQ(folders.scratch, mine.path() + "/run/pages");
    Start start(folders);
    ASSERT_EQ(start.dialogs.messages().size(), 1);
    EXPECT_TRUE(start.dialogs.messages()[0].contains("書き込めません"));
    EXPECT_TRUE(start.dialogs.messages()[0].contains("\n" + folder.path() + "\n"));
    start.dialogs.shown.clear();
    start.dialogs.pdfOutput = mine.path() + "/sheet.pdf";
    TConvertForm1& form = *start.form;

    form.dropFiles({picture});
    auto* list = form.findChild<QListView*>("ListBox1");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(0, 0)).center());
    sc::test::settlePreview(form);
    EXPECT_FALSE(form.findChild<sc::TGKitImageEdit*>("ImageEdit2")->model().isEmpty());
    form.runVisiblePageJob(); // the JPEG page: beside the picture, named after its time
    EXPECT_EQ(sc::fileops::lastWriteTime(mine.path() + "/shots/sc_20040102_0905_06.jpg"), kTaken);
    form.choosePrintJob();
    form.runVisiblePageJob();
    EXPECT_GT(QFileInfo(mine.path() + "/sheet.pdf").size(), 0);
    EXPECT_TRUE(QDir(folders.scratch).entryList(QDir::Files | QDir::Hidden).isEmpty());
    form.close();

    EXPECT_TRUE(start.dialogs.messages().isEmpty()) << start.dialogs.shown.join('\n').toStdString();
    EXPECT_EQ(snapshot(folder.path()), before);
    EXPECT_FALSE(QFileInfo::exists(mine.path() + "/.local/share/sc-converter"));
}
