#include "memberimports.h"

#include "common/app.h"
#include "data/records.h"
#include "platform/clock.h"
#include "platform/picture.h"
#include "platform/storage/datafile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <vector>

using Imports::clipped;
using Imports::Verdict;

namespace {
const QString kMembersFile = QStringLiteral("BASIC.TXT");
const QString kHistoryFile = QStringLiteral("SHARENT.TXT");
const QString kBalanceFile = QStringLiteral("SHARE.TXT");
const QString kCodesFile = QStringLiteral("depwith.dat");

const QString kAsk565Caption = QStringLiteral("Import Members");
const QString kAsk565 = QStringLiteral("Are you importing Local 565 Information?");
const QString kWaitTitle = QStringLiteral("Import Process");
const QString kMembersWait = QStringLiteral("Converting Member Information !");
const QString kMembersWait2 = QStringLiteral("Please Wait ... ");
const QString kHistoryWait = QStringLiteral("Importing Share Transaction Data !");
const QString kCodesWait = QStringLiteral("Importing Transaction Codes");
const QString kPleaseWait = QStringLiteral("Please Wait ....");
const QString kFinishedCaption = QStringLiteral("Import Finished");
const QString kMembersDone = QStringLiteral("Completed Updating MEMBERCU Data.");
const QString kTransDone = QStringLiteral("Transaction Data Imported");
const QString kNoMembersCaption = QStringLiteral("Error  ...");
const QString kNoMembers = QStringLiteral("Member Database Must Be Created First.");
const QString kPreviousBalance = QStringLiteral("Previous Balance");

// The messages of a step that failed, per import: open the text file, create (empty) the target,
// open it for batched writing, read the text file.
struct Prefixes {
    QString open, create, share, next;
};
const Prefixes kMemberPrefixes{QStringLiteral("OPEN IMPORTFILE - "), QStringLiteral("CREATE MEMBERCU - "),
                               QStringLiteral("OPEN MEMBERCU - "), QStringLiteral("IMPORTFILE NEXT ")};
const Prefixes kTransPrefixes{QStringLiteral("Open Share Transaction Import File - "),
                              QStringLiteral("Create Share Transaction Data - "),
                              QStringLiteral("Share Share Transaction Data - "),
                              QStringLiteral("IMPORTFILE NEXT ")};
const Prefixes kCodePrefixes{QStringLiteral("Open Transaction Codes Import File - "),
                             QStringLiteral("Create Transaction Code Data - "),
                             QStringLiteral("Share Transaction Code Data - "),
                             QStringLiteral("IMPORTFILE NEXT ")};

constexpr int kMemberWidth = 380, kHistoryWidth = 49, kBalanceWidth = 406, kCodeWidth = 200;

QString quoted(QStringView text) {
    return QStringLiteral("'%1'").arg(text.trimmed());
}

// Column 2 and the Local 565 answer: Yes takes the groups 0 to 7, No the groups 8 and 9.
Verdict group(QStringView line, bool local565, QString &why) {
    const QStringView g = Imports::column(line, 2, 1);
    qint64 value = 0;
    if (!g.trimmed().isEmpty() && !Imports::digits(g, value)) {
        why = QStringLiteral("group digit %1 is not a number").arg(quoted(g));
        return Verdict::Bad;
    }
    return (local565 ? value < 8 : value > 7) ? Verdict::Take : Verdict::Skip;
}

bool account(QStringView line, qint32 &acct, QString &why) {
    const QStringView text = Imports::column(line, 3, 9);
    qint64 value = 0;
    if (!Imports::digits(text, value)) {
        why = QStringLiteral("account number %1 is not a number").arg(quoted(text));
        return false;
    }
    acct = qint32(value);
    return true;
}

// Dates of a two-digit-year picture by the million: each distinct yymmdd is read once.
class Dates {
public:
    explicit Dates(const QString &picture) : m_picture(picture) {}
    // The day of six digits; 0 when they are no date.
    qint32 day(QStringView sixDigits, qint64 value) {
        if (m_days.empty()) m_days.assign(1000000, -1);
        qint32 &known = m_days[size_t(value)];
        if (known < 0) {
            bool ok = false;
            const qint32 day = Picture::deformatDate(sixDigits.toString(), m_picture, &ok);
            known = ok ? day : 0;
        }
        return known;
    }

private:
    QString m_picture;
    std::vector<qint32> m_days; // by the value of the six digits; -1 not read yet
};

// yymmdd; blank or zeros are no date.
bool yymmdd(QStringView text, Dates &dates, const QString &what, qint32 &day, QString &why) {
    const QStringView t = text.trimmed();
    day = 0;
    if (t.isEmpty() || t == u"000000") return true;
    qint64 value = 0;
    if (t.size() == 6 && Imports::digits(t, value)) day = dates.day(t, value);
    if (day == 0) why = QStringLiteral("%1 %2 is not a date").arg(what, quoted(text));
    return day != 0;
}

bool needs(QStringView line, int width, QString &why) {
    if (line.size() >= width) return true;
    why = QStringLiteral("only %1 characters; the line needs %2").arg(line.size()).arg(width);
    return false;
}

// The local's number in the miscellaneous-2 text: after "LOCAL #", "LOCAL#" or "LOCAL" (read from
// the text's 8th, 7th or 6th character), else the whole text; its leading digits, 0 without any.
qint32 localCode(const QString &misc2) {
    const QString text = clipped(misc2).toUpper();
    QString number = text;
    if (text.contains(QStringLiteral("LOCAL #"))) number = text.mid(7);
    else if (text.contains(QStringLiteral("LOCAL#"))) number = text.mid(6);
    else if (text.contains(QStringLiteral("LOCAL"))) number = text.mid(5);
    number = number.trimmed();
    qsizetype n = 0;
    while (n < number.size() && n < 9 && number[n].isDigit()) ++n;
    return n == 0 ? 0 : number.left(n).toInt();
}

// The member master's dates: birth and joined within the 99 years up to today, closed by the
// picture's own century rule.
struct MemberDates {
    Dates recent{QStringLiteral("@d11<99")};
    Dates closed{QStringLiteral("@d11")};
};

Verdict parseMember(QStringView line, bool local565, MemberDates &dates, MemberCU &m, QString &why) {
    if (Imports::overlong(line, kMemberWidth)) {
        why = Imports::overlongText(line, kMemberWidth);
        return Verdict::Bad;
    }
    const Verdict g = group(line, local565, why);
    if (g != Verdict::Take) return g;
    // Only lines marked "N" are members to keep.
    if (Imports::column(line, 260, 1).compare(u"N", Qt::CaseInsensitive) != 0) return Verdict::Skip;
    m = MemberCU();
    auto text = [&](int from, int width) { return clipped(Imports::column(line, from, width)); };
    if (!account(line, m.ACCTNUM, why)) return Verdict::Bad;
    if (!yymmdd(Imports::column(line, 135, 6), dates.recent, QStringLiteral("birth date"),
                m.BIRTHDATE, why) ||
        !yymmdd(Imports::column(line, 155, 6), dates.recent, QStringLiteral("date joined"),
                m.DATEJOINED, why) ||
        !yymmdd(Imports::column(line, 241, 6), dates.closed, QStringLiteral("date closed"),
                m.DATECLOSED, why))
        return Verdict::Bad;
    m.LASTNAME = text(12, 20);
    m.FIRSTNAME = text(32, 20);
    m.ADDR1 = text(52, 20);
    m.ADDR2 = text(72, 20);
    m.CITY = text(92, 20);
    m.STATE = text(112, 2);
    m.ZIP = text(114, 10);
    m.SSNUM = text(124, 11);
    m.USERID = text(141, 14);
    m.MISC1 = text(161, 20);
    m.MISC2 = text(181, 20);
    m.LOCALCODE = localCode(m.MISC2);
    m.MISC3 = text(201, 15);
    m.MISC4 = text(216, 15);
    m.MISC5 = text(231, 5);
    m.MISC6 = text(236, 5);
    m.WARNING = text(274, 40);
    m.JOINTOWNER = text(314, 25);
    m.WITHDRAWALFLAG = 1;
    return Verdict::Take;
}

// The history's descriptions, each kept once: millions of lines hold a few dozen of them.
class Descriptions {
public:
    quint32 id(const QString &text) {
        if (!m_texts.isEmpty() && m_texts[m_last] == text) return m_last;
        auto it = m_ids.constFind(text);
        if (it == m_ids.cend()) {
            it = m_ids.insert(text, quint32(m_texts.size()));
            m_texts << text;
        }
        return m_last = *it;
    }
    const QString &text(quint32 id) const { return m_texts[id]; }

private:
    QHash<QString, quint32> m_ids;
    QStringList m_texts;
    quint32 m_last = 0;
};

// A history line as it is stored, read once by the checking pass and kept for the writing.
struct HistoryRow {
    qint64 cents = 0; // signed
    qint32 acct = 0, date = 0, type = 0;
    quint32 desc = 0;
};

Verdict parseHistory(QStringView line, bool local565, Dates &dates, Descriptions &descriptions, HistoryRow &r,
                     QString &why) {
    if (Imports::overlong(line, kHistoryWidth)) {
        why = Imports::overlongText(line, kHistoryWidth);
        return Verdict::Bad;
    }
    const Verdict g = group(line, local565, why);
    if (g != Verdict::Take) return g;
    if (!needs(line, 30, why)) return Verdict::Bad;
    if (!account(line, r.acct, why)) return Verdict::Bad;
    const QStringView date = Imports::column(line, 14, 6);
    if (date.trimmed().isEmpty() || !yymmdd(date, dates, QStringLiteral("date"), r.date, why) || r.date == 0) {
        if (why.isEmpty()) why = QStringLiteral("date %1 is not a date").arg(quoted(date));
        return Verdict::Bad;
    }
    qint64 cents = 0;
    const QStringView amount = Imports::column(line, 20, 10);
    if (!Imports::digits(amount, cents)) {
        why = QStringLiteral("amount %1 is not a number").arg(quoted(amount));
        return Verdict::Bad;
    }
    const QChar letter = line[29];
    if (letter < u'A' || letter > u'Z') {
        why = QStringLiteral("type letter %1 is not a letter from A to Z").arg(quoted(line.mid(29, 1)));
        return Verdict::Bad;
    }
    r.type = letter.unicode() - 64;
    r.cents = r.type > 13 ? -cents : cents;
    if (r.type == 2) r.type = TransType::Dividend;
    r.desc = descriptions.id(clipped(Imports::column(line, 37, 13)));
    return Verdict::Take;
}

struct Balance {
    qint32 acct = 0;
    Decimal amount;
};

Verdict parseBalance(QStringView line, bool local565, Balance &b, QString &why) {
    if (Imports::overlong(line, kBalanceWidth)) {
        why = Imports::overlongText(line, kBalanceWidth);
        return Verdict::Bad;
    }
    const Verdict g = group(line, local565, why);
    if (g != Verdict::Take) return g;
    if (!needs(line, 33, why) || !account(line, b.acct, why)) return Verdict::Bad;
    qint64 cents = 0;
    const QStringView amount = Imports::column(line, 24, 10);
    if (!Imports::digits(amount, cents)) {
        why = QStringLiteral("balance %1 is not a number").arg(quoted(amount));
        return Verdict::Bad;
    }
    b.amount = Decimal::fromCents(cents);
    return Verdict::Take;
}

bool ask565(Dialogs &dialogs) {
    return dialogs.message(kAsk565Caption, kAsk565, Dlg::Question, Dlg::Yes | Dlg::No, Dlg::Yes) == Dlg::Yes;
}
} // namespace

bool MemberImport::run() {
    stored = 0;
    bad.clear();
    const bool local565 = ask565(m_dialogs);
    const QString path = locate(kMembersFile);
    if (path.isEmpty()) return false;
    openWait(kWaitTitle, kMembersWait, kMembersWait2);
    Imports::InputFile file;
    if (!load(file, path, kMemberPrefixes.open, kMemberPrefixes.next)) return false;
    MemberCU m;
    MemberDates dates;
    auto parse = [&](qsizetype i, QString &why) { return parseMember(file.line(i), local565, dates, m, why); };
    if (check(file, parse) == 0) {
        nothingToTake(file);
        return false;
    }
    storage::DataFile<MemberCU> mem(m_db);
    if (!openTarget(mem.table(), kMemberPrefixes.create, kMemberPrefixes.share)) return false;
    {
        storage::Transaction batch(m_db);
        if (!emptyTarget(batch, mem.table(), kMemberPrefixes.share, kMemberPrefixes.create, true)) return false;
        QString why;
        for (qsizetype i = 0; i < file.lineCount(); ++i) {
            if (parse(i, why) != Verdict::Take) continue;
            mem.rec = m;
            if (!mem.add()) break;
            ++stored;
            if ((stored & 255) == 0) tick(QString::number(i + 1));
        }
        if (stored != taken || !m_db.rebuildKeys(MemberCU::layout().def()) || !batch.commit()) {
            const QString error = storage::lastErrorText();
            batch.rollback();
            stored = 0;
            writeFailed(QStringLiteral("MEMBERCU"), error);
            return false;
        }
    }
    closeWait();
    m_dialogs.message(kFinishedCaption, kMembersDone, Dlg::Exclamation);
    reportBadLines(file.name());
    return true;
}

bool TransImport::run() {
    stored = balancesAdded = 0;
    bad.clear();
    storage::DataFile<MemberCU> mem(m_db);
    storage::DataFile<Trans> tra(m_db);
    if (!m_db.exists(MemberCU::layout().def()) || !mem.open() || !mem.first()) {
        if (mem.failed()) refuse(kTransPrefixes.share + storage::lastErrorText());
        else m_dialogs.message(kNoMembersCaption, kNoMembers, Dlg::Exclamation);
        return false;
    }
    if (!openTarget(tra.table(), kTransPrefixes.create, kTransPrefixes.share)) return false;
    const bool local565 = ask565(m_dialogs);
    const QString path = locate(kHistoryFile);
    if (path.isEmpty()) return false;
    openWait(kWaitTitle, kHistoryWait, kPleaseWait);
    Imports::InputFile file;
    if (!load(file, path, kTransPrefixes.open, kTransPrefixes.next)) return false;
    // Each line is read once: what the checking pass takes is kept for the writing.
    std::vector<HistoryRow> rows;
    HistoryRow row;
    Descriptions descriptions;
    // The history's two-digit years take the same century rule as the closed date.
    Dates dates(QStringLiteral("@d11"));
    auto parse = [&](qsizetype i, QString &why) {
        const Verdict v = parseHistory(file.line(i), local565, dates, descriptions, row, why);
        if (v == Verdict::Take) rows.push_back(row);
        return v;
    };
    if (check(file, parse) == 0) {
        nothingToTake(file);
        return false;
    }
    const qint64 historyLines = taken;
    const QString fileName = file.name();
    file = Imports::InputFile(); // its text is no longer needed

    // The opening balances: beside the history, else where the user points; none without it.
    Imports::InputFile balances;
    QString balancePath = QFileInfo(path).dir().filePath(kBalanceFile);
    if (!QFileInfo(balancePath).isFile()) {
        closeWait();
        balancePath = locate(kBalanceFile);
        openWait(kWaitTitle, kHistoryWait, kPleaseWait);
    }
    std::vector<Balance> opening;
    Balance b;
    auto parseB = [&](qsizetype i, QString &why) {
        const Verdict v = parseBalance(balances.line(i), local565, b, why);
        if (v == Verdict::Take) opening.push_back(b);
        return v;
    };
    if (!balancePath.isEmpty()) {
        if (!load(balances, balancePath, kTransPrefixes.open, kTransPrefixes.next)) return false;
        check(balances, parseB, 0, balances.name());
    }
    taken = historyLines;

    {
        storage::Transaction batch(m_db);
        if (!emptyTarget(batch, tra.table(), kTransPrefixes.share, kTransPrefixes.create, true)) return false;
        auto fail = [&] {
            const QString error = storage::lastErrorText();
            batch.rollback();
            stored = balancesAdded = 0;
            writeFailed(QStringLiteral("TRANS"), error);
            return false;
        };
        // The earliest history date of each account, for its opening balance.
        QHash<qint32, qint32> firstDate;
        qint32 earliest = 0;
        tra.clear();
        for (const HistoryRow &h : rows) {
            tra.rec.ACCTNUM = h.acct;
            tra.rec.TRANSDATE = h.date;
            tra.rec.TRANSAMOUNT = Decimal::fromCents(h.cents);
            tra.rec.TRANSTYPE = h.type;
            tra.rec.DESC = descriptions.text(h.desc);
            if (!tra.add()) return fail();
            qint32 &first = firstDate[h.acct];
            if (first == 0 || h.date < first) first = h.date;
            if (earliest == 0 || h.date < earliest) earliest = h.date;
            if ((++stored & 1023) == 0) tick(QString::number(stored));
        }
        // The accounts that have a member, in one walk of the members: cheaper than a look-up
        // per balance line.
        QSet<qint32> members;
        if (!opening.empty()) {
            mem.setStart(MemberCU::AcctNum_Key);
            while (mem.next()) members.insert(mem.rec.ACCTNUM);
            if (mem.failed()) return fail();
        }
        for (const Balance &balance : opening) {
            tick(QString::number(balance.acct).left(20));
            if (balance.amount.sign() <= 0 || !members.contains(balance.acct)) continue;
            // An account without history opens on the earliest date of the whole history, so
            // its balance still comes first.
            tra.clear();
            tra.rec.ACCTNUM = balance.acct;
            tra.rec.TRANSDATE = firstDate.value(balance.acct, earliest);
            tra.rec.TRANSAMOUNT = balance.amount;
            tra.rec.TRANSTYPE = TransType::CarriedBalance;
            tra.rec.DESC = kPreviousBalance;
            if (!tra.add()) return fail();
            ++balancesAdded;
        }
        // The keys were dropped for the load: built once, over the history and its balances.
        if (!m_db.rebuildKeys(Trans::layout().def()) || !batch.commit()) return fail();
    }
    closeWait();
    m_dialogs.message(kFinishedCaption, kTransDone, Dlg::Exclamation);
    reportBadLines(balances.lineCount() > 0 ? fileName + QStringLiteral(" and ") + balances.name() : fileName);
    return true;
}

bool TransCodeImport::run() {
    stored = 0;
    bad.clear();
    const QString path = locate(kCodesFile);
    if (path.isEmpty()) return false;
    openWait(kWaitTitle, kCodesWait, kPleaseWait);
    Imports::InputFile file;
    if (!load(file, path, kCodePrefixes.open, kCodePrefixes.next)) return false;
    TransDesc d;
    // The line's place in the file is its code; a blank line uses up its number.
    auto parse = [&](qsizetype i, QString &why) {
        const QString line = file.line(i);
        if (Imports::overlong(line, kCodeWidth)) {
            why = Imports::overlongText(line, kCodeWidth);
            return Verdict::Bad;
        }
        d = TransDesc();
        d.TRANSCODE = qint32(i + 1);
        d.TRANSDESC = clipped(clipped(line).left(30));
        d.POSITIVE = d.TRANSCODE <= 12 ? 1 : 0;
        return d.TRANSDESC.trimmed().isEmpty() ? Verdict::Skip : Verdict::Take;
    };
    if (check(file, parse) == 0) {
        nothingToTake(file);
        return false;
    }
    storage::DataFile<TransDesc> trd(m_db);
    if (!openTarget(trd.table(), kCodePrefixes.create, kCodePrefixes.share)) return false;
    {
        storage::Transaction batch(m_db);
        if (!emptyTarget(batch, trd.table(), kCodePrefixes.share, kCodePrefixes.create, false)) return false;
        QString why;
        for (qsizetype i = 0; i < file.lineCount(); ++i) {
            if (parse(i, why) != Verdict::Take) continue;
            trd.rec = d;
            if (!trd.add()) break;
            ++stored;
        }
        if (stored != taken || !batch.commit()) {
            const QString error = storage::lastErrorText();
            batch.rollback();
            stored = 0;
            writeFailed(QStringLiteral("TRANSDESC"), error);
            return false;
        }
    }
    closeWait();
    m_dialogs.message(kFinishedCaption, kTransDone, Dlg::Exclamation);
    reportBadLines(file.name());
    return true;
}

void IMPORTMEMBERS() {
    MemberImport run(App::db(), App::dialogs());
    Imports::attachWaitWindow(run);
    run.run();
}

void IMPORTTRANS() {
    TransImport run(App::db(), App::dialogs());
    Imports::attachWaitWindow(run);
    run.run();
}

void IMPORTTRANSCODES() {
    TransCodeImport run(App::db(), App::dialogs());
    Imports::attachWaitWindow(run);
    run.run();
}
