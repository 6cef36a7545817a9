// The desktop side of the dialog seam: the confined folder browser and the watch for the
// window manager's close requests.
#include "TempProgramFolder.h"
#include "platform/DesktopCloseWatch.h"
#include "platform/FolderBrowser.h"

#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <cstring>

TEST(ConfinedFolderDialog, NavigatingAboveTheRootReturnsToItAndOutsideFoldersAreRefused) {
    sc::test::TempProgramFolder folder;
    folder.writeFile("device/DCIM/a.bmp");
    folder.writeFile("outside/b.bmp");
    const QString root = folder.host("device");
    sc::ConfinedFolderDialog dialog(nullptr, "pick", root);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(QDir::cleanPath(dialog.directory().path()), root);

    auto* up = dialog.findChild<QToolButton*>("toParentButton");
    ASSERT_NE(up, nullptr);
    up->click();
    EXPECT_EQ(QDir::cleanPath(dialog.directory().path()), root);

    // A folder typed outside the tree is not accepted; the browser stays open at the root.
    auto* typed = dialog.findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(typed, nullptr);
    typed->setText(folder.host("outside"));
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(QDir::cleanPath(dialog.directory().path()), root);
    EXPECT_FALSE(dialog.isInside(folder.host("device-other")));
    EXPECT_FALSE(dialog.isInside(root + "/DCIM/../../outside"));

    typed->setText("DCIM");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(QDir::cleanPath(dialog.selectedFiles().value(0)).toStdString(),
              (root + "/DCIM").toStdString());
}

TEST(DesktopCloseWatch, RecognisesTheWindowManagersDeleteMessageForItsWindowOnly) {
    // An X11 client message: type, format, sequence, window, message type, five data words.
    struct {
        quint8 type = 33;
        quint8 format = 32;
        quint16 sequence = 7;
        quint32 window = 0x400005;
        quint32 messageType = 301;           // WM_PROTOCOLS
        quint32 data[5] = {302, 0, 0, 0, 0}; // WM_DELETE_WINDOW
    } message;
    static_assert(sizeof message == 32);
    using W = sc::DesktopCloseWatch;
    EXPECT_TRUE(W::isCloseRequest(&message, 0x400005, 301, 302));
    message.type |= 0x80; // sent by another client: still the same request
    EXPECT_TRUE(W::isCloseRequest(&message, 0x400005, 301, 302));
    EXPECT_FALSE(W::isCloseRequest(&message, 0x400006, 301, 302)); // another window
    EXPECT_FALSE(W::isCloseRequest(&message, 0x400005, 301, 303)); // another protocol
    EXPECT_FALSE(W::isCloseRequest(&message, 0x400005, 0, 0));     // atoms unknown
    message.type = 22;                                             // not a client message
    EXPECT_FALSE(W::isCloseRequest(&message, 0x400005, 301, 302));
}
