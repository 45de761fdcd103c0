#include "textfile.h"

namespace FixedWidth {
QString left(const QString &text, int width) { return text.left(width).leftJustified(width, ' '); }

QString right(const QString &text, int width) {
    return text.size() > width ? text.right(width) : text.rightJustified(width, ' ');
}

QString zeros(qint64 value, int width) {
    QString digits = QString::number(value < 0 ? -value : value);
    if (value < 0) return "-" + digits.rightJustified(width - 1, '0').right(width - 1);
    return digits.rightJustified(width, '0').right(width);
}

QString cents(const Decimal &amount, int width) { return zeros(amount.unitsAt(2), width); }

// The printable range of Windows-1252 that differs from Latin-1 (0x80-0x9F).
static const char16_t cp1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

QString decode(const QByteArray &bytes) {
    QString out;
    out.reserve(bytes.size());
    for (char b : bytes) {
        uchar c = uchar(b);
        out += (c >= 0x80 && c < 0xA0 && cp1252[c - 0x80]) ? QChar(cp1252[c - 0x80]) : QChar(c);
    }
    return out;
}

QByteArray encode(const QString &text) {
    // Written through a pointer: files of tens of thousands of 750-byte records pass here.
    QByteArray out(text.size(), Qt::Uninitialized);
    char *to = out.data();
    for (QChar c : text) {
        char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            *to++ = char(u);
            continue;
        }
        char mapped = '?';
        for (int i = 0; i < 32; ++i)
            if (cp1252[i] == u && u != 0) mapped = char(0x80 + i);
        *to++ = mapped;
    }
    return out;
}
} // namespace FixedWidth

FixedWidthFile::FixedWidthFile(const QString &path) : m_file(path) {}

bool FixedWidthFile::open() { return m_file.open(QIODevice::WriteOnly); }

void FixedWidthFile::writeLine(const QString &line, int width) {
    QByteArray bytes = FixedWidth::encode(width > 0 ? FixedWidth::left(line, width) : line);
    bytes += "\r\n";
    if (m_file.write(bytes) != bytes.size()) m_failed = true;
    ++m_lines;
}

bool FixedWidthFile::commit() {
    if (m_failed) {
        m_file.cancelWriting();
        return false;
    }
    return m_file.commit();
}
