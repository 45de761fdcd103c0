// pension-gendata [--demo] [--progress] DIR [--members N] [--years Y] [--months M] [--contractors C]
//                 [--seed S]
// Fills a data directory with generated fund data (see datagen.h).
#include "datagen.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    GenOptions o;
    QString dir;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        auto number = [&]() { return i + 1 < args.size() ? args[++i].toInt() : 0; };
        if (a == "--demo") o.demo = true;
        else if (a == "--members") o.members = number();
        else if (a == "--years") o.years = number();
        else if (a == "--months") o.months = number();
        else if (a == "--contractors") o.contractors = number();
        else if (a == "--seed") o.seed = quint32(number());
        else if (a == "--progress")
            o.progress = [](const QString &stage) {
                std::printf("%s\n", qPrintable(stage));
                std::fflush(stdout);
            };
        else dir = a;
    }
    if (dir.isEmpty()) {
        std::fprintf(stderr, "usage: pension-gendata [--demo] DIR [--members N] [--years Y] "
                             "[--months M] [--contractors C] [--seed S]\n");
        return 2;
    }
    auto db = storage::Database::open(dir);
    if (!db) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(dir),
                     qPrintable(storage::lastError().driverText));
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
