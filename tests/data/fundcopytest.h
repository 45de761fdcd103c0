#pragma once
// Funds with a record in every field of every file, and a field-by-field comparison of two funds,
// for the tests of copying a fund between data directories and engines.
#include "data/fundcopy.h"
#include "data/records.h"
#include "platform/storage/table.h"

#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace fundcopytest {
using storage::Database;
using storage::FieldType;
using storage::FileDef;
using storage::Table;

// A value of field `f` for the i-th record of a fund numbered `seed`: different per record, per
// field and per fund.
inline QVariant value(const FileDef &def, int f, int i, int seed) {
    const storage::FieldDef &field = def.fields[f];
    switch (field.type) {
    case FieldType::Long: return QVariant(qint32((seed * 100000 + i * 131 + f) * (i % 3 == 2 ? -1 : 1)));
    case FieldType::Byte: return QVariant((seed + i * 7 + f) % 256);
    case FieldType::Decimal: {
        const qint64 cents = (qint64(seed) * 1000003 + i * 1234567LL + f) % 99999999999LL;
        return QVariant(i % 2 ? -cents : cents);
    }
    case FieldType::String: {
        // Characters that have no lower case, so that a one-character key stays unique in upper case.
        static const QString first = [] {
            QString s;
            for (char16_t c = 0x21; c < 0x7f; ++c)
                if (c < u'a' || c > u'z') s += QChar(c);
            for (char16_t c = 0xa1; c < 0xc0; ++c)
                if (c != 0xb5) s += QChar(c); // the micro sign has a Greek capital
            return s;
        }();
        return QVariant((first.at(i % first.size()) + QString("|%1|%2|%3").arg(i).arg(seed).arg(field.name) + " MÜLLER ")
                            .left(field.size));
    }
    case FieldType::Memo:
        return QVariant(QString("Note %1 of fund %2,\r\nsecond line \"quoted\" 'single' ü\n").arg(i).arg(seed));
    }
    return {};
}

// Adds `n` records to every file; every third record is changed once (version 2) and every
// fifth deleted, so that positions have gaps and versions differ.
inline void fill(Database &db, int n, int seed) {
    for (const FileDef *def : allFiles()) {
        if (!db.exists(*def)) {
            ASSERT_TRUE(db.create(*def)) << def->name.toStdString();
        }
        Table t(db, *def);
        ASSERT_TRUE(t.open());
        QList<qint64> added;
        for (int i = 0; i < n; ++i) {
            t.clearBuffer();
            for (int f = 0; f < def->fields.size(); ++f) t.row[f] = value(*def, f, i, seed);
            ASSERT_TRUE(t.add()) << def->name.toStdString() << " " << storage::lastErrorText().toStdString();
            added << t.pos;
        }
        for (int i = 0; i < n; ++i) {
            ASSERT_TRUE(t.getPosition(added[i]));
            if (i % 5 == 4) {
                ASSERT_TRUE(t.remove());
            } else if (i % 3 == 1) {
                const int last = def->fields.size() - 1;
                t.row[last] = value(*def, last, i + 1000, seed);
                ASSERT_TRUE(t.put());
            }
        }
    }
}

// Transactions of one account: duplicates of one date, so that their order is the order of entry.
inline void addTrans(Database &db, qint32 acct, qint32 date, qint64 cents, const QString &desc = {}) {
    storage::DataFile<Trans> tra(db);
    ASSERT_TRUE(tra.open());
    tra.rec.ACCTNUM = acct;
    tra.rec.TRANSDATE = date;
    tra.rec.TRANSAMOUNT = Decimal::fromCents(cents);
    tra.rec.DESC = desc;
    ASSERT_TRUE(tra.add());
}

struct Stored {
    qint64 pos, version;
    storage::Row row;
    bool operator==(const Stored &) const = default;
};

// Every record of a file in record order, or in a key's order.
inline QList<Stored> records(Database &db, const FileDef &def, int key = Table::RecordOrder) {
    QList<Stored> out;
    Table t(db, def);
    EXPECT_TRUE(t.open()) << def.name.toStdString();
    if (key == Table::RecordOrder) {
        t.setRecordOrder();
    } else {
        t.set(key, 0);
    }
    while (t.next()) out << Stored{t.pos, t.version, t.row};
    EXPECT_FALSE(t.failed());
    return out;
}

inline QList<QPair<QString, QString>> meta(Database &db) {
    QList<QPair<QString, QString>> out;
    QSqlQuery q(db.sql());
    EXPECT_TRUE(q.exec("SELECT name, value FROM pension_meta ORDER BY name"));
    while (q.next()) out << qMakePair(q.value(0).toString(), q.value(1).toString());
    return out;
}

// Two funds hold the same: every file's records with their positions and versions, field by
// field, in record order and in the order of every key; the schema version and the meta data.
inline void expectSameFund(Database &a, Database &b) {
    for (const FileDef *def : allFiles()) {
        SCOPED_TRACE(def->name.toStdString());
        ASSERT_TRUE(b.exists(*def));
        EXPECT_TRUE(b.keysValid(*def));
        const QList<Stored> ra = records(a, *def), rb = records(b, *def);
        ASSERT_EQ(ra.size(), rb.size());
        for (qsizetype i = 0; i < ra.size(); ++i) {
            ASSERT_EQ(ra[i].pos, rb[i].pos) << "record " << i;
            EXPECT_EQ(ra[i].version, rb[i].version) << "record " << i;
            for (int f = 0; f < def->fields.size(); ++f)
                EXPECT_EQ(ra[i].row[f], rb[i].row[f]) << def->fields[f].name.toStdString() << " of record " << i;
        }
        for (int k = 0; k < def->keys.size(); ++k) {
            QList<qint64> pa, pb;
            for (const Stored &s : records(a, *def, k)) pa << s.pos;
            for (const Stored &s : records(b, *def, k)) pb << s.pos;
            EXPECT_EQ(pa, pb) << def->keys[k].name.toStdString();
        }
    }
    EXPECT_EQ(a.schemaVersion(), b.schemaVersion());
    EXPECT_EQ(meta(a), meta(b));
}
// A record added to the copy comes after every copied one, also after the source's last.
inline void expectAddedAfterCopied(Database &source, Database &copy) {
    const FileDef &tra = Trans::layout().def();
    const qint64 last = records(source, tra).last().pos;
    Table t(copy, tra);
    ASSERT_TRUE(t.open());
    ASSERT_TRUE(t.add());
    EXPECT_GT(t.pos, last);
}
} // namespace fundcopytest
