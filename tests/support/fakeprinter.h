#pragma once
// A printer for tests of copies: it makes copies itself or not (and collates them or not), and
// counts the sheets a print job puts out of it.
#include "preview/printerhelpers.h"

#include <QPrinter>

class FakePrinter : public PrinterDriver {
public:
    enum Kind { NoCopies, MakesCopies, CollatesCopies };
    explicit FakePrinter(Kind kind = NoCopies) : kind(kind) {}

    QList<Paper> papers() const override { return {{1, "Letter"}}; }
    QList<QPoint> resolutions() const override { return {}; }
    DevMode devMode() const override {
        DevMode m;
        if (kind != NoCopies) m.DMFIELDS |= DM::Copies | DM::Collate;
        m.DMCOLLATE = kind == CollatesCopies ? 1 : 0;
        m.DMCOPIES = qint16(reportPrinter().copyCount());
        return m;
    }
    void setDevMode(const DevMode &) override {}

    // The sheets that come out for `pagesSent` pages in one job: a printer that makes copies
    // repeats the job as often as it was told; one that cannot ignores the count.
    int sheets(qsizetype pagesSent) const {
        return int(pagesSent) * (kind == NoCopies ? 1 : reportPrinter().copyCount());
    }

    Kind kind;
};

inline const char *kindName(FakePrinter::Kind kind) {
    return kind == FakePrinter::NoCopies      ? "a printer without copies"
           : kind == FakePrinter::MakesCopies ? "a printer that makes copies"
                                              : "a printer that makes collated copies";
}
