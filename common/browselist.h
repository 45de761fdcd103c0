#pragma once
// The list of a browse: one page of a data file in a key's order, read on demand, so a file of
// any size opens and scrolls at once. The list moves by line, by page, to the first and last
// page, to a typed locator value and onto a given record.
#include "platform/storage/datafile.h"

#include <QAbstractTableModel>
#include <functional>

struct BrowseColumn {
    QString title;
    int width = 10; // characters
    std::function<QString(const storage::Row &)> text;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
};

// A column computed from the typed record.
template <class R>
BrowseColumn column(const QString &title, int width, std::function<QString(const R &)> text,
                    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
    return {title, width,
            [text](const storage::Row &row) {
                R r;
                R::layout().fromRow(r, row);
                return text(r);
            },
            align};
}

class BrowseList : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Entry {
        storage::Row row;
        qint64 pos = 0;
        qint64 version = 0;
    };
    using Filter = std::function<bool(const storage::Row &)>;

    BrowseList(storage::Table &table, QObject *parent = nullptr);

    void setColumns(const QList<BrowseColumn> &columns);
    void setFilter(Filter filter) { m_filter = std::move(filter); }
    void setKey(int key) { m_key = key; }
    int key() const { return m_key; }
    void setPageSize(int rows) { m_pageSize = std::max(1, rows); }
    int pageSize() const { return m_pageSize; }

    // The highlighted row of the page (-1 when the page is empty).
    int current() const { return m_current; }
    void setCurrent(int row);
    const Entry *currentEntry() const;
    const QList<Entry> &entries() const { return m_rows; }

    // Moves; each returns false when it could not move (already at that end, or empty file).
    bool first();
    bool last();
    bool down();     // one line; at the page's foot the page scrolls
    bool up();
    bool pageDown();
    bool pageUp();
    // To the first record at or after the buffer's values of the key's first `components` parts.
    bool locate(const storage::Row &values, int components = 1);
    // Onto a record (by position, with its key values): it becomes the highlighted row.
    bool showRecord(const storage::Row &row, qint64 pos);
    // To the record at `rank` (0 = first) of the key's order: the scroll bar's jumps.
    bool jumpToRank(qint64 rank);
    qint64 rankOfTop();
    qint64 count() { return m_table.count(); }
    // Reads the page again from its first record (after changes by this or another station).
    void refresh();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<Entry> read(int direction, int n); // from the table's cursor, filtered
    void fillFrom(const storage::Row &row, qint64 pos, bool inclusive);
    void setPage(QList<Entry> rows, int current);
    bool scroll(int direction, int n);

    storage::Table &m_table;
    QList<BrowseColumn> m_columns;
    Filter m_filter;
    int m_key = 0;
    int m_pageSize = 15;
    QList<Entry> m_rows;
    int m_current = -1;
};
