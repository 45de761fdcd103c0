// pension-station DIR MODE ...
// One station of the tests on several stations, run as its own process on the fund in DIR:
//   hold-member ACCT SSN MS   adds a member with the next internal number under the member
//                             file's add lock, says "held", keeps the transaction MS ms, commits
//   add-members FIRST COUNT   adds COUNT members through the member form (accounts FIRST..., SSNs
//                             of the shared list 0..COUNT-1), one line per outcome
//   load STATION SECONDS      posts payrolls and withdrawals for its own ten members until the
//                             time is up; then "posted N failed F cents C rows R"
#include "common/app.h"
#include "common/formlogic.h"
#include "member/members.h"
#include "payroll/processpayroll.h"
#include "payroll/withdrawal.h"
#include "platform/clock.h"
#include "platform/cmdline.h"
#include "stationfund.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>
#include <cstdio>

namespace {
// Answers every question with its default; reports what went wrong on stderr.
class Unattended : public Dialogs {
public:
    QString lastText;
    int show(const Message &m) override {
        lastText = m.text;
        if (m.icon == Dlg::Error || m.icon == Dlg::Warning || m.icon == Dlg::Exclamation)
            std::fprintf(stderr, "%s: %s\n", qPrintable(m.caption), qPrintable(m.text));
        return m.custom.isEmpty() ? m.defaultButton : 2;
    }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString folderName(const QString &, const QString &) override { return {}; }
};

void say(const QString &line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

int holdMember(storage::Database &db, qint32 acct, const QString &ssn, int ms) {
    storage::DataFile<MemberCU> mem(db);
    if (!mem.open()) return 1;
    storage::Transaction t(db);
    qint32 id = 0;
    if (!t.active() || !db.serializeAdds(MemberCU::layout().def()) || !MemberRules::nextMemberId(db, id))
        return 1;
    mem.rec.ACCTNUM = acct;
    mem.rec.SSNUM = ssn;
    mem.rec.LASTNAME = "Holder";
    mem.rec.MEMBERID = id;
    if (!mem.add()) return 1;
    say("held");
    QThread::msleep(ms);
    if (!t.commit()) return 1;
    say("committed");
    return 0;
}

int addMembers(storage::Database &db, Unattended &dialogs, qint32 first, int count) {
    storage::Table table(db, MemberCU::layout().def());
    if (!table.open()) return 1;
    for (int i = 0; i < count; ++i) {
        FormLogic form(table, dialogs, MemberRules::form(), Request::InsertRecord);
        if (!form.open()) return 1;
        form.setValue("ACCTNUM", first + i);
        form.setValue("SSNUM", StationFund::ssn(i));
        form.setValue("LASTNAME", "Racer");
        if (form.save() == FormLogic::Completed) say(QString("added %1").arg(first + i));
        else say("refused " + dialogs.lastText);
    }
    return 0;
}

int load(storage::Database &db, Unattended &dialogs, int station, int seconds) {
    QRandomGenerator random(quint32(station) * 7919u + 17u);
    qint64 posted = 0, failed = 0, cents = 0, rows = 0;
    const qint32 today = Clock::today();
    QElapsedTimer clock;
    clock.start();
    for (int round = 0; clock.elapsed() < seconds * 1000; ++round) {
        bool ok = false;
        qint64 sum = 0, lines = 0;
        if (round % 2 == 0) {
            PayrollGlobals glo;
            glo.CONTRACTORNAME = StationFund::ContractorName;
            glo.CONTRACTORNUMBER = StationFund::ContractorNumber;
            glo.PAYROLLDATE = today;
            glo.POSTINGDATE = today;
            PayQueue queue;
            for (int m = 0; m < StationFund::MembersPerStation; ++m) {
                const qint64 amount = 100 + random.bounded(100000);
                queue << PayQueueEntry{StationFund::ssn(StationFund::memberIndex(station, m)), "Member", today,
                                       Decimal::fromCents(amount), StationFund::ContractorNumber, today};
                sum += amount;
                ++lines;
            }
            ProcessPayrollLogic logic(db, dialogs, glo, queue, {}, {});
            logic.open();
            ok = logic.post();
        } else {
            WithdrawalLogic logic(db, dialogs, true);
            logic.open();
            logic.LOC.WITHDATE = today;
            WithdrawalLine line;
            line.NAME = "Member";
            line.WITHDATE = today;
            line.TOTALTOWITHDRAWAL = Decimal::fromCents(100 + random.bounded(5000));
            line.ADMINFEE = Decimal::fromCents(25);
            line.TAX = Decimal::fromCents(10 + random.bounded(500));
            line.CODE = "7";
            line.DESCRIPTION = "Load";
            line.ACCTNUM = QString::number(
                StationFund::account(StationFund::memberIndex(station, random.bounded(StationFund::MembersPerStation))));
            logic.WITHDRAWALQUEUE << line;
            sum = -(line.TOTALTOWITHDRAWAL + line.ADMINFEE + line.TAX).unitsAt(2);
            lines = 3;
            ok = logic.post();
        }
        if (ok) {
            ++posted;
            cents += sum;
            rows += lines;
        } else {
            ++failed;
        }
    }
    say(QString("posted %1 failed %2 cents %3 rows %4").arg(posted).arg(failed).arg(cents).arg(rows));
    return 0;
}
} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    CommandLine cl("pension-station", "DIR MODE [ARGS...]",
                   "One station of the several-station tests, on the fund in DIR: hold-member ACCT SSN MS, "
                   "add-members FIRST COUNT, or load STATION SECONDS.");
    cl.setWordCount(2, 5);
    if (int rc = cl.handle(app.arguments().mid(1)); rc >= 0) return rc;
    const QStringList w = cl.words();
    auto db = storage::Database::open(w[0], storage::Database::MustExist);
    if (!db) {
        std::fprintf(stderr, "%s\n", qPrintable(storage::lastErrorText()));
        return 1;
    }
    Unattended dialogs;
    App::setDataDir(w[0]);
    App::setDatabase(db.get());
    App::setDialogs(&dialogs);
    int rc = 2;
    if (w[1] == "hold-member" && w.size() == 5) rc = holdMember(*db, w[2].toInt(), w[3], w[4].toInt());
    else if (w[1] == "add-members" && w.size() == 4) rc = addMembers(*db, dialogs, w[2].toInt(), w[3].toInt());
    else if (w[1] == "load" && w.size() == 4) rc = load(*db, dialogs, w[2].toInt(), w[3].toInt());
    App::setDatabase(nullptr);
    App::setDialogs(nullptr);
    return rc;
}
