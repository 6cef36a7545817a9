#pragma once

#include "platform/FileIdentity.h"

#include <QFont>
#include <QObject>
#include <QString>
#include <optional>

class QImage;
class QPagedPaintDevice;
class QPainter;
class QPrinter;
class QRectF;

namespace sc {
class UserDialogs;
}

namespace sc::printing {

class TiffPageReader;

// The print control: prints every page of a multi-page page file, one page per sheet of
// paper, with a header line above the picture and a footer line below it. Not a widget: it
// sits invisibly on the window, and the printer comes from the standard print dialog.
class TGKitImagePrint : public QObject {
    Q_OBJECT
public:
    // PaperOrientation codes (as Windows numbers them).
    static constexpr int kPortrait = 1;
    static constexpr int kLandscape = 2;

    explicit TGKitImagePrint(UserDialogs& dialogs, QObject* parent = nullptr);

    int PaperOrientation() const { return m_paperOrientation; }
    // Raises sc::Error for a code other than kPortrait or kLandscape.
    void setPaperOrientation(int orientation);

    QString HeaderText() const { return m_headerText; }
    void setHeaderText(const QString& text) { m_headerText = text; }
    QString FooterText() const { return m_footerText; }
    void setFooterText(const QString& text) { m_footerText = text; }
    // The font of the header line; the footer line uses it too.
    QFont HeaderFont() const { return m_headerFont; }
    void setHeaderFont(const QFont& font) { m_headerFont = font; }
    // The page file that StartPrint prints (a path text).
    QString FileName() const { return m_fileName; }
    void setFileName(const QString& fileName) { m_fileName = fileName; }

    // Asks for a printer and prints every page of FileName in page order, each scaled to fit
    // the printable area with its aspect ratio kept, centred between the header and footer.
    // Returns false, printing nothing, when there is no page file or the user cancels the
    // dialog. Raises sc::Error when the page file is damaged or the printer cannot start, so
    // a failed print is never taken for a done one. The file is closed when it returns.
    // A print to a PDF file is written as the program's other files are (a temporary renamed
    // over it, every write checked, on disk before it counts): a full disk or a missing
    // folder raises a failure that names the file and its cause, and leaves no cut-short PDF.
    // The dialog offers an installed printer first, else a new PDF in the documents folder
    // ("SC_CONVERTER.pdf", or "SC_CONVERTER (2).pdf" … when that is taken); a file that comes
    // to the chosen name while the print is made is never replaced.
    bool StartPrint();

private:
    void printToPdf(const QPrinter& printer, const TiffPageReader& pages,
                    const std::optional<fileops::FileIdentity>& chosen) const;
    void paintPages(QPagedPaintDevice& device, const TiffPageReader& pages,
                    const QPrinter& printer) const;
    void drawPage(QPainter& painter, const QImage& page, const QRectF& area) const;

    UserDialogs& m_dialogs;
    int m_paperOrientation = kPortrait;
    QString m_headerText;
    QString m_footerText;
    QFont m_headerFont;
    QString m_fileName;
};

} // namespace sc::printing
