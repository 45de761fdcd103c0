#include "dividends.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "common/enhancedfocus.h"
#include "common/windows.h"
#include "data/lookups.h"
#include "data/periodsums.h"
#include "dividendreport.h"
#include "platform/clock.h"
#include "platform/picture.h"
#include "platform/text.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSet>
#include <QVBoxLayout>
#include <algorithm>

namespace {
const QString kCaption = QStringLiteral("Dividend Information");
const QString kCalculating = QStringLiteral("Calculating Dividend Totals.  Please Wait ...");
const QString kPosting = QStringLiteral("Posting Dividends.  Please Wait ...");
const QString kCompleted = QStringLiteral("% Completed");
const QString kSortCaption = QStringLiteral("Sort Report ...");
const QString kSortText = QStringLiteral("Sort Report By:");
const QString kSortButtons = QStringLiteral("&Name|&Account Number");
const QString kTrialHeading = QStringLiteral("Trial Dividend Report");
const QString kPostingHeading = QStringLiteral("Dividend Posting Report");
const QString kDescFor = QStringLiteral("Dividend For (");
const QString kDescTo = QStringLiteral(" - ");
const QString kDescAt = QStringLiteral(") AT ");
const QString kDescPercent = QStringLiteral("%");
// Checks of our own: a period must have at least one day, and every date must be given.
const QString kNoDates =
    QStringLiteral("Please enter the Dividend Date, the Beginning Date and the Ending Date.");
const QString kBackwards = QStringLiteral("The Ending Date is before the Beginning Date.|Please "
                                          "correct the period; nothing was calculated.");
const QString kTooLarge = QStringLiteral(
    "The dividend of account %1 is too large to calculate.  Nothing was calculated.");
const QString kPostFailed =
    QStringLiteral("The dividends could not be posted; nothing was written.  Error: %1.");
const QString kPostAgain =
    QStringLiteral("Dividends were already posted on %1 (%2 accounts). Post again?");
const QString kReadFailed = QStringLiteral(
    "The members' accounts could not be read; nothing was calculated.  Error: %1.");

const QString kDate = QStringLiteral("@d2");

} // namespace

Decimal Dividends::dividend(const Decimal &balanceDays, qint32 days, const Decimal &percent) {
    const Decimal d = Decimal::fromInt(days);
    const Decimal average = Decimal::divide(balanceDays, d, 2);
    const Decimal averageDays = (average * d).rounded(2);
    // percent / 100 / days x averageDays, exact until the one rounding to the cent. The rate
    // loses its trailing zero places first, which leaves the product room for large balances.
    qint64 units = percent.units();
    int places = percent.places();
    while (places > 0 && units % 10 == 0) {
        units /= 10;
        --places;
    }
    return Decimal::divide(Decimal(units, places) * averageDays,
                           Decimal::fromInt(qint64(100) * days), 2);
}

QString Dividends::plain(const Decimal &value) {
    QString s = value.toString();
    if (s.contains('.')) {
        while (s.endsWith('0'))
            s.chop(1);
        if (s.endsWith('.')) s.chop(1);
    }
    return s == QLatin1String("-0") ? QStringLiteral("0") : s;
}

QString Dividends::description(qint32 begin, qint32 end, const Decimal &percent) {
    return kDescFor + Picture::format(qint64(begin), kDate) + kDescTo +
           Picture::format(qint64(end), kDate) + kDescAt + plain(percent) + kDescPercent;
}

EnterDividendsLogic::EnterDividendsLogic(storage::Database &db, Dialogs &dialogs,
                                         DividendGlobals &glo, PostingList &list,
                                         DividendReportCall report)
    : m_db(db), m_dialogs(dialogs), GLO(glo), POSTQ(list), m_report(std::move(report)) {}

const QString &EnterDividendsLogic::calculatingText() {
    return kCalculating;
}
const QString &EnterDividendsLogic::postingText() {
    return kPosting;
}

void EnterDividendsLogic::open() {
    LOC = Values();
    const qint32 today = Clock::today();
    LOC.DIVIDENDDATE = LOC.BEGINDATE = LOC.ENDDATE = today;
    POSTQ.clear();
    m_calculated = false;
}

// The balance-days sum of one account over the period, from its opening balance and its
// transactions in date order, and the dividend it earns.
std::optional<Decimal> EnterDividendsLogic::dividendOf(storage::DataFile<Trans> &tra, qint32 acctNum) {
    Decimal balance(0, 2), preYtd(0, 2), ytd(0, 2);
    // A period from the first day there is has nothing before it (0 would mean "all").
    if (LOC.BEGINDATE > 1 &&
        !GETBALANCE(m_db, QString::number(acctNum), balance, preYtd, ytd, LOC.BEGINDATE - 1))
        return std::nullopt;
    Decimal balanceDays(0, 2);
    qint32 upTo = LOC.BEGINDATE;
    tra.clear();
    tra.rec.ACCTNUM = acctNum;
    tra.rec.TRANSDATE = LOC.BEGINDATE;
    tra.set(Trans::AcctDateRevKey);
    while (tra.next() && tra.rec.ACCTNUM == acctNum && tra.rec.TRANSDATE <= LOC.ENDDATE) {
        // Dividends of the period earn nothing themselves.
        if (tra.rec.TRANSTYPE == TransType::Dividend) continue;
        if (tra.rec.TRANSDATE != upTo) {
            balanceDays += balance * Decimal::fromInt(tra.rec.TRANSDATE - upTo);
            upTo = tra.rec.TRANSDATE;
        }
        balance += tra.rec.TRANSAMOUNT;
    }
    if (tra.failed()) return std::nullopt;
    balanceDays += balance * Decimal::fromInt(LOC.ENDDATE - upTo + 1);
    return Dividends::dividend(balanceDays, LOC.ENDDATE - LOC.BEGINDATE + 1, LOC.DIVPERCENTAGE);
}

bool EnterDividendsLogic::calculate() {
    if (LOC.DIVIDENDDATE <= 0 || LOC.BEGINDATE <= 0 || LOC.ENDDATE <= 0) {
        m_dialogs.message(kCaption, kNoDates, Dlg::Warning);
        return false;
    }
    if (LOC.ENDDATE < LOC.BEGINDATE) {
        m_dialogs.message(kCaption, kBackwards, Dlg::Warning);
        return false;
    }
    LOC.DIVPERCENTAGE = LOC.DIVPERCENTAGE.rounded(6);
    LOC.CALCDIVSTRING = kCalculating;
    POSTQ.clear();
    m_calculated = false;
    LOC.TOTALPARTS = 0;
    LOC.TOTALDIVS = Decimal(0, 2);
    LOC.PERCENTSTRING.clear();

    storage::DataFile<MemberCU> mem(m_db);
    storage::DataFile<Trans> tra(m_db);
    if (!CHECKOPEN(mem, m_dialogs) || !CHECKOPEN(tra, m_dialogs)) return false;
    const QString desc = Dividends::description(LOC.BEGINDATE, LOC.ENDDATE, LOC.DIVPERCENTAGE);
    const QString user = GNT().USERID;
    // Every entry carries the time of this calculation (asking the clock per member would cost a
    // look at the time zone each time).
    const qint32 calculatedAt = Clock::clock();
    const qint32 days = LOC.ENDDATE - LOC.BEGINDATE + 1;
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    Decimal preYtd(0, 2), ytd(0, 2);
    // A run that could not read every account must not leave a list that credits some of them.
    auto stop = [&](const QString &text) {
        m_dialogs.message(kCaption, text, Dlg::Error);
        POSTQ.clear();
        LOC.CALCDIVSTRING.clear();
        LOC.PERCENTSTRING.clear();
        return false;
    };
    auto readFailed = [&] { return stop(kReadFailed.arg(storage::lastErrorText())); };

    // Every account as of one moment: a posting made meanwhile is in none of them, not in some.
    PeriodSums::Reader sums(m_db, LOC.BEGINDATE, LOC.ENDDATE);
    if (!sums.open()) return readFailed();
    const qint64 total = mem.count();
    PeriodSums::Member MEM;
    while (sums.nextMember(MEM)) {
        const std::optional<PeriodSums::Account> known = sums.account(MEM.acct);
        if (!known) return readFailed();
        // Sums the database could not give exactly are read record by record.
        const bool summed = sums.exact();
        Decimal balance = Decimal::fromCents(known->closing);
        if (!summed &&
            !GETBALANCE(m_db, QString::number(MEM.acct), balance, preYtd, ytd, LOC.ENDDATE))
            return readFailed();
        const bool open = MEM.closed == 0 || MEM.closed > LOC.ENDDATE;
        if (open && balance.sign() > 0) {
            Decimal amount;
            try {
                if (summed) {
                    amount = Dividends::dividend(Decimal::fromCents(known->balanceDays), days,
                                                 LOC.DIVPERCENTAGE);
                } else {
                    const std::optional<Decimal> earned = dividendOf(tra, MEM.acct);
                    if (!earned) return readFailed();
                    amount = *earned;
                }
            } catch (const DecimalOverflow &) {
                // Amounts beyond what the fund's fields hold stop the run instead of wrapping.
                return stop(kTooLarge.arg(MEM.acct));
            }
            if (!amount.isZero()) {
                PostingEntry e;
                e.ACCTNUM = QString::number(MEM.acct).left(10);
                e.NAME = (clip(MEM.last) + clip(MEM.first)).left(200);
                e.TRANSDATE = LOC.DIVIDENDDATE;
                e.TRANSAMOUNT = amount;
                e.TRANSTYPE = TransType::Dividend;
                e.DESC = desc.left(255);
                e.TRANSTIME = calculatedAt;
                e.USERID = user;
                POSTQ << e;
                LOC.TOTALDIVS += amount;
            }
        }
        ++LOC.TOTALPARTS;
        // The text is only looked at when the window is told; it is made then.
        if (progress && sinceProgress.elapsed() >= 20) {
            LOC.PERCENTSTRING =
                QString::number(total > 0 ? qint64(LOC.TOTALPARTS) * 100 / total : 100) + kCompleted;
            progress();
            sinceProgress.restart();
        }
    }
    if (sums.failed()) return readFailed();
    LOC.CALCDIVSTRING.clear();
    LOC.PERCENTSTRING.clear();
    m_calculated = true;
    m_calculatedWith = LOC;
    return true;
}

void EnterDividendsLogic::sortQuestion() {
    const int answer = m_dialogs.ask(kSortCaption, kSortText, Dlg::Warning, kSortButtons, 2);
    if (answer == 1)
        std::stable_sort(
            POSTQ.begin(), POSTQ.end(),
            [](const PostingEntry &a, const PostingEntry &b) { return a.NAME < b.NAME; });
    else if (answer == 2)
        std::stable_sort(
            POSTQ.begin(), POSTQ.end(),
            [](const PostingEntry &a, const PostingEntry &b) { return a.ACCTNUM < b.ACCTNUM; });
}

// The report shows the period and rate the list was calculated with, not what the fields hold now.
void EnterDividendsLogic::report(const QString &heading) {
    sortQuestion();
    GLO.BEGINDATE = m_calculatedWith.BEGINDATE;
    GLO.ENDDATE = m_calculatedWith.ENDDATE;
    GLO.DIVIDENDRATE = m_calculatedWith.DIVPERCENTAGE.rounded(4);
    GLO.REPORTHEADING = heading;
    if (m_report) m_report(GLO, POSTQ);
}

void EnterDividendsLogic::trialReport() {
    if (!m_calculated) return;
    report(kTrialHeading);
}

qint64 EnterDividendsLogic::accountsPaidOn(qint32 date) {
    storage::DataFile<Trans> tra(m_db);
    if (!tra.open()) return -1;
    QSet<qint32> accounts;
    tra.rec.TRANSDATE = date;
    tra.rec.TRANSTYPE = TransType::Dividend;
    tra.set(Trans::DateType_Key);
    while (tra.next() && tra.rec.TRANSDATE == date && tra.rec.TRANSTYPE == TransType::Dividend)
        accounts.insert(tra.rec.ACCTNUM);
    if (tra.failed()) return -1;
    return accounts.size();
}

bool EnterDividendsLogic::post() {
    if (!m_calculated) return false;
    const qint32 date = m_calculatedWith.DIVIDENDDATE;
    // The clerk is asked outside the write lock; the count is taken again inside the posting's
    // transaction, and a posting made meanwhile by another station is asked about anew.
    qint64 agreed = 0;
    QString error;
    for (;;) {
        const qint64 paid = accountsPaidOn(date);
        if (paid < 0) {
            error = storage::lastErrorText();
            break;
        }
        if (paid > 0 && paid != agreed) {
            const QString text = kPostAgain.arg(Picture::format(qint64(date), kDate)).arg(paid);
            if (m_dialogs.message(kCaption, text, Dlg::Warning, Dlg::Yes | Dlg::No, Dlg::No) !=
                Dlg::Yes) {
                LOC.CALCDIVSTRING.clear();
                return false;
            }
        }
        agreed = paid;
        LOC.CALCDIVSTRING = kPosting;
        bool askAgain = false;
        {
            // The file opens before the batch begins: opening would clear a failed begin's error.
            storage::DataFile<Trans> tra(m_db);
            bool ok = tra.open();
            storage::Transaction batch(m_db);
            ok = ok && batch.active();
            if (ok) {
                const qint64 now = accountsPaidOn(date);
                ok = now >= 0;
                askAgain = ok && now != agreed;
            }
            QElapsedTimer sinceProgress;
            sinceProgress.start();
            for (const PostingEntry &e : POSTQ) {
                if (!ok || askAgain) break;
                tra.clear();
                tra.rec.ACCTNUM = e.ACCTNUM.toInt();
                tra.rec.TRANSDATE = e.TRANSDATE;
                tra.rec.TRANSAMOUNT = e.TRANSAMOUNT;
                tra.rec.TRANSTYPE = e.TRANSTYPE;
                tra.rec.DESC = e.DESC;
                tra.rec.TRANSTIME = e.TRANSTIME;
                tra.rec.USERID = e.USERID;
                ok = tra.add();
                if (progress && sinceProgress.elapsed() >= 20) {
                    progress();
                    sinceProgress.restart();
                }
            }
            if (askAgain) continue; // rolled back as the transaction goes out of scope
            if (!ok || !batch.commit()) error = storage::lastErrorText();
        }
        break;
    }
    LOC.CALCDIVSTRING.clear();
    if (!error.isEmpty()) {
        m_dialogs.message(kCaption, kPostFailed.arg(error), Dlg::Error);
        return false;
    }
    report(kPostingHeading);
    return true;
}

// The window.

EnterDividendsWindow::EnterDividendsWindow(storage::Database &db, Dialogs &dialogs,
                                           DividendReportCall report, QWidget *parent)
    : QWidget(parent), m_logic(db, dialogs, m_glo, m_list, std::move(report)) {
    EnhancedFocusClassType::install(this);
    setObjectName("ENTERDIVIDENDS");
    setWindowTitle(kCaption);
    auto line = [this](const QString &name, bool readOnly = false) {
        auto *e = new QLineEdit;
        e->setObjectName(name);
        e->setMaximumWidth(160);
        if (readOnly) {
            e->setReadOnly(true);
            e->setFocusPolicy(Qt::NoFocus);
            e->setAlignment(Qt::AlignRight);
        }
        return e;
    };
    m_rate = line("LOC:DIVPERCENTAGE");
    m_rate->setAlignment(Qt::AlignRight);
    m_rate->setValidator(
        new QRegularExpressionValidator(QRegularExpression("-?[0-9]{0,5}(\\.[0-9]{0,4})?"), this));
    m_dividendDate = line("LOC:DIVIDENDDATE");
    m_begin = line("LOC:BEGINDATE");
    m_end = line("LOC:ENDDATE");
    for (QLineEdit *e : {m_dividendDate, m_begin, m_end})
        e->setPlaceholderText("mm/dd/yyyy");
    m_total = line("LOC:TOTALDIVS", true);
    m_parts = line("LOC:TOTALPARTS", true);
    m_percent = new QLabel;
    m_percent->setObjectName("LOC:PERCENTSTRING");
    m_status = new QLabel;
    m_status->setObjectName("LOC:CALCDIVSTRING");

    auto *form = new QGridLayout;

    form->setHorizontalSpacing(EnhancedFocusClassType::IndicatorRoom);
    int row = 0;
    auto put = [&](const QString &prompt, QWidget *w) {
        form->addWidget(new QLabel(prompt), row, 0);
        form->addWidget(w, row++, 1, Qt::AlignLeft);
    };
    put("Dividend Percentage:", m_rate);
    put("Dividend Date:", m_dividendDate);
    put("Beginning Date:", m_begin);
    put("Ending Date:", m_end);
    put("Total Dividends:", m_total);
    put("Total Participants:", m_parts);
    form->setColumnStretch(2, 1);

    auto *buttons = new QHBoxLayout;
    auto addButton = [&](const QString &text, const QString &tip, auto slot) {
        auto *b = new QPushButton(text);
        b->setToolTip(tip);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        m_buttons << b;
    };
    addButton("&Trial", "Trial Calculations only.", &EnterDividendsWindow::trial);
    addButton("&Print Trial", "Preview Trial Totals in Report Format.",
              &EnterDividendsWindow::printTrial);
    addButton("&Post", QString(), &EnterDividendsWindow::post);
    buttons->addStretch(1);
    addButton("&Cancel", QString(), &QWidget::close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_status);
    layout->addWidget(m_percent);
    layout->addStretch(1);
    layout->addLayout(buttons);

    m_logic.progress = [this] {
        m_percent->setText(m_logic.LOC.PERCENTSTRING);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    m_logic.open();
    refresh();
    showButtons(true, false);
    resize(460, 320);
}

QLineEdit *EnterDividendsWindow::field(const QString &name) const {
    return findChild<QLineEdit *>(name);
}

QPushButton *EnterDividendsWindow::button(const QString &text) const {
    for (QPushButton *b : m_buttons)
        if (b->text() == text) return b;
    return nullptr;
}

// An unreadable date counts as blank, and the calculation says what is missing.
void EnterDividendsWindow::store() {
    auto &L = m_logic.LOC;
    L.DIVPERCENTAGE = Picture::deformatNumber(m_rate->text()).rounded(4).rounded(6);
    for (auto [edit, into] : {std::pair{m_dividendDate, &L.DIVIDENDDATE},
                              {m_begin, &L.BEGINDATE},
                              {m_end, &L.ENDDATE}}) {
        bool ok = false;
        const qint32 day = Picture::deformatDate(edit->text(), kDate, &ok);
        *into = ok ? day : 0;
    }
}

void EnterDividendsWindow::refresh() {
    const auto &L = m_logic.LOC;
    m_rate->setText(Picture::format(L.DIVPERCENTAGE.rounded(4), "@n-12.4").trimmed());
    m_dividendDate->setText(Picture::format(qint64(L.DIVIDENDDATE), kDate));
    m_begin->setText(Picture::format(qint64(L.BEGINDATE), kDate));
    m_end->setText(Picture::format(qint64(L.ENDDATE), kDate));
    m_total->setText(Picture::format(L.TOTALDIVS, "@n-$19.2").trimmed());
    m_parts->setText(QString::number(L.TOTALPARTS));
    m_percent->setText(L.PERCENTSTRING);
    m_status->setText(L.CALCDIVSTRING);
    m_percent->setVisible(!L.PERCENTSTRING.isEmpty());
    m_status->setVisible(!L.CALCDIVSTRING.isEmpty());
}

void EnterDividendsWindow::showButtons(bool trial, bool calculated) {
    button("&Trial")->setVisible(trial);
    button("&Cancel")->setVisible(trial);
    button("&Print Trial")->setVisible(calculated);
    button("&Post")->setVisible(calculated);
}

void EnterDividendsWindow::trial() {
    store();
    showButtons(false, false);
    m_logic.LOC.CALCDIVSTRING = EnterDividendsLogic::calculatingText();
    refresh();
    m_percent->show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_logic.calculate();
    m_logic.LOC.CALCDIVSTRING.clear();
    m_logic.LOC.PERCENTSTRING.clear();
    refresh();
    showButtons(true, m_logic.calculated());
}

void EnterDividendsWindow::printTrial() {
    m_logic.trialReport();
}

void EnterDividendsWindow::post() {
    showButtons(false, false);
    m_logic.LOC.CALCDIVSTRING = EnterDividendsLogic::postingText();
    refresh();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (m_logic.post()) {
        close();
        return;
    }
    refresh();
    showButtons(true, m_logic.calculated());
}

void ENTERDIVIDENDS() {
    storage::Database &db = App::db();
    Dialogs &d = App::dialogs();
    storage::DataFile<MemberCU> mem(db);
    storage::DataFile<Trans> tra(db);
    storage::DataFile<TransDesc> trd(db);
    storage::DataFile<XXGloNoTh> gnt(db);
    if (!CHECKOPEN(mem, d) || !CHECKOPEN(tra, d) || !CHECKOPEN(trd, d) || !CHECKOPEN(gnt, d))
        return;
    Windows::start(new EnterDividendsWindow(db, d, DIVIDENDREPORT));
}
