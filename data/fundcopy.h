#pragma once
// A whole fund copied from one data directory into another, whichever engine each one's
// database is on, and checked before the copy is kept: every file's record count and each
// account's total of its transaction amounts must be the same on both sides.
#include "platform/storage/copy.h"

#include <QStringList>
#include <functional>
#include <optional>

struct FundComparison {
    QStringList differences; // in words, one line each; empty when the funds agree
    qint64 records = 0;      // in the first fund, every file
    qint64 accounts = 0;     // accounts with transactions, in either fund
    bool same() const { return differences.isEmpty(); }
};

// Compares `source` with `copy`; nullopt (lastError) when either cannot be read.
std::optional<FundComparison> compareFunds(storage::Database &source, storage::Database &copy);

class FundCopy {
public:
    enum Outcome { Copied, TargetHoldsFund, Failed };

    // `from` is a data directory or a fund file written by the backup; `to` a data directory
    // (made when it is not there).
    FundCopy(const QString &from, const QString &to) : m_from(from), m_to(to) {}
    void setReplace(bool replace) { m_replace = replace; }
    // Each line of progress and of the result, as it comes.
    void setReporter(std::function<void(const QString &)> say) { m_say = std::move(say); }

    Outcome run();
    QString error() const { return m_error; }       // Failed, TargetHoldsFund: why, in a sentence
    qint64 targetRecords() const { return m_held; } // TargetHoldsFund: what the target holds

private:
    Outcome failed(const QString &why);
    void say(const QString &line) {
        if (m_say) m_say(line);
    }
    QString m_from, m_to;
    bool m_replace = false;
    std::function<void(const QString &)> m_say;
    QString m_error;
    qint64 m_held = 0;
};
