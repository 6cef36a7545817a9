// The album as a browser shows it: every thumbnail decodes at 160 x 120 and every link leads to
// a copy that decodes, whatever the pictures are called.
#include "JobFixture.h"
#include "QStringPrinting.h"
#include "jobs/AlbumJob.h"

#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

using namespace sc;
using namespace sc::test;

inline void PrintTo(const QSize& size, std::ostream* out) {
    *out << size.width() << " x " << size.height();
}

namespace {

// Appended to a copy of the page: loads every link's target as a picture too, and once all
// have loaded reports each picture (page or link target) with its decoded size. The report is
// percent-encoded so that the dumped markup cannot change it.
const char* const kProbe = R"(<script>
for (const a of Array.from(document.links)) {
  const img = document.createElement('img');
  img.className = 'target';
  img.src = a.href;
  document.body.appendChild(img);
}
window.addEventListener('load', () => {
  const lines = [document.title];
  for (const img of document.images)
    lines.push([img.className || 'thumb', img.src, img.naturalWidth, img.naturalHeight].join(' '));
  const pre = document.createElement('pre');
  pre.id = 'report';
  pre.textContent = lines.map(encodeURIComponent).join(' ');
  document.body.appendChild(pre);
});
</script>
)";

struct Seen {
    QString title;
    QMap<QString, QSize> thumbs, targets; // canonical host path -> natural size
    int thumbCount = 0, targetCount = 0;
};

QString canonical(const QString& path) {
    return QFileInfo(winpath::hostPath(path)).canonicalFilePath();
}

// Loads `page` through a copy with the probe in Chromium and reads the report from its DOM.
std::optional<Seen> showInChromium(const QString& chromium, const QString& page,
                                   const QString& workFolder) {
    QFile original(page);
    if (!original.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString probe = QFileInfo(page).absolutePath() + QStringLiteral("/probe.html");
    QFile copy(probe);
    if (!copy.open(QIODevice::WriteOnly) || copy.write(original.readAll() + kProbe) < 0)
        return std::nullopt;
    copy.close();

    QProcess browser;
    browser.start(chromium, {"--headless", "--disable-gpu", "--no-sandbox",
                             "--user-data-dir=" + workFolder + "/chromium-profile", "--dump-dom",
                             QUrl::fromLocalFile(probe).toString(QUrl::FullyEncoded)});
    if (!browser.waitForFinished(20000)) {
        browser.kill();
        browser.waitForFinished();
        return std::nullopt;
    }
    QFile::remove(probe);
    const QString dom = QString::fromUtf8(browser.readAllStandardOutput());
    const auto report = QRegularExpression(QStringLiteral("<pre id=\"report\">([^<]*)</pre>"))
                            .match(dom);
    if (!report.hasMatch())
        return std::nullopt;
    QStringList lines = report.captured(1).split(u' ');
    for (QString& line : lines)
        line = QUrl::fromPercentEncoding(line.toLatin1());
    Seen seen;
    seen.title = lines.takeFirst();
    for (const QString& line : lines) {
        const QStringList f = line.split(u' ');
        const QString file = QFileInfo(QUrl(f[1]).toLocalFile()).canonicalFilePath();
        const QSize size(f[2].toInt(), f[3].toInt());
        if (f[0] == u"thumb")
            seen.thumbs.insert(file, size), ++seen.thumbCount;
        else
            seen.targets.insert(file, size), ++seen.targetCount;
    }
    return seen;
}

} // namespace

using AlbumInBrowser = JobFixture;

TEST_F(AlbumInBrowser, EveryThumbnailAndEveryLinkedCopyDecodesInChromium) {
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty())
        GTEST_SKIP() << "chromium is not installed";

    struct Source {
        QString name;
        QSize size;
    };
    const std::vector<Source> made = {
        {"夕焼けの海.jpg", {640, 480}}, {"spaced name.BMP", {90, 60}},
        {"a#1.jpg", {100, 80}},        {"50%.bmp", {33, 21}},
        {"x?.jpg", {200, 150}},        {"Tom & Jerry.jpg", {64, 64}},
        {"<b>.bmp", {40, 30}},         {"say \"hi\".jpg", {120, 90}},
    };
    QMap<QString, QSize> copies; // album name -> size of the copy
    for (const Source& s : made) {
        const QString path = QStringLiteral("C:\\写真 2004\\") + s.name;
        QDir().mkpath(QFileInfo(winpath::hostPath(path)).absolutePath());
        QImage img(s.size, QImage::Format_RGB32);
        img.fill(QColor(30, 140, 200));
        ASSERT_TRUE(img.save(winpath::hostPath(path), s.name.endsWith(".jpg") ? "JPG" : "BMP"));
        add(path);
        copies.insert(winpath::fileNameOf(winpath::withJpgExtension(path)), s.size);
    }
    // Real-world kinds when the corpus is at hand: grey, CMYK, turned by its EXIF tag.
    if (!corpusDir().isEmpty()) {
        for (const char* name : {"grayscale.jpg", "cmyk-adobe.jpg", "exif-orientation-6.jpg"}) {
            const QString path = corpusDir() + QStringLiteral("/jpeg/") + QLatin1String(name);
            image.Load(path);
            copies.insert(QLatin1String(name), image.image().size());
            add(path);
        }
    }

    const QString title = QStringLiteral("家族の写真 2004");
    dialogs.folderAnswers = {QStringLiteral("D:\\アルバム 1\\")};
    jobs::AlbumJob job(image, sources, status, dialogs);
    ASSERT_TRUE(jobs::runGuarded(dialogs, [&] { job.run({2, title}); }));

    const auto seen = showInChromium(chromium, winpath::hostPath("D:/アルバム 1/Index.html"),
                                     folder.path());
    ASSERT_TRUE(seen.has_value()) << "no report from chromium";
    EXPECT_EQ(seen->title, title); // the page's encoding is recognised without a declaration
    EXPECT_EQ(seen->thumbCount, sources.count());
    EXPECT_EQ(seen->targetCount, sources.count());
    for (auto it = copies.cbegin(); it != copies.cend(); ++it) {
        const QString thumb = canonical("D:/アルバム 1/Thumb/th_" + it.key());
        const QString copy = canonical("D:/アルバム 1/Data/" + it.key());
        EXPECT_EQ(seen->thumbs.value(thumb), QSize(160, 120)) << it.key().toStdString();
        EXPECT_EQ(seen->targets.value(copy), it.value()) << it.key().toStdString();
    }
}
