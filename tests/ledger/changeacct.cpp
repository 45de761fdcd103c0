// pension-changeacct DIR OLDACCT NEWACCT OLDSSN NEWSSN [die]
// Changes an account number and an SSN in the data directory DIR, answering Yes. With "die" the
// process ends abruptly once the member and its transactions are rewritten and the payroll
// lines are next, so that a test can see what a crash half-way leaves.
#include "ledger/changeacctnum.h"
#include "platform/cmdline.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

namespace {
class Unattended : public Dialogs {
public:
    int show(const Message &m) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(m.caption), qPrintable(m.text));
        return m.buttons & Dlg::Yes ? Dlg::Yes : m.defaultButton;
    }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString folderName(const QString &, const QString &) override { return {}; }
};
} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    CommandLine cl("pension-changeacct", "DIR OLDACCT NEWACCT OLDSSN NEWSSN [die]",
                   "Changes an account number and an SSN in the data directory DIR, answering Yes;\n"
                   "with \"die\" it ends abruptly half-way, for the crash test.");
    cl.setWordCount(5, 6);
    if (int rc = cl.handle(app.arguments().mid(1)); rc >= 0) return rc;
    const QStringList args = QStringList{app.arguments().first()} + cl.words();
    auto db = storage::Database::open(args[1]);
    if (!db) return 1;
    Unattended dialogs;
    AccountChange change(*db, dialogs);
    change.LOC.OLDACCT = args[2].toInt();
    change.LOC.NEWACCT = args[3].toInt();
    change.LOC.OLDSSNUM = args[4];
    change.LOC.NEWSSNUM = args[5];
    if (args.size() > 6 && args[6] == "die")
        change.changed = [&] {
            if (change.LOC.CHANGESTRING.startsWith("Changing Payroll Backup")) std::_Exit(3);
        };
    return change.change() && change.membersChanged > 0 ? 0 : 1;
}
