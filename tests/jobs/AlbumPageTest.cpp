#include "jobs/AlbumPage.h"
#include "jobs/AlbumJob.h"

#include <gtest/gtest.h>

using namespace sc::jobs;

TEST(AlbumPage, APlainNameGivesTheFixedLinesAndTheTitleGoesInAsTyped) {
    const QStringList head = album::headLines(QStringLiteral("SCC DATA"));
    ASSERT_EQ(head.size(), 3);
    EXPECT_EQ(head[0], "<HTML><HEAD><TITLE>SCC DATA</TITLE></HEAD>");
    EXPECT_EQ(head[1], "<BODY BGCOLOR=\"#ffffff\" TEXT=\"#FFFFFF\" LINK=\"#FFFFFF\" "
                       "ALINK=\"#FFFFFF\" VLINK=\"#FFFFFF\"><CENTER><BR><BR>");
    EXPECT_EQ(head[2], "<H1><FONT COLOR=\"#000000\">SCC DATA</FONT></H1><BR>");
    EXPECT_EQ(album::pictureLines(QStringLiteral("夏 の海.jpg")),
              QStringList({"<TABLE BORDER=3 CELLPADDING=0 CELLSPACING=0 WIDTH=160 HEIGHT=120>"
                           "<TR BGCOLOR=\"#222222\"><TD ALIGN=CENTER>",
                           "<IMG SRC=\"Thumb/th_夏 の海.jpg\" ALT=\"夏 の海.jpg\" WIDTH=160 "
                           "HEIGHT=120><BR>",
                           "<A HREF=\"Data/夏 の海.jpg\"><B>夏 の海.jpg</B></A><BR></TD></TR>"
                           "</TABLE>"}));
    EXPECT_EQ(album::lastLine(), "</CENTER><BR><BR></BODY></HTML>");
    EXPECT_EQ(album::headLines(QStringLiteral("<i>Tom & Jerry</i>"))[0],
              "<HTML><HEAD><TITLE><i>Tom & Jerry</i></TITLE></HEAD>");

    const QByteArray bytes = album::pageBytes({QStringLiteral("a"), QStringLiteral("日本")});
    EXPECT_EQ(bytes,
              QByteArray("a\r\n\xE6\x97\xA5\xE6\x9C\xAC\r\n")); // the system code page: UTF-8
}

// Names that would break a link, a thumbnail or the page itself.
TEST(AlbumPage, NamesAreEscapedSoEveryLinkFindsItsFile) {
    EXPECT_EQ(album::linkValue(QStringLiteral("a#1.jpg")), "a%231.jpg");
    EXPECT_EQ(album::linkValue(QStringLiteral("50%.jpg")), "50%25.jpg");
    EXPECT_EQ(album::linkValue(QStringLiteral("x?.jpg")), "x%3F.jpg");
    EXPECT_EQ(album::linkValue(QStringLiteral("Tom & Jerry.jpg")), "Tom &amp; Jerry.jpg");
    EXPECT_EQ(album::linkValue(QStringLiteral("<b>\"q\".jpg")), "&lt;b&gt;&quot;q&quot;.jpg");
    EXPECT_EQ(album::linkValue(QStringLiteral("line\nbreak.jpg")), "line%0Abreak.jpg");
    // A browser reads '\' in a link as '/'.
    EXPECT_EQ(album::linkValue(QStringLiteral("..\\..\\x.jpg")), "..%5C..%5Cx.jpg");

    EXPECT_EQ(album::textValue(QStringLiteral("a#1 50%?.jpg")), "a#1 50%?.jpg");
    EXPECT_EQ(album::textValue(QStringLiteral("Tom & <b>\"q\".jpg")),
              "Tom &amp; &lt;b&gt;&quot;q&quot;.jpg");
    EXPECT_EQ(album::textValue(QStringLiteral("line\nbreak.jpg")), "line&#x0A;break.jpg");
    EXPECT_EQ(album::textValue(QStringLiteral("..\\x.jpg")), "..\\x.jpg");

    const QStringList lines = album::pictureLines(QStringLiteral("a#1 & <b>.jpg"));
    EXPECT_EQ(lines[1], "<IMG SRC=\"Thumb/th_a%231 &amp; &lt;b&gt;.jpg\" ALT=\"a#1 &amp; "
                        "&lt;b&gt;.jpg\" WIDTH=160 HEIGHT=120><BR>");
    EXPECT_EQ(lines[2], "<A HREF=\"Data/a%231 &amp; &lt;b&gt;.jpg\"><B>a#1 &amp; &lt;b&gt;.jpg"
                        "</B></A><BR></TD></TR></TABLE>");
}

TEST(AlbumPage, TheAlbumFolderLosesOneTrailingDelimiterAndNamesItsFiles) {
    EXPECT_EQ(albumRootOf(QStringLiteral("D:\\album\\")), "D:\\album");
    EXPECT_EQ(albumRootOf(QStringLiteral("D:/album/")), "D:/album");
    EXPECT_EQ(albumRootOf(QStringLiteral("D:\\album")), "D:\\album");
    EXPECT_EQ(albumRootOf(QStringLiteral("C:\\")), "C:");
    EXPECT_EQ(albumRootOf(QStringLiteral("C:")), "C:");
    EXPECT_EQ(albumRootOf(QString()), "");
    EXPECT_EQ(albumRootOf(QStringLiteral("/")), "/");
    EXPECT_EQ(albumRootOf(QStringLiteral("/home/u/album/")), "/home/u/album");
    EXPECT_EQ(albumRootOf(QStringLiteral("/home/u/album\\")), "/home/u/album\\");
    EXPECT_EQ(albumCopyPath(QStringLiteral("C:"), QStringLiteral("C:\\shots\\a.BMP")),
              "C:/Data/a.jpg");
    EXPECT_EQ(albumThumbPath(QStringLiteral("D:\\album"), QStringLiteral("E:b")),
              "D:\\album/Thumb/th_b.jpg");
}
