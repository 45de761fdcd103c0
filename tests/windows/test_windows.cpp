// Each list-and-form window's own rules, on top of the shared behaviour tested once.
#include "../support/tempdata.h"
#include "contract/contractors.h"
#include "ledger/adminfees.h"
#include "ledger/transdesc.h"
#include "member/members.h"
#include "member/viewshareinfo.h"
#include "payroll/withdrawcodes.h"
#include "platform/clock.h"
#include "toolbox/tools/users.h"
#include "data/lookups.h"
#include "platform/inifile.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

namespace {
class Windows : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        for (const storage::FileDef *def : allFiles()) ASSERT_TRUE(db->create(*def));
    }
    qint64 addCode(qint32 code, const QString &desc, quint8 positive) {
        storage::DataFile<TransDesc> trd(*db);
        trd.open();
        trd.rec = {code, desc, positive};
        EXPECT_TRUE(trd.add());
        return trd.position();
    }
    qint64 addMember(qint32 acct, const QString &ssn, const QString &last) {
        storage::DataFile<MemberCU> mem(*db);
        mem.open();
        mem.rec.ACCTNUM = acct;
        mem.rec.SSNUM = ssn;
        mem.rec.LASTNAME = last;
        mem.rec.FIRSTNAME = "Pat";
        EXPECT_TRUE(mem.add());
        return mem.position();
    }
    void post(qint32 acct, qint32 date, const char *amount, qint32 type, const QString &desc = {}) {
        storage::DataFile<Trans> tra(*db);
        tra.open();
        tra.rec.ACCTNUM = acct;
        tra.rec.TRANSDATE = date;
        tra.rec.TRANSAMOUNT = Decimal::fromString(amount);
        tra.rec.TRANSTYPE = type;
        tra.rec.DESC = desc;
        ASSERT_TRUE(tra.add());
    }
    static QStringList column(BrowseWindow &b, int c) {
        QStringList out;
        for (int r = 0; r < b.list().rowCount(); ++r) out << b.list().index(r, c).data().toString();
        return out;
    }
};
} // namespace

TEST_F(Windows, TransactionCodesShowCreditOrDebitAndOnlyCodesAboveZero) {
    addCode(-4, "Payroll", 1);
    addCode(0, "Zero", 0);
    addCode(1, "Deposit", 1);
    addCode(23, "Rollover Out", 0);
    BrowseWindow browse(*db, TransDesc::layout().def(), TransDescRules::browse(), false);
    EXPECT_EQ(column(browse, 0), QStringList({"1", "23"}));
    EXPECT_EQ(column(browse, 2), QStringList({"CREDIT", "DEBIT"}));
    browse.setTab(1);
    EXPECT_EQ(column(browse, 1), QStringList({"Deposit", "Rollover Out"}));
    // A locator of 0 does not move the list; a code moves it to the first at or after it.
    browse.setTab(0);
    browse.list().last();
    browse.locate("0");
    EXPECT_EQ(browse.list().current(), 1);
    browse.locate("2");
    EXPECT_EQ(browse.list().currentEntry()->row[0].toInt(), 23);
    // Without a selection request, closing reports completed.
    browse.close();
    EXPECT_EQ(GlobalResponse(), Response::RequestCompleted);
}

TEST_F(Windows, TheDebitAndCreditBoxesSetPositive) {
    qint64 credit = addCode(1, "Deposit", 1);
    storage::Table table(*db, TransDesc::layout().def());
    ASSERT_TRUE(table.open());
    {
        TransDescForm form(table, Request::ChangeRecord);
        ASSERT_TRUE(form.prepare(credit));
        EXPECT_TRUE(form.credit()->isChecked());
        EXPECT_FALSE(form.debit()->isChecked());
        form.accept(); // saved unchanged: still a credit
        EXPECT_EQ(form.response(), Response::RequestCompleted);
    }
    ASSERT_TRUE(table.getPosition(credit));
    EXPECT_EQ(table.row[2].toInt(), 1);
    {
        TransDescForm form(table, Request::ChangeRecord);
        ASSERT_TRUE(form.prepare(credit));
        form.debit()->setChecked(true);
        EXPECT_FALSE(form.credit()->isChecked()); // never both
        form.debit()->setChecked(false);
        form.accept(); // neither checked: unchanged
    }
    ASSERT_TRUE(table.getPosition(credit));
    EXPECT_EQ(table.row[2].toInt(), 1);
    {
        TransDescForm form(table, Request::ChangeRecord);
        ASSERT_TRUE(form.prepare(credit));
        form.debit()->setChecked(true);
        form.accept();
    }
    ASSERT_TRUE(table.getPosition(credit));
    EXPECT_EQ(table.row[2].toInt(), 0);
    // A new code starts cleared: "Debit" checked, the next number proposed.
    TransDescForm fresh(table, Request::InsertRecord);
    ASSERT_TRUE(fresh.prepare());
    EXPECT_TRUE(fresh.debit()->isChecked());
    EXPECT_EQ(fresh.findChild<QLineEdit *>("TRANSCODE")->text(), "2");
    EXPECT_EQ(TransDescRules::positiveAfterSave(false, false, 0), 0);
    EXPECT_EQ(TransDescRules::positiveAfterSave(false, true, 0), 1);
    fresh.reject();
    EXPECT_EQ(table.count(), 1); // the reserved code is gone again
}

TEST_F(Windows, ContractorsShowCityStateZipAndNumberThemselves) {
    Contractor c;
    c.CITY = "SPRINGFIELD", c.STATE = "IL", c.ZIP = "62701";
    EXPECT_EQ(ContractorRules::CSZ(c), "SPRINGFIELD, IL 62701");
    c.STATE = "";
    EXPECT_EQ(ContractorRules::CSZ(c), "SPRINGFIELD,  62701");
    c.CITY = QString(40, 'X');
    EXPECT_EQ(ContractorRules::CSZ(c).size(), 30);
    EXPECT_EQ(ContractorRules::phone("2175550100"), "(217) 555-0100");
    EXPECT_EQ(ContractorRules::phone("(217) 555-0100 x12"), "(217) 555-0100 (12)");
    EXPECT_EQ(ContractorRules::phone(""), "");

    storage::Table table(*db, Contractor::layout().def());
    ASSERT_TRUE(table.open());
    for (int i = 1; i <= 5; ++i) {
        ContractorForm form(table, Request::InsertRecord);
        ASSERT_TRUE(form.prepare());
        form.findChild<QLineEdit *>("NAME")->setText(QString("Contractor %1").arg(i));
        form.findChild<QLineEdit *>("PHONE")->setText("2175550100");
        form.accept();
        EXPECT_EQ(form.response(), Response::RequestCompleted);
        EXPECT_EQ(form.logic().value("AUTONUM").toInt(), i);
        EXPECT_EQ(form.logic().value("PHONE").toString(), "(217) 555-0100");
        EXPECT_EQ(form.logic().value("ZIP").toString(), ""); // blank when nothing was typed
    }
    ASSERT_TRUE(table.getPosition(5));
    ASSERT_TRUE(table.remove());
    ContractorForm again(table, Request::InsertRecord);
    ASSERT_TRUE(again.prepare());
    EXPECT_EQ(again.logic().value("AUTONUM").toInt(), 5);
    again.reject();
    EXPECT_EQ(table.count(), 4);
}

TEST_F(Windows, WithdrawalCodesSayYesOrNoAndRefuseADuplicateCode) {
    storage::DataFile<Withdraw> wit(*db);
    ASSERT_TRUE(wit.open());
    wit.rec.CODE = "7", wit.rec.DESCRIPTION = "Normal distribution", wit.rec.IRSCODE = "7", wit.rec.ADDTOIRSFILE = 1;
    ASSERT_TRUE(wit.add());
    wit.clear();
    wit.rec.CODE = "T", wit.rec.DESCRIPTION = "Transfer";
    ASSERT_TRUE(wit.add());
    BrowseWindow browse(*db, Withdraw::layout().def(), WithdrawRules::browse(), false);
    EXPECT_EQ(column(browse, 3), QStringList({"Yes", "No"}));
    EXPECT_EQ(browse.windowTitle(), "Browse Withdrawal Codes ...");

    EditWithForm form(browse.table(), Request::InsertRecord);
    ASSERT_TRUE(form.prepare());
    EXPECT_EQ(form.statusText(), "Record will be Added");
    form.findChild<QLineEdit *>("CODE")->setText("t");
    form.accept();
    EXPECT_EQ(form.response(), Response::RequestCancelled); // still open
    EXPECT_EQ(dialogs.last().text, "Adding this record creates a duplicate entry for the key:Code Order");

    // The update helper of the file reports another station's change.
    auto second = openSecond();
    storage::DataFile<Withdraw> theirs(*second);
    ASSERT_TRUE(theirs.open());
    theirs.rec.CODE = "7";
    ASSERT_TRUE(theirs.get(Withdraw::CodeKeyOrder));
    wit.rec.CODE = "7";
    ASSERT_TRUE(wit.get(Withdraw::CodeKeyOrder));
    theirs.rec.DESCRIPTION = "Theirs";
    ASSERT_TRUE(theirs.put());
    wit.rec.DESCRIPTION = "Mine";
    EXPECT_EQ(RIUPDATE_WITHDRAW(wit, dialogs, false), 2);
    EXPECT_EQ(wit.rec.DESCRIPTION, "Theirs");
    EXPECT_EQ(RIDELETE_WITHDRAW(wit, dialogs), 0);
}

TEST_F(Windows, PasswordsAreStoredAsSaltedHashesAndUserIdsAreUnique) {
    QString a = UserRules::hashPassword("secret"), b = UserRules::hashPassword("secret");
    EXPECT_NE(a, b); // salted
    EXPECT_FALSE(a.contains("secret"));
    EXPECT_TRUE(UserRules::passwordMatches("secret", a));
    EXPECT_FALSE(UserRules::passwordMatches("Secret", a));
    EXPECT_TRUE(UserRules::passwordMatches("", ""));

    storage::Table table(*db, Password::layout().def());
    ASSERT_TRUE(table.open());
    EditUsersForm form(table, Request::InsertRecord);
    ASSERT_TRUE(form.prepare());
    form.findChild<QLineEdit *>("USERID")->setText("MGR");
    form.password()->setText("0123456789");
    form.findChild<QLineEdit *>("NAME")->setText("Fund Manager");
    form.findChild<QLineEdit *>("SECURITY")->setText("255");
    form.accept();
    ASSERT_EQ(form.response(), Response::RequestCompleted);
    storage::DataFile<Password> pas(*db);
    ASSERT_TRUE(pas.open());
    pas.rec.USERID = "mgr";
    ASSERT_TRUE(pas.get(Password::UserID_Key));
    EXPECT_EQ(pas.rec.PASSWORD, "");
    EXPECT_TRUE(UserRules::passwordMatches("0123456789", pas.rec.PASSWORDHASH));
    EXPECT_EQ(pas.rec.SECURITY, 255);

    EditUsersForm twice(table, Request::InsertRecord);
    ASSERT_TRUE(twice.prepare());
    twice.findChild<QLineEdit *>("USERID")->setText("MGR");
    twice.accept();
    EXPECT_EQ(twice.response(), Response::RequestCancelled);
    EXPECT_EQ(dialogs.last().text, "Adding this record creates a duplicate entry for the key:PAS:UserID_Key");
    // Cancelling after typing asks whether the user is sure.
    dialogs.answers = {Dlg::Yes};
    twice.reject();
    EXPECT_EQ(dialogs.last().text, "Are you sure you want to cancel?");
}

TEST_F(Windows, TheMemberFormRefusesAnAccountNumberOrSsnAlreadyInUse) {
    addMember(1001, "123-45-6789", "Anderson");
    storage::Table table(*db, MemberCU::layout().def());
    ASSERT_TRUE(table.open());
    MemberForm form(table, Request::InsertRecord);
    ASSERT_TRUE(form.prepare());
    form.findChild<QLineEdit *>("ACCTNUM")->setText("1001");
    form.findChild<QLineEdit *>("SSNUM")->setText("987654321");
    form.findChild<QLineEdit *>("LASTNAME")->setText("Baker");
    form.accept();
    EXPECT_EQ(form.response(), Response::RequestCancelled);
    EXPECT_EQ(dialogs.last().text, "Account number 1001 already belongs to Anderson, Pat.");
    form.findChild<QLineEdit *>("ACCTNUM")->setText("1002");
    form.findChild<QLineEdit *>("SSNUM")->setText("123456789");
    form.accept();
    EXPECT_EQ(dialogs.last().text, "Social Security Number 123-45-6789 already belongs to account 1001 (Anderson, Pat).");
    form.findChild<QLineEdit *>("SSNUM")->setText("987654321");
    form.findChild<QLineEdit *>("BIRTHDATE")->setText("02/30/1970");
    form.accept();
    EXPECT_EQ(dialogs.last().caption, "Invalid Date");
    form.findChild<QLineEdit *>("BIRTHDATE")->setText("03/15/1970");
    form.accept();
    ASSERT_EQ(form.response(), Response::RequestCompleted);
    MemberCU saved = form.logic().get<MemberCU>();
    EXPECT_EQ(saved.SSNUM, "987-65-4321");
    EXPECT_EQ(saved.BIRTHDATE, Clock::dayNumber(1970, 3, 15));
    EXPECT_EQ(saved.MEMBERID, 1); // the next internal number

    // The user fields carry the prompts of the Misc record.
    storage::DataFile<Misc> mis(*db);
    ASSERT_TRUE(mis.open());
    mis.rec.MISC1NAME = "Union Card #";
    ASSERT_TRUE(mis.add());
    EXPECT_EQ(MemberRules::miscPrompts(*db).mid(0, 2), QStringList({"Union Card #:", "Misc2:"}));
}

TEST_F(Windows, TheAccountViewRunsTheBalanceAndTheFeeListTotals) {
    addMember(1001, "123-45-6789", "Anderson");
    qint32 d1 = Clock::dayNumber(2026, 1, 15), d2 = Clock::dayNumber(2026, 2, 15), d3 = Clock::dayNumber(2026, 3, 1);
    post(1001, d2, "250.00", TransType::Payroll);
    post(1001, d1, "100.00", TransType::Payroll);
    post(1001, d3, "-25.00", TransType::AdminFee, "Fee");
    post(1001, d3, "-75.00", TransType::Withdrawal);
    post(1002, d3, "-25.00", TransType::AdminFee, "Fee");
    post(1002, d3 + 40, "-25.00", TransType::AdminFee, "Later");
    AccountView::History h = AccountView::history(*db, 1001);
    ASSERT_EQ(h.lines.size(), 4);
    EXPECT_EQ(h.lines[0].tra.TRANSDATE, d1);
    EXPECT_EQ(h.lines[1].balance.toString(), "350.00");
    EXPECT_EQ(h.lines[3].balance.toString(), "250.00");
    EXPECT_EQ(h.balance.toString(), "250.00");
    EXPECT_EQ(AccountView::typeName(*db, TransType::Payroll), "Payroll");

    AdminFees::Listing fees = AdminFees::list(*db, d1, d3);
    EXPECT_EQ(fees.fees.size(), 2);
    EXPECT_EQ(fees.total.toString(), "-50.00");
    AdministrationFeesWindow window;
    window.show(d1, d3 + 40);
    EXPECT_EQ(window.table()->rowCount(), 3);
    EXPECT_EQ(window.total()->text(), "3 fees, total -$75.00");
}

TEST_F(Windows, CancellingAFormWithAnUnreadableEntryAsksInsteadOfComplaining) {
    qint64 pos = addMember(1001, "123-45-6789", "Anderson");
    storage::Table table(*db, MemberCU::layout().def());
    ASSERT_TRUE(table.open());
    MemberForm form(table, Request::ChangeRecord);
    ASSERT_TRUE(form.prepare(pos));
    form.findChild<QLineEdit *>("BIRTHDATE")->setText("13/45/19");
    dialogs.answers = {Dlg::No};
    form.reject();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().text, "Do you want to save the changes to this record?");
    EXPECT_EQ(form.response(), Response::RequestCancelled);
}

TEST_F(Windows, APatternEntryLeftAloneLeavesTheStoredTextAlone) {
    storage::DataFile<Contractor> con(*db);
    ASSERT_TRUE(con.open());
    con.rec.AUTONUM = 1, con.rec.NAME = "ABC Builders", con.rec.ZIP = "62701", con.rec.PHONE = "217-555-0100";
    ASSERT_TRUE(con.add());
    ContractorForm form(con.table(), Request::ChangeRecord);
    ASSERT_TRUE(form.prepare(con.position()));
    EXPECT_EQ(form.findChild<QLineEdit *>("PHONE")->text(), "(217) 555-0100");
    form.reject(); // nothing was changed: no question
    EXPECT_TRUE(dialogs.shown.isEmpty());
    ContractorForm typed(con.table(), Request::ChangeRecord);
    ASSERT_TRUE(typed.prepare(con.position()));
    typed.findChild<QLineEdit *>("ZIP")->setText("62702");
    typed.accept();
    ASSERT_EQ(typed.response(), Response::RequestCompleted);
    EXPECT_EQ(typed.logic().value("ZIP").toString(), "62702"); // no dangling dash
    EXPECT_EQ(typed.logic().value("PHONE").toString(), "217-555-0100");
}

namespace {
class Deletes : public Windows {
protected:
    void SetUp() override {
        Windows::SetUp();
        App::setDialogs(&seat);
    }
    template <class Form, class R> int remove(qint64 pos) {
        storage::Table table(*db, R::layout().def());
        EXPECT_TRUE(table.open());
        Form form(table, Request::DeleteRecord);
        return form.run(pos);
    }
    template <class R> qint64 count() {
        storage::Table table(*db, R::layout().def());
        table.open();
        return table.count();
    }
    qint64 addContractor(qint32 number, const QString &name) {
        storage::DataFile<Contractor> con(*db);
        con.open();
        con.rec.AUTONUM = number;
        con.rec.NAME = name;
        EXPECT_TRUE(con.add());
        return con.position();
    }
    ScriptedDialogs seat;
};
} // namespace

TEST_F(Deletes, AMemberIsNamedAndKeptWhileTheAccountHoldsTransactions) {
    storage::DataFile<MemberCU> mem(*db);
    ASSERT_TRUE(mem.open());
    mem.rec.ACCTNUM = 1026, mem.rec.LASTNAME = "Newman", mem.rec.FIRSTNAME = "Alice";
    ASSERT_TRUE(mem.add());
    const qint64 newman = mem.position();
    const qint64 baker = addMember(1027, "222-33-4444", "Baker");
    post(1027, 100, "250.00", TransType::Payroll);
    post(1027, 200, "-250.00", TransType::Withdrawal);
    const qint64 cole = addMember(1028, "333-44-5555", "Cole");
    post(1028, 100, "1234.56", TransType::Payroll);

    // The question names the member; No keeps it.
    seat.answers = {Dlg::No};
    EXPECT_EQ((remove<MemberForm, MemberCU>(newman)), Response::RequestCancelled);
    ASSERT_EQ(seat.shown.size(), 1);
    EXPECT_EQ(seat.last().caption, "Confirm Delete");
    EXPECT_EQ(seat.last().text, "Delete member 1026 Newman, Alice?");
    EXPECT_EQ(seat.last().buttons, Dlg::Yes | Dlg::No);
    EXPECT_EQ(seat.last().defaultButton, Dlg::No);
    EXPECT_EQ(count<MemberCU>(), 3);

    // Transactions, even with nothing left on the account, keep the member; no question is asked.
    seat.shown.clear();
    EXPECT_EQ((remove<MemberForm, MemberCU>(baker)), Response::RequestCancelled);
    ASSERT_EQ(seat.shown.size(), 1);
    EXPECT_EQ(seat.last().caption, "Member Not Deleted ...");
    EXPECT_EQ(seat.last().text,
              "Member 1027 Baker, Pat cannot be deleted: the account has 2 transactions and a balance of "
              "$0.00, which would be left without an owner.|To close the account, pay out any balance "
              "with a withdrawal and enter the Date Closed on the member's form.");
    seat.shown.clear();
    EXPECT_EQ((remove<MemberForm, MemberCU>(cole)), Response::RequestCancelled);
    EXPECT_TRUE(seat.last().text.contains("has 1 transaction and a balance of $1,234.56"))
        << seat.last().text.toStdString();
    EXPECT_EQ(count<MemberCU>(), 3);

    // A deposit posted by another station while the question is up keeps the member too.
    seat.shown.clear();
    seat.onShow = [&](const Message &m) {
        if (m.caption == "Confirm Delete") post(1026, 300, "10.00", TransType::Payroll);
    };
    seat.answers = {Dlg::Yes};
    EXPECT_EQ((remove<MemberForm, MemberCU>(newman)), Response::RequestCancelled);
    EXPECT_EQ(seat.last().caption, "Member Not Deleted ...");
    EXPECT_EQ(count<MemberCU>(), 3);

    // A member without transactions goes.
    seat.onShow = nullptr;
    const qint64 dale = addMember(1029, "444-55-6666", "Dale");
    seat.answers = {Dlg::Yes};
    EXPECT_EQ((remove<MemberForm, MemberCU>(dale)), Response::RequestCompleted);
    EXPECT_EQ(count<MemberCU>(), 3);
}

TEST_F(Deletes, AContractorThatPayrollRecordsReferToIsKept) {
    const qint64 unused = addContractor(1, "ABC Builders");
    const qint64 paid = addContractor(2, "Keystone Electric");
    const qint64 saved = addContractor(3, "Westgate Drywall");
    const qint64 backed = addContractor(4, "Northside Roofing");
    storage::DataFile<PayData> pay(*db);
    ASSERT_TRUE(pay.open());
    pay.rec.ACCTNUM = 2, pay.rec.DATE = 100;
    ASSERT_TRUE(pay.add());
    storage::DataFile<PayBreak> pbk(*db);
    ASSERT_TRUE(pbk.open());
    pbk.rec.PATNUM = "2", pbk.rec.CONTRACTOR = 3;
    ASSERT_TRUE(pbk.add());
    storage::DataFile<PayBackup> pbp(*db);
    ASSERT_TRUE(pbp.open());
    pbp.rec.PATNUM = "111-22-3333", pbp.rec.CONTRACTOR = 4;
    ASSERT_TRUE(pbp.add());

    for (auto [pos, file] : {std::pair{paid, "PayData"}, {saved, "PayBreak"}, {backed, "PayBackup"}}) {
        seat.shown.clear();
        EXPECT_EQ((remove<ContractorForm, Contractor>(pos)), Response::RequestCancelled) << file;
        ASSERT_EQ(seat.shown.size(), 1) << file; // refused before the question
        EXPECT_EQ(seat.last().caption, "Referential Integrity Delete Error");
        EXPECT_EQ(seat.last().text, QString("This record is referenced from the file %1.  This record cannot be "
                                            "deleted while these references exist.")
                                        .arg(file));
    }
    EXPECT_EQ(count<Contractor>(), 4);

    // A payroll posted by another station while the question is up keeps the contractor too.
    seat.shown.clear();
    seat.onShow = [&](const Message &m) {
        if (m.caption != "Confirm Delete") return;
        pay.rec.ACCTNUM = 1, pay.rec.DATE = 200;
        ASSERT_TRUE(pay.add());
    };
    seat.answers = {Dlg::Ok};
    EXPECT_EQ((remove<ContractorForm, Contractor>(unused)), Response::RequestCancelled);
    EXPECT_EQ(seat.last().caption, "Referential Integrity Delete Error");
    EXPECT_EQ(count<Contractor>(), 4);

    // Without payroll records it goes.
    seat.onShow = nullptr;
    ASSERT_TRUE(pay.getPosition(pay.position()));
    ASSERT_TRUE(pay.remove());
    seat.answers = {Dlg::Ok};
    EXPECT_EQ((remove<ContractorForm, Contractor>(unused)), Response::RequestCompleted);
    EXPECT_EQ(count<Contractor>(), 3);
}

TEST_F(Windows, ANewTransactionCodeStartsAtOneAtLeast) {
    addCode(-4, "Payroll", 1);
    addCode(-3, "Withdrawal", 0);
    storage::Table table(*db, TransDesc::layout().def());
    ASSERT_TRUE(table.open());
    TransDescForm fresh(table, Request::InsertRecord);
    ASSERT_TRUE(fresh.prepare());
    EXPECT_EQ(fresh.findChild<QLineEdit *>("TRANSCODE")->text(), "1");
    fresh.reject();
    addCode(0, "Zero", 0);
    TransDescForm again(table, Request::InsertRecord);
    ASSERT_TRUE(again.prepare());
    EXPECT_EQ(again.findChild<QLineEdit *>("TRANSCODE")->text(), "1");
    again.reject();
}

TEST_F(Windows, TheMemberListLocatesTheAccountNumberAsItIsTypedAndDeletesThatMember) {
    for (qint32 acct : {1001, 1010, 1026, 1030}) addMember(acct, QString("%1-00-0000").arg(acct - 900), "Member");
    GlobalRequest() = Request::None;
    BROWSEMEMBERS();
    BrowseWindow *browse = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == "BROWSEMEMBERS" && w->isVisible()) browse = static_cast<BrowseWindow *>(w);
    ASSERT_NE(browse, nullptr);
    QApplication::setActiveWindow(browse);
    ASSERT_TRUE(QTest::qWaitForWindowActive(browse));
    ASSERT_EQ(QApplication::focusWidget(), browse->locator());
    QTest::keyClicks(QApplication::focusWidget(), "1026");
    MemberCU highlighted;
    MemberCU::layout().fromRow(highlighted, browse->list().currentEntry()->row);
    EXPECT_EQ(highlighted.ACCTNUM, 1026);
    dialogs.answers = {Dlg::Ok};
    QTest::mouseClick(browse->button("&Delete"), Qt::LeftButton);
    storage::DataFile<MemberCU> mem(*db);
    ASSERT_TRUE(mem.open());
    mem.rec.ACCTNUM = 1026;
    EXPECT_FALSE(mem.get(MemberCU::AcctNum_Key)) << "the member typed is the one deleted";
    mem.rec.ACCTNUM = 1001;
    EXPECT_TRUE(mem.get(MemberCU::AcctNum_Key));
    browse->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // before its files go
}

TEST_F(Windows, ANewMemberStartsWithThisInstallationsLocalAndJoinsToday) {
    Clock::setToday(Clock::dayNumber(2026, 12, 8));
    storage::Table table(*db, MemberCU::layout().def());
    ASSERT_TRUE(table.open());
    const qint32 frameLocal = GLO().LOCAL;
    GLO().LOCAL = 565; // found by the frame when it opened
    {
        MemberForm form(table, Request::InsertRecord);
        ASSERT_TRUE(form.prepare());
        EXPECT_EQ(form.findChild<QLineEdit *>("LOCALCODE")->text(), "565");
        EXPECT_EQ(form.findChild<QLineEdit *>("DATEJOINED")->text(), "12/08/2026");
        form.reject(); // proposals are no change of the user's: no question
        EXPECT_TRUE(dialogs.shown.isEmpty());
    }
    GLO().LOCAL = 0; // no frame: the installation's own settings say
    ASSERT_TRUE(IniFile::put(dataDir() + "/" + LocalSettingsFile, "Local", "Number", "968"));
    EXPECT_EQ(MemberRules::installationLocal(), 968);
    {
        MemberForm form(table, Request::InsertRecord);
        ASSERT_TRUE(form.prepare());
        EXPECT_EQ(form.findChild<QLineEdit *>("LOCALCODE")->text(), "968");
    }
    GLO().LOCAL = frameLocal;
    // A member already on file keeps what it has.
    qint64 pos = addMember(1001, "123-45-6789", "Anderson");
    MemberForm change(table, Request::ChangeRecord);
    ASSERT_TRUE(change.prepare(pos));
    EXPECT_EQ(change.findChild<QLineEdit *>("LOCALCODE")->text(), "0");
    EXPECT_EQ(change.findChild<QLineEdit *>("DATEJOINED")->text(), "");
}

TEST_F(Windows, TheMemberFormTakesTypingFromItsFirstEntryOn) {
    storage::Table table(*db, MemberCU::layout().def());
    ASSERT_TRUE(table.open());
    MemberForm form(table, Request::InsertRecord);
    ASSERT_TRUE(form.prepare());
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    ASSERT_EQ(QApplication::focusWidget(), form.findChild<QLineEdit *>("ACCTNUM"));
    QTest::keyClicks(QApplication::focusWidget(), "1026");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), form.findChild<QLineEdit *>("SSNUM"));
    QTest::keyClicks(QApplication::focusWidget(), "123456789");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(form.findChild<QLineEdit *>("SSNUM")->displayText(), "123-45-6789");
    EXPECT_EQ(form.findChild<QLineEdit *>("ACCTNUM")->text(), "1026");
    form.findChild<QLineEdit *>("ZIP")->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), "62704");
    form.findChild<QLineEdit *>("PHONE1")->setFocus();
    EXPECT_EQ(form.findChild<QLineEdit *>("ZIP")->displayText(), "62704"); // no dangling dash
    form.findChild<QLineEdit *>("BIRTHDATE")->setFocus();
    EXPECT_EQ(form.findChild<QLineEdit *>("PHONE1")->displayText(), ""); // an empty phone is empty
    QTest::keyClicks(QApplication::focusWidget(), "03151985");
    form.findChild<QLineEdit *>("ACCTNUM")->setFocus();
    EXPECT_EQ(form.findChild<QLineEdit *>("BIRTHDATE")->text(), "03/15/1985");
    dialogs.answers = {Dlg::No};
    form.reject();
}
