// Pages as text: where each text record lands on the grid, and what the text file holds.
#include "platform/report/report.h"
#include "preview/printerhelpers.h"
#include "preview/wmf2ascii.h"
#include "../support/printers.h"
#include "../support/scripteddialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Rec {
    int x, y;
    QByteArray text;
    bool rect = false;
};

void put16(QByteArray &b, int v) {
    b += char(v & 0xFF);
    b += char((v >> 8) & 0xFF);
}
void put32(QByteArray &b, quint32 v) {
    put16(b, int(v & 0xFFFF));
    put16(b, int(v >> 16));
}

// A page written by hand, so that the reader is checked against the layout, not our writer.
QByteArray page(int inch, const QList<Rec> &recs, int sizeWords = -1) {
    QByteArray body;
    for (const Rec &r : recs) {
        QByteArray t = r.text;
        if (t.size() % 2) t += '\0';
        put32(body, quint32(3 + 4 + (r.rect ? 4 : 0) + t.size() / 2));
        put16(body, 0x0A32);
        put16(body, r.y);
        put16(body, r.x);
        put16(body, int(r.text.size()));
        put16(body, r.rect ? 0x0004 : 0);
        if (r.rect)
            for (int v : {0, 0, 3000, 3000}) put16(body, v);
        body += t;
    }
    put32(body, 5); // a record after the texts, as pages end with object cleanup
    put16(body, 0x01F0);
    put16(body, 0);
    put32(body, 3);
    put16(body, 0);

    QByteArray f;
    put32(f, 0x9AC6CDD7);
    for (int v : {0, 0, 0, 8500, 11000, inch, 0, 0, 0}) put16(f, v);
    put16(f, 1);
    put16(f, 9);
    put16(f, 0x0300);
    put32(f, quint32(sizeWords >= 0 ? sizeWords : 9 + body.size() / 2));
    put16(f, 0);
    put32(f, 0);
    put16(f, 0);
    return f + body;
}

class PageTextTest : public ::testing::Test {
protected:
    QString write(const QByteArray &bytes) {
        const QString name = dir.filePath(QStringLiteral("p%1.wmf").arg(++count));
        QFile f(name);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return name;
    }
    QByteArray output(const QStringList &pages, int lines) {
        const QString out = dir.filePath("out.txt");
        WMF2ASCII(out, pages, lines, dialogs);
        QFile f(out);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    int count = 0;
};

class RecordingDialogs : public ScriptedDialogs {
public:
    QStringList calls;
    QString saveFileName(const QString &caption, const QString &dir, const QString &filter) override {
        calls << caption << dir << filter << QDir::currentPath();
        QDir::setCurrent(QDir::tempPath()); // a dialog that wanders off
        return ScriptedDialogs::saveFileName(caption, dir, filter);
    }
};

} // namespace

TEST_F(PageTextTest, SixLinesAndTwelveAndAHalfColumnsToTheInch) {
    // 1440 units to the inch: a line is 240 units, a column 115.2.
    const QString p = write(page(1440, {{1152, 480, "TEN"},     // line 2, column 10
                                        {1151, 719, "NINE"},    // line 2 (2.996), column 9 (9.99)
                                        {0, 0, "CORNER"},       // line 1, column 1
                                        {115, 239, "LOW"},      // 0.998 column, 0.996 line: both 1
                                        {2304, 2400, "END"}})); // line 10, column 20
    const QList<QByteArray> lines = pagetext::lines(p, 66);
    ASSERT_EQ(lines.size(), 66);
    EXPECT_EQ(lines[0], "LOWNER");
    EXPECT_EQ(lines[1], "        NINE") << "TEN at column 10, overwritten by the later NINE at column 9";
    EXPECT_EQ(lines[1].size(), 12);
    EXPECT_EQ(lines[9], QByteArray(19, ' ') + "END");
    for (int i : {2, 3, 8, 10, 65}) EXPECT_TRUE(lines[i].isEmpty()) << i;

    // Without units in the header a page counts 1440 to the inch; 1000 works the same way.
    const QString q = write(page(1000, {{800, 1000, "X"}, {79, 166, "Y"}, {160, 167, "Z"}}));
    const QList<QByteArray> l2 = pagetext::lines(q, 10);
    EXPECT_EQ(l2[5], QByteArray(9, ' ') + "X");
    EXPECT_EQ(l2[0], "YZ") << "167 units is line 1.002, 160 units column 2";
    const QString r = write(page(0, {{1152, 1440, "Q"}}));
    EXPECT_EQ(pagetext::lines(r, 10)[5], QByteArray(9, ' ') + "Q");
}

TEST_F(PageTextTest, RecordsMergeOnALineAndLaterOnesOverwrite) {
    const QString p = write(page(1440, {{0, 480, "HELLO WORLD"},
                                        {231, 480, "XY"},      // column 2.005
                                        {1152, 720, "BBB"},
                                        {0, 720, "AAA"},
                                        {1152, 960, QByteArray("RECT\0", 5), true},
                                        {0, 1200, QByteArray("AB \0", 4), false},
                                        {0, 1440, "trail  "}}));
    const QList<QByteArray> lines = pagetext::lines(p, 10);
    EXPECT_EQ(lines[1], "HXYLO WORLD");
    EXPECT_EQ(lines[2], "AAA      BBB");
    EXPECT_EQ(lines[3], QByteArray(9, ' ') + "RECT") << "text read after the rectangle, NUL dropped";
    EXPECT_EQ(lines[4], "AB");
    EXPECT_EQ(lines[5], "trail");
}

TEST_F(PageTextTest, LongTextsAreCutAtTheReadAndAtTheLineEnd) {
    const QByteArray long600 = QByteArray(600, 'L');
    const QString p = write(page(1440, {{0, 480, long600}, {29492, 720, "GONE"}, {11520 * 2, 960, "EDGE"}}));
    const QList<QByteArray> lines = pagetext::lines(p, 10);
    EXPECT_EQ(lines[1].size(), 255) << "512 bytes read, 498 of them text, the line holds 255";
    EXPECT_TRUE(lines[2].isEmpty()) << "column 256 is past the line";
    EXPECT_EQ(lines[3].size(), 203);
    const QString q = write(page(1440, {{0, 14400, "LINE 60"}}));
    EXPECT_TRUE(pagetext::lines(q, 59).join().isEmpty()) << "beyond the line count the text is lost";
    EXPECT_EQ(pagetext::lines(q, 60).last(), "LINE 60");
}

TEST_F(PageTextTest, TheWalkEndsWhereTheHeaderSizeSaysCountingFromTheFileStart) {
    // Records start at byte 40; each of these is 3 + 4 + 1 words = 16 bytes: 40, 56, 72.
    const QList<Rec> recs{{0, 480, "AA"}, {0, 720, "BB"}, {0, 960, "CC"}};
    EXPECT_EQ(pagetext::records(write(page(1440, recs, 36))).size(), 2) << "byte 72 reaches 2 x 36";
    EXPECT_EQ(pagetext::records(write(page(1440, recs, 37))).size(), 3);
    EXPECT_EQ(pagetext::records(write(page(1440, recs, 28))).size(), 1);
    bool ok = true;
    EXPECT_TRUE(pagetext::records(dir.filePath("none.wmf"), nullptr, &ok).isEmpty());
    EXPECT_FALSE(ok);
}

TEST_F(PageTextTest, TextFileHasEveryLineWithCrLfOrOnlyTheFilledOnes) {
    const QString p1 = write(page(1440, {{0, 480, "ONE"}, {0, 960, "TWO"}}));
    const QString p2 = write(page(1440, {{1152, 0, "THREE"}}));
    const QByteArray all = output({p1, p2}, 66);
    EXPECT_EQ(all.count("\r\n"), 132);
    EXPECT_EQ(all.count('\n'), 132);
    EXPECT_TRUE(all.startsWith("\r\nONE\r\n\r\nTWO\r\n\r\n"));
    EXPECT_EQ(all.mid(all.indexOf("THREE") - 11, 16), "\r\n         THREE");
    EXPECT_EQ(all.indexOf("THREE"), 66 * 2 + 6 + 9);

    EXPECT_EQ(output({p1, p2}, 0), "ONE\r\nTWO\r\n         THREE\r\n");
    EXPECT_EQ(output({}, 0), "");
}

TEST_F(PageTextTest, TildeNameAsksWhereToSaveAndCancelWritesNothing) {
    RecordingDialogs d;
    const QString p = write(page(1440, {{0, 480, "ONE"}}));
    const QString chosen = dir.filePath("chosen.txt");
    const QString cwd = QDir::currentPath();
    d.fileNames << chosen;
    WMF2ASCII("~REPORT.TXT", {p}, 0, d);
    EXPECT_EQ(d.calls.mid(0, 3), QStringList({"Save to what Filename?", "REPORT.TXT", "Text|*.TXT|All Files|*.*"}));
    EXPECT_EQ(QDir::currentPath(), cwd) << "the current directory is put back";
    QFile f(chosen);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "ONE\r\n");
    EXPECT_FALSE(QFile::exists(QDir(cwd).filePath("REPORT.TXT")));

    const QString existing = dir.filePath("keep.txt");
    QFile k(existing);
    k.open(QIODevice::WriteOnly);
    k.write("old");
    k.close();
    WMF2ASCII("~" + existing, {p}, 0, d); // no answer scripted: the dialog is cancelled
    EXPECT_EQ(QFileInfo(existing).size(), 3);
}

TEST_F(PageTextTest, ReportPagesReadBackWithTheirPageCount) {
    report::Report r;
    report::BandReport bands(r, 500, 10500);
    bands.setPageHeader({300, [](report::Report &rep, int top) {
                             rep.text(800, top, QStringLiteral("Page %1 of %2").arg(rep.pageNumber()).arg(report::PageOfPages),
                                      report::Font{"Courier New", 10});
                         }});
    for (int i = 1; i <= 120; ++i)
        bands.print({167, [i](report::Report &rep, int top) {
                         rep.text(800, top, QStringLiteral("Detail %1").arg(i), report::Font{"Courier New", 10});
                     }});
    ASSERT_TRUE(bands.finish());
    ASSERT_EQ(r.pages().size(), 3);
    ASSGNPGOFPG({}, {}, r.pages(), true, 0, false, false, false, 0, dialogs);
    const QList<QByteArray> page2 = pagetext::lines(r.pages()[1], 66);
    EXPECT_EQ(page2[2], "         Page 2 of    3") << "y 500 is line 3, x 800 column 10";
    EXPECT_EQ(page2[3], "         Detail 59");
    EXPECT_EQ(page2[4], "         Detail 60");
    EXPECT_TRUE(page2[1].isEmpty());
    EXPECT_TRUE(dialogs.shown.isEmpty());
}
