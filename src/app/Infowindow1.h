#pragma once

#include <QDialog>

// The information window: logo, credits and links. Created hidden at start-up, shown modally.
class TInfoForm1 : public QDialog {
    Q_OBJECT
public:
    explicit TInfoForm1(QWidget* parent = nullptr);
};
