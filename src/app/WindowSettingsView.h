#pragma once

#include "settings/SettingsView.h"

#include <functional>

class QComboBox;
class QLineEdit;
class QWidget;
namespace sc::controls {
class TFolderPathBox;
class TSpinEdit;
} // namespace sc::controls
namespace sc::app::Ui {
class TConvertForm1;
}

namespace sc::app {

// The main window's setting controls as the settings see them: keys mapped onto the widgets
// of the design. Values set here raise no change event; the settings steps run each handler.
class WindowSettingsView : public settings::SettingsView {
public:
    using Handler = std::function<void(settings::Key)>;

    WindowSettingsView(Ui::TConvertForm1& ui, QWidget& window, Handler runHandler,
                       std::function<void()> runPreview);

    bool englishDown() const override;
    void setEnglishDown(bool down) override;
    int windowTop() const override;
    int windowLeft() const override;
    bool windowShowsAt(int left, int top) const override;
    void moveWindow(int left, int top) override;
    int itemIndex(settings::Key list) const override;
    void selectItem(settings::Key list, int index) override;
    int spinValue(settings::Key box) const override;
    void setSpinValue(settings::Key box, int value) override;
    QString text(settings::Key box) const override;
    void setText(settings::Key box, const QString& text) override;
    bool isBeingTyped(settings::Key box) const override;
    void runChangeHandler(settings::Key control) override { runHandler_(control); }
    void setEnabledWithLabel(settings::Key control, bool enabled) override;
    void setBackground(settings::Key control, const QColor& colour) override;
    void setHint(settings::Key control, const QString& hint) override;
    void runPreview() override { runPreview_(); }

    QComboBox* list(settings::Key key) const;
    controls::TSpinEdit* spin(settings::Key key) const;
    QLineEdit* edit(settings::Key key) const;
    controls::TFolderPathBox* folderBox() const; // the destination folder

private:
    Ui::TConvertForm1& ui_;
    QWidget& window_;
    Handler runHandler_;
    std::function<void()> runPreview_;
};

// Paints a drop-down list's face in `colour`, keeping its white text.
void setListColour(QComboBox& list, const QColor& colour);

} // namespace sc::app
