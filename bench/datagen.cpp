#include "datagen.h"

#include "data/records.h"
#include "platform/clock.h"
#include "platform/inifile.h"
#include "platform/picture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <QRandomGenerator>

namespace {
const char *kLast[] = {"Anderson", "Baker",  "Carter", "Dawson", "Evans",   "Fischer", "Garcia",
                       "Hughes",   "Irving", "Jensen", "Keller", "Lopez",   "Murphy",  "Novak",
                       "Olsen",    "Parker", "Quinn",  "Reyes",  "Sullivan", "Turner", "Underwood",
                       "Vance",    "Walsh",  "Young",  "Zimmerman"};
const char *kFirst[] = {"James", "Mary",  "Robert", "Patricia", "John",   "Jennifer", "Michael",
                        "Linda", "David", "Susan",  "Richard",  "Karen",  "Joseph",   "Nancy",
                        "Thomas", "Lisa", "Daniel", "Betty",    "Mark",   "Sandra"};
const char *kContractors[] = {"ABC Builders",       "Keystone Electric", "Northside Mechanical",
                              "Riverfront Plumbing", "Summit Steel Erectors", "Tri-County Paving",
                              "Union Glass & Glazing", "Westgate Drywall"};

template <class R> bool ensure(storage::Database &db, QString *error) {
    const storage::FileDef &def = R::layout().def();
    if (db.exists(def) || db.create(def)) return true;
    if (error) *error = "cannot create " + def.name + ": " + storage::lastError().driverText;
    return false;
}

template <class R> bool add(storage::DataFile<R> &f, QString *error) {
    if (f.add()) return true;
    if (error) *error = "cannot add to " + R::layout().def().name + ": " + storage::lastError().driverText;
    return false;
}
} // namespace

bool generateData(storage::Database &db, const GenOptions &o, QString *error) {
    if (!ensure<MemberCU>(db, error) || !ensure<Trans>(db, error) || !ensure<TransDesc>(db, error) ||
        !ensure<Withdraw>(db, error) || !ensure<PayData>(db, error) || !ensure<PayBreak>(db, error) ||
        !ensure<PayBackup>(db, error) || !ensure<Contractor>(db, error) || !ensure<CUInfo>(db, error) ||
        !ensure<LocInfo>(db, error) || !ensure<Password>(db, error) || !ensure<Misc>(db, error) ||
        !ensure<XXGloNoTh>(db, error))
        return false;

    QRandomGenerator rng(o.seed);
    storage::Transaction t(db);
    storage::DataFile<TransDesc> trd(db);
    storage::DataFile<Withdraw> wit(db);
    storage::DataFile<Contractor> con(db);
    storage::DataFile<MemberCU> mem(db);
    storage::DataFile<Trans> tra(db);
    storage::DataFile<PayData> pay(db);
    storage::DataFile<PayBackup> pbp(db);
    for (auto *f : {&trd.table(), &wit.table(), &con.table(), &mem.table(), &tra.table(),
                    &pay.table(), &pbp.table()})
        f->open();

    const struct { qint32 code; const char *desc; quint8 positive; } codes[] = {
        {1, "Deposit", 1},           {2, "Dividend", 1},          {3, "Adjustment Credit", 1},
        {4, "Adjustment Debit", 0},  {23, "Rollover Out", 0},     {24, "Direct Rollover", 0},
        {26, "Hardship Withdrawal", 0}};
    for (auto &c : codes) {
        trd.rec = {c.code, c.desc, c.positive};
        if (!add(trd, error)) return false;
    }
    const struct { const char *code, *desc, *irs; quint8 add; } wcodes[] = {
        {"1", "Early distribution, no known exception", "1", 1},
        {"2", "Early distribution, exception applies", "2", 1},
        {"7", "Normal distribution", "7", 1},
        {"G", "Direct rollover to a qualified plan", "G", 1},
        {"T", "Transfer to the custodian", "", 0}};
    for (auto &w : wcodes) {
        wit.clear();
        wit.rec.CODE = w.code, wit.rec.DESCRIPTION = w.desc, wit.rec.IRSCODE = w.irs;
        wit.rec.ADDTOIRSFILE = w.add;
        if (!add(wit, error)) return false;
    }
    int contractors = std::max(1, o.contractors);
    QStringList contractorNames;
    for (int i = 0; i < contractors; ++i) {
        con.clear();
        con.rec.AUTONUM = i + 1;
        con.rec.NAME = QString(kContractors[i % 8]) + (i >= 8 ? QString(" %1").arg(i / 8 + 1) : "");
        con.rec.ADDRESS1 = QString("%1 Industrial Way").arg(100 + i * 17);
        con.rec.CITY = "Springfield", con.rec.STATE = "IL", con.rec.ZIP = "62701";
        con.rec.PHONE = QString("(217) 555-%1").arg(1000 + i, 4, 10, QChar('0'));
        con.rec.CONTACT = QString(kFirst[i % 20]) + " " + kLast[(i * 7) % 25];
        contractorNames << con.rec.NAME;
        if (!add(con, error)) return false;
    }

    qint32 end = o.endDate ? o.endDate : Clock::firstDayOfMonth(Clock::today()) - 1;
    int months = o.years > 0 ? o.years * 12 : std::max(1, o.months);
    QDate endQ = Clock::toQDate(end);
    QDate firstMonth = QDate(endQ.year(), endQ.month(), 1).addMonths(-(months - 1));
    qint32 joined = Clock::fromQDate(firstMonth) - 1;

    for (int i = 0; i < o.members; ++i) {
        mem.clear();
        MemberCU &m = mem.rec;
        m.MEMBERID = i + 1;
        m.LOCALCODE = 565;
        m.ACCTNUM = 1001 + i;
        m.LASTNAME = kLast[rng.bounded(25)];
        m.FIRSTNAME = kFirst[rng.bounded(20)];
        m.ADDR1 = QString("%1 Maple Street").arg(10 + rng.bounded(990));
        m.CITY = "Springfield", m.STATE = "IL", m.ZIP = "62704";
        m.PHONE1 = QString("(217) 555-%1").arg(rng.bounded(10000), 4, 10, QChar('0'));
        m.SSNUM = Picture::applyPattern(QString("%1").arg(100000001 + i * 7, 9, 10, QChar('0')), "@P###-##-####P");
        m.BIRTHDATE = Clock::dayNumber(1950 + rng.bounded(40), 1 + rng.bounded(12), 1 + rng.bounded(28));
        m.DATEJOINED = joined;
        if (!add(mem, error)) return false;
    }

    if (o.progress) o.progress("members");

    // Monthly payrolls: each member belongs to one contractor; one deposit a month, and a
    // dividend at the end of each year.
    for (int mo = 0; mo < months; ++mo) {
        QDate first = firstMonth.addMonths(mo);
        qint32 payrollDate = Clock::fromQDate(first);
        qint32 postingDate = Clock::fromQDate(first.addDays(14));
        for (int c = 0; c < contractors; ++c) {
            Decimal total(0, 2);
            QString desc = "(" + contractorNames[c] + " For " + Picture::format(payrollDate, "@d2") + ")";
            for (int i = c; i < o.members; i += contractors) {
                Decimal amount = Decimal::fromCents(5000 + rng.bounded(35000));
                total += amount;
                tra.clear();
                tra.rec.ACCTNUM = 1001 + i;
                tra.rec.TRANSDATE = postingDate;
                tra.rec.TRANSAMOUNT = amount;
                tra.rec.TRANSTYPE = TransType::Payroll;
                tra.rec.DESC = desc;
                tra.rec.TRANSTIME = Clock::timeOf(10, 30);
                tra.rec.USERID = "MGR";
                if (!add(tra, error)) return false;
                if (o.demo) {
                    pbp.clear();
                    pbp.rec.PATNUM = Picture::applyPattern(QString("%1").arg(100000001 + i * 7, 9, 10, QChar('0')), "@P###-##-####P");
                    pbp.rec.DATE = payrollDate;
                    pbp.rec.AMOUNT = amount;
                    pbp.rec.CONTRACTOR = c + 1;
                    pbp.rec.POSTINGDATE = postingDate;
                    if (!add(pbp, error)) return false;
                }
            }
            if (o.demo && !total.isZero()) {
                pay.clear();
                pay.rec.ACCTNUM = c + 1, pay.rec.DATE = postingDate, pay.rec.AMOUNT = total;
                if (!add(pay, error)) return false;
            }
        }
        if (first.month() == 12) {
            qint32 yearEnd = Clock::dayNumber(first.year(), 12, 31);
            for (int i = 0; i < o.members; ++i) {
                tra.clear();
                tra.rec.ACCTNUM = 1001 + i;
                tra.rec.TRANSDATE = yearEnd;
                tra.rec.TRANSAMOUNT = Decimal::fromCents(1000 + rng.bounded(20000));
                tra.rec.TRANSTYPE = TransType::Dividend;
                tra.rec.DESC = "Dividend";
                tra.rec.USERID = "MGR";
                if (!add(tra, error)) return false;
            }
        }
    }

    if (o.demo) {
        storage::DataFile<CUInfo> cui(db);
        storage::DataFile<Misc> mis(db);
        storage::DataFile<Password> pas(db);
        storage::DataFile<LocInfo> lcl(db);
        for (auto *f : {&cui.table(), &mis.table(), &pas.table(), &lcl.table()}) f->open();
        CUInfo &c = cui.rec;
        c.NAME = "Local 565 Pension Fund", c.ADDRESS1 = "1200 Labor Lane", c.CITY = "Springfield";
        c.STATE = "IL", c.ZIP = "62701", c.PHONE = "(217)555-0100";
        c.ADMINFEE = Decimal::fromCents(2500), c.TAXPERC = 20, c.EIN = "371234567";
        c.MANAGER = "Pat Fund-Manager", c.YEARFOR1099 = QString::number(Clock::year(end));
        c.TRANSCODE = "12345", c.EMAILADDRESS = "office@local565.example";
        c.DORMANTAMOUNT = Decimal::fromCents(10000);
        mis.rec = {"Union Card #", "Trade", "Class", "Shop Steward", "Dues", "Zone"};
        pas.rec = {"MGR", "", "Fund Manager", 10, {}};
        lcl.rec.AUTONUM = 1, lcl.rec.NAME = "Local 565", lcl.rec.LOCALNUM = "565";
        lcl.rec.CITY = "Springfield", lcl.rec.STATE = "IL";
        if (!add(cui, error) || !add(mis, error) || !add(pas, error) || !add(lcl, error)) return false;
        QString ini = QDir(db.dataDir()).filePath("LOCAL.INI");
        if (!QFile::exists(ini)) {
            IniFile l(ini);
            l.setValue("Local", "Number", "565");
            l.setValue("Local", "Description", "Local 565 Pension Fund");
            l.setValue("Local", "Label", "Local 565");
            l.save();
        }
    }
    if (!t.commit()) {
        if (error) *error = "cannot commit: " + storage::lastError().driverText;
        return false;
    }
    return true;
}

std::unique_ptr<storage::Database> openDataset(const QString &dir, bool &fresh) {
    std::unique_ptr<storage::Database> db = storage::Database::open(dir, storage::Database::MustExist);
    fresh = !db && storage::lastError().code == storage::FileNotFound;
    if (fresh) db = storage::Database::open(dir, storage::Database::CreateIfMissing);
    if (!db) qFatal("cannot open %s: %s", qPrintable(dir), qPrintable(storage::lastErrorText()));
    return db;
}

std::unique_ptr<storage::Database> benchDataset(const QString &name, const GenOptions &options) {
    const QString root = qEnvironmentVariable("PENSION_BENCH_DIR", "bench-data");
    QDir().mkpath(root);
    const QString dir = QDir(root).filePath(name);
    bool fresh = false;
    std::unique_ptr<storage::Database> db = openDataset(dir, fresh);
    if (fresh) {
        QElapsedTimer t;
        t.start();
        QString error;
        if (!generateData(*db, options, &error)) qFatal("%s", qPrintable(error));
        fprintf(stderr, "generated in %.1f s\n", t.elapsed() / 1000.0);
    }
    return db;
}
