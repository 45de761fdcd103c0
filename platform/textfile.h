#pragma once
// Fixed-width text output: lines written byte-exact in Windows-1252 with CR LF, trailing blanks kept.
// The file appears only when commit() succeeds, so a failed run leaves nothing half-written.
#include "decimal.h"

#include <QSaveFile>
#include <QString>

namespace FixedWidth {
QString left(const QString &text, int width);           // clipped or blank-padded on the right
QString right(const QString &text, int width);          // blank-padded on the left, cut on the left
QString zeros(qint64 value, int width);                  // right-aligned, zero-filled; '-' first if negative
QString cents(const Decimal &amount, int width);         // amount in cents, zero-filled, no point
QByteArray encode(const QString &text);                  // Windows-1252 bytes; '?' for what it cannot hold
QString decode(const QByteArray &bytes);                 // Windows-1252 bytes back to text
} // namespace FixedWidth

class FixedWidthFile {
public:
    explicit FixedWidthFile(const QString &path);
    bool open();
    // Writes one line; `width` > 0 pads or cuts it to exactly that many characters.
    void writeLine(const QString &line, int width = 0);
    bool commit();  // false when anything failed; the target is left untouched then
    QString errorString() const { return m_file.errorString(); }
    qint64 lines() const { return m_lines; }

private:
    QSaveFile m_file;
    qint64 m_lines = 0;
    bool m_failed = false;
};
