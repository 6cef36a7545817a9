#include "WindowSettingsView.h"

#include "CaptionLanguage.h"
#include "WindowAccessibility.h"
#include "controls/TFolderPathBox.h"
#include "controls/TSpinEdit.h"
#include "settings/WindowPlacement.h"
#include "ui_Changewindow1.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSignalBlocker>

namespace sc::app {

using settings::Key;

WindowSettingsView::WindowSettingsView(Ui::TConvertForm1& ui, QWidget& window, Handler runHandler,
                                       std::function<void()> runPreview)
    : ui_(ui), window_(window), runHandler_(std::move(runHandler)),
      runPreview_(std::move(runPreview)) {}

bool WindowSettingsView::englishDown() const {
    return ui_.ShineSpeedButton6->isDown();
}

// Before the saved selections are read, so that they land in the English lists.
void WindowSettingsView::setEnglishDown(bool down) {
    if (!down)
        return;
    ui_.ShineSpeedButton6->setDown(true);
    applyCaptionLanguage(window_, false);
}

int WindowSettingsView::windowTop() const {
    return window_.y();
}
int WindowSettingsView::windowLeft() const {
    return window_.x();
}
// Without any screen known there is nothing to judge by: the position is kept.
bool WindowSettingsView::windowShowsAt(int left, int top) const {
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens << screen->geometry();
    return screens.isEmpty() ||
           settings::showsOnAnyScreen(left, top, window_.frameGeometry().size(), screens);
}
void WindowSettingsView::moveWindow(int left, int top) {
    window_.move(left, top);
}

// The controls carry the names of their settings keys.
QComboBox* WindowSettingsView::list(Key key) const {
    return window_.findChild<QComboBox*>(settings::nameOf(key));
}

TSpinEdit* WindowSettingsView::spin(Key key) const {
    return window_.findChild<TSpinEdit*>(settings::nameOf(key));
}

QLineEdit* WindowSettingsView::edit(Key key) const {
    return window_.findChild<QLineEdit*>(settings::nameOf(key));
}

int WindowSettingsView::itemIndex(Key key) const {
    return list(key)->currentIndex();
}

void WindowSettingsView::selectItem(Key key, int index) {
    const QSignalBlocker quiet(list(key));
    list(key)->setCurrentIndex(index);
    showChoiceAsSelected(*list(key));
}

int WindowSettingsView::spinValue(Key key) const {
    return spin(key)->value();
}

void WindowSettingsView::setSpinValue(Key key, int value) {
    const QSignalBlocker quiet(spin(key));
    spin(key)->setValue(value);
}

QString WindowSettingsView::text(Key key) const {
    return key == Key::C0_02 ? ui_.C0_02->path() : edit(key)->text();
}

void WindowSettingsView::setText(Key key, const QString& text) {
    if (key == Key::C0_02) {
        const QSignalBlocker quiet(ui_.C0_02);
        ui_.C0_02->setPath(text);
        return;
    }
    const QSignalBlocker quiet(edit(key));
    edit(key)->setText(text);
}

bool WindowSettingsView::isBeingTyped(Key box) const {
    return box == Key::C0_02 && ui_.C0_02->changeIsTyped();
}

void WindowSettingsView::setEnabledWithLabel(Key control, bool enabled) {
    if (control == Key::C0_02) {
        ui_.C0_02->setEnabled(enabled);
        ui_.L0_02->setEnabled(enabled);
    } else if (control == Key::Edit2) {
        ui_.Edit2->setEnabled(enabled);
        ui_.L0_04->setEnabled(enabled);
    }
}

void WindowSettingsView::setBackground(Key control, const QColor& colour) {
    if (TSpinEdit* box = spin(control))
        box->setBackground(colour);
    else if (QComboBox* l = list(control))
        setListColour(*l, colour);
    else if (control == Key::C0_02)
        ui_.C0_02->setBackground(colour);
}

void WindowSettingsView::setHint(Key control, const QString& hint) {
    if (control == Key::C0_02)
        ui_.C0_02->setHint(hint);
}

void setListColour(QComboBox& list, const QColor& colour) {
    QPalette p = list.palette();
    for (const auto role : {QPalette::Base, QPalette::Button, QPalette::Window})
        p.setColor(role, colour);
    list.setPalette(p);
}

} // namespace sc::app
