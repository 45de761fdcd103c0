#include "wmf.h"

#include <QFile>

namespace wmf {

void put16(QByteArray &out, quint16 v) {
    out += char(v & 0xFF);
    out += char(v >> 8);
}

void put32(QByteArray &out, quint32 v) {
    put16(out, quint16(v & 0xFFFF));
    put16(out, quint16(v >> 16));
}

static quint32 colorRef(const QColor &c) {
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

PageWriter::PageWriter(int width, int height, int unitsPerInch)
    : m_width(width), m_height(height), m_inch(unitsPerInch) {
    // Logical units are page units: window origin at the page's corner, extent the page.
    record(SetWindowOrg, {0, 0});
    record(SetWindowExt, {qint16(height), qint16(width)});
    record(SetBkMode, {1}); // transparent: text never paints its background
    record(SetTextAlign, {AlignLeft | AlignTop});
}

void PageWriter::record(quint16 function, std::initializer_list<qint16> params, const QByteArray &tail) {
    quint32 words = 3 + quint32(params.size()) + quint32(tail.size() + 1) / 2;
    put32(m_records, words);
    put16(m_records, function);
    for (qint16 p : params) put16(m_records, quint16(p));
    m_records += tail;
    if (tail.size() % 2) m_records += '\0';
    m_maxRecord = std::max(m_maxRecord, words);
}

int PageWriter::allocate() {
    int slot = int(m_slots.indexOf(false));
    if (slot < 0) {
        slot = int(m_slots.size());
        m_slots << true;
    } else {
        m_slots[slot] = true;
    }
    m_maxObjects = std::max(m_maxObjects, int(m_slots.count(true)));
    return slot;
}

int PageWriter::createFont(const LogFont &font) {
    QByteArray tail;
    tail += char(font.italic ? 1 : 0);
    tail += char(font.underline ? 1 : 0);
    tail += char(0);  // strike-out
    tail += char(0);  // ANSI character set
    tail += char(0);  // default output precision
    tail += char(0);  // default clip precision
    tail += char(0);  // default quality
    tail += char(0);  // default pitch and family
    QByteArray face = font.face.toLatin1().left(31);
    face.resize(32, '\0');
    tail += face;
    record(CreateFontIndirect, {font.height, 0, 0, 0, font.weight}, tail);
    return allocate();
}

int PageWriter::createPen(int width, const QColor &color, bool nullPen) {
    QByteArray tail;
    put32(tail, colorRef(color));
    record(CreatePenIndirect, {qint16(nullPen ? 5 : 0), qint16(width), 0}, tail);
    return allocate();
}

int PageWriter::createBrush(const QColor &color, bool nullBrush) {
    QByteArray tail;
    put32(tail, colorRef(color));
    put16(tail, 0); // hatch
    record(CreateBrushIndirect, {qint16(nullBrush ? 1 : 0)}, tail);
    return allocate();
}

void PageWriter::selectObject(int slot) { record(SelectObject, {qint16(slot)}); }

void PageWriter::deleteObject(int slot) {
    record(DeleteObject, {qint16(slot)});
    if (slot >= 0 && slot < m_slots.size()) m_slots[slot] = false;
}

void PageWriter::setTextColor(const QColor &color) {
    QByteArray tail;
    put32(tail, colorRef(color));
    record(SetTextColor, {}, tail);
}

void PageWriter::textOut(int x, int y, const QByteArray &text, const QRect *clip) {
    if (clip) {
        record(ExtTextOut,
               {qint16(y), qint16(x), qint16(text.size()), Clipped, qint16(clip->left()),
                qint16(clip->top()), qint16(clip->left() + clip->width()),
                qint16(clip->top() + clip->height())},
               text);
    } else {
        record(ExtTextOut, {qint16(y), qint16(x), qint16(text.size()), 0}, text);
    }
}

void PageWriter::moveTo(int x, int y) { record(MoveTo, {qint16(y), qint16(x)}); }
void PageWriter::lineTo(int x, int y) { record(LineTo, {qint16(y), qint16(x)}); }

void PageWriter::rectangle(int left, int top, int right, int bottom) {
    record(Rectangle, {qint16(bottom), qint16(right), qint16(top), qint16(left)});
}

QByteArray PageWriter::finish() {
    // Objects still alive are deleted, so a page always ends with records after its last
    // text; readers that stop short of the end record then still see every text.
    for (int slot = 0; slot < m_slots.size(); ++slot)
        if (m_slots[slot]) deleteObject(slot);
    record(EndOfFile, {});

    QByteArray out;
    out.reserve(PlaceableSize + HeaderWords * 2 + m_records.size());
    put32(out, PlaceableKey);
    put16(out, 0); // handle
    put16(out, 0);
    put16(out, 0);
    put16(out, quint16(m_width));
    put16(out, quint16(m_height));
    put16(out, quint16(m_inch));
    put32(out, 0); // reserved
    put16(out, Placeable::checksumOf(reinterpret_cast<const uchar *>(out.constData())));

    put16(out, 1);      // in memory
    put16(out, HeaderWords);
    put16(out, 0x0300); // version
    put32(out, quint32(HeaderWords + m_records.size() / 2));
    put16(out, quint16(std::max(m_maxObjects, 1)));
    put32(out, m_maxRecord);
    put16(out, 0);
    out += m_records;
    return out;
}

quint16 Placeable::checksumOf(const uchar *bytes) {
    quint16 sum = 0;
    for (int i = 0; i < 10; ++i) sum ^= u16(bytes + 2 * i);
    return sum;
}

qint16 Record::word(int i) const {
    if (2 * i + 1 >= params.size()) return 0;
    return qint16(u16(reinterpret_cast<const uchar *>(params.constData()) + 2 * i));
}

Page read(const QByteArray &bytes) {
    Page page;
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    const qsizetype n = bytes.size();
    if (n < PlaceableSize + HeaderWords * 2 || u32(p) != PlaceableKey) return page;
    page.placeable.key = u32(p);
    page.placeable.left = qint16(u16(p + 6));
    page.placeable.top = qint16(u16(p + 8));
    page.placeable.right = qint16(u16(p + 10));
    page.placeable.bottom = qint16(u16(p + 12));
    page.placeable.inch = u16(p + 14);
    page.placeable.checksum = u16(p + 20);
    qsizetype at = PlaceableSize + 2 * qsizetype(u16(p + PlaceableSize + 2));
    while (at + 6 <= n) {
        const quint32 words = u32(p + at);
        const quint16 function = u16(p + at + 4);
        if (function == EndOfFile) {
            page.ok = true;
            break;
        }
        if (words < 3 || at + 2 * qsizetype(words) > n) break;
        page.records.append({function, bytes.mid(at + 6, 2 * qsizetype(words) - 6)});
        at += 2 * qsizetype(words);
    }
    return page;
}

Page readFile(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return read(file.readAll());
}

} // namespace wmf
