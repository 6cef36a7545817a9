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

using controls::TFolderPathBox;
using controls::TSpinEdit;

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

// The controls carry the names of their settings keys (the object names of the design).
QComboBox* WindowSettingsView::list(Key key) const {
    return window_.findChild<QComboBox*>(settings::nameOf(key));
}

TSpinEdit* WindowSettingsView::spin(Key key) const {
    return window_.findChild<TSpinEdit*>(settings::nameOf(key));
}

QLineEdit* WindowSettingsView::edit(Key key) const {
    return window_.findChild<QLineEdit*>(settings::nameOf(key));
}

TFolderPathBox* WindowSettingsView::folderBox() const {
    return window_.findChild<TFolderPathBox*>(settings::nameOf(Key::DestinationFolder));
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
    return key == Key::DestinationFolder ? folderBox()->path() : edit(key)->text();
}

void WindowSettingsView::setText(Key key, const QString& text) {
    if (key == Key::DestinationFolder) {
        const QSignalBlocker quiet(folderBox());
        folderBox()->setPath(text);
        return;
    }
    const QSignalBlocker quiet(edit(key));
    edit(key)->setText(text);
}

bool WindowSettingsView::isBeingTyped(Key box) const {
    return box == Key::DestinationFolder && folderBox()->changeIsTyped();
}

void WindowSettingsView::setEnabledWithLabel(Key control, bool enabled) {
    if (control == Key::DestinationFolder) {
        folderBox()->setEnabled(enabled);
        ui_.L0_02->setEnabled(enabled);
    } else if (control == Key::UserText) {
        edit(Key::UserText)->setEnabled(enabled);
        ui_.L0_04->setEnabled(enabled);
    }
}

void WindowSettingsView::setBackground(Key control, const QColor& colour) {
    if (TSpinEdit* box = spin(control))
        box->setBackground(colour);
    else if (QComboBox* l = list(control))
        setListColour(*l, colour);
    else if (control == Key::DestinationFolder)
        folderBox()->setBackground(colour);
}

void WindowSettingsView::setHint(Key control, const QString& hint) {
    if (control == Key::DestinationFolder)
        folderBox()->setHint(hint);
}

void setListColour(QComboBox& list, const QColor& colour) {
    QPalette p = list.palette();
    for (const auto role : {QPalette::Base, QPalette::Button, QPalette::Window})
        p.setColor(role, colour);
    list.setPalette(p);
}

} // namespace sc::app
