#pragma once

#include "sources/SourcePreview.h"

#include <functional>
#include <memory>

class QAbstractItemView;
class QWidget;
namespace sc::sources {
class TSourceList;
}
namespace sc {
class UserDialogs;
}
namespace sc::settings {
class SettingsView;
}
namespace sc::app::Ui {
class TConvertForm1;
}

namespace sc::app {

// The preview of the selected source wired onto the window: its views and size labels, the
// list's selection and the JPEG page's settings. Every change asks for a run and returns at
// once; the views show the newest values once their picture work is done, so a held key never
// builds a backlog and the window keeps painting and taking keys.
class WindowPreview {
public:
    // `busy` tells when a job runs: a run asked for then waits for its end.
    WindowPreview(Ui::TConvertForm1& ui, QWidget& window, const sources::TSourceList& sources,
                  const settings::SettingsView& settings, UserDialogs& dialogs,
                  std::function<bool()> busy);
    ~WindowPreview();

    // A run with the values of this moment: the selection or a previewed setting changed.
    void run() { preview_->run(); }
    // Runs asked for in between become one run at the end.
    void beginBatch() { preview_->beginBatch(); }
    void endBatch() { preview_->endBatch(); }
    // A job starts: it does not wait for the run under way.
    void drop() { preview_->drop(); }
    bool settled() const { return preview_->settled(); }

private:
    std::optional<QString> selectedSource() const;
    sources::TPreviewSettings settings() const;

    QAbstractItemView& list_;
    const sources::TSourceList& sources_;
    const settings::SettingsView& settings_;
    std::unique_ptr<sources::TSourcePreview> preview_;
};

} // namespace sc::app
