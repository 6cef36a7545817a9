#pragma once

#include "settings/ChangeRules.h"
#include "settings/SettingsView.h"
#include "settings/WindowPlacement.h"

#include <QMap>
#include <QStringList>

namespace sc::test {

// A settings view without widgets: holds the values, answers the change handlers with this
// folder's rules, as the window does, and records every step it is asked to take.
class RecordingView : public settings::SettingsView {
public:
    using Key = settings::Key;

    settings::TConvertSettings values;
    QMap<Key, QColor> background;
    QMap<Key, bool> enabled;
    QMap<Key, QString> hint;
    QStringList log;
    int previews = 0;

    RecordingView() {
        // Values away from every default, as after a user changed them all.
        values.englishCaptions = true;
        values.windowTop = -40;
        values.windowLeft = 3000;
        for (const auto& info : settings::keyTable()) {
            if (info.kind == settings::Kind::Item)
                values.setNumber(info.key, info.maximum == 1 ? 1 : 3);
            else if (info.kind == settings::Kind::Tuning)
                values.setNumber(info.key, -7);
            else if (info.kind == settings::Kind::Text)
                values.setText(info.key, QStringLiteral("user ") + settings::nameOf(info.key));
        }
    }

    static QString name(Key key) { return settings::nameOf(key); }

    bool englishDown() const override { return values.englishCaptions; }
    void setEnglishDown(bool down) override {
        log << QStringLiteral("english %1").arg(down);
        values.englishCaptions = down;
    }
    int windowTop() const override { return values.windowTop; }
    int windowLeft() const override { return values.windowLeft; }
    // Two monitors side by side, 3840 by 1080 together; the main window's size.
    bool windowShowsAt(int left, int top) const override {
        return settings::showsOnAnyScreen(left, top, {516, 514},
                                          {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1920, 1080)});
    }
    void moveWindow(int left, int top) override {
        log << QStringLiteral("move %1 %2").arg(left).arg(top);
        values.windowLeft = left;
        values.windowTop = top;
    }
    int itemIndex(Key list) const override { return values.number(list); }
    void selectItem(Key list, int index) override {
        log << QStringLiteral("select %1 %2").arg(name(list)).arg(index);
        values.setNumber(list, index);
    }
    int spinValue(Key box) const override { return values.number(box); }
    void setSpinValue(Key box, int value) override {
        log << QStringLiteral("spin %1 %2").arg(name(box)).arg(value);
        values.setNumber(box, value);
    }
    QString text(Key box) const override { return values.text(box); }
    void setText(Key box, const QString& text) override {
        log << QStringLiteral("text %1 %2").arg(name(box), text);
        values.setText(box, text);
    }
    bool typing = false; // the path box's change comes from the user's typing
    bool isBeingTyped(Key box) const override { return typing && box == Key::DestinationFolder; }
    void runChangeHandler(Key control) override {
        log << QStringLiteral("handler %1").arg(name(control));
        settings::runChangeRule(control, *this);
    }
    void setEnabledWithLabel(Key control, bool on) override { enabled[control] = on; }
    void setBackground(Key control, const QColor& colour) override { background[control] = colour; }
    void setHint(Key control, const QString& text) override { hint[control] = text; }
    void runPreview() override { ++previews; }
};

} // namespace sc::test
