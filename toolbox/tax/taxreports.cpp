#include "taxreports.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "data/records.h"
#include "disklines.h"
#include "formlayout.h"
#include "platform/clock.h"
#include "platform/picture.h"
#include "platform/storage/error.h"
#include "platform/text.h"

#include <algorithm>
#include <memory>

namespace Tax {
namespace {
// The diskette report of the 1099-R file.
const QString kDiskName = QStringLiteral("DisketteRpt");
const QString kDiskTitle = QStringLiteral("1099-R Diskette Report");
const QString kNameHeading = QStringLiteral("Name");
const QString kSsnHeading = QStringLiteral("S.S.#");
const QString kGrossHeading = QStringLiteral("Gross Distribution");
const QString kTaxHeading = QStringLiteral("Tax Withheld");
const QString kCodeHeading = QStringLiteral("DC");
const QString kNameTotal = QStringLiteral("Name Total =");
const QString kNoMemberMark = QStringLiteral("*");
const QString kNoMemberNote = QStringLiteral(
    "* No member has this S.S.#: its form shows the name above and no address.");

// The 1099-INT diskette report.
const QString kIntName = QStringLiteral("IntDisketteRpt");
const QString kIntTitle = QStringLiteral("1099-INT Diskette Report");
const QString kPartHeading = QStringLiteral("Participant Name");
const QString kAcctHeading = QStringLiteral("Account Number");
const QString kInterestHeading = QStringLiteral("Total Interest");
const QString kIntTotal = QStringLiteral("1099-INT Diskette Total:");
const QString kPaidTotal = QStringLiteral("Total Dividend Paid:");

// The forms.
const QString kFormsName = QStringLiteral("Print1099R");
const QString kMark = QStringLiteral("X");
const QString kSsnPattern = QStringLiteral("@P###-##-####P");
const QString kLayoutCaption = QStringLiteral("1099-R Form Layout ...");
const QString kLayoutQuestion = QStringLiteral("Which Form Layout Would You Like To Print?");
const QString kLayoutButtons = QStringLiteral("Layout &1|Layout &2|&Cancel");
const QString kOffsetsCaption = QStringLiteral("1099-R Forms ...");
const QString kOffsetsRefused = QStringLiteral(
    "These offsets in %1 are not \"right,down\" in hundredths of an inch (at most 1100 either "
    "way):|%2||Those fields are printed at their usual places.");

const QString kReadFailed = QStringLiteral(
    "The %1 file could not be read:|%2||The report was stopped; none of it was shown or printed.");
const QString kMemberFile = QStringLiteral("member");
const QString kSettingsFile = QStringLiteral("fund settings");

const QString kPage = QStringLiteral("Page %1 of ?PP?");
const QString kRunDate = QStringLiteral("@d2");
const QString kLineAmount = QStringLiteral("@n$15.2");
const QString kTotalAmount = QStringLiteral("@n$20.2");
const QString kInterest = QStringLiteral("@n$19.2");
const QString kCount = QStringLiteral("@n9");
const QString kPensionIni = QStringLiteral("PENSION.INI");

const report::Font kTitleFont{QStringLiteral("Arial"), 14, true};
const report::Font kSubFont{QStringLiteral("Arial"), 12, true};
const report::Font kHeadFont{QStringLiteral("Arial"), 10, true};
const report::Font kFootFont{QStringLiteral("Arial"), 9};
const report::Font kData{QStringLiteral("Courier New"), 9};
const report::Font kDataBold{QStringLiteral("Courier New"), 9, true};
const report::Font kFormFont{QStringLiteral("Courier New"), 10};

// The lists, in thousandths of an inch on a letter page; a 9-point fixed-pitch character is 75
// wide, so a column of n characters is n * kChar.
constexpr int kChar = 75;
constexpr int kLeft = 500, kRight = 8000;
constexpr int kTop = 500, kBottom = 10500;
constexpr int kLine = 170;
constexpr int kSsnX = 3600, kGrossEnd = 5650, kTaxEnd = 6900, kCodeX = 7050, kMarkX = 7250;
constexpr int kAcctX = 3700, kInterestEnd = 7000;
constexpr int kCountX = 1700;

// Reads the lines of a run from the report's own files; every way a read can fail ends the run.
struct Files {
    explicit Files(storage::Database &db) : mem(db), cui(db) {}
    storage::DataFile<MemberCU> mem;
    storage::DataFile<CUInfo> cui;
    CUInfo fund;
};

bool readFailed(ReportRun &run, Dialogs &dialogs, const QString &caption, const QString &file) {
    dialogs.message(caption, kReadFailed.arg(file, storage::lastErrorText()), Dlg::Error);
    run.stop();
    return false;
}

// Opens the files and reads the fund's settings (blank when there are none yet).
bool openFiles(Files &f, Dialogs &dialogs, const QString &caption) {
    if (!CHECKOPEN(f.mem, dialogs) || !CHECKOPEN(f.cui, dialogs)) return false;
    f.fund = CUInfo();
    if (f.cui.first()) f.fund = f.cui.rec;
    else if (f.cui.failed()) {
        dialogs.message(caption, kReadFailed.arg(kSettingsFile, storage::lastErrorText()),
                        Dlg::Error);
        return false;
    }
    return true;
}

enum class Match { Found, NoMember, ReadFailed };

// The member a line was made for: exactly the line's SSN, and of several members with that SSN
// the line's own account. The forms and the diskette report both go by this one rule, so a
// line the report marks is a form without an address, never another member's.
Match findMember(storage::DataFile<MemberCU> &mem, const DiskLine &line, MemberCU *out) {
    const QString ssn = clip(line.SSNUM.left(11));
    if (ssn.trimmed().isEmpty()) return Match::NoMember;
    mem.clear();
    mem.rec.SSNUM = ssn;
    mem.set(MemberCU::SSNum_Key);
    bool found = false;
    while (mem.next() && clip(mem.rec.SSNUM) == ssn) {
        if (!found || mem.rec.ACCTNUM == line.ACCTNUM) *out = mem.rec;
        found = true;
        if (mem.rec.ACCTNUM == line.ACCTNUM) return Match::Found;
    }
    if (mem.failed()) return Match::ReadFailed;
    return found ? Match::Found : Match::NoMember;
}

// The header and footer every list of the run has: the fund's name, the title, the column
// headings under them; the run date and the page of pages at the foot.
struct Heading {
    QString text;
    int x;
    report::Align align = report::Align::Left;
    int width = 0;
};

std::unique_ptr<report::BandReport> listBands(report::Report &rp, const QString &fund,
                                              const QString &title, const QList<Heading> &heads) {
    auto bands = std::make_unique<report::BandReport>(rp, kTop, kBottom);
    bands->setPageHeader({1050, [fund, title, heads](report::Report &r, int top) {
                              const int w = kRight - kLeft;
                              r.text(kLeft, top, fund, kTitleFont, report::Align::Center, w);
                              r.text(kLeft, top + 300, title, kSubFont, report::Align::Center, w);
                              for (const Heading &h : heads)
                                  r.text(h.x, top + 700, h.text, kHeadFont, h.align, h.width);
                              r.line(kLeft, top + 920, kRight, top + 920, 10);
                          }});
    const QString runDate = Picture::format(qint64(Clock::today()), kRunDate);
    bands->setPageFooter({300, [runDate](report::Report &r, int top) {
                              r.text(kLeft, top + 100, runDate, kFootFont);
                              // Left-aligned: the page count is patched in after the last page.
                              r.text(kRight - 1100, top + 100, kPage.arg(r.pageNumber()),
                                     kFootFont);
                          }});
    return bands;
}

// A fixed-width picture's text drawn so that it ends at `end`.
void endingAt(report::Report &r, int end, int top, const QString &text, const report::Font &font) {
    r.text(end - int(text.size()) * kChar, top, text, font);
}

QString cityLine(const QString &city, const QString &state, const QString &zip) {
    return clip(city) + QLatin1Char(' ') + clip(state) + QStringLiteral("  ") + clip(zip);
}

ReportRun::Outcome runReport(ReportRun &run) {
    if (reportTestHook()) reportTestHook()(run);
    return run.run();
}

// ---- the 1099-R diskette report ----------------------------------------------------------

class DisketteReport {
public:
    DisketteReport(storage::Database &db, Dialogs &dialogs) : m_files(db), m_dialogs(dialogs) {}

    void prepare(ReportRun &run) {
        run.name = kDiskName;
        run.pageOfPages = true;
        run.recordsToProcess = DISKRPT().size();
        run.open = [this](ReportRun &) { return openFiles(m_files, m_dialogs, caption()); };
        run.loop = [this](ReportRun &r) { return loop(r); };
        run.finish = [this](ReportRun &) { finish(); };
    }

private:
    static QString caption() { return kDiskTitle + QStringLiteral(" ..."); }

    bool loop(ReportRun &r) {
        const QList<DiskLine> &lines = DISKRPT();
        if (!m_bands && !lines.isEmpty()) {
            m_bands = listBands(r.report(), clip(m_files.fund.NAME), kDiskTitle,
                                {{kNameHeading, kLeft},
                                 {kSsnHeading, kSsnX},
                                 {kGrossHeading, kLeft, report::Align::Right, kGrossEnd - kLeft},
                                 {kTaxHeading, kLeft, report::Align::Right, kTaxEnd - kLeft},
                                 {kCodeHeading, kCodeX}});
        }
        for (int slice = 0; slice < r.recordsPerCycle; ++slice) {
            if (m_next >= lines.size()) return false;
            const DiskLine &d = lines[m_next++];
            MemberCU found;
            const Match m = findMember(m_files.mem, d, &found);
            if (m == Match::ReadFailed) return readFailed(r, m_dialogs, caption(), kMemberFile);
            const bool marked = m == Match::NoMember;
            m_unmatched = m_unmatched || marked;
            TOTALDIS += d.TOTALDIST;
            TOTALTAX += d.TOTALTAX;
            ++TOTALMEM;
            const QString name = d.PARTNAME.left(40), ssn = clip(d.SSNUM);
            const QString gross = Picture::format(d.TOTALDIST, kLineAmount);
            const QString tax = Picture::format(d.TOTALTAX, kLineAmount);
            const QString code = d.DT.left(1);
            m_bands->print({kLine, [=](report::Report &rp, int top) {
                                rp.text(kLeft, top, name, kData);
                                rp.text(kSsnX, top, ssn, kData);
                                endingAt(rp, kGrossEnd, top, gross, kData);
                                endingAt(rp, kTaxEnd, top, tax, kData);
                                rp.text(kCodeX, top, code, kData);
                                if (marked) rp.text(kMarkX, top, kNoMemberMark, kData);
                            }});
            r.recordDone();
        }
        return true;
    }

    void finish() {
        if (!m_bands) return; // nothing to print: the run says so
        const QString count = Picture::format(qint64(TOTALMEM), kCount).trimmed();
        const QString dist = Picture::format(TOTALDIS, kTotalAmount);
        const QString tax = Picture::format(TOTALTAX, kLineAmount);
        const bool note = m_unmatched;
        m_bands->print({(note ? 4 : 2) * kLine + 100, [=](report::Report &rp, int top) {
                            rp.line(kLeft, top + 40, kRight, top + 40, 10);
                            const int y = top + 120;
                            rp.text(kLeft, y, kNameTotal, kDataBold);
                            rp.text(kCountX, y, count, kDataBold);
                            endingAt(rp, kGrossEnd, y, dist, kDataBold);
                            endingAt(rp, kTaxEnd, y, tax, kDataBold);
                            if (note) rp.text(kLeft, y + 2 * kLine, kNoMemberNote, kData);
                        }});
        m_bands->finish();
        m_bands.reset();
    }

    Files m_files;
    Dialogs &m_dialogs;
    std::unique_ptr<report::BandReport> m_bands;
    qsizetype m_next = 0;
    bool m_unmatched = false;
    qint32 TOTALMEM = 0;
    Decimal TOTALDIS{0, 2}, TOTALTAX{0, 2};
};

// ---- the 1099-R forms --------------------------------------------------------------------

class FormsReport {
public:
    FormsReport(storage::Database &db, Dialogs &dialogs, FormLayout layout)
        : m_files(db), m_dialogs(dialogs), m_layout(layout) {}

    void prepare(ReportRun &run) {
        run.name = kFormsName;
        run.recordsToProcess = DISKRPT().size();
        run.open = [this](ReportRun &) {
            if (!openFiles(m_files, m_dialogs, kOffsetsCaption)) return false;
            QStringList refused;
            const QString ini = App::iniPath(kPensionIni);
            G = formGeometry(m_layout, ini, &refused);
            if (!refused.isEmpty())
                m_dialogs.message(kOffsetsCaption, kOffsetsRefused.arg(ini, refused.join('|')),
                                  Dlg::Warning);
            buildPayer();
            return true;
        };
        run.loop = [this](ReportRun &r) { return loop(r); };
    }

private:
    // The fund's block: a blank second address line lets the city line move up under the first.
    void buildPayer() {
        const CUInfo &c = m_files.fund;
        const QString city = cityLine(c.CITY, c.STATE, c.ZIP).left(30);
        const bool second = !clip(c.ADDRESS2).trimmed().isEmpty();
        m_payer = {clip(c.NAME), clip(c.ADDRESS1).left(30),
                   second ? clip(c.ADDRESS2).left(30) : city, second ? city : QString()};
    }

    bool loop(ReportRun &r) {
        const QList<DiskLine> &lines = DISKRPT();
        for (int slice = 0; slice < r.recordsPerCycle; ++slice) {
            if (m_next >= lines.size()) return false;
            const DiskLine &d = lines[m_next++];
            MemberCU MEM;
            const Match m = findMember(m_files.mem, d, &MEM);
            if (m == Match::ReadFailed)
                return readFailed(r, m_dialogs, kOffsetsCaption, kMemberFile);
            QString name, ssn = d.SSNUM;
            QStringList address = {QString(), QString(), QString()};
            qint32 account = d.ACCTNUM;
            if (m == Match::Found) {
                name = (clip(MEM.FIRSTNAME) + QLatin1Char(' ') + clip(MEM.LASTNAME)).left(50);
                ssn = MEM.SSNUM;
                account = MEM.ACCTNUM;
                const QString city = cityLine(MEM.CITY, MEM.STATE, MEM.ZIP).left(40);
                const bool second = !clip(MEM.ADDR2).trimmed().isEmpty();
                address = {clip(MEM.ADDR1).left(30), second ? clip(MEM.ADDR2).left(40) : city,
                           second ? city : QString()};
            } else {
                // Nobody has the SSN: the line's own name, and no stranger's address.
                name = clip(d.PARTNAME);
            }
            draw(r.report(), name, Picture::applyPattern(ssn, kSsnPattern), address,
                 account ? Picture::format(qint64(account), G.accountPicture) : QString(), d);
            r.report().endPage();
            r.recordDone();
        }
        return true;
    }

    void draw(report::Report &rp, const QString &name, const QString &ssn,
              const QStringList &address, const QString &account, const DiskLine &d) {
        auto put = [&](FormField f, const QString &text, int line = 0) {
            if (text.isEmpty()) return;
            const QPoint at = G[f];
            rp.text(at.x(), at.y() + line * G.lineHeight, text, kFormFont);
        };
        for (int i = 0; i < m_payer.size(); ++i) put(FormField::Payer, m_payer[i], i);
        put(FormField::PayerTIN, clip(m_files.fund.EIN));
        put(FormField::RecipientTIN, ssn);
        put(FormField::RecipientName, name);
        for (int i = 0; i < address.size(); ++i) put(FormField::RecipientAddress, address[i], i);
        put(FormField::Account, account);
        put(FormField::Gross, Picture::format(d.TOTALDIST, G.amountPicture));
        put(FormField::Taxable, Picture::format(d.TOTALTAXABLEAMOUNT, G.amountPicture));
        put(FormField::Tax, Picture::format(d.TOTALTAX, G.amountPicture));
        put(FormField::Code, d.DT.left(1));
        put(FormField::Mark, kMark);
    }

    Files m_files;
    Dialogs &m_dialogs;
    FormLayout m_layout;
    FormGeometry G;
    QStringList m_payer;
    qsizetype m_next = 0;
};

// ---- the 1099-INT diskette report --------------------------------------------------------

class InterestReport {
public:
    InterestReport(storage::Database &db, Dialogs &dialogs, const Decimal &reported,
                   const Decimal &paid)
        : m_files(db), m_dialogs(dialogs), m_reported(reported), m_paid(paid) {}

    void prepare(ReportRun &run) {
        run.name = kIntName;
        run.pageOfPages = true;
        run.recordsToProcess = DISKRPT().size();
        run.open = [this](ReportRun &) {
            if (!openFiles(m_files, m_dialogs, kIntTitle + QStringLiteral(" ..."))) return false;
            // By name as the index orders names: letter case does not separate "Mc" from "MC".
            m_lines = DISKRPT();
            std::stable_sort(m_lines.begin(), m_lines.end(),
                             [](const DiskLine &a, const DiskLine &b) {
                                 return QString::compare(a.PARTNAME, b.PARTNAME,
                                                         Qt::CaseInsensitive) < 0;
                             });
            return true;
        };
        run.loop = [this](ReportRun &r) { return loop(r); };
        run.finish = [this](ReportRun &r) { finish(r); };
    }

private:
    void start(ReportRun &r) {
        m_bands = listBands(r.report(), clip(m_files.fund.NAME), kIntTitle,
                            {{kPartHeading, kLeft},
                             {kAcctHeading, kAcctX},
                             {kInterestHeading, kLeft, report::Align::Right, kInterestEnd - kLeft}});
    }

    bool loop(ReportRun &r) {
        if (!m_bands) start(r);
        for (int slice = 0; slice < r.recordsPerCycle; ++slice) {
            if (m_next >= m_lines.size()) return false;
            const DiskLine &d = m_lines[m_next++];
            const QString name = d.PARTNAME.left(40), account = clip(d.SSNUM);
            const QString interest = Picture::format(d.TOTALDIST, kInterest);
            m_bands->print({kLine, [=](report::Report &rp, int top) {
                                rp.text(kLeft, top, name, kData);
                                rp.text(kAcctX, top, account, kData);
                                endingAt(rp, kInterestEnd, top, interest, kData);
                            }});
            r.recordDone();
        }
        return true;
    }

    // The totals are printed even when no member reached the reporting floor: the interest paid
    // is still worth knowing.
    void finish(ReportRun &r) {
        if (!m_bands) start(r);
        const QString reported = Picture::format(m_reported, kTotalAmount);
        const QString paid = Picture::format(m_paid, kTotalAmount);
        m_bands->print({3 * kLine + 100, [=](report::Report &rp, int top) {
                            rp.line(kLeft, top + 40, kRight, top + 40, 10);
                            const int y = top + 120;
                            rp.text(kLeft, y, kIntTotal, kDataBold);
                            endingAt(rp, kInterestEnd, y, reported, kDataBold);
                            rp.text(kLeft, y + kLine, kPaidTotal, kDataBold);
                            endingAt(rp, kInterestEnd, y + kLine, paid, kDataBold);
                        }});
        m_bands->finish();
        m_bands.reset();
    }

    Files m_files;
    Dialogs &m_dialogs;
    Decimal m_reported, m_paid;
    QList<DiskLine> m_lines;
    std::unique_ptr<report::BandReport> m_bands;
    qsizetype m_next = 0;
};

} // namespace

ReportRun::Outcome DISKETTERPT(storage::Database &db, Dialogs &dialogs) {
    DisketteReport report(db, dialogs);
    ReportRun run(dialogs);
    report.prepare(run);
    return runReport(run);
}

ReportRun::Outcome PRINT1099R(storage::Database &db, Dialogs &dialogs, FormLayout layout) {
    FormsReport report(db, dialogs, layout);
    ReportRun run(dialogs);
    report.prepare(run);
    return runReport(run);
}

ReportRun::Outcome PRINT1099RFORMS(storage::Database &db, Dialogs &dialogs) {
    const QString ini = App::iniPath(kPensionIni);
    const FormLayout last = rememberedLayout(ini);
    const int answer =
        dialogs.ask(kLayoutCaption, kLayoutQuestion, Dlg::Question, kLayoutButtons, int(last));
    if (answer != 1 && answer != 2) return ReportRun::Cancelled;
    const FormLayout chosen = FormLayout(answer);
    // Only a preference: forms print the same when it cannot be kept.
    if (chosen != last) rememberLayout(ini, chosen);
    return PRINT1099R(db, dialogs, chosen);
}

ReportRun::Outcome INTDISKETTERPT(storage::Database &db, Dialogs &dialogs,
                                  const Decimal &totalReported, const Decimal &totalPaid) {
    InterestReport report(db, dialogs, totalReported, totalPaid);
    ReportRun run(dialogs);
    report.prepare(run);
    return runReport(run);
}

std::function<void(ReportRun &)> &reportTestHook() {
    static std::function<void(ReportRun &)> hook;
    return hook;
}

} // namespace Tax

void DISKETTERPT() { Tax::DISKETTERPT(App::db(), App::dialogs()); }
void PRINT1099R() { Tax::PRINT1099R(App::db(), App::dialogs(), Tax::FormLayout::First); }
void PRINT1099R2() { Tax::PRINT1099R(App::db(), App::dialogs(), Tax::FormLayout::Second); }
