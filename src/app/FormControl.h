#pragma once

#include "settings/ConvertSettings.h"

#include <QString>
#include <optional>

namespace sc::app {

// A control of the window's form: one of its own, by its object name, or a setting's, whose
// object name is that setting's key in the settings file (settings::keyTable()).
class FormControl {
public:
    constexpr FormControl(const char* objectName) : objectName_(objectName) {}
    constexpr FormControl(settings::Key setting) : setting_(setting) {}

    QString objectName() const {
        return setting_ ? settings::nameOf(*setting_) : QString::fromLatin1(objectName_);
    }

private:
    const char* objectName_ = nullptr;
    std::optional<settings::Key> setting_;
};

} // namespace sc::app
