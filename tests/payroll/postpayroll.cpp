// pension-postpayroll DIR LINES
// Posts one payroll of LINES lines (over 100 members of contractor "ABC") into the data directory
// DIR, creating what is missing. Prints "posting" once the posting is under way, so that a test
// can kill it half-way.
#include "payroll/processpayroll.h"
#include "platform/clock.h"
#include "platform/cmdline.h"
#include "platform/picture.h"

#include <QCoreApplication>
#include <cstdio>

namespace {
class Unattended : public Dialogs {
public:
    int show(const Message &m) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(m.caption), qPrintable(m.text));
        return m.custom.isEmpty() ? m.defaultButton : 2;
    }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString folderName(const QString &, const QString &) override { return {}; }
};

QString ssn(int i) {
    return Picture::applyPattern(QString("%1").arg(200000000 + i, 9, 10, QChar('0')),
                                 "@P###-##-####P");
}
} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    CommandLine cl("pension-postpayroll", "DIR LINES",
                   "Posts one payroll of LINES lines into the data directory DIR, for the crash test.");
    cl.setWordCount(2, 2);
    if (int rc = cl.handle(app.arguments().mid(1)); rc >= 0) return rc;
    const QStringList args = QStringList{app.arguments().first()} + cl.words();
    const int lines = args[2].toInt();
    auto db = storage::Database::open(args[1]);
    if (!db) return 1;
    for (const storage::FileDef *def : allFiles())
        if (!db->exists(*def) && !db->create(*def)) return 1;
    constexpr int members = 100;
    {
        storage::Transaction t(*db);
        storage::DataFile<Contractor> con(*db);
        con.open();
        con.rec.AUTONUM = 1;
        con.rec.NAME = "ABC";
        if (!con.get(Contractor::AutoNum_Key)) {
            con.clear();
            con.rec.AUTONUM = 1;
            con.rec.NAME = "ABC";
            con.add();
            storage::DataFile<MemberCU> mem(*db);
            mem.open();
            for (int i = 0; i < members; ++i) {
                mem.clear();
                mem.rec.ACCTNUM = 5001 + i;
                mem.rec.SSNUM = ssn(i);
                mem.rec.LASTNAME = "Member";
                mem.add();
            }
        }
        t.commit();
    }
    PayrollGlobals glo;
    glo.CONTRACTORNAME = "ABC";
    glo.CONTRACTORNUMBER = 1;
    glo.PAYROLLDATE = Clock::dayNumber(2004, 2, 1);
    glo.POSTINGDATE = Clock::today();
    PayQueue queue;
    for (int i = 0; i < lines; ++i)
        queue << PayQueueEntry{
            ssn(i % members), "Member", glo.PAYROLLDATE, Decimal::fromCents(1000 + i % 97), 1,
            glo.POSTINGDATE};
    Unattended dialogs;
    ProcessPayrollLogic logic(*db, dialogs, glo, queue, {}, {});
    logic.open();
    bool told = false;
    logic.progress = [&](int) {
        if (told) return;
        told = true;
        std::printf("posting\n");
        std::fflush(stdout);
    };
    return logic.post() ? 0 : 1;
}
