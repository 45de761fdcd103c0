#include "int1099forms.h"

#include "common/app.h"
#include "memberformat.h"
#include "platform/picture.h"
#include "toolbox/tax/formlayout.h"

#include <QLabel>

namespace {
const QString kProcedure = QStringLiteral("PRINT1099INT");
const QString kTitle = QStringLiteral("Participant 1099-INT Forms");
const QString kPensionIni = QStringLiteral("PENSION.INI");
const QString kSection = QStringLiteral("1099INT Layout");
const QStringList kFieldKeys{"Payer",         "PayerTIN",         "RecipientTIN", "RecipientName",
                             "RecipientAddress", "Account",        "Interest"};
const QString kNotGathered = QStringLiteral("The 1099-INT forms could not be printed: %1");
const QString kOffsetsRefused = QStringLiteral("These form positions in %1 could not be read and "
                                               "were left where they are:|%2");
const QString kNote = QStringLiteral("One form for each member reported in the 1099-INT file of "
                                     "the fund's year for 1099s.");
const QString kAmount = QStringLiteral("@n14.2");
const report::Font kFont{QStringLiteral("Courier New"), 10};
constexpr int kLine = 167;
} // namespace

namespace Int1099 {
Layout layout(const QString &iniPath, QStringList *refused) {
    Layout l;
    l.at = {QPoint(400, 700),  QPoint(400, 1950), QPoint(2300, 1950), QPoint(400, 2400),
            QPoint(400, 2800), QPoint(400, 3500), QPoint(4000, 1100)};
    Tax::applyOffsets(iniPath, kSection, kFieldKeys, l.at.data(), refused);
    return l;
}
} // namespace Int1099

Int1099Forms::Int1099Forms(storage::Database &db, Dialogs &dialogs) : ReportLogic(db, dialogs) {}
Int1099Forms::~Int1099Forms() = default;

QString Int1099Forms::reportName() const { return kProcedure; }
QString Int1099Forms::heading() const { return kTitle; }

bool Int1099Forms::begin(ReportRun &run) {
    m_next = 0;
    m_payees.clear();
    Tax::TaxRun gathering(m_db);
    if (!gathering.gather(Tax::Form::Int, YEAR)) {
        // Forms for part of the members would pass for all of them.
        m_dialogs.message(kTitle, kNotGathered.arg(gathering.error()), Dlg::Error);
        return false;
    }
    m_payer = gathering.result().payer;
    m_payees = gathering.result().payees;
    QStringList refused;
    const QString ini = App::iniPath(kPensionIni);
    m_layout = Int1099::layout(ini, &refused);
    if (!refused.isEmpty())
        m_dialogs.message(kTitle, kOffsetsRefused.arg(ini, refused.join('|')), Dlg::Warning);
    run.recordsToProcess = m_payees.size();
    return true;
}

bool Int1099Forms::step(ReportRun &run) {
    if (m_next >= m_payees.size()) return false;
    draw(run.report(), m_payees[m_next++]);
    run.report().endPage();
    return true;
}

void Int1099Forms::draw(report::Report &page, const Tax::Payee &p) {
    auto put = [&](Int1099::Field f, const QString &text, int line = 0) {
        if (!text.isEmpty()) page.text(m_layout[f].x(), m_layout[f].y() + line * kLine, text, kFont);
    };
    const QStringList payer = MemberFormat::addressLines({m_payer.name, m_payer.address}, m_payer.city,
                                                         m_payer.state, m_payer.zip);
    for (int i = 0; i < payer.size(); ++i) put(Int1099::Field::Payer, payer[i], i);
    put(Int1099::Field::PayerTIN, m_payer.ein.trimmed());
    put(Int1099::Field::RecipientTIN, MemberFormat::ssn(p.tin, true));
    put(Int1099::Field::RecipientName, (p.firstName.trimmed() + ' ' + p.lastName.trimmed()).trimmed());
    const QStringList address = MemberFormat::addressLines({p.address}, p.city, p.state, p.zip);
    for (int i = 0; i < address.size(); ++i) put(Int1099::Field::RecipientAddress, address[i], i);
    put(Int1099::Field::Account, p.account.trimmed());
    put(Int1099::Field::Interest, Picture::format(p.gross, kAmount).trimmed());
}

Int1099FormsWindow::Int1099FormsWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent)
    : ReportWindow(db, dialogs, kTitle, kProcedure, parent), m_logic(db, dialogs) {
    auto *note = new QLabel(kNote, this);
    note->setWordWrap(true);
    addRow({}, note);
    finishLayout();
}

void Int1099FormsWindow::runReport() { m_logic.run(); }

void PRINT1099INT() { startReportWindow(new Int1099FormsWindow(App::db(), App::dialogs())); }
