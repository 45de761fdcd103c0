// pension-copy FROM TO [--replace]: copies the whole fund of one data directory into another,
// between the SQLite file and a PostgreSQL server in either direction (each directory's
// DATABASE.INI says which), in one transaction on TO, checked before it is kept.
#include "data/fundcopy.h"
#include "platform/cmdline.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    CommandLine cl("pension-copy", "FROM TO [--replace]",
                   "Copies every file of the fund in the data directory FROM (or a fund file\n"
                   "written by pension-backup) into the data directory TO, keeping record order,\n"
                   "and checks record counts and account totals before keeping the copy.\n"
                   "Exits with 1 when nothing could be copied; TO is then as it was.");
    cl.addOption("--replace", "replace the fund TO holds already (refused without it)");
    cl.setWordCount(2, 2);
    if (int rc = cl.handle(app.arguments().mid(1)); rc >= 0) return rc;

    FundCopy copy(cl.words()[0], cl.words()[1]);
    copy.setReplace(cl.isSet("--replace"));
    copy.setReporter([](const QString &line) {
        std::printf("%s\n", qPrintable(line));
        std::fflush(stdout);
    });
    switch (copy.run()) {
    case FundCopy::Copied: return 0;
    case FundCopy::TargetHoldsFund:
        std::fprintf(stderr, "%s; give --replace to replace it\n", qPrintable(copy.error()));
        return 1;
    case FundCopy::Failed: break;
    }
    std::fprintf(stderr, "%s\n", qPrintable(copy.error()));
    return 1;
}
