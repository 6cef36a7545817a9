#pragma once

#include "settings/ConvertSettings.h"

#include <QColor>
#include <QString>

namespace sc::settings {

// The setting controls of the main window as the settings see them. The controls are the live
// store of every setting; the load, the reset and the change rules drive them through this
// interface, so their order lives here and the window only maps keys onto its controls.
//
// Setting a value through this interface must not raise the control's change event: every step
// runs the change handler itself, right after the value (runChangeHandler).
class SettingsView {
public:
    virtual ~SettingsView() = default;

    // The caption language: down state of the English caption button. Putting it down also
    // switches the captions to English; putting it up switches nothing.
    virtual bool englishDown() const = 0;
    virtual void setEnglishDown(bool down) = 0;

    // The main window's edges on the screen.
    virtual int windowTop() const = 0;
    virtual int windowLeft() const = 0;
    // Whether any part of the window would show on a screen at this position.
    virtual bool windowShowsAt(int left, int top) const = 0;
    virtual void moveWindow(int left, int top) = 0;

    // Drop-down lists (the settings of Kind::Item): the selected item, -1 for none.
    virtual int itemIndex(Key list) const = 0;
    virtual void selectItem(Key list, int index) = 0;

    // Spin boxes (the tuning): the value as the box reads it (a typed value beyond the range
    // counts until the box is left); setting limits it to the box's range.
    virtual int spinValue(Key box) const = 0;
    virtual void setSpinValue(Key box, int value) = 0;

    // Texts: the destination folder (a folder path box), the user text, the album title, the
    // print header and footer.
    virtual QString text(Key box) const = 0;
    virtual void setText(Key box, const QString& text) = 0;
    // Whether the change being handled is the user's typing in the box (the destination
    // folder): its text is not final until the user leaves the box, which raises the change
    // once more.
    virtual bool isBeingTyped(Key box) const = 0;

    // Runs the window's change handler of the control. The handlers of this folder's rules call
    // runChangeRule().
    virtual void runChangeHandler(Key control) = 0;

    // What the change rules touch.
    // Enables or disables a control together with its caption label (the destination folder,
    // the user text).
    virtual void setEnabledWithLabel(Key control, bool enabled) = 0;
    virtual void setBackground(Key control, const QColor& colour) = 0;
    virtual void setHint(Key control, const QString& hint) = 0;
    // One preview run of the selected source.
    virtual void runPreview() = 0;
};

} // namespace sc::settings
