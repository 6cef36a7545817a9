// The information window: its layout by positions and pixels, its links through the dialog
// seam, where it shows, and that closing only hides it.
#include "Children.h"
#include "ScriptedDialogs.h"
#include "TempProgramFolder.h"
#include "app/Infowindow1.h"
#include "app/LookAndFeel.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QTimer>

using sc::app::TInfoForm1;

namespace {

struct Info {
    sc::test::TempProgramFolder folder;
    sc::test::ScriptedDialogs dialogs;
    TInfoForm1 form{(sc::app::installLookAndFeel(), folder.path()), dialogs};

    template <typename T = QWidget> T* get(const char* name) {
        return sc::test::childOf<T>(form, name);
    }
    QRect placeInForm(const char* name) { return sc::test::placeIn(form, *get(name)); }
    // Shows the window modally, runs `whileShown` inside, and closes it.
    void showModal(const std::function<void()>& whileShown) {
        QTimer::singleShot(0, [&] {
            whileShown();
            form.closeWindow();
        });
        form.exec();
    }
};

// The pixels of `w` inside `form` where `w` lies, as the form paints them.
QImage formPixels(QWidget& form, QWidget* w) {
    const QImage all = form.grab().toImage().convertToFormat(QImage::Format_RGB32);
    return all.copy(sc::test::placeIn(form, *w));
}

int countNear(const QImage& img, const QColor& c, int tolerance) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor p = img.pixelColor(x, y);
            n += std::abs(p.red() - c.red()) <= tolerance &&
                 std::abs(p.green() - c.green()) <= tolerance &&
                 std::abs(p.blue() - c.blue()) <= tolerance;
        }
    return n;
}

} // namespace

TEST(InfoWindow, IsAFixedToolWindowWithItsPanelsPicturesTextsAndLinksInPlace) {
    Info info;
    EXPECT_EQ(info.form.windowTitle(), "SC_CONVERTER Ver.1.4");
    EXPECT_EQ((info.form.windowFlags() & Qt::WindowType_Mask), Qt::Tool);
    EXPECT_EQ(info.form.size(), QSize(415, 144));
    EXPECT_EQ(info.form.minimumSize(), info.form.maximumSize());

    const QImage face = info.form.grab().toImage().convertToFormat(QImage::Format_RGB32);
    // Two white panels inside lowered bevels two pixels wide; the window's button face beyond.
    const QColor shadow(160, 160, 160);
    for (const int left : {0, 270}) {
        EXPECT_EQ(face.pixelColor(left, 60), shadow);
        EXPECT_EQ(face.pixelColor(left + 1, 60), shadow);
        EXPECT_EQ(face.pixelColor(left + 60, 1), shadow);
    }
    EXPECT_EQ(face.pixelColor(2, 70), QColor(Qt::white));
    EXPECT_EQ(face.pixelColor(260, 140), QColor(Qt::white));
    EXPECT_EQ(face.pixelColor(414, 70), QColor(240, 240, 240));

    // The logo and the guide picture, drawn at build time, show whole at their places.
    const QImage logo = QImage(":/info/logo.png").convertToFormat(QImage::Format_RGB32);
    const QImage guide = QImage(":/info/guide.png").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(logo.size(), QSize(200, 54));
    ASSERT_EQ(guide.size(), QSize(140, 140));
    EXPECT_EQ(info.placeInForm("Image1"), QRect(8, 4, 200, 54));
    EXPECT_EQ(face.copy(272, 2, 140, 140), guide);
    EXPECT_EQ(face.copy(8, 4, 200, 40), logo.copy(0, 0, 200, 40)); // the credit overlaps below

    struct Line {
        const char* label;
        QPoint at;
        QColor colour;
        const char* link; // the flat button over the line, if any
        QRect linkPlace;
    };
    const QColor blue(0, 0, 255), orange(255, 128, 0);
    const Line lines[] = {
        {"Label1", {44, 52}, blue, nullptr, {}},
        {"Label4", {116, 62}, blue, nullptr, {}},
        {"Label5", {134, 72}, blue, nullptr, {}},
        {"Label3", {82, 87}, orange, "SpeedButton3", {77, 87, 120, 11}},
        {"Label2", {37, 104}, orange, "SpeedButton1", {32, 104, 96, 11}},
        {"Label6", {149, 104}, orange, "SpeedButton4", {144, 104, 104, 11}},
    };
    for (const Line& l : lines) {
        QLabel* label = info.get<QLabel>(l.label);
        EXPECT_EQ(info.placeInForm(l.label).topLeft(), l.at) << l.label;
        EXPECT_GT(countNear(formPixels(info.form, label), l.colour, 40), 20) << l.label;
        // Every line stays inside the left panel.
        EXPECT_LE(info.placeInForm(l.label).right(), 267) << l.label;
        if (!l.link)
            continue;
        auto* link = info.get<QAbstractButton>(l.link);
        EXPECT_EQ(info.placeInForm(l.link), l.linkPlace) << l.link;
        EXPECT_TRUE(link->text().isEmpty());
        EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor) << l.link;
        EXPECT_FALSE(link->toolTip().isEmpty()) << l.link;
        // The text shows through its flat button.
        EXPECT_GT(countNear(formPixels(info.form, link), orange, 40), 20) << l.link;
    }
    EXPECT_TRUE(info.get<QLabel>("Label3")->text().endsWith("@example.org"));
    EXPECT_EQ(info.get("SpeedButton4")->toolTip(), " SNAPCYCLEのサイトにアクセス");
    EXPECT_EQ(info.get("Image2")->toolTip(), " スナップサイクル研究所のご案内");
    EXPECT_EQ(info.get("Image2")->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(info.placeInForm("SpeedButton2"), QRect(97, 122, 77, 16));
    EXPECT_EQ(info.get<QAbstractButton>("SpeedButton2")->text(), "CLOSE (&X)");
    EXPECT_EQ(info.get("SpeedButton2")->toolTip(), " 閉じる");
}

TEST(InfoWindow, EachLinkIsHandedToTheShellAndAMissingGuideChangesNothing) {
    Info info;
    info.showModal([&] {
        for (const char* name : {"SpeedButton1", "SpeedButton3", "SpeedButton4", "Image2"})
            QTest::mouseClick(info.get(name), Qt::LeftButton);
        EXPECT_TRUE(info.form.isVisible()); // no guide in the folder: nothing else happens
    });
    EXPECT_EQ(info.dialogs.shown, QStringList({"open:" + TInfoForm1::makerUrl(),
                                               "open:mailto:" + TInfoForm1::supportAddress(),
                                               "open:" + TInfoForm1::productUrl(),
                                               "open:" + info.folder.path() + "/SC_GUIDE.pdf"}));
    for (const QString& link : {TInfoForm1::makerUrl(), TInfoForm1::productUrl()})
        EXPECT_TRUE(QUrl(link).host().endsWith("example.org")) << link.toStdString();
}

TEST(InfoWindow, FirstShowsCentredThenWhereItWasLeftAndClosingOnlyHidesIt) {
    Info info;
    QPoint first;
    info.showModal([&] {
        EXPECT_EQ(QApplication::activeModalWidget(), &info.form);
        first = info.form.frameGeometry().center();
        info.form.move(info.form.pos() + QPoint(-120, 45));
    });
    const QPoint screenCentre = QGuiApplication::primaryScreen()->geometry().center();
    // Within the frame's margins, which the window system adds once the window exists.
    EXPECT_LE((first - screenCentre).manhattanLength(), 4);
    EXPECT_FALSE(info.form.isVisible());
    const QPoint moved = info.form.pos();

    // Alt+X closes it too; it comes back where it was left.
    bool closedByKey = false;
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(info.form.pos(), moved);
        info.form.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&info.form));
        QTest::keyClick(&info.form, Qt::Key_X, Qt::AltModifier);
        // The shortcut clicks the button as the mouse would, with its pressed look first.
        closedByKey = QTest::qWaitFor([&] { return !info.form.isVisible(); }, 2000);
        if (!closedByKey)
            info.form.reject();
    });
    info.form.exec();
    EXPECT_TRUE(closedByKey);
    EXPECT_EQ(info.form.pos(), moved);
}
