#pragma once
// Windows placeable metafiles: the byte layout of our report pages. The writer produces one page;
// the reader walks the records of a page for the player and the page-to-text routines.
// All values are little-endian; record sizes are counted in 16-bit words.
#include <QByteArray>
#include <QColor>
#include <QList>
#include <QRect>
#include <QString>

namespace wmf {

inline constexpr quint32 PlaceableKey = 0x9AC6CDD7;
inline constexpr int PlaceableSize = 22;
inline constexpr int HeaderWords = 9;

enum Function : quint16 {
    EndOfFile = 0x0000,
    SetBkMode = 0x0102,
    SetTextAlign = 0x012E,
    SelectObject = 0x012D,
    DeleteObject = 0x01F0,
    SetTextColor = 0x0209,
    SetWindowOrg = 0x020B,
    SetWindowExt = 0x020C,
    LineTo = 0x0213,
    MoveTo = 0x0214,
    CreatePenIndirect = 0x02FA,
    CreateFontIndirect = 0x02FB,
    CreateBrushIndirect = 0x02FC,
    Rectangle = 0x041B,
    ExtTextOut = 0x0A32,
};

// ExtTextOut options: either one means a clipping/opaquing rectangle follows the options.
enum TextOption : quint16 { Opaque = 0x0002, Clipped = 0x0004 };
// Text alignment flags (horizontal part in the low bits, vertical part above).
enum TextAlign : quint16 { AlignLeft = 0, AlignRight = 2, AlignCenter = 6, AlignTop = 0,
                           AlignBottom = 8, AlignBaseline = 24 };

struct LogFont {
    qint16 height = 0; // negative: character (em) height in page units
    qint16 weight = 400;
    bool italic = false;
    bool underline = false;
    QString face;      // at most 31 characters
};

// Builds one page: setup records first, then what the caller draws, then the cleanup and the end.
class PageWriter {
public:
    // A page `width` x `height` units, `unitsPerInch` units to the inch.
    PageWriter(int width, int height, int unitsPerInch);

    // Objects return their slot in the object table; slots freed by deleteObject are reused.
    int createFont(const LogFont &font);
    int createPen(int width, const QColor &color, bool nullPen = false);
    int createBrush(const QColor &color, bool nullBrush);
    void selectObject(int slot);
    void deleteObject(int slot);

    void setTextColor(const QColor &color);
    // Text whose top-left corner is (x, y); `clip` adds the rectangle with the clipped option.
    void textOut(int x, int y, const QByteArray &text, const QRect *clip = nullptr);
    void moveTo(int x, int y);
    void lineTo(int x, int y);
    void rectangle(int left, int top, int right, int bottom);

    // The whole file: placeable header, metafile header, records, and the end record.
    QByteArray finish();

private:
    void record(quint16 function, std::initializer_list<qint16> params, const QByteArray &tail = {});
    int allocate();

    int m_width, m_height, m_inch;
    QByteArray m_records;
    QList<bool> m_slots; // true while the slot holds an object
    int m_maxObjects = 0;
    quint32 m_maxRecord = 0;
};

// The 22-byte placeable header.
struct Placeable {
    quint32 key = 0;
    qint16 left = 0, top = 0, right = 0, bottom = 0;
    quint16 inch = 0;
    quint16 checksum = 0;
    // XOR of the ten 16-bit words before the checksum.
    static quint16 checksumOf(const uchar *bytes);
};

struct Record {
    quint16 function = 0;
    QByteArray params; // the record's bytes after its 6-byte size and function

    qint16 word(int i) const; // i-th 16-bit parameter; 0 beyond the end
};

// A page read back: its placeable header and records, up to the end record.
struct Page {
    bool ok = false;
    Placeable placeable;
    QList<Record> records;
};
Page read(const QByteArray &bytes);
Page readFile(const QString &path);

// Little-endian access, used by every routine that walks page files.
inline quint16 u16(const uchar *p) { return quint16(p[0] | (p[1] << 8)); }
inline quint32 u32(const uchar *p) { return quint32(u16(p)) | (quint32(u16(p + 2)) << 16); }
void put16(QByteArray &out, quint16 v);
void put32(QByteArray &out, quint32 v);

} // namespace wmf
