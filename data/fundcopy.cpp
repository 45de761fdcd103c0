#include "fundcopy.h"

#include "records.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using storage::Database;

namespace {
// Beyond this many, differing accounts are counted rather than listed.
constexpr int ListedAccounts = 10;

QString total(const std::optional<qint64> &units, int places) {
    return units ? Decimal(*units, places).toString() : QStringLiteral("none");
}

// Two data directories that reach one database: the same directory, or one server database.
bool sameFund(const storage::Location &a, const storage::Location &b) {
    if (a.engine != b.engine) return false;
    if (a.isServer())
        return a.host.compare(b.host, Qt::CaseInsensitive) == 0 && a.port == b.port && a.name == b.name;
    const QString ca = QFileInfo(a.dataDir).canonicalFilePath(), cb = QFileInfo(b.dataDir).canonicalFilePath();
    return !ca.isEmpty() && ca == cb;
}

void removeFundFile(const QString &dir) {
    for (const char *suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(QDir(dir).filePath(QString(Database::FileName) + suffix));
}
} // namespace

std::optional<FundComparison> compareFunds(Database &source, Database &copy) {
    FundComparison c;
    for (const storage::FileDef *def : allFiles()) {
        const std::optional<qint64> a = storage::recordCount(source, *def);
        if (!a) return std::nullopt;
        const std::optional<qint64> b = storage::recordCount(copy, *def);
        if (!b) return std::nullopt;
        c.records += *a;
        if (*a != *b)
            c.differences << QString("%1: %2 records in the source, %3 in the copy").arg(def->name).arg(*a).arg(*b);
    }
    const storage::FileDef &tra = Trans::layout().def();
    const int account = tra.fieldIndex("ACCTNUM"), amount = tra.fieldIndex("TRANSAMOUNT");
    const int places = tra.fields[amount].places;
    const auto a = storage::sumsBy(source, tra, account, amount);
    if (!a) return std::nullopt;
    const auto b = storage::sumsBy(copy, tra, account, amount);
    if (!b) return std::nullopt;
    // Both lists are in account order: one pass over the two side by side.
    qsizetype i = 0, j = 0, listed = 0, unlisted = 0;
    while (i < a->size() || j < b->size()) {
        std::optional<qint64> x, y;
        qint64 acct;
        if (j >= b->size() || (i < a->size() && (*a)[i].first < (*b)[j].first)) {
            acct = (*a)[i].first, x = (*a)[i++].second;
        } else if (i >= a->size() || (*b)[j].first < (*a)[i].first) {
            acct = (*b)[j].first, y = (*b)[j++].second;
        } else {
            acct = (*a)[i].first, x = (*a)[i++].second, y = (*b)[j++].second;
        }
        ++c.accounts;
        if (x == y) continue;
        if (listed++ >= ListedAccounts) {
            ++unlisted;
            continue;
        }
        c.differences << QString("account %1: transactions total %2 in the source, %3 in the copy")
                             .arg(acct)
                             .arg(total(x, places), total(y, places));
    }
    if (unlisted > 0) c.differences << QString("and %1 more accounts differ").arg(unlisted);
    return c;
}

FundCopy::Outcome FundCopy::failed(const QString &why) {
    m_error = why;
    return Failed;
}

FundCopy::Outcome FundCopy::run() {
    m_error.clear();
    m_held = 0;
    // A fund file from a backup is copied aside first: opening it may bring it up to the current
    // layout, and the backup itself stays as it was written.
    std::optional<QTemporaryDir> unpacked;
    QString fromDir = m_from;
    if (QFileInfo(m_from).isFile()) {
        unpacked.emplace();
        if (!unpacked->isValid() || !QFile::copy(m_from, QDir(unpacked->path()).filePath(Database::FileName)))
            return failed(QString("the fund file %1 could not be read").arg(m_from));
        fromDir = unpacked->path();
    }
    const storage::Location from = storage::Location::of(fromDir), to = storage::Location::of(m_to);
    if (sameFund(from, to)) return failed(QString("%1 and %2 are the same fund").arg(m_from, m_to));
    auto source = Database::open(from, Database::MustExist);
    if (!source) return failed(QString("%1 holds no fund that can be read: %2").arg(m_from, storage::lastErrorText()));

    const bool newTarget = !to.isServer() && !QFileInfo::exists(QDir(m_to).filePath(Database::FileName));
    Outcome outcome = Failed;
    {
        auto target = Database::open(to);
        if (!target)
            return failed(QString("the fund in %1 could not be opened: %2").arg(m_to, storage::lastErrorText()));
        std::optional<FundComparison> checked;
        storage::CopyOptions options;
        options.replace = m_replace;
        options.copied = [this](const storage::FileDef &def, qint64 n) {
            say(QString("%1: %2 records").arg(def.name).arg(n));
        };
        // Checked before the copy is committed: a copy that does not match is never kept.
        options.verify = [&](QString &why) {
            checked = compareFunds(*source, *target);
            if (!checked) {
                why = "the copy could not be checked: " + storage::lastErrorText();
                return false;
            }
            if (checked->same()) return true;
            why = "the copy does not match the source:\n  " + checked->differences.join("\n  ");
            return false;
        };
        const storage::CopyResult result = storage::copyFiles(*source, *target, allFiles(), options);
        switch (result.status) {
        case storage::CopyResult::Copied:
            say(QString("copied %1 records in %2 files from %3 to %4")
                    .arg(result.total())
                    .arg(result.records.size())
                    .arg(m_from, m_to));
            say(QString("checked: the record count of every file and the transaction total of each of "
                        "the %1 accounts are the same in both")
                    .arg(checked->accounts));
            outcome = Copied;
            break;
        case storage::CopyResult::TargetHoldsFund:
            m_held = result.targetRecords;
            m_error = QString("%1 already holds a fund (%2 records); nothing was copied").arg(m_to).arg(m_held);
            return TargetHoldsFund;
        case storage::CopyResult::Failed:
            m_error = QString("nothing was copied, %1 is as it was: %2").arg(m_to, result.error);
            break;
        }
    }
    // A fund file this run made for the copy goes again with the copy.
    if (outcome == Failed && newTarget) removeFundFile(m_to);
    return outcome;
}
