#include "browselist.h"

BrowseList::BrowseList(storage::Table &table, QObject *parent)
    : QAbstractTableModel(parent), m_table(table) {}

void BrowseList::setColumns(const QList<BrowseColumn> &columns) {
    beginResetModel();
    m_columns = columns;
    endResetModel();
}

void BrowseList::setCurrent(int row) {
    m_current = m_rows.isEmpty() ? -1 : std::clamp(row, 0, int(m_rows.size()) - 1);
}

const BrowseList::Entry *BrowseList::currentEntry() const {
    return m_current >= 0 && m_current < m_rows.size() ? &m_rows[m_current] : nullptr;
}

QList<BrowseList::Entry> BrowseList::read(int direction, int n) {
    QList<Entry> out;
    while (out.size() < n && (direction > 0 ? m_table.next() : m_table.previous())) {
        if (m_filter && !m_filter(m_table.row)) continue;
        out << Entry{m_table.row, m_table.pos, m_table.version};
    }
    return out;
}

void BrowseList::setPage(QList<Entry> rows, int current) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
    setCurrent(current);
}

bool BrowseList::first() {
    m_table.set(m_key, 0);
    QList<Entry> rows = read(+1, m_pageSize);
    bool moved = !rows.isEmpty();
    setPage(rows, 0);
    return moved;
}

bool BrowseList::last() {
    m_table.set(m_key, 0);
    QList<Entry> rows = read(-1, m_pageSize);
    std::reverse(rows.begin(), rows.end());
    bool moved = !rows.isEmpty();
    setPage(rows, int(rows.size()) - 1);
    return moved;
}

void BrowseList::fillFrom(const storage::Row &row, qint64 pos, bool inclusive) {
    m_table.row = row;
    m_table.pos = pos;
    m_table.setFromCurrent(m_key, inclusive);
    QList<Entry> rows = read(+1, m_pageSize);
    int current = 0;
    if (rows.size() < m_pageSize) {
        // Near the end of the file: fill the page from before the first record read.
        if (!rows.isEmpty()) {
            m_table.row = rows.first().row;
            m_table.pos = rows.first().pos;
        } else {
            m_table.row = row;
            m_table.pos = pos;
        }
        m_table.setFromCurrent(m_key, rows.isEmpty() && !inclusive);
        QList<Entry> before = read(-1, m_pageSize - int(rows.size()));
        current = int(before.size());
        if (rows.isEmpty()) current = std::max(0, current - 1);
        std::reverse(before.begin(), before.end());
        rows = before + rows;
    }
    setPage(rows, current);
}

bool BrowseList::scroll(int direction, int n) {
    if (m_rows.isEmpty()) return first();
    const Entry &edge = direction > 0 ? m_rows.last() : m_rows.first();
    m_table.row = edge.row;
    m_table.pos = edge.pos;
    m_table.setFromCurrent(m_key);
    QList<Entry> more = read(direction, n);
    if (more.isEmpty()) return false;
    QList<Entry> rows = m_rows;
    if (direction > 0) {
        rows += more;
        rows = rows.mid(std::max<qsizetype>(0, rows.size() - m_pageSize));
    } else {
        std::reverse(more.begin(), more.end());
        rows = more + rows;
        rows = rows.mid(0, m_pageSize);
    }
    setPage(rows, m_current);
    return true;
}

bool BrowseList::down() {
    if (m_current >= 0 && m_current < m_rows.size() - 1) {
        setCurrent(m_current + 1);
        return true;
    }
    if (!scroll(+1, 1)) return false;
    setCurrent(int(m_rows.size()) - 1);
    return true;
}

bool BrowseList::up() {
    if (m_current > 0) {
        setCurrent(m_current - 1);
        return true;
    }
    if (!scroll(-1, 1)) return false;
    setCurrent(0);
    return true;
}

bool BrowseList::pageDown() {
    int keep = m_current;
    if (scroll(+1, m_pageSize)) {
        setCurrent(keep);
        return true;
    }
    if (m_current < m_rows.size() - 1) {
        setCurrent(int(m_rows.size()) - 1);
        return true;
    }
    return false;
}

bool BrowseList::pageUp() {
    int keep = m_current;
    if (scroll(-1, m_pageSize)) {
        setCurrent(keep);
        return true;
    }
    if (m_current > 0) {
        setCurrent(0);
        return true;
    }
    return false;
}

bool BrowseList::locate(const storage::Row &values, int components) {
    m_table.row = values;
    m_table.set(m_key, components);
    QList<Entry> rows = read(+1, 1);
    if (rows.isEmpty()) return last();
    fillFrom(rows.first().row, rows.first().pos, true);
    return true;
}

bool BrowseList::showRecord(const storage::Row &row, qint64 pos) {
    fillFrom(row, pos, true);
    return !m_rows.isEmpty();
}

bool BrowseList::jumpToRank(qint64 rank) {
    if (!m_table.seekRank(m_key, rank)) return last();
    fillFrom(m_table.row, m_table.pos, true);
    return true;
}

qint64 BrowseList::rankOfTop() {
    if (m_rows.isEmpty()) return 0;
    m_table.row = m_rows.first().row;
    m_table.pos = m_rows.first().pos;
    return m_table.countBefore(m_key);
}

void BrowseList::refresh() {
    if (m_rows.isEmpty()) {
        first();
        return;
    }
    int keep = m_current;
    fillFrom(m_rows.first().row, m_rows.first().pos, true);
    setCurrent(keep);
}

int BrowseList::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_rows.size()); }
int BrowseList::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_columns.size()); }

QVariant BrowseList::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size() || index.column() >= m_columns.size()) return {};
    const BrowseColumn &c = m_columns[index.column()];
    if (role == Qt::DisplayRole) return c.text(m_rows[index.row()].row);
    if (role == Qt::TextAlignmentRole) return int(c.align);
    return {};
}

QVariant BrowseList::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_columns.size())
        return m_columns[section].title;
    return {};
}
