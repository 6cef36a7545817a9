// Draws the data files of the program folder: the two contact-sheet backgrounds, the user
// guide, and sample pictures (each with its own modification time) in the two drive folders.
// Given an icon folder as well, it draws the desktop icon there in the sizes an install needs.
// With --info-pictures, draws the information window's logo and guide picture instead.

#include "printing/SheetLayout.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRadialGradient>
#include <QTextDocument>
#include <cmath>
#include <cstdio>

using namespace sc::printing::sheet;

namespace {

bool save(const QImage& image, const QString& path, const char* format, int quality = -1) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!image.save(path, format, quality)) {
        std::fprintf(stderr, "datagen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

void drawSlotFrame(QPainter& p, Point slot, QColor frame, QColor shade) {
    const QRect r(slot.x, slot.y, kThumbWidth, kThumbHeight);
    p.fillRect(r.adjusted(3, 3, 3, 3), shade);
    p.fillRect(r, Qt::white);
    p.setPen(QPen(frame, 1));
    p.drawRect(r.adjusted(-1, -1, 0, 0));
}

QImage verticalSheet() {
    QImage sheet(kVerticalSheetSize.x, kVerticalSheetSize.y, QImage::Format_RGB888);
    sheet.fill(QColor(250, 250, 247));
    QPainter p(&sheet);
    p.setPen(QPen(QColor(200, 200, 196), 2));
    p.drawRect(6, 6, sheet.width() - 13, sheet.height() - 13);
    for (int k = 0; k < kVerticalCapacity; ++k) {
        drawSlotFrame(p, verticalSlot(k), QColor(120, 120, 120), QColor(222, 222, 218));
        const Point c = verticalCaption(k);
        p.setPen(QColor(210, 210, 205));
        p.drawLine(c.x, c.y + kCaptionHeight - 1, c.x + kCaptionWidth - 1,
                   c.y + kCaptionHeight - 1);
    }
    return sheet;
}

QImage filmSheet() {
    QImage sheet(kFilmSheetSize.x, kFilmSheetSize.y, QImage::Format_RGB888);
    sheet.fill(QColor(236, 232, 224));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::Antialiasing);
    const int rows = kFilmCapacity / 11;
    for (int r = 0; r < rows; ++r) {
        const int top = filmSlot(r * 11).y - 28;
        const QRect strip(4, top, sheet.width() - 8, kThumbHeight + 56);
        p.fillRect(strip, QColor(24, 20, 18));
        p.setBrush(QColor(236, 232, 224));
        p.setPen(Qt::NoPen);
        for (int x = 14; x + 14 < strip.right(); x += 34) {
            p.drawRoundedRect(QRectF(x, top + 7, 16, 12), 3, 3);
            p.drawRoundedRect(QRectF(x, strip.bottom() - 18, 16, 12), 3, 3);
        }
        for (int c = 0; c < 11; ++c) {
            const Point s = filmSlot(r * 11 + c);
            p.fillRect(QRect(s.x - 2, s.y - 2, kThumbWidth + 4, kThumbHeight + 4),
                       QColor(58, 50, 44));
            p.fillRect(QRect(s.x, s.y, kThumbWidth, kThumbHeight), QColor(92, 84, 76));
        }
    }
    return sheet;
}

// A small landscape: sky, sun, hills and a caption, different for every seed.
QImage samplePicture(int seed, const QString& caption) {
    QImage image(640, 480, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const int hue = (seed * 67) % 360;
    QLinearGradient sky(0, 0, 0, 300);
    sky.setColorAt(0, QColor::fromHsv(hue, 120, 250));
    sky.setColorAt(1, QColor::fromHsv((hue + 30) % 360, 60, 255));
    p.fillRect(image.rect(), sky);
    QRadialGradient sun(160 + seed * 70 % 320, 120, 60);
    sun.setColorAt(0, QColor(255, 250, 210));
    sun.setColorAt(1, QColor(255, 220, 120, 0));
    p.setBrush(sun);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(160 + seed * 70 % 320, 120), 60, 60);
    for (int layer = 0; layer < 3; ++layer) {
        QPainterPath hill;
        hill.moveTo(0, 480);
        for (int x = 0; x <= 640; x += 16)
            hill.lineTo(x, 300 + layer * 50 - 40 * std::sin((x + seed * 97 + layer * 130) / 90.0));
        hill.lineTo(640, 480);
        p.setBrush(
            QColor::fromHsv((hue + 120 + layer * 15) % 360, 140 + layer * 30, 170 - layer * 40));
        p.drawPath(hill);
    }
    p.setPen(Qt::white);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 28, QFont::Bold));
    p.drawText(QRect(0, 400, 640, 70), Qt::AlignCenter, caption);
    return image;
}

bool writeSample(const QString& path, int seed, const QDateTime& taken) {
    const bool jpeg = path.endsWith(QStringLiteral(".jpg"));
    QImage picture = samplePicture(seed, QFileInfo(path).completeBaseName());
    if (!jpeg)
        picture = picture.convertToFormat(QImage::Format_RGB888);
    if (!save(picture, path, jpeg ? "JPG" : "BMP", 90))
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadWrite) &&
           file.setFileTime(taken, QFileDevice::FileModificationTime);
}

bool writeGuide(const QString& path) {
    QPdfWriter pdf(path);
    pdf.setTitle(QStringLiteral("SC_CONVERTER User Guide"));
    pdf.setPageSize(QPageSize(QPageSize::A4));
    QTextDocument doc;
    doc.setHtml(QStringLiteral(
        "<h1>SC_CONVERTER ver.1.4</h1>"
        "<p>SC_CONVERTER は BMP と JPEG の画像をまとめて処理するツールです。</p>"
        "<h2>1. 画像を登録する</h2><p>ファイルやフォルダをウィンドウにドロップするか、"
        "「登録」でデバイスフォルダ内のフォルダを選びます。</p>"
        "<h2>2. 処理を選ぶ</h2><ul><li>JPEG変換(日付ﾘﾈｰﾑ): 画質と微調整を指定して JPEG に変換し、"
        "撮影日時の名前に変更します。</li><li>HTML変換: サムネイル付きのアルバムを作ります。</li>"
        "<li>ﾌﾟﾘﾝﾄ出力: 1 枚に 50 または 66 コマのインデックスを印刷します。</li></ul>"
        "<h2>3. OK を押す</h2><p>進行状況は上端の行に表示されます。</p>"
        "<hr/><h1>User guide (English)</h1>"
        "<p>Drop pictures or folders on the window, choose a job with the mode buttons, tune the "
        "settings and press OK. JPEG Transform converts and renames after each picture's time; "
        "HTML Transform writes an album with thumbnails; Print lays out contact sheets.</p>"));
    QPainter painter(&pdf);
    if (!painter.isActive())
        return false;
    const double scale = pdf.resolution() / 96.0;
    painter.scale(scale, scale);
    doc.setTextWidth(pdf.width() / scale);
    doc.drawContents(&painter);
    return true;
}

// A stack of three pictures, the front one a landscape, on a rounded blue tile: a batch of
// photos. Drawn in vectors so that every size is sharp.
QImage desktopIcon(int size) {
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    QLinearGradient tile(0, 0, 0, 256);
    tile.setColorAt(0, QColor(58, 110, 190));
    tile.setColorAt(1, QColor(22, 52, 112));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);

    const QRectF card(-84, -64, 168, 128);
    const QColor shades[] = {QColor(196, 208, 226), QColor(226, 232, 242), Qt::white};
    const double angles[] = {-14, -5, 4};
    for (int k = 0; k < 3; ++k) {
        p.save();
        p.translate(128, 132);
        p.rotate(angles[k]);
        p.setBrush(QColor(0, 0, 0, 60));
        p.drawRoundedRect(card.translated(4, 6), 8, 8);
        p.setBrush(shades[k]);
        p.drawRoundedRect(card, 8, 8);
        if (k == 2) {
            const QRectF photo = card.adjusted(10, 10, -10, -10);
            p.setClipRect(photo);
            QLinearGradient sky(0, photo.top(), 0, photo.bottom());
            sky.setColorAt(0, QColor(120, 190, 245));
            sky.setColorAt(1, QColor(220, 240, 255));
            p.fillRect(photo, sky);
            p.setBrush(QColor(255, 214, 90));
            p.drawEllipse(QPointF(photo.right() - 34, photo.top() + 26), 16, 16);
            QPainterPath hills;
            hills.moveTo(photo.left(), photo.bottom());
            hills.cubicTo(photo.left() + 40, photo.top() + 40, photo.left() + 70, photo.top() + 60,
                          photo.center().x() + 10, photo.bottom() - 30);
            hills.cubicTo(photo.right() - 40, photo.top() + 50, photo.right() - 10,
                          photo.top() + 70, photo.right(), photo.bottom() - 24);
            hills.lineTo(photo.right(), photo.bottom());
            p.setBrush(QColor(60, 150, 80));
            p.drawPath(hills);
        }
        p.restore();
    }
    return icon;
}

bool writeIcons(const QString& folder) {
    bool ok = true;
    for (int size : {48, 256})
        ok = save(desktopIcon(size), folder + QStringLiteral("/sc-converter-%1.png").arg(size),
                  "PNG") &&
             ok;
    return ok;
}

// The program's name in a blue-to-teal gradient over a thin rule, on white (200 x 54).
QImage infoLogo() {
    QImage logo(200, 54, QImage::Format_RGB32);
    logo.fill(Qt::white);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient ink(0, 0, 200, 0);
    ink.setColorAt(0, QColor(20, 60, 170));
    ink.setColorAt(1, QColor(0, 150, 160));
    QFont name(QStringLiteral("DejaVu Sans"));
    name.setPixelSize(22);
    name.setBold(true);
    name.setLetterSpacing(QFont::AbsoluteSpacing, -0.5);
    QPainterPath text;
    text.addText(4, 26, name, QStringLiteral("SC_CONVERTER"));
    p.fillPath(text, ink);
    p.fillRect(QRect(4, 32, 192, 2), ink);
    p.setPen(QColor(110, 110, 110));
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(10);
    p.setFont(small);
    p.drawText(QRect(4, 35, 192, 13), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("picture batch tool"));
    return logo;
}

// An open book on a soft blue field with "GUIDE" under it (140 x 140).
QImage infoGuide() {
    QImage guide(140, 140, QImage::Format_RGB32);
    QPainter p(&guide);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient field(0, 0, 0, 140);
    field.setColorAt(0, QColor(226, 238, 252));
    field.setColorAt(1, QColor(176, 204, 240));
    p.fillRect(guide.rect(), field);
    p.setPen(QPen(QColor(40, 70, 140), 2));
    for (int side : {-1, 1}) {
        QPainterPath page;
        page.moveTo(70, 40);
        page.cubicTo(70 + side * 18, 30, 70 + side * 36, 30, 70 + side * 46, 36);
        page.lineTo(70 + side * 46, 92);
        page.cubicTo(70 + side * 36, 86, 70 + side * 18, 86, 70, 96);
        page.closeSubpath();
        p.setBrush(Qt::white);
        p.drawPath(page);
        for (int line = 0; line < 4; ++line) {
            const int y = 48 + line * 10;
            p.drawLine(QPointF(70 + side * 10, y + 2), QPointF(70 + side * 38, y - 2));
        }
    }
    QFont word(QStringLiteral("DejaVu Sans"));
    word.setPixelSize(18);
    word.setBold(true);
    p.setFont(word);
    p.setPen(QColor(40, 70, 140));
    p.drawText(QRect(0, 104, 140, 26), Qt::AlignCenter, QStringLiteral("GUIDE"));
    return guide;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--info-pictures") == 0) {
        const QString folder = QString::fromLocal8Bit(argv[2]);
        const bool ok = save(infoLogo(), folder + QStringLiteral("/logo.png"), "PNG") &&
                        save(infoGuide(), folder + QStringLiteral("/guide.png"), "PNG");
        return ok ? 0 : 1;
    }
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: sc_datagen <program folder> [<icon folder>]\n"
                             "       sc_datagen --info-pictures <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    bool ok = save(verticalSheet(), folder + QStringLiteral("/bg_tate.bmp"), "BMP");
    ok = save(filmSheet(), folder + QStringLiteral("/bg_film.bmp"), "BMP") && ok;
    ok = writeGuide(folder + QStringLiteral("/SC_GUIDE.pdf")) && ok;

    struct Sample {
        const char* path;
        QDateTime taken;
    };
    const Sample samples[] = {
        {"drive_c/Album/beach.bmp", QDateTime(QDate(2004, 3, 15), QTime(14, 25, 8))},
        {"drive_c/Album/garden.bmp", QDateTime(QDate(2004, 4, 2), QTime(9, 5, 6))},
        {"drive_c/Album/harbour.bmp", QDateTime(QDate(2004, 5, 21), QTime(17, 42, 30))},
        {"drive_c/Program Files/Snapcycle/SC000001.bmp",
         QDateTime(QDate(2004, 6, 1), QTime(10, 0, 2))},
        {"drive_c/Program Files/Snapcycle/SC000002.bmp",
         QDateTime(QDate(2004, 6, 1), QTime(10, 3, 44))},
        {"drive_c/Program Files/Snapcycle/SC000003.jpg",
         QDateTime(QDate(2004, 6, 2), QTime(8, 30, 12))},
        {"drive_c/Program Files/Snapcycle/SC000004.jpg",
         QDateTime(QDate(2004, 6, 2), QTime(8, 31, 58))},
        {"drive_c/Program Files/Snapcycle/Trip/SC000010.jpg",
         QDateTime(QDate(2004, 7, 7), QTime(7, 7, 14))},
    };
    int seed = 1;
    for (const Sample& s : samples)
        ok = writeSample(folder + u'/' + QString::fromUtf8(s.path), seed++, s.taken) && ok;
    if (argc == 3)
        ok = writeIcons(QString::fromLocal8Bit(argv[2])) && ok;
    return ok ? 0 : 1;
}
