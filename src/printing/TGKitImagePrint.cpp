#include "printing/TGKitImagePrint.h"

#include "platform/Error.h"
#include "platform/FileOps.h"
#include "platform/FileWrites.h"
#include "platform/TakenName.h"
#include "platform/UserDialogs.h"
#include "printing/TiffPages.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

namespace sc::printing {

namespace {

enum class Stage { Start, Finish };

// A printer that fails is named to the user, or the PDF file when the print goes to one: the
// picture was fine, so the format failure message would mislead. (A PDF's file is opened and
// written by printToPdf, which names the cause; here only its making in memory can fail.)
Error printFailure(const QPrinter& printer, Stage stage) {
    const bool toPdf = printer.outputFormat() == QPrinter::PdfFormat;
    QString shown;
    if (toPdf)
        shown = QStringLiteral("PDFファイル %1 を書き込めませんでした。");
    else
        shown = stage == Stage::Start
                    ? QStringLiteral("プリンタ %1 を開始できませんでした。")
                    : QStringLiteral("プリンタ %1 で印刷を完了できませんでした。");
    shown = shown.arg(toPdf ? printer.outputFileName() : printer.printerName()) +
            QStringLiteral("\n処理を中止します。");
    return Error(stage == Stage::Start ? QStringLiteral("The printer cannot start")
                                       : QStringLiteral("The print could not be finished"),
                 shown);
}

// What the print dialog offers first: an installed printer; without one, a new PDF file in the
// documents folder. The PDF's name is taken, not only free, so that a print beside this one
// (in another copy, too) is offered another while the returned claim lives.
fileops::TakenName offerPrinters(QPrinter& printer) {
    fileops::TakenName pdf = fileops::TakenName::newIn(
        documentsFolder(), QStringLiteral("SC_CONVERTER"), QStringLiteral(".pdf"));
    printer.setOutputFileName(pdf.path());
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        printer.setOutputFormat(QPrinter::NativeFormat);
    return pdf;
}

} // namespace

TGKitImagePrint::TGKitImagePrint(UserDialogs& dialogs, QObject* parent)
    : QObject(parent), m_dialogs(dialogs) {}

void TGKitImagePrint::setPaperOrientation(int orientation) {
    if (orientation != kPortrait && orientation != kLandscape)
        throw Error(QStringLiteral("Unknown paper orientation %1").arg(orientation));
    m_paperOrientation = orientation;
}

bool TGKitImagePrint::StartPrint() {
    if (m_fileName.isEmpty() || !fileops::exists(m_fileName))
        return false;
    const TiffPageReader pages(m_fileName);
    if (pages.pageCount() == 0)
        return false;

    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(m_paperOrientation == kLandscape ? QPageLayout::Landscape
                                                                : QPageLayout::Portrait);
    const fileops::TakenName offered = offerPrinters(printer);
    if (!m_dialogs.choosePrinter(printer))
        return false;
    if (printer.outputFormat() == QPrinter::PdfFormat)
        printToPdf(printer, pages, fileops::fileIdentity(printer.outputFileName()));
    else
        paintPages(printer, pages, printer);
    return true;
}

// QPrinter writes its PDF file itself and reports no failure of the writing: on a full disk
// it leaves a cut-short file and calls the print done. So the same PDF is made in memory
// and written through the checked write; the file is opened first, so that a folder that
// cannot take it fails before any page is painted.
void TGKitImagePrint::printToPdf(const QPrinter& printer, const TiffPageReader& pages,
                                 const std::optional<fileops::FileIdentity>& chosen) const {
    const QString path = printer.outputFileName();
    fileops::ReplacingFile file(path);
    if (file.error() != 0)
        file.raise();
    // What the dialog left at the name is replaced (the dialog asked first); what came since is
    // another print's or program's.
    file.replaceOnly(chosen);
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setPdfVersion(printer.pdfVersion());
        pdf.setResolution(printer.resolution());
        pdf.setPageLayout(printer.pageLayout());
        pdf.setTitle(printer.docName());
        pdf.setCreator(printer.creator());
        paintPages(pdf, pages, printer);
    }
    if (!file.write(bytes) || !file.commit())
        file.raise();
    fileops::syncWritten(path);
}

// Every page on `device`; a failure names `printer` (its printer or PDF file).
void TGKitImagePrint::paintPages(QPagedPaintDevice& device, const TiffPageReader& pages,
                                 const QPrinter& printer) const {
    QPainter painter;
    if (!painter.begin(&device))
        throw printFailure(printer, Stage::Start);
    for (int i = 0; i < pages.pageCount(); ++i) {
        if (i > 0 && !device.newPage())
            throw printFailure(printer, Stage::Finish);
        drawPage(painter, pages.page(i), QRectF(painter.window()));
    }
    if (!painter.end())
        throw printFailure(printer, Stage::Finish);
}

// Header on the first line of the printable area, footer on the last, the page picture as
// large as fits between them.
void TGKitImagePrint::drawPage(QPainter& painter, const QImage& page, const QRectF& area) const {
    const qreal line = QFontMetricsF(m_headerFont, painter.device()).height();
    const QRectF header(area.left(), area.top(), area.width(), line);
    const QRectF footer(area.left(), area.bottom() - line, area.width(), line);
    const QRectF room = area.adjusted(0, line * 1.5, 0, -line * 1.5);
    QSizeF size = QSizeF(page.size()).scaled(room.size(), Qt::KeepAspectRatio);
    const QRectF target(room.center() - QPointF(size.width(), size.height()) / 2, size);

    painter.drawImage(target, page);
    painter.setFont(m_headerFont);
    painter.setPen(Qt::black);
    painter.drawText(header, Qt::AlignCenter | Qt::TextSingleLine, m_headerText);
    painter.drawText(footer, Qt::AlignCenter | Qt::TextSingleLine, m_footerText);
}

} // namespace sc::printing
