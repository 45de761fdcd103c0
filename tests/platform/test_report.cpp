// Report pages: their bytes, page breaking, and whether other readers accept them.
#include "platform/report/player.h"
#include "platform/report/report.h"
#include "platform/report/wmf.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace report;

namespace {

QByteArray readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const uchar *bytesOf(const QByteArray &b) { return reinterpret_cast<const uchar *>(b.constData()); }

struct Text {
    int x, y;
    QString text;
};

QList<Text> texts(const QString &pageFile) {
    QList<Text> out;
    for (const wmf::Record &r : wmf::readFile(pageFile).records)
        if (r.function == wmf::ExtTextOut) {
            const int at = (r.word(3) & 0xFF) ? 16 : 8;
            out.append({r.word(1), r.word(0), QString::fromLatin1(r.params.mid(at, r.word(2)))});
        }
    return out;
}

// Offsets of every record of a page file, with its function.
QList<QPair<int, quint16>> walk(const QByteArray &file) {
    QList<QPair<int, quint16>> out;
    int at = wmf::PlaceableSize + 2 * wmf::u16(bytesOf(file) + 24);
    while (at + 6 <= file.size()) {
        out.append({at, wmf::u16(bytesOf(file) + at + 4)});
        if (wmf::u16(bytesOf(file) + at + 4) == 0) break;
        at += 2 * int(wmf::u32(bytesOf(file) + at));
    }
    return out;
}

QString run(const QString &program, const QStringList &args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

TEST(ReportPage, HeadersAndRecordsHaveTheMetafileLayout) {
    Report r;
    r.text(1000, 1500, "Hello", Font{"Courier New", 12});
    r.text(2000, 1500, "Clipped", Font{}, Align::Left, 500, true);
    r.line(0, 100, 8500, 100, 10);
    r.box(500, 600, 1000, 400);
    ASSERT_TRUE(r.endPage());
    ASSERT_EQ(r.pages().size(), 1);
    const QByteArray f = readAll(r.pages().first());
    const uchar *p = bytesOf(f);

    // Placeable header: key, bounding box, units per inch, checksum over the first ten words.
    EXPECT_EQ(wmf::u32(p), 0x9AC6CDD7u);
    EXPECT_EQ(wmf::u16(p + 6), 0);
    EXPECT_EQ(wmf::u16(p + 8), 0);
    EXPECT_EQ(wmf::u16(p + 10), 8500);
    EXPECT_EQ(wmf::u16(p + 12), 11000);
    EXPECT_EQ(wmf::u16(p + 14), 1000);
    quint16 sum = 0;
    for (int i = 0; i < 10; ++i) sum ^= wmf::u16(p + 2 * i);
    EXPECT_EQ(wmf::u16(p + 20), sum);

    // Metafile header: in memory, 9 words, version 3.0, size of everything after the placeable
    // header in words, the largest record.
    EXPECT_EQ(wmf::u16(p + 22), 1);
    EXPECT_EQ(wmf::u16(p + 24), 9);
    EXPECT_EQ(wmf::u16(p + 26), 0x0300);
    EXPECT_EQ(2 * wmf::u32(p + 28), quint32(f.size() - 22));
    const auto records = walk(f);
    quint32 largest = 0;
    for (auto [at, fn] : records) largest = std::max(largest, wmf::u32(p + at));
    EXPECT_EQ(wmf::u32(p + 34), largest);
    EXPECT_EQ(records.last().first + 6, f.size()) << "the end record closes the file";
    EXPECT_EQ(f.right(6), QByteArray("\x03\0\0\0\0\0", 6));

    int textRecords = 0;
    for (auto [at, fn] : records) {
        if (fn == wmf::CreateFontIndirect && textRecords == 0) {
            EXPECT_EQ(qint16(wmf::u16(p + at + 6)), -167) << "12 points at 1000 units per inch";
            EXPECT_EQ(QByteArray(f.constData() + at + 24), "Courier New");
        }
        if (fn != wmf::ExtTextOut) continue;
        EXPECT_EQ(uchar(f[at + 4]), 0x32);
        EXPECT_EQ(uchar(f[at + 5]), 0x0A);
        if (textRecords++ == 0) {
            EXPECT_EQ(wmf::u16(p + at + 6), 1500); // y first
            EXPECT_EQ(wmf::u16(p + at + 8), 1000);
            EXPECT_EQ(wmf::u16(p + at + 10), 5);
            EXPECT_EQ(wmf::u16(p + at + 12), 0);
            EXPECT_EQ(QByteArray(f.constData() + at + 14, 5), "Hello");
            EXPECT_EQ(wmf::u32(p + at), 3u + 4 + 3) << "odd text is padded to a whole word";
        } else {
            EXPECT_EQ(wmf::u16(p + at + 12), wmf::Clipped);
            EXPECT_EQ(wmf::u16(p + at + 14), 2000); // rectangle left, top, right, bottom
            EXPECT_EQ(wmf::u16(p + at + 16), 1500);
            EXPECT_EQ(wmf::u16(p + at + 18), 2500);
            EXPECT_EQ(QByteArray(f.constData() + at + 22, 7), "Clipped");
        }
    }
    EXPECT_EQ(textRecords, 2);
    // A reader that stops 22 bytes short of the end still reaches the last text.
    int lastText = 0;
    for (auto [at, fn] : records)
        if (fn == wmf::ExtTextOut) lastText = at;
    EXPECT_LT(lastText, f.size() - 22);
}

TEST(ReportPage, BandsBreakPagesWithHeaderAndFooterOnEveryPage) {
    Report r;
    BandReport bands(r, 500, 10500);
    bands.setPageHeader({300, [&](Report &rep, int top) {
                             rep.text(500, top, QStringLiteral("Page %1 of %2").arg(rep.pageNumber()).arg(PageOfPages));
                         }});
    bands.setPageFooter({200, [](Report &rep, int top) { rep.text(500, top, "Footer"); }});
    auto line = [&](int i) {
        bands.print({200, [i](Report &rep, int top) { rep.text(500, top, QStringLiteral("Line %1").arg(i)); }});
    };
    for (int i = 1; i <= 93; ++i) line(i);
    // 47 lines fill a page, so one more line fits on page 2; a group header that wants room for
    // one line below it must open page 3 instead of being left alone at the bottom.
    bands.print({200, [](Report &rep, int top) { rep.text(500, top, "Group"); }}, 200);
    for (int i = 94; i <= 100; ++i) line(i);
    ASSERT_TRUE(bands.finish());

    ASSERT_EQ(r.pages().size(), 3);
    int expectLine = 1;
    for (int page = 0; page < 3; ++page) {
        const QList<Text> t = texts(r.pages()[page]);
        ASSERT_GE(t.size(), 2);
        EXPECT_EQ(t.first().text, QStringLiteral("Page %1 of ?PP?").arg(page + 1));
        EXPECT_EQ(t.first().y, 500);
        EXPECT_EQ(t.last().text, "Footer");
        EXPECT_EQ(t.last().y, 10300);
        for (int i = 1; i + 1 < t.size(); ++i) {
            EXPECT_LE(t[i].y + 200, 10300) << "a band runs into the footer";
            if (t[i].text == "Group") continue;
            EXPECT_EQ(t[i].text, QStringLiteral("Line %1").arg(expectLine++));
        }
    }
    EXPECT_EQ(expectLine, 101);
    EXPECT_EQ(texts(r.pages()[1]).at(46).text, "Line 93");
    EXPECT_EQ(texts(r.pages()[2]).at(1).text, "Group");
    EXPECT_EQ(texts(r.pages()[2]).at(2).text, "Line 94");
}

TEST(ReportPage, RightAlignedTextEndsAtTheBoxEdge) {
    Report r;
    const Font f{"Arial", 10};
    r.text(1000, 1000, "1,234.56", f, Align::Right, 2000);
    r.endPage();
    const QList<Text> t = texts(r.pages().first());
    ASSERT_EQ(t.size(), 1);
    EXPECT_NEAR(t[0].x + textWidth("1,234.56", f), 3000, 1);
    EXPECT_EQ(installedFamily("Courier New"), "Liberation Mono");
    EXPECT_EQ(installedFamily("Arial"), "Liberation Sans");
}

TEST(ReportPage, PlayerDrawsBoxesAndTextWhereThePageSaysSo) {
    Report r;
    r.box(1000, 1000, 2000, 1000, 20, Qt::black);
    r.text(4000, 4000, "XXXXXXXX", Font{"Arial", 36, true});
    r.endPage();
    QImage image(850, 1100, QImage::Format_RGB32); // 100 pixels to the inch
    image.fill(Qt::white);
    QPainter painter(&image);
    ASSERT_TRUE(playFile(painter, r.pages().first(), QRectF(0, 0, 850, 1100)));
    painter.end();
    EXPECT_EQ(qGray(image.pixel(200, 150)), 0) << "inside the filled box";
    EXPECT_EQ(qGray(image.pixel(90, 90)), 255) << "outside the box";
    EXPECT_EQ(qGray(image.pixel(350, 150)), 255);
    int dark = 0;
    for (int y = 400; y < 460; ++y)
        for (int x = 400; x < 700; ++x) dark += qGray(image.pixel(x, y)) < 128;
    EXPECT_GT(dark, 500) << "the text is drawn below and right of its corner";
    int above = 0;
    for (int y = 300; y < 395; ++y)
        for (int x = 400; x < 700; ++x) above += qGray(image.pixel(x, y)) < 128;
    EXPECT_EQ(above, 0);
}

TEST(ReportPage, AnIndependentReaderAndAPdfShowOurTexts) {
    Report r;
    BandReport bands(r, 500, 10500);
    bands.setPageHeader({300, [](Report &rep, int top) {
                             rep.text(500, top, QStringLiteral("Missing Transactions Page %1").arg(rep.pageNumber()),
                                      Font{"Arial", 12, true});
                             rep.line(500, top + 250, 8000, top + 250);
                         }});
    for (int i = 1; i <= 60; ++i)
        bands.print({200, [i](Report &rep, int top) {
                         rep.text(500, top, QStringLiteral("Member%1").arg(i), Font{"Courier New", 10});
                         rep.text(3000, top, "$1,234.56", Font{}, Align::Right, 1500);
                     }});
    ASSERT_TRUE(bands.finish());
    ASSERT_EQ(r.pages().size(), 2);

    const QString wmf2svg = QStandardPaths::findExecutable("wmf2svg");
    ASSERT_FALSE(wmf2svg.isEmpty()) << "libwmf-bin is installed by scripts/deps.sh";
    QTemporaryDir out;
    const QString svg = out.filePath("page1.svg");
    QProcess convert;
    convert.start(wmf2svg, {"-o", svg, r.pages().first()});
    ASSERT_TRUE(convert.waitForFinished(30000));
    EXPECT_EQ(convert.exitCode(), 0) << convert.readAllStandardError().toStdString();
    const QString svgText = QString::fromUtf8(readAll(svg));
    EXPECT_TRUE(svgText.contains("Missing Transactions Page 1")) << svgText.left(400).toStdString();
    EXPECT_TRUE(svgText.contains("Member1<") || svgText.contains("Member1 "));
    EXPECT_TRUE(svgText.contains("$1,234.56"));

    const QString pdf = out.filePath("report.pdf");
    {
        QPdfWriter writer(pdf);
        ASSERT_TRUE(printPages(writer, r.pages()));
    }
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    ASSERT_FALSE(pdftotext.isEmpty()) << "poppler-utils is installed by scripts/deps.sh";
    const QString text = run(pdftotext, {"-layout", pdf, "-"});
    const QStringList pages = text.split('\f', Qt::SkipEmptyParts);
    ASSERT_GE(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains("Missing Transactions Page 1"));
    EXPECT_TRUE(pages[1].contains("Missing Transactions Page 2"));
    EXPECT_TRUE(pages[0].contains("Member1 "));
    EXPECT_TRUE(pages[1].contains("Member60"));
    EXPECT_TRUE(pages[1].contains("$1,234.56"));
    EXPECT_FALSE(pages[0].contains("Member60"));
    const QString info = run(QStandardPaths::findExecutable("pdfinfo"), {pdf});
    EXPECT_TRUE(info.contains("612 x 792 pts")) << info.toStdString();
}
