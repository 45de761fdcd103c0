#pragma once
// Descriptions of data files: fields with their widths and byte positions, keys with their order.
#include <QList>
#include <QString>
#include <QVariant>

namespace storage {
enum class FieldType { Long, Byte, String, Decimal, Memo };

struct FieldDef {
    QString name;
    FieldType type = FieldType::Long;
    int size = 4;     // bytes in the record: characters for strings, packed bytes for decimals
    int places = 0;   // decimals only
    int offset = 0;   // byte position in the fixed-length record; memos are outside the record
    int digits() const { return type == FieldType::Decimal ? size * 2 - 1 : 0; }
};

struct KeyPart {
    int field = 0;
    bool descending = false;
};

struct KeyDef {
    QString name;       // "AcctNum_Key"
    QList<KeyPart> parts;
    bool upper = false; // text components compared in upper case
    bool unique = false;
    QList<int> include; // fields carried in the index after the key, so sums over a range
                        // read the index alone
};

struct FileDef {
    QString name;   // "MemberCU"; also the table's name
    QString prefix; // "MEM"
    QList<FieldDef> fields;
    QList<KeyDef> keys;
    int recordSize = 0;
    int fieldIndex(const QString &field) const;
    int keyIndex(const QString &key) const;
};

// One value per field: int for Long and Byte, QString for String and Memo, qint64 units for Decimal.
using Row = QList<QVariant>;

// An identifier for SQL, quoted so that field names such as DESC are never taken for keywords.
inline QString sqlName(const QString &name) { return "\"" + name + "\""; }
} // namespace storage
