// The print control's PDF: the name its dialog offers, and a print that is on disk before it
// counts.
#include "ModalDialog.h"
#include "QStringPrinting.h"
#include "ScriptedDialogs.h"
#include "TempProgramFolder.h"
#include "platform/Error.h"
#include "platform/FileWrites.h"
#include "platform/TakenName.h"
#include "platform/UserDialogs.h"
#include "printing/TGKitImagePrint.h"
#include "printing/TiffPages.h"

#include <QLineEdit>

#include <cerrno>

using namespace sc;
using sc::printing::TGKitImagePrint;

namespace {

// HOME (and the desktop's folder settings) inside the test's folder while it lives.
class TemporaryHome {
public:
    explicit TemporaryHome(const QString& home)
        : oldHome_(qgetenv("HOME")), oldConfig_(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("HOME", QFile::encodeName(home));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + "/.config"));
    }
    ~TemporaryHome() {
        qputenv("HOME", oldHome_);
        qputenv("XDG_CONFIG_HOME", oldConfig_);
    }

private:
    QByteArray oldHome_, oldConfig_;
};

QString onePageFile(const test::TempProgramFolder& folder) {
    const QString pages = folder.host("pages.tif");
    QImage sheet(40, 30, QImage::Format_RGB32);
    sheet.fill(Qt::darkCyan);
    printing::appendTiffPage(pages, sheet);
    return pages;
}

// What the real print dialog shows as the PDF's name when the print control opens it.
QString offeredByTheDialog(const QString& pages) {
    QString offered = QStringLiteral("<no dialog>");
    test::whenDialogOpens([&](QWidget* dialog) {
        if (auto* name = dialog->findChild<QLineEdit*>("filename"))
            offered = name->text();
        qobject_cast<QDialog*>(dialog)->reject();
    });
    QtUserDialogs dialogs;
    TGKitImagePrint print(dialogs);
    print.setFileName(pages);
    EXPECT_FALSE(print.StartPrint()) << "cancelled";
    return offered;
}

} // namespace

// The documents folder, else the home folder; a name no file has and no other print (in this
// copy of the program or another) has taken.
TEST(PrintControl, TheDialogOffersANewPdfInTheDocumentsFolderOrElseTheHomeFolder) {
    test::TempProgramFolder folder;
    const QString pages = onePageFile(folder);
    const QString home = folder.host("home");
    QDir().mkpath(home);
    const TemporaryHome inHome(home);
    EXPECT_EQ(offeredByTheDialog(pages), home + "/SC_CONVERTER.pdf");

    folder.writeFile("home/Documents/SC_CONVERTER.pdf");
    const fileops::TakenName anotherPrint =
        fileops::TakenName::newIn(home + "/Documents", "SC_CONVERTER", ".pdf");
    EXPECT_EQ(anotherPrint.path(), home + "/Documents/SC_CONVERTER (2).pdf");
    EXPECT_EQ(offeredByTheDialog(pages), home + "/Documents/SC_CONVERTER (3).pdf");
}

// The print is written and counts only once it is on disk: a failed sync is told with the
// PDF's name, the picture being fine.
TEST(PrintControl, APdfWhoseSyncFailsIsNamedWithItsCause) {
    test::TempProgramFolder folder;
    test::ScriptedDialogs dialogs;
    dialogs.pdfOutput = folder.host("out.pdf");
    TGKitImagePrint print(dialogs);
    print.setFileName(onePageFile(folder));
    QString shown;
    {
        const fileops::WriteFaults faults(fileops::WriteStep::Sync, 1, EIO);
        try {
            print.StartPrint();
        } catch (const Error& e) {
            shown = e.shownText();
        }
    }
    EXPECT_EQ(shown, dialogs.pdfOutput +
                         QStringLiteral(" を書き込めませんでした。\n"
                                        "ディスクの読み書きに失敗しました。\n処理を中止します。"));
    EXPECT_TRUE(print.StartPrint()) << "without the fault";
}
