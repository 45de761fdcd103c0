// pension-purgedata DIR MEMBERS
// Gives the data directory DIR (created when missing) MEMBERS members with three transactions
// each, unless it has members already, then purges everything up to 06/30/2025. Prints
// "purging" once the purge is under way, so that a test can kill it half-way.
#include "data/records.h"
#include "platform/clock.h"
#include "platform/cmdline.h"
#include "toolbox/tools/purge.h"

#include <QCoreApplication>
#include <cstdio>

namespace {
class Unattended : public Dialogs {
public:
    int show(const Message &m) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(m.caption), qPrintable(m.text));
        return m.buttons & Dlg::Yes ? int(Dlg::Yes) : m.defaultButton;
    }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString folderName(const QString &, const QString &) override { return {}; }
};

bool fill(storage::Database &db, int members) {
    storage::DataFile<MemberCU> mem(db);
    storage::DataFile<Trans> tra(db);
    if (!mem.open() || !tra.open()) return false;
    if (mem.count() > 0) return true;
    storage::Transaction batch(db);
    const qint32 dates[] = {Clock::dayNumber(2024, 3, 1), Clock::dayNumber(2025, 6, 30),
                            Clock::dayNumber(2025, 7, 1)};
    for (int i = 0; i < members; ++i) {
        mem.clear();
        mem.rec.ACCTNUM = 1000 + i;
        mem.rec.LASTNAME = "Member";
        if (!mem.add()) return false;
        for (int d = 0; d < 3; ++d) {
            tra.clear();
            tra.rec.ACCTNUM = 1000 + i;
            tra.rec.TRANSDATE = dates[d];
            tra.rec.TRANSAMOUNT = Decimal::fromCents(100 * (d + 1) + i % 100);
            tra.rec.TRANSTYPE = TransType::Payroll;
            tra.rec.DESC = "Deposit";
            if (!tra.add()) return false;
        }
    }
    return batch.commit();
}
} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    CommandLine cl("pension-purgedata", "DIR MEMBERS",
                   "Fills the data directory DIR with MEMBERS members and purges it, for the crash test.");
    cl.setWordCount(2, 2);
    if (int rc = cl.handle(app.arguments().mid(1)); rc >= 0) return rc;
    auto db = storage::Database::open(cl.words()[0]);
    if (!db) return 1;
    for (const storage::FileDef *def : allFiles())
        if (!db->exists(*def) && !db->create(*def)) return 1;
    if (!fill(*db, cl.words()[1].toInt())) return 1;
    Unattended dialogs;
    Purge purge(*db, dialogs);
    purge.LOC.ENDDATE = Clock::dayNumber(2025, 6, 30);
    bool told = false;
    purge.changed = [&] {
        if (told) return;
        told = true;
        std::printf("purging\n");
        std::fflush(stdout);
    };
    return purge.purge() ? 0 : 1;
}
