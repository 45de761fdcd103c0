// A small listing's first page and its text output, compared with the checked-in files in
// tests/preview/golden. After a deliberate change of the page layout, regenerate them with
//   PENSION_UPDATE_GOLDEN=1 build/test/bin/test_preview --gtest_filter='Golden*'
// and review the difference before committing it.
#include "../support/golden.h"
#include "../support/scripteddialogs.h"
#include "platform/report/report.h"
#include "preview/wmf2ascii.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Golden, ListingPageAndItsText) {
    using namespace report;
    Report r;
    BandReport bands(r, 500, 10500);
    const Font title{"Arial", 14, true}, mono{"Courier New", 10};
    bands.setPageHeader({700, [&](Report &rep, int top) {
                             rep.text(500, top, "MISSING TRANSACTIONS", title);
                             rep.text(6500, top, QStringLiteral("Page %1 of %2").arg(rep.pageNumber()).arg(PageOfPages));
                             rep.line(500, top + 400, 8000, top + 400, 10);
                         }});
    bands.setPageFooter({400, [&](Report &rep, int top) {
                             rep.box(500, top, 7500, 300, 10);
                             rep.text(600, top + 50, "End of page", mono);
                         }});
    for (int i = 1; i <= 70; ++i)
        bands.print({170, [&, i](Report &rep, int top) {
                         rep.text(500, top, QStringLiteral("%1").arg(1000 + i), mono);
                         rep.text(1500, top, QStringLiteral("MEMBER %1, FIRST").arg(i), mono);
                         rep.text(5000, top, QStringLiteral("%1.00").arg(i * 25), mono);
                     }});
    ASSERT_TRUE(bands.finish());
    ASSERT_EQ(r.pages().size(), 2);
    expectGolden(readAll(r.pages().first()), "listing-page1.wmf");

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    WMF2ASCII(dir.filePath("listing.txt"), r.pages(), 66, dialogs);
    expectGolden(readAll(dir.filePath("listing.txt")), "listing.txt");
}
