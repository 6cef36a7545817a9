// How the main window's surface paints: captions inside their buttons' frames, labels that
// never cut their text, panels that hide what lies under them.
#include "Children.h"
#include "ScriptedDialogs.h"
#include "TempProgramFolder.h"
#include "app/Changewindow1.h"
#include "app/Infowindow1.h"
#include "app/LookAndFeel.h"
#include "controls/TShadowLabel.h"
#include "controls/TShineSpeedButton.h"

#include <QImage>
#include <QPainter>
#include <QTest>

using sc::app::TConvertForm1;
using sc::app::TInfoForm1;
using sc::controls::TShadowLabel;
using sc::controls::TShineSpeedButton;

namespace {

struct Window {
    sc::test::TempProgramFolder folder;
    sc::test::ScriptedDialogs dialogs;
    TConvertForm1 form{(sc::app::installLookAndFeel(), folder.path()), dialogs};

    Window() {
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    template <typename T = QWidget> T* get(const char* name) {
        return sc::test::childOf<T>(form, name);
    }
    QImage face() { return form.grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

// The bounds of every pixel that is not black.
QRect inkBounds(const QImage& img) {
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) != QColor(Qt::black))
                r |= QRect(x, y, 1, 1);
    return r;
}

// What the label paints, clipped to itself as on the window, over black.
QRect paintedInk(TShadowLabel* label) {
    QImage canvas(label->width() + 40, label->height() + 40, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    label->render(&canvas, QPoint(20, 20), QRegion(), QWidget::DrawChildren);
    return inkBounds(canvas);
}

// The same text and shadow drawn with nothing to clip them.
QRect wholeInk(TShadowLabel* label) {
    QImage canvas(label->width() + 600, 200, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter p(&canvas);
    p.setFont(label->font());
    const QRect box(100, 80, canvas.width() - 200, 60);
    p.setPen(label->shadowColor());
    p.drawText(box.translated(label->shadowOffset()), Qt::AlignLeft | Qt::AlignTop, label->text());
    p.setPen(Qt::white);
    p.drawText(box, Qt::AlignLeft | Qt::AlignTop, label->text());
    p.end();
    return inkBounds(canvas);
}

void expectNoLabelCut(Window& w, const char* language) {
    for (TShadowLabel* label : w.form.findChildren<TShadowLabel*>()) {
        if (label->text().trimmed().isEmpty())
            continue;
        const QRect painted = paintedInk(label);
        const QRect whole = wholeInk(label);
        const std::string name = label->objectName().toStdString() + " in " + language;
        EXPECT_EQ(painted.height(), whole.height()) << name;
        EXPECT_GE(painted.width(), whole.width() - 1) << name;
    }
}

// Pixels inside a button's frame that its caption's own (white) colour brightens: against
// the same button painted without a caption, every channel at least 30 brighter.
int captionPixelsInsideFrame(TShineSpeedButton* b) {
    const QImage with = b->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QString caption = b->caption();
    b->setCaption(QString());
    const QImage without = b->grab().toImage().convertToFormat(QImage::Format_RGB32);
    b->setCaption(caption);
    int n = 0;
    for (int y = 2; y < with.height() - 2; ++y)
        for (int x = 2; x < with.width() - 2; ++x) {
            const QColor c = with.pixelColor(x, y);
            const QColor face = without.pixelColor(x, y);
            n += c.red() - face.red() >= 30 && c.green() - face.green() >= 30 &&
                 c.blue() - face.blue() >= 30;
        }
    return n;
}

} // namespace

TEST(WindowFace, TitleBarCaptionsShowInsideTheirFramesUpAndPressed) {
    Window w;
    for (const char* name : {"ShineSpeedButton4", "SSButton12", "SSButton11", "SSButton10"}) {
        auto* b = w.get<TShineSpeedButton>(name);
        EXPECT_GE(captionPixelsInsideFrame(b), 5) << name << " up";
        QTest::mousePress(b, Qt::LeftButton, {}, b->rect().center());
        ASSERT_EQ(b->look(), TShineSpeedButton::lsPressed);
        EXPECT_GE(captionPixelsInsideFrame(b), 5) << name << " pressed";
        // Released outside: no click, the button goes back up.
        QTest::mouseMove(b, QPoint(-20, -20));
        QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(-20, -20));
    }
    EXPECT_TRUE(w.form.isVisible());
}

TEST(WindowFace, NoLabelCutsItsTextInEitherLanguage) {
    Window w;
    expectNoLabelCut(w, "Japanese");
    // The footer's underscore shows: with a space in its place the footer paints otherwise.
    auto* footer = w.get<TShadowLabel>("ShadowLabel11");
    ASSERT_TRUE(footer->text().contains("SC_CONVERTER"));
    const QImage withUnderscore = footer->grab().toImage();
    const QString text = footer->text();
    footer->setText(QString(text).replace("SC_CONVERTER", "SC CONVERTER"));
    EXPECT_NE(footer->grab().toImage(), withUnderscore);
    footer->setText(text);

    w.form.showEnglishCaptions();
    expectNoLabelCut(w, "English");
    // Right-aligned labels grow to the left: their right edges stay where designed.
    for (const char* name : {"L0_00", "L3_08", "L0_01", "L5_01"}) {
        auto* label = w.get<TShadowLabel>(name);
        EXPECT_GE(label->geometry().right(), label->designRect().right()) << name;
        EXPECT_LE(label->geometry().right(), label->designRect().right() + 2) << name;
    }
}

TEST(WindowFace, PanelsHideWhatLiesUnderThem) {
    Window w;
    const QImage face = w.face();
    // The command panel covers the page panel's bottom border between its two buttons.
    for (int y = 464; y < 490; ++y)
        for (int x = 110; x < 400; ++x)
            ASSERT_EQ(face.pixelColor(x, y), QColor(70, 70, 70)) << x << "," << y;
    // The mode buttons show whole, their bottom rows included, over the page panel's border.
    for (const char* name : {"ShineSpeedButton1", "ShineSpeedButton2", "ShineSpeedButton3"}) {
        auto* b = w.get<TShineSpeedButton>(name);
        const QImage own = b->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(face.copy(sc::test::placeIn(w.form, *b)), own) << name;
    }
}

// With SC_SCREENSHOT_DIR set, saves the README's pictures there: the main window in English
// and the information window.
TEST(WindowFace, Screenshots) {
    const QString dir = qEnvironmentVariable("SC_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "SC_SCREENSHOT_DIR not set";
    Window w;
    for (const char* name : {"SC000001.bmp", "SC000002.bmp", "SC000003.jpg", "SC000004.jpg"})
        w.folder.writeFile(QStringLiteral("drive_c/Program Files/Snapcycle/") +
                           QLatin1String(name));
    w.dialogs.folderAnswers = {QStringLiteral("C:\\Program Files\\Snapcycle")};
    w.form.collectFromDeviceFolder();
    w.get<TShineSpeedButton>("ShineSpeedButton6")->click();
    EXPECT_TRUE(w.form.grab().save(dir + "/window-english.png"));

    TInfoForm1 info(w.folder.path(), w.dialogs, &w.form);
    info.show();
    EXPECT_TRUE(info.grab().save(dir + "/info.png"));
    info.hide();
}
