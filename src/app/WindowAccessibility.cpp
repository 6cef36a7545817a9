#include "WindowAccessibility.h"

#include "FormControl.h"
#include "controls/TFolderPathBox.h"
#include "controls/TShadowLabel.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

namespace sc::app {

using controls::TFolderPathBox;
using controls::TShadowLabel;

namespace {

// Each control with its caption label (an object name of the form).
struct Named {
    FormControl control;
    const char* label;
    const char* letter; // the separate R, G or B drawn into the label's "(   )"
};

using settings::Key;
const Named kLabelled[] = {
    {"ListBox1", "L0_00", nullptr},
    {Key::Destination, "L0_01", nullptr},
    {Key::DestinationFolder, "L0_02", nullptr},
    {Key::Renaming, "L0_03", nullptr},
    {Key::UserText, "L0_04", nullptr},
    {Key::JpegQuality, "L1_02", nullptr},
    {Key::Brightness, "L3_01", nullptr},
    {Key::Contrast, "L3_02", nullptr},
    {Key::RedBalance, "L3_04", "L3_04_1"},
    {Key::GreenBalance, "L3_05", "L3_05_1"},
    {Key::BlueBalance, "L3_06", "L3_06_1"},
    {Key::Hue, "L3_07", nullptr},
    {Key::Saturation, "L3_08", nullptr},
    {Key::Lightness, "L3_09", nullptr},
    {Key::AlbumQuality, "L4_01", nullptr},
    {Key::AlbumTitle, "L4_02", nullptr},
    {Key::PrintLayout, "L5_01", nullptr},
    {Key::PrintHeader, "L5_02", nullptr},
    {Key::PrintFooter, "L5_03", nullptr},
};

struct Worded {
    const char* control;
    QString japanese;
    QString english;
};

const Worded kWorded[] = {
    {"ImageEdit1", QStringLiteral("変換前の画像"), QStringLiteral("Source picture")},
    {"ImageEdit2", QStringLiteral("変換後の画像(JPEG)"),
     QStringLiteral("Converted picture (JPEG)")},
    {"ImageEdit4", QStringLiteral("印刷プレビュー"), QStringLiteral("Print preview")},
    // Its hint speaks of the user's guide, but what it opens is the read-me.
    {"SSButton12", QStringLiteral("Readme.txt を開く"), QStringLiteral("Open Readme.txt")},
    {"SSButton11", QStringLiteral("最小化"), QStringLiteral("Minimise")},
    {"SSButton10", QStringLiteral("閉じる"), QStringLiteral("Close")},
};

// "色階調(   ) ：" with the letter "R" reads "色階調(R)".
QString nameFromLabel(const QString& label, const QString& letter) {
    QString name = label;
    if (name.endsWith(u'：'))
        name.chop(1);
    name = name.trimmed();
    if (!letter.isEmpty())
        name.replace(QStringLiteral("(   )"), u'(' + letter + u')');
    return name;
}

void setName(QWidget& control, const QString& name) {
    control.setAccessibleName(name);
    // Focus lands on the text inside a path box: that is what a reader announces.
    if (auto* path = qobject_cast<TFolderPathBox*>(&control)) {
        path->editor()->setAccessibleName(name);
        path->browseButton()->setAccessibleName(name + QStringLiteral(" ..."));
    }
}

QString textOf(const QWidget& window, const char* label) {
    if (!label)
        return {};
    auto* l = window.findChild<TShadowLabel*>(QString::fromLatin1(label));
    return l ? l->text() : QString();
}

// The window is a window, the picture views show a picture (not a client area each).
QAccessibleInterface* windowAccessible(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* w = static_cast<QWidget*>(object);
    if (className == QLatin1String("sc::app::TConvertForm1"))
        return new QAccessibleWidget(w, QAccessible::Window);
    if (className == QLatin1String("sc::TGKitImageEdit"))
        return new QAccessibleWidget(w, QAccessible::Graphic);
    return nullptr;
}

// A reader chooses an item of a choice list by selecting it among the list's children (AT-SPI's
// toggle of an item). While the list is closed, such a selection is the user's choice, its
// change handler included. Whatever else becomes of the selection there (the chosen item
// toggled off, the items rebuilt), the chosen item reads as selected again once it is over.
void chooseThroughItems(QComboBox& list) {
    QAbstractItemView* view = list.view();
    QObject::connect(&list, &QComboBox::currentIndexChanged, &list,
                     [&list] { showChoiceAsSelected(list); });
    QObject::connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, &list,
                     [&list, view](const QItemSelection& selected) {
                         if (view->isVisible())
                             return; // an open list chooses as it always does
                         const QModelIndexList items = selected.indexes();
                         if (items.size() == 1 && items.first().row() != list.currentIndex()) {
                             const int row = items.first().row();
                             list.setCurrentIndex(row);
                             emit list.activated(row);
                             emit list.textActivated(list.itemText(row));
                         }
                         QTimer::singleShot(0, &list, [&list] { showChoiceAsSelected(list); });
                     });
    showChoiceAsSelected(list);
}

} // namespace

void showChoiceAsSelected(QComboBox& list) {
    QItemSelectionModel* selection = list.view()->selectionModel();
    const QModelIndex chosen = list.model()->index(list.currentIndex(), list.modelColumn());
    if (selection->selectedIndexes() != QModelIndexList{chosen})
        selection->select(chosen, QItemSelectionModel::ClearAndSelect);
}

void installWindowAccessibility() {
    static const bool installed = (QAccessible::installFactory(windowAccessible), true);
    Q_UNUSED(installed);
}

void settleChoiceLists(QWidget& window) {
    for (QComboBox* list : window.findChildren<QComboBox*>())
        chooseThroughItems(*list);
}

void nameControls(QWidget& window, bool japanese) {
    for (const Named& n : kLabelled) {
        auto* control = window.findChild<QWidget*>(n.control.objectName());
        if (!control)
            continue;
        setName(*control, nameFromLabel(textOf(window, n.label), textOf(window, n.letter)));
        // A choice list reads its chosen item as its name here; the label is its relation.
        if (auto* label = window.findChild<TShadowLabel*>(QString::fromLatin1(n.label)))
            label->setBuddy(control);
    }
    for (const Worded& w : kWorded) {
        if (auto* control = window.findChild<QWidget*>(QString::fromLatin1(w.control)))
            control->setAccessibleName(japanese ? w.japanese : w.english);
    }
    // The lists were rebuilt quietly for the language.
    for (QComboBox* list : window.findChildren<QComboBox*>())
        showChoiceAsSelected(*list);
}

} // namespace sc::app
