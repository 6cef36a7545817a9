#pragma once

#include <QAbstractListModel>
#include <QStringList>

class QAbstractItemView;

namespace sc::sources {

// The batch: full paths of the pictures to process, exactly as they arrived, always sorted
// ascending with letter case ignored; duplicates are kept. Jobs and the preview read it by
// position. It is the model behind the list control; selection belongs to that view.
class TSourceList : public QAbstractListModel {
    Q_OBJECT
public:
    explicit TSourceList(QObject* parent = nullptr);

    int count() const { return static_cast<int>(paths_.size()); }
    const QString& at(int i) const { return paths_.at(i); }
    const QStringList& paths() const { return paths_; }

    // Inserts one path at its sorted place, after any equal paths; returns its position.
    int add(const QString& path);
    // Inserts many paths in one step, in the order that adding them one by one would give.
    void addAll(QStringList paths);
    void clear();

    // Shows the list in `view` with one row selectable at a time and nothing editable.
    void attachView(QAbstractItemView& view);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    // The collation: whole path texts compared by their case-folded UTF-16 code units.
    static QString sortKey(const QString& path) { return path.toCaseFolded(); }

    struct Entry {
        QString key;
        QString path;
    };
    int upperBound(const QString& key) const;
    void insertRun(int position, const QList<Entry>& sorted);
    void mergeSorted(const QList<Entry>& sorted);

    QStringList paths_;
    QStringList keys_; // sortKey() of each path, so that a merge compares cheaply
};

} // namespace sc::sources
