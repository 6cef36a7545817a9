#include "Infowindow1.h"

TInfoForm1::TInfoForm1(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("SC_CONVERTER Ver.1.4"));
    setFixedSize(415, 144);
}
