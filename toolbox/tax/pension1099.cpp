// pension-1099 DATADIR --form R|INT [--year N] [--out DIR] [--accounts LIST]: the year's 1099-R
// or 1099-INT file and its XML transmission, written without windows, for scripted year ends.
#include "platform/cmdline.h"
#include "platform/storage/database.h"
#include "taxrun.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

namespace {
void print(FILE *to, const QString &text) {
    std::fprintf(to, "%s\n", qPrintable(text));
}
} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    CommandLine cl(
        "pension-1099", "DATADIR --form R|INT [--year N] [--out DIR] [--accounts LIST]",
        "Writes the 1099-R or 1099-INT file \"IRSTAX.\" and its XML transmission \"IRSTAX.xml\"\n"
        "of the fund in DATADIR, prints the totals and what the IRS would refuse.\n"
        "Exits with 1 when the files could not be written.");
    cl.addOption("--form", "R for the 1099-R (distributions), INT for the 1099-INT (interest)",
                 "FORM");
    cl.addOption("--year", "the tax year (default: the fund's year for 1099s)", "N");
    cl.addOption("--out", "where to write the files (default: DATADIR)", "DIR");
    cl.addOption("--accounts", "only these members, by account number, separated by commas",
                 "LIST");
    cl.setWordCount(1, 1);
    if (int rc = cl.handle(app.arguments().mid(1)); rc >= 0) return rc;

    const QString form = cl.value("--form").toUpper();
    if (form != QLatin1String("R") && form != QLatin1String("INT"))
        return cl.refuse("--form needs R or INT");
    const int year = cl.number("--year", 0, 1);
    if (!cl.error().isEmpty()) return cl.refuse(cl.error());
    if (cl.isSet("--year") && (year < 1900 || year > 9999))
        return cl.refuse("--year needs a year of four digits");
    QList<qint32> accounts;
    if (cl.isSet("--accounts")) {
        for (const QString &word :
             cl.value("--accounts").split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            bool ok = false;
            const qint32 acct = word.trimmed().toInt(&ok);
            if (!ok || acct <= 0)
                return cl.refuse("--accounts needs account numbers separated by commas");
            accounts << acct;
        }
        if (accounts.isEmpty())
            return cl.refuse("--accounts needs account numbers separated by commas");
    }

    const QString dataDir = cl.words().first();
    auto db = storage::Database::open(dataDir, storage::Database::MustExist);
    if (!db) {
        print(stderr, QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(dataDir),
                                                   storage::lastErrorText()));
        return 1;
    }
    Tax::TaxRun run(*db);
    if (!run.gather(form == QLatin1String("R") ? Tax::Form::R : Tax::Form::Int, year, accounts)) {
        print(stderr, run.error());
        return 1;
    }
    const QString out = cl.isSet("--out") ? cl.value("--out") : dataDir;
    // An output folder that is not there yet is made; one that cannot be made fails the write.
    if (cl.isSet("--out")) QDir().mkpath(out);
    const bool written = run.write(out);
    print(stdout, run.totalsCaption());
    print(stdout, run.totalsText().replace(QLatin1Char('|'), QLatin1Char('\n')));
    const QList<Tax::Finding> findings = run.findings();
    if (!findings.isEmpty()) {
        print(stdout, QStringLiteral("To correct before filing:"));
        for (const Tax::Finding &f : findings)
            print(stdout, QStringLiteral("  %1: %2").arg(f.who, f.what));
    }
    if (!written) {
        print(stderr, run.error());
        return 1;
    }
    print(stdout, QStringLiteral("Written: %1").arg(QDir::toNativeSeparators(run.filePath())));
    return 0;
}
