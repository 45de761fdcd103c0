#include "members.h"

#include "common/app.h"
#include "common/browseprocedure.h"
#include "common/warnings.h"
#include "data/lookups.h"
#include "platform/clock.h"
#include "platform/picture.h"
#include "platform/text.h"

#include <QPlainTextEdit>
#include <QSqlError>
#include <QSqlQuery>

namespace {
const QString kCaption = QStringLiteral("Participant Information");
const QString kDeleteCaption = QStringLiteral("Confirm Delete");
const QString kDeleteQuestion = QStringLiteral("Delete member %1 %2?");
const QString kKeptCaption = QStringLiteral("Member Not Deleted ...");
const QString kKept = QStringLiteral(
    "Member %1 %2 cannot be deleted: the account has %3 and a balance of %4, which would be left "
    "without an owner.|To close the account, pay out any balance with a withdrawal and enter the "
    "Date Closed on the member's form.");
const QString kTransaction = QStringLiteral("1 transaction");
const QString kTransactions = QStringLiteral("%1 transactions");

// "Newman, Alice"
QString nameOf(const MemberCU &m) {
    const QString last = clip(m.LASTNAME), first = clip(m.FIRSTNAME);
    return first.isEmpty() ? last : last + ", " + first;
}
} // namespace

namespace MemberRules {
qint32 installationLocal() {
    if (GLO().LOCAL != 0) return GLO().LOCAL; // found by the frame when it opened
    qint32 local = 0;
    QString path, description, label;
    GETLOCALFROMPATH(App::dataDir(), local, path, description, label);
    return local;
}

BrowseConfig browse() {
    BrowseConfig c;
    c.caption = "Browse Participant Information";
    c.objectName = "BROWSEMEMBERS";
    c.tabs = {{"Account Number", MemberCU::AcctNum_Key.index, "Account Number:", "ACCTNUM", false},
              {"Name", MemberCU::Name_Key.index, "Last Name:", "LASTNAME", false},
              {"SSN", MemberCU::SSNum_Key.index, "Social Security #:", "SSNUM", false}};
    c.columns = {column<MemberCU>("Account", 9, [](const MemberCU &m) { return QString::number(m.ACCTNUM); },
                                  Qt::AlignRight | Qt::AlignVCenter),
                 column<MemberCU>("Last Name", 20, [](const MemberCU &m) { return m.LASTNAME; }),
                 column<MemberCU>("First Name", 16, [](const MemberCU &m) { return m.FIRSTNAME; }),
                 column<MemberCU>("SS #", 11, [](const MemberCU &m) { return m.SSNUM; }),
                 column<MemberCU>("City", 16, [](const MemberCU &m) { return m.CITY; }),
                 column<MemberCU>("Closed", 10, [](const MemberCU &m) { return Picture::format(m.DATECLOSED, "@d2"); })};
    c.closeText = "E&xit";
    return c;
}

QString duplicateOf(storage::Database &db, const MemberCU &m, qint64 ownPos) {
    storage::DataFile<MemberCU> other(db);
    if (!other.open()) return {};
    other.rec.ACCTNUM = m.ACCTNUM;
    if (other.get(MemberCU::AcctNum_Key) && other.position() != ownPos)
        return QString("Account number %1 already belongs to %2, %3.")
            .arg(m.ACCTNUM)
            .arg(clip(other.rec.LASTNAME), clip(other.rec.FIRSTNAME));
    if (!clip(m.SSNUM).isEmpty()) {
        other.rec.SSNUM = m.SSNUM;
        if (other.get(MemberCU::SSNum_Key) && other.position() != ownPos)
            return QString("Social Security Number %1 already belongs to account %2 (%3, %4).")
                .arg(clip(m.SSNUM))
                .arg(other.rec.ACCTNUM)
                .arg(clip(other.rec.LASTNAME), clip(other.rec.FIRSTNAME));
    }
    return {};
}

Message deleteQuestion(const MemberCU &m) {
    return {kDeleteCaption, kDeleteQuestion.arg(m.ACCTNUM).arg(nameOf(m)), Dlg::Question, Dlg::Yes | Dlg::No,
            Dlg::No, {}};
}

Message deleteRefusal(storage::Database &db, const MemberCU &m) {
    storage::DataFile<Trans> tra(db);
    if (!tra.open()) return standardWarningMessage(35, "Trans");
    qint64 count = 0;
    Decimal balance(0, 2);
    tra.rec.ACCTNUM = m.ACCTNUM;
    tra.set(Trans::AcctDateRevKey, 1);
    while (tra.next() && tra.rec.ACCTNUM == m.ACCTNUM) {
        ++count;
        balance += tra.rec.TRANSAMOUNT;
    }
    const int code = storage::lastError().code;
    if (code != storage::NoError && code != storage::RecordNotFound) return standardWarningMessage(35, "Trans");
    if (count == 0) return {};
    return {kKeptCaption,
            kKept.arg(m.ACCTNUM)
                .arg(nameOf(m), count == 1 ? kTransaction : kTransactions.arg(count),
                     Picture::format(balance, "@n-$19.2").trimmed()),
            Dlg::Warning, Dlg::Ok, Dlg::Ok, {}};
}

FormConfig form() {
    FormConfig f;
    f.fileName = "MemberCU";
    f.deleteQuestion = [](FormLogic &logic) { return deleteQuestion(logic.get<MemberCU>()); };
    f.deleteRefusal = [](FormLogic &logic) { return deleteRefusal(logic.database(), logic.get<MemberCU>()); };
    // A new member most likely belongs to this installation's local and joins today.
    f.newRecord = [](FormLogic &logic) {
        logic.setValue("LOCALCODE", installationLocal());
        logic.setValue("DATEJOINED", Clock::today());
    };
    f.validate = [](FormLogic &logic) {
        if (logic.get<MemberCU>().ACCTNUM > 0) return true;
        App::dialogs().message(kCaption, "Please enter the account number.", Dlg::Warning);
        return false;
    };
    f.conflict = [](FormLogic &logic) {
        const QString problem = duplicateOf(logic.database(), logic.get<MemberCU>(), logic.position());
        return problem.isEmpty() ? Message{} : Message{kCaption, problem, Dlg::Warning, Dlg::Ok, Dlg::Ok, {}};
    };
    // A new member takes the next internal number, read in the add's own transaction.
    f.numberNew = [](FormLogic &logic) {
        if (logic.value("MEMBERID").toInt() != 0) return true;
        qint32 id = 0;
        if (!nextMemberId(logic.database(), id)) return false;
        logic.setValue("MEMBERID", id);
        return true;
    };
    return f;
}

bool nextMemberId(storage::Database &db, qint32 &id) {
    QSqlQuery q(db.sql());
    if (!q.exec("SELECT COALESCE(MAX(\"MEMBERID\"), 0) + 1 FROM \"MemberCU\"") || !q.next()) {
        storage::Database::recordSqlError(q.lastError());
        return false;
    }
    id = q.value(0).toInt();
    return true;
}

QStringList miscPrompts(storage::Database &db) {
    QStringList out;
    QSqlQuery q(db.sql());
    if (db.exists(Misc::layout().def()) &&
        q.exec("SELECT \"MISC1NAME\", \"MISC2NAME\", \"MISC3NAME\", \"MISC4NAME\", \"MISC5NAME\", "
               "\"MISC6NAME\" FROM \"Misc\" ORDER BY rec_pos LIMIT 1") &&
        q.next()) {
        for (int i = 0; i < 6; ++i) out << clip(q.value(i).toString());
    }
    for (int i = 0; i < 6; ++i) {
        if (i >= out.size()) out << QString();
        out[i] = out[i].isEmpty() ? QString("Misc%1:").arg(i + 1) : out[i] + ":";
    }
    return out;
}
} // namespace MemberRules

MemberForm::MemberForm(storage::Table &table, int request, QWidget *parent)
    : FormWindow(table, MemberRules::form(), request, "Edit Participant Information", parent) {
    // Two columns and the notes across the foot, so the form fits a 768-pixel screen: who and
    // where on the left, dates, numbers and the office's own fields on the right.
    addNumber("Account Number:", "ACCTNUM", 9);
    addPattern("Social Security #:", "SSNUM", "K###-##-####K", "Member Social Security Number");
    addText("Last Name:", "LASTNAME");
    addText("First Name:", "FIRSTNAME");
    addAddress("ADDR1", "ADDR2", "CITY", "STATE", "ZIP");
    addPattern("Phone:", "PHONE1", "@P(###) ###-####P");
    addPattern("Phone 2:", "PHONE2", "@P(###) ###-####P");
    addText("Joint Owner:", "JOINTOWNER");
    addText("Warning:", "WARNING");
    newColumn();
    addDate("Birth Date:", "BIRTHDATE");
    addDate("Date Joined:", "DATEJOINED");
    addDate("Date Closed:", "DATECLOSED");
    addNumber("Local:", "LOCALCODE", 9);
    addNumber("Member ID:", "MEMBERID", 9);
    addText("User ID:", "USERID");
    QStringList prompts = MemberRules::miscPrompts(table.database());
    for (int i = 0; i < 6; ++i) addText(prompts[i], QString("MISC%1").arg(i + 1));
    belowColumns();
    addCheck("Withdrawals take the whole balance", "WITHDRAWALFLAG");
    QPlainTextEdit *notes = addMemo("Notes:", "Notes");
    notes->setMaximumHeight(notes->fontMetrics().lineSpacing() * 5 + 2 * notes->frameWidth() + 8);
}

void BROWSEMEMBERS() {
    runBrowse<MemberCU>(MemberRules::browse(), [](storage::Table &t, int request, QWidget *parent) {
        return std::unique_ptr<FormWindow>(new MemberForm(t, request, parent));
    });
}
