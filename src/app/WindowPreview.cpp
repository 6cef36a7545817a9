#include "WindowPreview.h"

#include "controls/TSpinEdit.h"
#include "imaging/TGKitImageEdit.h"
#include "jobs/JpegJob.h"
#include "settings/SettingsSteps.h"
#include "settings/SettingsView.h"
#include "sources/SourceList.h"
#include "ui_Changewindow1.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyleHints>

namespace sc::app {

WindowPreview::WindowPreview(Ui::TConvertForm1& ui, QWidget& window, const TSourceList& sources,
                             const settings::SettingsView& settings, UserDialogs& dialogs,
                             std::function<bool()> busy)
    : list_(*ui.ListBox1), sources_(sources), settings_(settings) {
    auto showIn = [](TShadowLabel* label) {
        return [label](const QString& text) { label->setText(text); };
    };
    preview_ = std::make_unique<TSourcePreview>(
        TSourcePreview::Views{ui.ImageEdit1->model(), ui.ImageEdit2->model(), ui.ImageEdit2->size(),
                              showIn(ui.Label7), showIn(ui.Label4)},
        TSourcePreview::Inputs{
            [&window] { return window.isVisible(); }, [this] { return selectedSource(); },
            [this] { return this->settings(); },
            [busy = std::move(busy)] { return !busy() && !QApplication::activeModalWidget(); }},
        dialogs);

    // Keys reach the list and a tuning box (or the text inside it); watch them for held ones.
    list_.installEventFilter(this);
    for (const auto& info : settings::keyTable()) {
        if (info.kind != settings::Kind::Tuning)
            continue;
        if (auto* box = window.findChild<TSpinEdit*>(settings::nameOf(info.key))) {
            box->installEventFilter(this);
            box->editor()->installEventFilter(this);
        }
    }
}

WindowPreview::~WindowPreview() = default;

void WindowPreview::runForChange() {
    if (!keyHeld_)
        return preview_->run();
    const int rate = QGuiApplication::styleHints()->keyboardAutoRepeatRate();
    preview_->runForHeldKey(rate > 0 ? 1000 / rate : 0);
}

void WindowPreview::keyReleased() {
    if (!keyHeld_)
        return;
    keyHeld_ = false;
    preview_->runOwed();
}

// Only looks: every key goes on to the control. The filter sees a key before the control acts
// on it, so the change it makes finds the flag set.
bool WindowPreview::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        if (!static_cast<QKeyEvent*>(event)->isAutoRepeat())
            keyReleased(); // a new key: whatever was held has ended
        keyHeld_ = static_cast<QKeyEvent*>(event)->isAutoRepeat();
        break;
    case QEvent::KeyRelease:
        if (!static_cast<QKeyEvent*>(event)->isAutoRepeat())
            keyReleased();
        break;
    case QEvent::FocusOut:
        keyReleased();
        break;
    default:
        break;
    }
    return false;
}

std::optional<QString> WindowPreview::selectedSource() const {
    const QModelIndexList rows = list_.selectionModel()->selectedRows();
    if (rows.isEmpty() || rows.first().row() >= sources_.count())
        return std::nullopt;
    return sources_.at(rows.first().row());
}

// The JPEG job's own reading of the controls, so the preview shows what the job will write.
TPreviewSettings WindowPreview::settings() const {
    const jobs::JpegJobSettings job = jobs::jpegJobSettings(settings::captureControls(settings_));
    return {job.qualityIndex, job.tuning()};
}

} // namespace sc::app
