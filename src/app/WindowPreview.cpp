#include "WindowPreview.h"

#include "imaging/TGKitImageEdit.h"
#include "jobs/JpegJob.h"
#include "settings/SettingsSteps.h"
#include "settings/SettingsView.h"
#include "sources/SourceList.h"
#include "ui_Changewindow1.h"

#include <QApplication>

namespace sc::app {

WindowPreview::WindowPreview(Ui::TConvertForm1& ui, QWidget& window,
                             const sources::TSourceList& sources,
                             const settings::SettingsView& settings, UserDialogs& dialogs,
                             std::function<bool()> busy)
    : list_(*ui.ListBox1), sources_(sources), settings_(settings) {
    auto showIn = [](controls::TShadowLabel* label) {
        return [label](const QString& text) { label->setText(text); };
    };
    preview_ = std::make_unique<sources::TSourcePreview>(
        sources::TSourcePreview::Views{ui.ImageEdit1->model(), ui.ImageEdit2->model(),
                                       ui.ImageEdit1->size(), ui.ImageEdit2->size(),
                                       showIn(ui.Label7), showIn(ui.Label4)},
        sources::TSourcePreview::Inputs{
            [&window] { return window.isVisible(); }, [this] { return selectedSource(); },
            [this] { return this->settings(); },
            [busy = std::move(busy)] { return !busy() && !QApplication::activeModalWidget(); }},
        dialogs);
}

WindowPreview::~WindowPreview() = default;

std::optional<QString> WindowPreview::selectedSource() const {
    const QModelIndexList rows = list_.selectionModel()->selectedRows();
    if (rows.isEmpty() || rows.first().row() >= sources_.count())
        return std::nullopt;
    return sources_.at(rows.first().row());
}

// The JPEG job's own reading of the controls, so the preview shows what the job will write.
sources::TPreviewSettings WindowPreview::settings() const {
    const jobs::JpegJobSettings job = jobs::jpegJobSettings(settings::captureControls(settings_));
    return {job.qualityIndex, job.tuning()};
}

} // namespace sc::app
