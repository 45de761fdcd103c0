// Report benchmarks on generated data: a 1,000-page listing generated, its first page drawn on
// screen, and all of it written as text.
#include "platform/report/player.h"
#include "platform/report/report.h"
#include "preview/wmf2ascii.h"
#include "platform/dialogs.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

class NoDialogs : public Dialogs {
public:
    int show(const Message &m) override { return m.defaultButton; }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString folderName(const QString &, const QString &) override { return {}; }
};

// A member listing: header and footer on every page, 60 detail lines a page, group totals.
std::unique_ptr<report::Report> listing(int pages) {
    using namespace report;
    auto r = std::make_unique<Report>();
    BandReport bands(*r, 500, 10500);
    const Font bold{"Arial", 12, true}, mono{"Courier New", 9};
    bands.setPageHeader({600, [&](Report &rep, int top) {
                             rep.text(500, top, "Member Listing", bold);
                             rep.text(6000, top, QStringLiteral("Page %1 of %2").arg(rep.pageNumber()).arg(PageOfPages), Font{},
                                      Align::Right, 2000);
                             rep.line(500, top + 400, 8000, top + 400, 10);
                         }});
    bands.setPageFooter({300, [](Report &rep, int top) { rep.text(500, top, "Union Local Retirement Fund"); }});
    const int detail = 150;
    const int perPage = (10500 - 500 - 600 - 300) / detail;
    for (int i = 1; i <= pages * perPage; ++i) {
        bands.print({detail, [&, i](Report &rep, int top) {
                         rep.text(500, top, QStringLiteral("%1").arg(i, 6, 10, QChar('0')), mono);
                         rep.text(1300, top, QStringLiteral("MEMBER NAME %1").arg(i), mono);
                         rep.text(4000, top, QStringLiteral("123-45-%1").arg(i % 10000, 4, 10, QChar('0')), mono);
                         rep.text(5500, top, QStringLiteral("%1.%2").arg(i * 7 % 100000).arg(i % 100, 2, 10, QChar('0')),
                                  mono, Align::Right, 1500);
                     }});
    }
    bands.finish();
    return r;
}

void BM_Generate1000Pages(benchmark::State &state) {
    for (auto _ : state) {
        auto r = listing(1000);
        benchmark::DoNotOptimize(r->pages().size());
    }
}
BENCHMARK(BM_Generate1000Pages)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FirstPageOnScreen(benchmark::State &state) {
    auto r = listing(1000);
    QImage screen(1020, 1320, QImage::Format_RGB32);
    for (auto _ : state) {
        screen.fill(Qt::white);
        QPainter painter(&screen);
        report::playFile(painter, r->pages().first(), QRectF(0, 0, 1020, 1320));
    }
}
BENCHMARK(BM_FirstPageOnScreen)->Unit(benchmark::kMillisecond);

void BM_TextOut1000Pages(benchmark::State &state) {
    auto r = listing(1000);
    QTemporaryDir dir;
    NoDialogs dialogs;
    for (auto _ : state) WMF2ASCII(dir.filePath("listing.txt"), r->pages(), 66, dialogs);
}
BENCHMARK(BM_TextOut1000Pages)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv); // the text output shows a status window
    benchmark::Initialize(&argc, argv); // answers --help
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
