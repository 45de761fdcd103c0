// pension-gendata [--demo] [--progress] DIR [--members N] [--years Y] [--months M] [--contractors C]
//                 [--seed S]
// Fills a data directory with generated fund data (see datagen.h).
#include "datagen.h"
#include "platform/cmdline.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    CommandLine cl("pension-gendata", "[--demo] [--progress] DIR [--members N] [--years Y] [--months M] "
                                      "[--contractors C] [--seed S]",
                   "Fills the data directory DIR with generated fund data: contractors, members and monthly\n"
                   "payroll deposits (creating the fund when DIR has none).");
    cl.addOption("--demo", "also fund settings, prompts, users, locals and LOCAL.INI");
    cl.addOption("--progress", "print each stage as it is reached");
    cl.addOption("--members", "how many members (default 25)", "N");
    cl.addOption("--years", "whole years of history (default: use --months)", "Y");
    cl.addOption("--months", "months of history (default 6)", "M");
    cl.addOption("--contractors", "how many contractors (default 5)", "C");
    cl.addOption("--seed", "seed of the generator (default 1)", "S");
    cl.setWordCount(1, 1);
    if (int rc = cl.handle(app.arguments().mid(1)); rc >= 0) return rc;
    GenOptions o;
    o.demo = cl.isSet("--demo");
    o.members = cl.number("--members", o.members);
    o.years = cl.number("--years", o.years);
    o.months = cl.number("--months", o.months);
    o.contractors = cl.number("--contractors", o.contractors);
    o.seed = quint32(cl.number("--seed", int(o.seed)));
    if (!cl.error().isEmpty()) return cl.refuse(cl.error());
    if (cl.isSet("--progress"))
        o.progress = [](const QString &stage) {
            std::printf("%s\n", qPrintable(stage));
            std::fflush(stdout);
        };
    const QString dir = cl.words().first();
    auto db = storage::Database::open(dir);
    if (!db) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(dir), qPrintable(storage::lastErrorText()));
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    QString error;
    if (!generateData(*db, o, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("generated %d members in %s in %.1f s\n", o.members, qPrintable(dir),
                timer.elapsed() / 1000.0);
    return 0;
}
