#include "SourceList.h"

#include <QAbstractItemView>
#include <QListView>
#include <algorithm>

namespace sc::sources {

TSourceList::TSourceList(QObject* parent) : QAbstractListModel(parent) {}

int TSourceList::upperBound(const QString& key) const {
    return static_cast<int>(std::upper_bound(keys_.cbegin(), keys_.cend(), key) - keys_.cbegin());
}

int TSourceList::add(const QString& path) {
    QString key = sortKey(path);
    const int row = upperBound(key);
    beginInsertRows(QModelIndex(), row, row);
    paths_.insert(row, path);
    keys_.insert(row, std::move(key));
    endInsertRows();
    return row;
}

void TSourceList::addAll(QStringList paths) {
    if (paths.isEmpty())
        return;
    if (paths.size() == 1) {
        add(paths.front());
        return;
    }
    QList<Entry> sorted;
    sorted.reserve(paths.size());
    for (QString& path : paths)
        sorted.append({sortKey(path), std::move(path)});
    // Stable, so equal keys keep their order of arrival, as one-by-one insertion would.
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Entry& a, const Entry& b) { return a.key < b.key; });
    const int first = upperBound(sorted.front().key);
    if (first == upperBound(sorted.back().key))
        insertRun(first, sorted);
    else
        mergeSorted(sorted);
}

// The whole batch lands in one place (always so for an empty list): one exact insertion.
void TSourceList::insertRun(int position, const QList<Entry>& sorted) {
    beginInsertRows(QModelIndex(), position, position + static_cast<int>(sorted.size()) - 1);
    QStringList paths = paths_.mid(0, position);
    QStringList keys = keys_.mid(0, position);
    paths.reserve(paths_.size() + sorted.size());
    keys.reserve(paths_.size() + sorted.size());
    for (const Entry& entry : sorted) {
        paths.append(entry.path);
        keys.append(entry.key);
    }
    paths.append(paths_.mid(position));
    keys.append(keys_.mid(position));
    paths_.swap(paths);
    keys_.swap(keys);
    endInsertRows();
}

// A batch spread over the list: one merge pass, announced as a layout change so that the
// view's selection and current row follow their paths to the new positions. Row-by-row
// insertion would cost a memory move and a view update per path.
void TSourceList::mergeSorted(const QList<Entry>& sorted) {
    emit layoutAboutToBeChanged();
    const qsizetype total = paths_.size() + sorted.size();
    QStringList paths, keys;
    paths.reserve(total);
    keys.reserve(total);
    QList<int> newRowOf(paths_.size());
    qsizetype i = 0, j = 0;
    while (i < paths_.size() || j < sorted.size()) {
        // On equal keys the existing path stays first: a new path goes after its equals.
        if (j == sorted.size() || (i < paths_.size() && !(sorted[j].key < keys_[i]))) {
            newRowOf[i] = static_cast<int>(paths.size());
            paths.append(paths_[i]);
            keys.append(keys_[i]);
            ++i;
        } else {
            paths.append(sorted[j].path);
            keys.append(sorted[j].key);
            ++j;
        }
    }
    paths_.swap(paths);
    keys_.swap(keys);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.append(index.isValid() ? createIndex(newRowOf.at(index.row()), 0) : QModelIndex());
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

void TSourceList::clear() {
    if (paths_.isEmpty())
        return;
    beginResetModel();
    paths_.clear();
    keys_.clear();
    endResetModel();
}

void TSourceList::attachView(QAbstractItemView& view) {
    view.setModel(this);
    // Every row is one line of text: without this a list view measures each of its rows.
    if (auto* list = qobject_cast<QListView*>(&view))
        list->setUniformItemSizes(true);
    view.setSelectionMode(QAbstractItemView::SingleSelection);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
}

int TSourceList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant TSourceList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count())
        return QVariant();
    // No tool tip per row: the control keeps its own hint.
    if (role == Qt::DisplayRole)
        return paths_.at(index.row());
    return QVariant();
}

Qt::ItemFlags TSourceList::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

} // namespace sc::sources
