#include "CaptionLanguage.h"

#include "WindowAccessibility.h"
#include "controls/TShadowLabel.h"
#include "controls/TShineSpeedButton.h"
#include "resources/Captions.h"
#include "settings/ConvertSettings.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <algorithm>
#include <vector>

namespace sc::app {

using controls::TShadowLabel;
using controls::TShineSpeedButton;

namespace {

const captions::Items& itemsOf(const char* control) {
    for (const captions::Items& items : captions::kItems) {
        if (qstrcmp(items.control, control) == 0)
            return items;
    }
    Q_UNREACHABLE();
}

void setCaption(QWidget& window, const captions::Caption& caption, bool japanese) {
    const QString& text = japanese ? caption.japanese : caption.english;
    const QString name = QString::fromLatin1(caption.control);
    if (auto* label = window.findChild<TShadowLabel*>(name))
        label->setText(text);
    else if (auto* button = window.findChild<TShineSpeedButton*>(name))
        button->setCaption(text);
}

// Rebuilds the lists named together, item by item across them, each keeping its selected
// index. Signals stay blocked: selecting the kept index again is no change by the user.
void rebuildLists(QWidget& window, std::initializer_list<settings::Key> together, bool japanese) {
    struct Rebuild {
        QComboBox* list;
        const QStringList* items;
        int kept;
    };
    std::vector<Rebuild> lists;
    std::vector<QSignalBlocker> quiet;
    for (const settings::Key setting : together) {
        const char* name = settings::infoOf(setting).name; // the list's object name
        auto* list = window.findChild<QComboBox*>(QString::fromLatin1(name));
        if (!list)
            continue;
        const captions::Items& items = itemsOf(name);
        lists.push_back({list, japanese ? &items.japanese : &items.english, list->currentIndex()});
        quiet.emplace_back(list);
        list->clear();
    }
    qsizetype most = 0;
    for (const Rebuild& r : lists)
        most = std::max(most, r.items->size());
    for (qsizetype i = 0; i < most; ++i) {
        for (const Rebuild& r : lists) {
            if (i < r.items->size())
                r.list->addItem(r.items->at(i));
        }
    }
    // An index of -1 comes back as no selection, not as the first item the list picked.
    for (const Rebuild& r : lists)
        r.list->setCurrentIndex(r.kept);
}

} // namespace

void applyCaptionLanguage(QWidget& window, bool japanese) {
    if (auto* status = window.findChild<TShadowLabel*>(QStringLiteral("ShadowLabel21")))
        status->setText(captions::idlePrompt(japanese));
    for (const captions::Caption& caption : captions::kCaptions)
        setCaption(window, caption, japanese);
    using settings::Key;
    rebuildLists(window, {Key::Destination}, japanese);
    rebuildLists(window, {Key::JpegQuality, Key::AlbumQuality}, japanese);
    rebuildLists(window, {Key::Renaming}, japanese);
    rebuildLists(window, {Key::PrintLayout}, japanese);
    nameControls(window, japanese);
}

} // namespace sc::app
