#pragma once

#include "sources/SourcePreview.h"

#include <QObject>
#include <functional>
#include <memory>

class QAbstractItemView;
class QWidget;
class TSourceList;
namespace sc {
class UserDialogs;
}
namespace sc::settings {
class SettingsView;
}
namespace Ui {
class TConvertForm1;
}

namespace sc::app {

// The preview of the selected source wired onto the window: its views and size labels, the
// list's selection and the JPEG page's settings. A change made by a held key (the arrows of a
// tuning box, the list's arrows) is previewed once the changes already waiting have joined it,
// or at the key's release when runs are slower than the key repeats, so holding a key never
// builds a backlog of runs; any other change is previewed at once.
class WindowPreview : public QObject {
public:
    // `busy` tells when a job runs: a deferred run waits for its end.
    WindowPreview(Ui::TConvertForm1& ui, QWidget& window, const TSourceList& sources,
                  const settings::SettingsView& settings, UserDialogs& dialogs,
                  std::function<bool()> busy);
    ~WindowPreview() override;

    // One run now.
    void run() { preview_->run(); }
    // A change of the selection or of a previewed setting.
    void runForChange();
    // Runs asked for in between become one run at the end.
    void beginBatch() { preview_->beginBatch(); }
    void endBatch() { preview_->endBatch(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The end of a held key: the run it owes, if any, follows.
    void keyReleased();
    std::optional<QString> selectedSource() const;
    TPreviewSettings settings() const;

    QAbstractItemView& list_;
    const TSourceList& sources_;
    const settings::SettingsView& settings_;
    std::unique_ptr<TSourcePreview> preview_;
    bool keyHeld_ = false; // the key event being handled repeats a held key
};

} // namespace sc::app
