#include "WindowKeyboard.h"

#include "FormControl.h"
#include "controls/TFolderPathBox.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <vector>

namespace sc::app {

using controls::TFolderPathBox;

namespace {

// The controls in reading order; each labelled choice is followed by the box it enables (the
// output folder by its path, date renaming by its text).
using settings::Key;
// clang-format off
const FormControl kTabOrder[] = {
    "ListBox1", "SSButton2", "SSButton1",
    "ShineSpeedButton1", "ShineSpeedButton2", "ShineSpeedButton3",
    // JPEG page
    Key::Destination, Key::DestinationFolder, Key::Renaming, Key::UserText, Key::JpegQuality,
    Key::Brightness, Key::Contrast, Key::RedBalance, Key::GreenBalance, Key::BlueBalance,
    Key::Hue, Key::Saturation, Key::Lightness,
    // album page
    Key::AlbumQuality, Key::AlbumTitle,
    // print page
    Key::PrintLayout, Key::PrintHeader, Key::PrintFooter,
    // commands, languages, title bar
    "CButton11", "CButton10", "ShineSpeedButton5", "ShineSpeedButton6",
    "ShineSpeedButton4", "SSButton12", "SSButton11", "SSButton10"};
// clang-format on

// The widgets that take the focus inside a control: the text and the browse button of a path
// box. A spin box keeps the focus itself.
std::vector<QWidget*> innerStops(QWidget* control) {
    if (auto* path = qobject_cast<TFolderPathBox*>(control))
        return {path->editor(), path->browseButton()};
    return {};
}

// Puts `control` after `previous` and returns the last stop it brings. A box whose text is its
// focus proxy is itself a stop that hands the focus on to its text, so the box goes in just
// before its inner stops; Qt would otherwise put the proxy there and leave the box behind, a
// stop in the old place that Tab would fall into.
QWidget* placeAfter(QWidget* previous, QWidget* control) {
    QWidget* proxy = control->focusProxy();
    control->setFocusProxy(nullptr);
    if (previous)
        QWidget::setTabOrder(previous, control);
    previous = control;
    for (QWidget* stop : innerStops(control)) {
        QWidget::setTabOrder(previous, stop);
        previous = stop;
    }
    control->setFocusProxy(proxy);
    return previous;
}

// Return acts where it would otherwise do nothing: the list shows its selected picture again,
// a closed choice list opens.
class ReturnKeys : public QObject {
public:
    ReturnKeys(QObject* parent, QListView* list, std::function<void()> listReturn)
        : QObject(parent), list_(list), listReturn_(std::move(listReturn)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        if (watched == list_) {
            listReturn_();
            return true;
        }
        if (auto* combo = qobject_cast<QComboBox*>(watched)) {
            combo->showPopup();
            return true;
        }
        return false;
    }

private:
    QListView* list_;
    std::function<void()> listReturn_;
};

} // namespace

void settleKeyboard(QWidget& window, std::function<void()> listReturn) {
    // The page control only holds the pages; its tabs are never seen.
    if (auto* pages = window.findChild<QTabWidget*>(QStringLiteral("PageControl1"))) {
        pages->setFocusPolicy(Qt::NoFocus);
        pages->tabBar()->setFocusPolicy(Qt::NoFocus);
    }
    QWidget* previous = nullptr;
    for (const FormControl& stop : kTabOrder) {
        auto* control = window.findChild<QWidget*>(stop.objectName());
        if (control)
            previous = placeAfter(previous, control);
    }
    auto* list = window.findChild<QListView*>(QStringLiteral("ListBox1"));
    auto* keys = new ReturnKeys(&window, list, std::move(listReturn));
    if (list)
        list->installEventFilter(keys);
    for (QComboBox* combo : window.findChildren<QComboBox*>())
        combo->installEventFilter(keys);
}

} // namespace sc::app
