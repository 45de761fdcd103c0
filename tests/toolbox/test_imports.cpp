// The imports: layouts and rules of the conversion files and the locals' lists, and their
// safety: a broken or refused input, a failed write or a lock leaves the previous data.
#include "../support/tempdata.h"
#include "common/reportrun.h"
#include "data/records.h"
#include "platform/clock.h"
#include "platform/storage/faults.h"
#include "preview/wmf2ascii.h"
#include "toolbox/tools/memberimports.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

namespace {
// A fixed-width line of `width` blanks with texts put at 1-based columns.
class Line {
public:
    explicit Line(int width) : m_text(width, ' ') {}
    Line &at(int column, const QString &text) {
        m_text.replace(column - 1, text.size(), text);
        return *this;
    }
    QString text() const { return m_text; }

private:
    QString m_text;
};

QString member(QChar group, qint32 acct, QChar flag, const QString &last = "DOE") {
    return Line(380).at(2, group).at(3, QString::number(acct).rightJustified(9, '0')).at(12, last).at(260, flag).text();
}

QString history(QChar group, qint32 acct, const QString &yymmdd, qint64 cents, QChar letter,
                const QString &desc = "DEPOSIT") {
    return Line(49)
        .at(2, group)
        .at(3, QString::number(acct).rightJustified(9, '0'))
        .at(14, yymmdd)
        .at(20, QString::number(cents).rightJustified(10, '0'))
        .at(30, letter)
        .at(37, desc)
        .text();
}

QString balance(QChar group, qint32 acct, qint64 cents) {
    return Line(60).at(2, group).at(3, QString::number(acct).rightJustified(9, '0')).at(24,
        QString::number(cents).rightJustified(10, '0')).text();
}

class Conversion : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        Clock::setToday(Clock::dayNumber(2026, 6, 15));
        for (const storage::FileDef *def : {&MemberCU::layout().def(), &Trans::layout().def(),
                                            &TransDesc::layout().def()})
            ASSERT_TRUE(db->create(*def));
    }
    void write(const QString &name, const QByteArray &bytes) {
        QFile f(QDir(dataDir()).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void writeLines(const QString &name, const QStringList &lines, const char *eol = "\r\n") {
        write(name, lines.join(QString::fromLatin1(eol)).toLatin1() + eol);
    }
    template <class R> QList<R> all() {
        storage::DataFile<R> f(*db);
        EXPECT_TRUE(f.open());
        QList<R> out;
        if (!f.first()) return out;
        do out << f.rec;
        while (f.next());
        return out;
    }
    void addMember(qint32 acct, const QString &last, qint32 local = 0, const QString &ssn = {}) {
        storage::DataFile<MemberCU> mem(*db);
        ASSERT_TRUE(mem.open());
        mem.clear();
        mem.rec.ACCTNUM = acct;
        mem.rec.LASTNAME = last;
        mem.rec.LOCALCODE = local;
        mem.rec.SSNUM = ssn;
        ASSERT_TRUE(mem.add());
    }
    void addTrans(qint32 acct, const char *amount) {
        storage::DataFile<Trans> tra(*db);
        ASSERT_TRUE(tra.open());
        tra.clear();
        tra.rec.ACCTNUM = acct;
        tra.rec.TRANSDATE = Clock::dayNumber(2020, 1, 2);
        tra.rec.TRANSAMOUNT = Decimal::fromString(amount);
        ASSERT_TRUE(tra.add());
    }
    void addCode(qint32 code, const QString &desc) {
        storage::DataFile<TransDesc> trd(*db);
        ASSERT_TRUE(trd.open());
        trd.clear();
        trd.rec.TRANSCODE = code;
        trd.rec.TRANSDESC = desc;
        ASSERT_TRUE(trd.add());
    }
    // Sends the report of bad lines to `reported` instead of the preview window.
    template <class Run> void capture(Run &run) {
        run.prepareReport = [this](ReportRun &r) {
            r.iniFile = QDir(dataDir()).filePath("PRVWRPTS.INI");
            r.preview = [this](QStringList &pages, const PreviewOptions &) {
                for (const QString &p : pages)
                    for (const QByteArray &l : pagetext::lines(p, 0))
                        if (!l.trimmed().isEmpty()) reported << QString::fromLatin1(l.trimmed());
                return 2;
            };
            r.print = [](const QStringList &) { return true; };
        };
    }
    QStringList texts() const {
        QStringList out;
        for (const Message &m : dialogs.shown) out << m.text;
        return out;
    }
    QStringList reported;
};

QStringList names(const QList<MemberCU> &members) {
    QStringList out;
    for (const MemberCU &m : members) out << QString::number(m.ACCTNUM) + " " + m.LASTNAME;
    return out;
}
} // namespace

// ---- The conversion of the member master ----

TEST_F(Conversion, MembersAreTakenByGroupDigitAndColumn260Flag) {
    const QStringList lines = {member(' ', 1, 'N'), member('0', 2, 'n'), member('7', 3, 'N'),
                               member('8', 4, 'N'), member('9', 5, 'N'), member('3', 6, ' '),
                               member('3', 7, 'Y')};
    writeLines("BASIC.TXT", lines);
    {
        MemberImport run(*db, dialogs);
        capture(run);
        dialogs.answers = {Dlg::Yes};
        ASSERT_TRUE(run.run());
        EXPECT_EQ(dialogs.shown[0].caption, "Import Members");
        EXPECT_EQ(dialogs.shown[0].text, "Are you importing Local 565 Information?");
        EXPECT_EQ(dialogs.shown[0].icon, Dlg::Question);
        EXPECT_EQ(dialogs.shown[0].buttons, Dlg::Yes | Dlg::No);
        EXPECT_EQ(dialogs.last().caption, "Import Finished");
        EXPECT_EQ(dialogs.last().text, "Completed Updating MEMBERCU Data.");
        EXPECT_EQ(dialogs.last().icon, Dlg::Exclamation);
        EXPECT_EQ(names(all<MemberCU>()), QStringList({"1 DOE", "2 DOE", "3 DOE"}));
        EXPECT_EQ(run.linesRead, 7);
    }
    // With No only the groups 8 and 9, and the first run's members are gone.
    dialogs.shown.clear();
    MemberImport run(*db, dialogs);
    dialogs.answers = {Dlg::No};
    ASSERT_TRUE(run.run());
    EXPECT_EQ(names(all<MemberCU>()), QStringList({"4 DOE", "5 DOE"}));
}

TEST_F(Conversion, MemberFieldsLocalCodesAndDates) {
    auto line = [](qint32 acct, const QString &misc2) {
        return Line(380)
            .at(3, QString::number(acct).rightJustified(9, ' '))
            .at(12, "SMITH").at(32, "JOHN").at(52, "1 MAIN ST").at(72, "APT 2").at(92, "SPRINGFIELD")
            .at(112, "IL").at(114, "62701-1234").at(124, "123-45-6789").at(135, "280101")
            .at(141, "OLDID").at(155, "990315").at(161, "M1").at(181, misc2).at(201, "M3")
            .at(216, "M4").at(231, "M5").at(236, "M6").at(241, "300101").at(260, "N")
            .at(274, "WATCH OUT").at(314, "JANE SMITH").text();
    };
    writeLines("BASIC.TXT", {line(1, "Local #565"), line(2, "LOCAL565"), line(3, "565"),
                             line(4, "no number"), line(5, "LOCAL# 33 EAST")});
    MemberImport run(*db, dialogs);
    ASSERT_TRUE(run.run());
    const QList<MemberCU> m = all<MemberCU>();
    ASSERT_EQ(m.size(), 5);
    EXPECT_EQ(m[0].LOCALCODE, 565);
    EXPECT_EQ(m[1].LOCALCODE, 565);
    EXPECT_EQ(m[2].LOCALCODE, 565);
    EXPECT_EQ(m[3].LOCALCODE, 0);
    EXPECT_EQ(m[4].LOCALCODE, 33);
    const MemberCU &a = m[0];
    EXPECT_EQ(a.ACCTNUM, 1);
    EXPECT_EQ(a.LASTNAME, "SMITH");
    EXPECT_EQ(a.FIRSTNAME, "JOHN");
    EXPECT_EQ(a.ADDR1, "1 MAIN ST");
    EXPECT_EQ(a.ADDR2, "APT 2");
    EXPECT_EQ(a.CITY, "SPRINGFIELD");
    EXPECT_EQ(a.STATE, "IL");
    EXPECT_EQ(a.ZIP, "62701-1234");
    EXPECT_EQ(a.SSNUM, "123-45-6789");
    EXPECT_EQ(a.USERID, "OLDID");
    EXPECT_EQ(a.MISC1, "M1");
    EXPECT_EQ(a.MISC2, "Local #565");
    EXPECT_EQ(a.MISC3, "M3");
    EXPECT_EQ(a.MISC6, "M6");
    EXPECT_EQ(a.WARNING, "WATCH OUT");
    EXPECT_EQ(a.JOINTOWNER, "JANE SMITH");
    EXPECT_EQ(a.WITHDRAWALFLAG, 1);
    EXPECT_EQ(a.MEMBERID, 0);
    // Birth and joined dates fall within the 99 years up to today; the closed date in the
    // window of 80 years back to 19 ahead.
    EXPECT_EQ(a.BIRTHDATE, Clock::dayNumber(1928, 1, 1));
    EXPECT_EQ(a.DATEJOINED, Clock::dayNumber(1999, 3, 15));
    EXPECT_EQ(a.DATECLOSED, Clock::dayNumber(2030, 1, 1));
}

TEST_F(Conversion, MemberLinesThatCannotBeReadAreListedAndTheRestImported) {
    writeLines("BASIC.TXT", {member('1', 10, 'N'), Line(380).at(3, "    AB12 ").at(260, "N").text(),
                             Line(380).at(3, "000000011").at(135, "991341").at(260, "N").text(),
                             member('Q', 12, 'N'), member('1', 13, 'N')});
    MemberImport run(*db, dialogs);
    capture(run);
    ASSERT_TRUE(run.run());
    EXPECT_EQ(names(all<MemberCU>()), QStringList({"10 DOE", "13 DOE"}));
    EXPECT_EQ(run.bad.count(), 3);
    EXPECT_TRUE(texts().contains("3 lines of BASIC.TXT could not be read and were not imported.  "
                                 "The report that follows lists them."));
    EXPECT_TRUE(reported.contains("Lines not imported from BASIC.TXT"));
    EXPECT_TRUE(reported.contains("line 2: account number 'AB12' is not a number")) << reported.join("\n").toStdString();
    EXPECT_TRUE(reported.contains("line 3: birth date '991341' is not a date"));
    EXPECT_TRUE(reported.contains("line 4: group digit 'Q' is not a number"));
}

// ---- The account history ----

TEST_F(Conversion, HistoryTypeLettersSignsAndTheDividendCode) {
    addMember(100, "A");
    writeLines("SHARENT.TXT", {history('1', 100, "240315", 12345, 'B', "DIVIDEND 2024"),
                               history('1', 100, "240316", 500, 'M'), history('1', 100, "240317", 700, 'N'),
                               history('1', 100, "991231", 1, 'A')});
    TransImport run(*db, dialogs);
    dialogs.answers = {Dlg::Yes};
    ASSERT_TRUE(run.run());
    const QList<Trans> t = all<Trans>();
    ASSERT_EQ(t.size(), 4);
    EXPECT_EQ(t[0].TRANSTYPE, TransType::Dividend);
    EXPECT_EQ(t[0].TRANSAMOUNT, Decimal::fromCents(12345));
    EXPECT_EQ(t[0].DESC, "DIVIDEND 2024");
    EXPECT_EQ(t[0].TRANSDATE, Clock::dayNumber(2024, 3, 15));
    EXPECT_EQ(t[0].ACCTNUM, 100);
    EXPECT_EQ(t[1].TRANSTYPE, 13);
    EXPECT_EQ(t[1].TRANSAMOUNT, Decimal::fromCents(500));
    EXPECT_EQ(t[2].TRANSTYPE, 14);
    EXPECT_EQ(t[2].TRANSAMOUNT, Decimal::fromCents(-700));
    EXPECT_EQ(t[3].TRANSDATE, Clock::dayNumber(1999, 12, 31));
    EXPECT_EQ(t[3].TRANSTYPE, 1);
    EXPECT_EQ(dialogs.last().caption, "Import Finished");
    EXPECT_EQ(dialogs.last().text, "Transaction Data Imported");
}

TEST_F(Conversion, PreviousBalanceOnlyForMembersWithABalance) {
    addMember(100, "WITH HISTORY");
    addMember(300, "NO HISTORY");
    addMember(400, "ZERO");
    writeLines("SHARENT.TXT", {history('1', 100, "240315", 100, 'A'), history('1', 100, "190102", 100, 'A'),
                               history('1', 200, "180101", 100, 'A'), history('9', 100, "100101", 100, 'A')});
    writeLines("SHARE.TXT", {balance('1', 100, 250075), balance('1', 200, 999), balance('1', 300, 4200),
                             balance('1', 400, 0), balance('8', 100, 77)});
    TransImport run(*db, dialogs);
    dialogs.answers = {Dlg::Yes};
    ASSERT_TRUE(run.run());
    EXPECT_EQ(run.balancesAdded, 2);
    QList<Trans> opening;
    for (const Trans &t : all<Trans>())
        if (t.TRANSTYPE == TransType::CarriedBalance) opening << t;
    ASSERT_EQ(opening.size(), 2);
    EXPECT_EQ(opening[0].ACCTNUM, 100);
    EXPECT_EQ(opening[0].TRANSAMOUNT, Decimal::fromCents(250075));
    EXPECT_EQ(opening[0].DESC, "Previous Balance");
    EXPECT_EQ(opening[0].TRANSDATE, Clock::dayNumber(2019, 1, 2)) << "the account's earliest history date";
    // No history of its own: the earliest date of the whole history.
    EXPECT_EQ(opening[1].ACCTNUM, 300);
    EXPECT_EQ(opening[1].TRANSDATE, Clock::dayNumber(2018, 1, 1));
    EXPECT_EQ(all<Trans>().size(), 5);
}

TEST_F(Conversion, HistoryNeedsMembersFirst) {
    addTrans(5, "1.00");
    writeLines("SHARENT.TXT", {history('1', 100, "240315", 100, 'A')});
    TransImport run(*db, dialogs);
    EXPECT_FALSE(run.run());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().caption, "Error  ...");
    EXPECT_EQ(dialogs.last().text, "Member Database Must Be Created First.");
    EXPECT_EQ(all<Trans>().size(), 1);
}

TEST_F(Conversion, HistoryLinesThatCannotBeRead) {
    addMember(100, "A");
    writeLines("SHARENT.TXT", {history('1', 100, "240315", 100, 'A'), history('1', 100, "241315", 100, 'A'),
                               history('1', 100, "240315", 100, 'b'), history('1', 100, "240315", 100, 'A').left(25),
                               Line(49).at(2, "1").at(3, "000000100").at(14, "240315").at(20, "12X4").at(30, "A").text()});
    TransImport run(*db, dialogs);
    capture(run);
    ASSERT_TRUE(run.run());
    EXPECT_EQ(all<Trans>().size(), 1);
    EXPECT_EQ(reported.mid(1), QStringList({"line 2: date '241315' is not a date",
                                            "line 3: type letter 'b' is not a letter from A to Z",
                                            "line 4: only 25 characters; the line needs 30",
                                            "line 5: amount '12X4' is not a number"}));
}

TEST_F(Conversion, EveryHistoryLineKeepsItsOwnDescriptionDateAndAmount) {
    addMember(100, "A");
    addMember(200, "B");
    // Descriptions and dates that come back after others, and one impossible date twice.
    writeLines("SHARENT.TXT", {history('1', 100, "240315", 100, 'A', "PAYROLL"),
                               history('1', 200, "240315", 200, 'A', "PAYROLL"),
                               history('1', 100, "240401", 300, 'N', "WITHDRAWAL"),
                               history('1', 200, "241301", 400, 'A', "PAYROLL"),
                               history('1', 100, "240315", 500, 'A', "PAYROLL"),
                               history('1', 200, "190102", 600, 'B', "DIVIDEND"),
                               history('1', 100, "241301", 700, 'A', "WITHDRAWAL"),
                               history('1', 200, "240401", 800, 'A', "WITHDRAWAL"),
                               history('1', 100, "240315", 900, 'A', "")});
    // The same account twice: both opening balances open on its earliest date.
    writeLines("SHARE.TXT", {balance('1', 200, 1000), balance('1', 100, 2000), balance('1', 200, 3000)});
    TransImport run(*db, dialogs);
    capture(run);
    ASSERT_TRUE(run.run());
    QStringList rows;
    for (const Trans &t : all<Trans>())
        rows << QString("%1 %2 %3 %4 %5").arg(t.ACCTNUM).arg(Clock::toQDate(t.TRANSDATE).toString(Qt::ISODate))
                    .arg(t.TRANSAMOUNT.toString()).arg(t.TRANSTYPE).arg(t.DESC);
    EXPECT_EQ(rows, QStringList({"100 2024-03-15 1.00 1 PAYROLL", "200 2024-03-15 2.00 1 PAYROLL",
                                 "100 2024-04-01 -3.00 14 WITHDRAWAL", "100 2024-03-15 5.00 1 PAYROLL",
                                 "200 2019-01-02 6.00 -5 DIVIDEND", "200 2024-04-01 8.00 1 WITHDRAWAL",
                                 "100 2024-03-15 9.00 1 ",
                                 "200 2019-01-02 10.00 -6 Previous Balance",
                                 "100 2024-03-15 20.00 -6 Previous Balance",
                                 "200 2019-01-02 30.00 -6 Previous Balance"}));
    EXPECT_EQ(reported, QStringList({"Lines not imported from SHARENT.TXT and SHARE.TXT",
                                     "line 4: date '241301' is not a date", "line 7: date '241301' is not a date"}));
    // The keys were built over the whole: an account's history and balances read in date order.
    EXPECT_TRUE(db->keysValid(Trans::layout().def()));
    storage::DataFile<Trans> tra(*db);
    ASSERT_TRUE(tra.open());
    tra.rec.ACCTNUM = 200;
    tra.rec.TRANSDATE = 0;
    tra.set(Trans::AcctDateRevKey);
    QStringList account;
    while (tra.next() && tra.rec.ACCTNUM == 200) account << tra.rec.TRANSAMOUNT.toString();
    EXPECT_EQ(account, QStringList({"6.00", "10.00", "30.00", "2.00", "8.00"}));
}

TEST_F(Conversion, TheSameDateDigitsFollowEachFieldsOwnCenturyRule) {
    // Birth and joined dates lie within the 99 years up to today; the closed date takes the
    // window from 80 years back.
    const QString same = Line(380).at(2, "1").at(3, "000000001").at(135, "300101").at(155, "300101")
                             .at(241, "300101").at(260, "N").text();
    QString second = same;
    second.replace(2, 9, "000000002");
    writeLines("BASIC.TXT", {same, second});
    MemberImport run(*db, dialogs);
    dialogs.answers = {Dlg::Yes};
    ASSERT_TRUE(run.run());
    const QList<MemberCU> m = all<MemberCU>();
    ASSERT_EQ(m.size(), 2);
    for (const MemberCU &one : m) {
        EXPECT_EQ(one.BIRTHDATE, Clock::dayNumber(1930, 1, 1));
        EXPECT_EQ(one.DATEJOINED, Clock::dayNumber(1930, 1, 1));
        EXPECT_EQ(one.DATECLOSED, Clock::dayNumber(2030, 1, 1));
    }
}

TEST_F(Conversion, AMemberFileThatCannotBeReadStopsTheOpeningBalances) {
    addMember(100, "A");
    addTrans(100, "12.34");
    writeLines("SHARENT.TXT", {history('1', 100, "240101", 100, 'A')});
    writeLines("SHARE.TXT", {balance('1', 100, 5000)});
    storage::faults::refuseReads("MemberCU", 1); // the check that members exist reads one
    TransImport run(*db, dialogs);
    EXPECT_FALSE(run.run());
    storage::faults::clear(*db);
    EXPECT_EQ(dialogs.last().text, "The import was stopped; TRANS is as it was before.  Error: " +
                                       storage::faults::DamagedText + ".");
    ASSERT_EQ(all<Trans>().size(), 1);
    EXPECT_EQ(all<Trans>()[0].TRANSAMOUNT, Decimal::fromCents(1234));
    EXPECT_EQ(run.stored, 0);
    EXPECT_EQ(run.balancesAdded, 0);
}

TEST(ImportsColumns, DigitsAreOnlyPlainDigitsWithBlanksAround) {
    qint64 v = -1;
    EXPECT_TRUE(Imports::digits(u"000000100", v));
    EXPECT_EQ(v, 100);
    EXPECT_TRUE(Imports::digits(u"  7 ", v));
    EXPECT_EQ(v, 7);
    EXPECT_TRUE(Imports::digits(u"999999999999999999", v));
    EXPECT_EQ(v, 999999999999999999LL);
    v = -1;
    for (const char16_t *no : {u"", u"   ", u"1 2", u"-5", u"+5", u"12X4", u"1.5", u"9999999999999999999", u"１２"})
        EXPECT_FALSE(Imports::digits(no, v)) << QString::fromUtf16(no).toStdString();
    EXPECT_EQ(v, -1) << "a refused column leaves the value alone";
    // Columns past the end of a short line are empty, not an error.
    EXPECT_EQ(Imports::column(u"ABC", 2, 5), u"BC");
    EXPECT_TRUE(Imports::column(u"ABC", 10, 5).isEmpty());
}

// ---- The transaction codes ----

TEST_F(Conversion, CodesNumberEveryLineBlankOnesIncluded) {
    QStringList lines;
    for (int i = 1; i <= 14; ++i) lines << (i == 5 ? QString() : QString("Code number %1 with a long text past 30").arg(i));
    writeLines("depwith.dat", lines);
    addCode(99, "OLD");
    TransCodeImport run(*db, dialogs);
    ASSERT_TRUE(run.run());
    const QList<TransDesc> codes = all<TransDesc>();
    ASSERT_EQ(codes.size(), 13);
    QList<int> numbers;
    for (const TransDesc &d : codes) {
        numbers << d.TRANSCODE;
        EXPECT_EQ(d.POSITIVE, d.TRANSCODE <= 12 ? 1 : 0) << d.TRANSCODE;
    }
    EXPECT_EQ(numbers, QList<int>({1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
    EXPECT_EQ(codes[0].TRANSDESC, "Code number 1 with a long text");
    EXPECT_EQ(dialogs.last().text, "Transaction Data Imported");
}

// ---- Reading the files ----

TEST_F(Conversion, LineBreaksByteOrderMarkAndEncodings) {
    // Windows-1252 (0xE9 is an e with an accent), lines ended by CR LF, LF and CR.
    QByteArray accented = member('1', 2, 'N', "JOSX").toLatin1();
    accented[14] = '\xC9';
    QByteArray bytes = member('1', 1, 'N', "RENE").toLatin1() + "\r\n" + accented + "\n" + member('1', 3, 'N').toLatin1() + "\r" + member('1', 4, 'N').toLatin1() + "\x1a";
    write("BASIC.TXT", bytes);
    MemberImport run(*db, dialogs);
    ASSERT_TRUE(run.run());
    EXPECT_EQ(names(all<MemberCU>()), QStringList({"1 RENE", "2 JOS\u00C9", "3 DOE", "4 DOE"}));
    // UTF-8 with a byte-order mark: characters, not bytes, make the columns.
    write("depwith.dat", "\xEF\xBB\xBF" + QString("Dépôt").toUtf8() + "\r\nRetrait\r\n");
    TransCodeImport codes(*db, dialogs);
    ASSERT_TRUE(codes.run());
    EXPECT_EQ(all<TransDesc>()[0].TRANSDESC, QString("Dépôt"));
}

TEST(ImportsCsv, QuotedValuesCommasAndDoubledQuotes) {
    QStringList v;
    EXPECT_TRUE(::Imports::splitCsv(R"(123-45-6789,"SMITH, JOHN A, JR","say ""hi""",,  "x" ,plain)", v));
    EXPECT_EQ(v, QStringList({"123-45-6789", "SMITH, JOHN A, JR", "say \"hi\"", "", "x ", "plain"}));
    QString problem;
    EXPECT_FALSE(::Imports::splitCsv(R"(1,"never closed,2)", v, &problem));
    EXPECT_EQ(problem, "a quote opened in value 2 is not closed");
    EXPECT_TRUE(::Imports::splitCsv("", v));
    EXPECT_EQ(v, QStringList({""}));
}

// ---- Safety ----

namespace {
struct Broken {
    const char *name;
    QByteArray bytes;
    const char *says; // part of the message
};

QByteArray noise() {
    QByteArray b(64 * 1024, '\0');
    QRandomGenerator gen(42);
    for (char &c : b) c = char(gen.bounded(256));
    return b;
}

QList<Broken> brokenFiles(const QString &goodLine) {
    const QByteArray good = goodLine.toLatin1();
    return {
        {"empty", QByteArray(), "is empty"},
        {"blank lines", "  \r\n\r\n\t\r\n", "is empty"},
        {"binary noise", noise(), "is not a text file"},
        {"UTF-16", QByteArray("\xFF\xFE") + QByteArray("1\0 \0", 4).repeated(100), "UTF-16"},
        {"truncated lines", good.left(20) + "\r\n" + good.left(28) + "\r\n", "holds no line"},
        {"10 MB of one line", QByteArray(10 * 1024 * 1024, '7'), "holds no line"},
        {"quotes that never close", "\"" + good + "\r\n\"" + good, "holds no line"},
        {"a NUL in a text", good + "\r\n" + good.left(10) + '\0' + good.mid(11) + "\r\n", "holds the byte 0x00"},
    };
}
} // namespace

TEST_F(Conversion, BrokenFilesLeaveEveryTargetAsItWas) {
    addMember(100, "KEPT");
    addTrans(100, "12.34");
    addCode(1, "KEPT");
    struct Target {
        const char *file;
        QString good;
        std::function<bool()> run;
    };
    const QList<Target> targets = {
        {"BASIC.TXT", member('1', 1, 'N'), [&] { MemberImport r(*db, dialogs); capture(r); return r.run(); }},
        {"SHARENT.TXT", history('1', 1, "240101", 100, 'A'), [&] { TransImport r(*db, dialogs); capture(r); return r.run(); }},
        // A code line is any text; only what is no text, or longer than a record, is refused.
        {"depwith.dat", QString(250, 'x'), [&] { TransCodeImport r(*db, dialogs); capture(r); return r.run(); }},
    };
    for (const Target &t : targets)
        for (const Broken &b : brokenFiles(t.good)) {
            if (t.good.startsWith('x') && QByteArray(b.name) == "truncated lines") continue; // still text
            SCOPED_TRACE(std::string(t.file) + ": " + b.name);
            write(t.file, b.bytes);
            dialogs.shown.clear();
            dialogs.answers = {Dlg::Yes};
            EXPECT_FALSE(t.run());
            bool said = false;
            for (const Message &m : dialogs.shown)
                if (m.caption == "Import Process" && m.icon == Dlg::Error && m.text.contains(b.says)) said = true;
            EXPECT_TRUE(said) << texts().join(" / ").left(600).toStdString();
            EXPECT_EQ(names(all<MemberCU>()), QStringList({"100 KEPT"}));
            ASSERT_EQ(all<Trans>().size(), 1);
            EXPECT_EQ(all<Trans>()[0].TRANSAMOUNT, Decimal::fromCents(1234));
            ASSERT_EQ(all<TransDesc>().size(), 1);
            EXPECT_EQ(all<TransDesc>()[0].TRANSDESC, "KEPT");
        }
}

TEST_F(Conversion, AFailedWriteLeavesThePreviousData) {
    addMember(100, "KEPT");
    addTrans(100, "12.34");
    writeLines("SHARENT.TXT", {history('1', 100, "240101", 100, 'A'), history('1', 100, "240102", 200, 'A')});
    writeLines("SHARE.TXT", {balance('1', 100, 5000)});
    // The history goes in; the opening balance after it is refused.
    ASSERT_TRUE(storage::faults::refuseWrites(*db, "Trans", 3)); // the old record's delete, two lines
    TransImport run(*db, dialogs);
    EXPECT_FALSE(run.run());
    EXPECT_EQ(dialogs.last().text.left(40), "The import was stopped; TRANS is as it w");
    EXPECT_TRUE(dialogs.last().text.contains(storage::faults::FullText));
    storage::faults::clear(*db);
    ASSERT_EQ(all<Trans>().size(), 1);
    EXPECT_EQ(all<Trans>()[0].TRANSAMOUNT, Decimal::fromCents(1234));
    EXPECT_EQ(run.stored, 0);

    writeLines("BASIC.TXT", {member('1', 1, 'N'), member('1', 2, 'N')});
    ASSERT_TRUE(storage::faults::refuseWrites(*db, "MemberCU", 1, true));
    MemberImport members(*db, dialogs);
    EXPECT_FALSE(members.run());
    storage::faults::clear(*db);
    EXPECT_EQ(names(all<MemberCU>()), QStringList({"100 KEPT"}));
}

TEST_F(Conversion, AnotherStationsLockRefusesTheWholeImport) {
    addCode(1, "KEPT");
    writeLines("depwith.dat", {"NEW"});
    storage::faults::refuseBegin();
    TransCodeImport run(*db, dialogs);
    EXPECT_FALSE(run.run());
    EXPECT_EQ(dialogs.last().text, "Share Transaction Code Data - " + storage::faults::LockedText);
    EXPECT_EQ(all<TransDesc>()[0].TRANSDESC, "KEPT");
}

TEST_F(Conversion, AMissingFileIsAskedForAndCancellingChangesNothing) {
    addCode(1, "KEPT");
    TransCodeImport cancelled(*db, dialogs);
    EXPECT_FALSE(cancelled.run());
    ASSERT_EQ(dialogs.fileDirs.size(), 1);
    EXPECT_EQ(dialogs.fileDirs[0], QDir(dataDir()).filePath("depwith.dat"));
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(all<TransDesc>()[0].TRANSDESC, "KEPT");

    QTemporaryDir elsewhere;
    QFile f(elsewhere.filePath("codes.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("FROM ELSEWHERE\n");
    f.close();
    dialogs.fileNames = {f.fileName(), elsewhere.filePath("gone.txt")};
    TransCodeImport picked(*db, dialogs);
    ASSERT_TRUE(picked.run());
    EXPECT_EQ(all<TransDesc>()[0].TRANSDESC, "FROM ELSEWHERE");

    // A picked file that cannot be opened: the open step's message with the system's reason.
    TransCodeImport gone(*db, dialogs);
    EXPECT_FALSE(gone.run());
    EXPECT_TRUE(dialogs.last().text.startsWith("Open Transaction Codes Import File - ")) << dialogs.last().text.toStdString();
    EXPECT_EQ(all<TransDesc>()[0].TRANSDESC, "FROM ELSEWHERE");
}
