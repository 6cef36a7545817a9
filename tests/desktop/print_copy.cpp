// One copy of the program printing, for the desktop checks that run several at once: the real
// window and the real print dialog on the real display, its pictures dropped, the print page's
// OK pressed at a given moment, the print dialog accepted as it comes (printing to the PDF file
// it offers), any message box answered and written to the standard output.
//
//   sc_print_copy print <program folder> <start, ms since the epoch> <picture>...
//   sc_print_copy frames <page picture> <count>   prints the colour of each frame's centre
//   sc_print_copy hold <text>                    owns the clipboard with <text> until ended
//   sc_print_copy clipboard                      prints the clipboard's text
#include "app/Changewindow1.h"
#include "app/LookAndFeel.h"
#include "platform/UserDialogs.h"
#include "platform/WinPath.h"
#include "printing/SheetLayout.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>

#include <cstdio>

using sc::app::TConvertForm1;

namespace {

// Accepts each print dialog and answers each message box as soon as it is up.
void answerDialogsAsTheyCome() {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* print = qobject_cast<QPrintDialog*>(modal)) {
            std::printf("print dialog: %s\n", qPrintable(print->printer()->outputFileName()));
            print->accept();
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            std::printf("message: %s\n", qPrintable(box->text()));
            box->accept();
        }
        std::fflush(stdout);
    });
    poll->start(20);
}

int print(const QStringList& arguments) {
    const QString programFolder = arguments.value(2);
    sc::winpath::setProgramFolder(programFolder);
    sc::app::installLookAndFeel();
    sc::QtUserDialogs dialogs;
    TConvertForm1 form(programFolder, dialogs);
    dialogs.setOwner(&form);
    form.show();
    form.dropFiles(arguments.mid(4));
    form.choosePrintJob();
    answerDialogsAsTheyCome();
    const qint64 wait = arguments.value(3).toLongLong() - QDateTime::currentMSecsSinceEpoch();
    QTimer::singleShot(std::max<qint64>(0, wait), &form, [&form] {
        form.runVisiblePageJob();
        std::printf("printed\n");
        QApplication::quit();
    });
    return QApplication::exec();
}

int frames(const QStringList& arguments) {
    const QImage page(arguments.value(2));
    for (int i = 0; i < arguments.value(3).toInt(); ++i) {
        const sc::printing::sheet::Point at =
            sc::printing::sheet::verticalSlot(i % sc::printing::sheet::kVerticalCapacity);
        const QRgb c = page.pixel(at.x + sc::printing::sheet::kThumbWidth / 2,
                                  at.y + sc::printing::sheet::kThumbHeight / 2);
        std::printf("%d %d %d\n", qRed(c), qGreen(c), qBlue(c));
    }
    return page.isNull() ? 1 : 0;
}

// The clipboard of X belongs to the program that set it, for as long as it runs.
int hold(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    std::printf("held\n");
    std::fflush(stdout);
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("SC_CONVERTER"));
    const QStringList arguments = QApplication::arguments();
    if (arguments.value(1) == QLatin1String("print"))
        return print(arguments);
    if (arguments.value(1) == QLatin1String("frames"))
        return frames(arguments);
    if (arguments.value(1) == QLatin1String("hold"))
        return hold(arguments.value(2));
    if (arguments.value(1) == QLatin1String("clipboard")) {
        std::printf("%s\n", qPrintable(QGuiApplication::clipboard()->text()));
        return 0;
    }
    std::fprintf(stderr, "usage: sc_print_copy print|frames ...\n");
    return 2;
}
