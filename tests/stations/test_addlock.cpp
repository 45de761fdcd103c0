// Adds that no other station can interleave: the duplicate checks, the automatic numbers and the
// add are one transaction under the file's add lock. Another station is a process of its own
// (pension-station) holding its add while this one tries.
#include "stationtest.h"
#include "common/formlogic.h"
#include "member/members.h"
#include "platform/storage/faults.h"
#include "stationfund.h"

#include <QProcess>
#include <QSet>
#include <QSqlQuery>

namespace {
class AddLock : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(StationFund::make(*db, false));
    }
    std::unique_ptr<QProcess> station(const QStringList &args) {
        auto p = std::make_unique<QProcess>();
        p->setProgram(PENSION_STATION);
        p->setArguments(QStringList{dataDir()} + args);
        p->start();
        EXPECT_TRUE(p->waitForStarted());
        return p;
    }
    // The other station has added its member and holds the transaction for a while.
    std::unique_ptr<QProcess> holding(qint32 acct, const QString &ssn) {
        auto p = station({"hold-member", QString::number(acct), ssn, "3000"});
        EXPECT_TRUE(p->waitForReadyRead(30000));
        EXPECT_EQ(p->readLine().trimmed(), "held") << p->readAllStandardError().toStdString();
        return p;
    }
    static void finished(QProcess &p) {
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    }
    FormLogic::Outcome addMember(storage::Table &table, qint32 acct, const QString &ssn) {
        FormLogic form(table, dialogs, MemberRules::form(), Request::InsertRecord);
        EXPECT_TRUE(form.open());
        form.setValue("ACCTNUM", acct);
        form.setValue("SSNUM", ssn);
        form.setValue("LASTNAME", "Baker");
        const FormLogic::Outcome o = form.save();
        lastAdded = form.get<MemberCU>();
        return o;
    }
    QList<MemberCU> members() {
        QList<MemberCU> out;
        storage::DataFile<MemberCU> mem(*db);
        EXPECT_TRUE(mem.open());
        mem.setStart(MemberCU::AcctNum_Key);
        while (mem.next()) out << mem.rec;
        EXPECT_FALSE(mem.failed());
        return out;
    }
    // Member account(0) of a fund with members, opened for change in the member window's form.
    FormLogic &changing() {
        EXPECT_TRUE(StationFund::make(*db, true));
        memberTable = std::make_unique<storage::Table>(*db, MemberCU::layout().def());
        EXPECT_TRUE(memberTable->open());
        mine = std::make_unique<storage::DataFile<MemberCU>>(*db);
        EXPECT_TRUE(mine->open());
        mine->rec.ACCTNUM = StationFund::account(0);
        EXPECT_TRUE(mine->get(MemberCU::AcctNum_Key));
        form = std::make_unique<FormLogic>(*memberTable, dialogs, MemberRules::form(),
                                           Request::ChangeRecord);
        EXPECT_TRUE(form->open(mine->position()));
        return *form;
    }
    void TearDown() override {
        form.reset();
        mine.reset();
        memberTable.reset();
        StationTest::TearDown();
    }
    MemberCU lastAdded;
    std::unique_ptr<storage::Table> memberTable;
    std::unique_ptr<storage::DataFile<MemberCU>> mine;
    std::unique_ptr<FormLogic> form;
};
} // namespace

TEST_F(AddLock, TheLockIsTakenInsideATransactionOnlyAndNotWhenItsBatchIsGone) {
    const storage::FileDef &def = MemberCU::layout().def();
    EXPECT_FALSE(db->serializeAdds(def));
    EXPECT_EQ(storage::lastError().code, storage::FileSystemError);
    {
        storage::Transaction t(*db);
        EXPECT_TRUE(db->serializeAdds(def));
        EXPECT_TRUE(db->serializeAdds(def)); // taken twice in one transaction: still ours
    }
    storage::faults::refuseBegin();
    storage::Transaction refused(*db);
    EXPECT_FALSE(refused.active());
    EXPECT_FALSE(db->serializeAdds(def));
    EXPECT_EQ(storage::lastError().code, storage::FileLocked);
}

TEST_F(AddLock, AnSsnAddedByAnotherStationWhileWeTypedIsRefusedOnceItsAddIsCommitted) {
    storage::Table table(*db, MemberCU::layout().def());
    ASSERT_TRUE(table.open());
    const QString ssn = StationFund::ssn(1);
    auto other = holding(5001, ssn);
    // Its add is not committed yet: only a check under the same lock, made after it, sees it.
    EXPECT_EQ(addMember(table, 5002, ssn), FormLogic::Stay);
    ASSERT_FALSE(dialogs.shown.isEmpty());
    EXPECT_EQ(dialogs.last().caption, "Participant Information");
    EXPECT_EQ(dialogs.last().text,
              "Social Security Number " + ssn + " already belongs to account 5001 (Holder, ).");
    finished(*other);
    ASSERT_EQ(members().size(), 1);
    EXPECT_EQ(members().first().ACCTNUM, 5001);
}

TEST_F(AddLock, TwoNewMembersAddedAtOnceGetDifferentInternalNumbers) {
    storage::Table table(*db, MemberCU::layout().def());
    ASSERT_TRUE(table.open());
    auto other = holding(5001, StationFund::ssn(1)); // it took number 1
    EXPECT_EQ(addMember(table, 5002, StationFund::ssn(2)), FormLogic::Completed);
    EXPECT_EQ(lastAdded.MEMBERID, 2);
    finished(*other);
    const QList<MemberCU> all = members();
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[0].MEMBERID, 1);
    EXPECT_EQ(all[1].MEMBERID, 2);
    // A number typed in by the user is kept.
    FormLogic form(table, dialogs, MemberRules::form(), Request::InsertRecord);
    ASSERT_TRUE(form.open());
    form.setValue("ACCTNUM", 5003);
    form.setValue("MEMBERID", 77);
    ASSERT_EQ(form.save(), FormLogic::Completed);
    EXPECT_EQ(form.get<MemberCU>().MEMBERID, 77);
}

TEST_F(AddLock, TwoStationsAddingTheSameSsnsAtOnceLeaveOneMemberEachWithItsOwnNumber) {
    constexpr int count = 40;
    auto a = station({"add-members", "5001", QString::number(count)});
    auto b = station({"add-members", "6001", QString::number(count)});
    finished(*a);
    finished(*b);
    const QString said = QString::fromUtf8(a->readAllStandardOutput() + b->readAllStandardOutput());
    EXPECT_EQ(said.count("added "), count) << said.toStdString();
    EXPECT_EQ(said.count("refused Social Security Number "), count) << said.toStdString();
    const QList<MemberCU> all = members();
    ASSERT_EQ(all.size(), count);
    QSet<QString> ssns;
    QSet<qint32> ids;
    for (const MemberCU &m : all) ssns << m.SSNUM, ids << m.MEMBERID;
    EXPECT_EQ(ssns.size(), count);
    EXPECT_EQ(ids.size(), count);
}

TEST_F(AddLock, AnAddRefusedByAnotherStationsLockSaysSoAndAddsNothing) {
    storage::Table table(*db, MemberCU::layout().def());
    ASSERT_TRUE(table.open());
    FormLogic form(table, dialogs, MemberRules::form(), Request::InsertRecord);
    ASSERT_TRUE(form.open());
    form.setValue("ACCTNUM", 5001);
    form.setValue("SSNUM", StationFund::ssn(1));
    storage::faults::refuseBegin();
    EXPECT_EQ(form.save(), FormLogic::Stay);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().caption, "Record Insert Error");
    EXPECT_TRUE(dialogs.last().text.contains(storage::errorText(storage::FileLocked))) << dialogs.last().text.toStdString();
    EXPECT_TRUE(members().isEmpty());
    EXPECT_EQ(form.value("MEMBERID").toInt(), 0); // no number of the add that did not happen
    // Once the other station lets go, the same form adds the member.
    EXPECT_EQ(form.save(), FormLogic::Completed);
    ASSERT_EQ(members().size(), 1);
    EXPECT_EQ(members().first().MEMBERID, 1);
}

TEST_F(AddLock, AnAutomaticNumberRefusedByAnotherStationsLockMayBeTriedAgain) {
    storage::Table table(*db, TransDesc::layout().def());
    ASSERT_TRUE(table.open());
    FormConfig numbered;
    numbered.fileName = "TransDesc";
    numbered.autoNumberField = TransDesc::layout().def().fieldIndex("TRANSCODE");
    numbered.autoNumberKey = TransDesc::TransCode_Key.index;
    storage::faults::refuseBegin();
    dialogs.answers = {Dlg::Retry};
    FormLogic form(table, dialogs, numbered, Request::InsertRecord);
    ASSERT_TRUE(form.open());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().caption, "Auto Increment Error");
    EXPECT_TRUE(dialogs.last().text.contains(storage::errorText(storage::FileLocked))) << dialogs.last().text.toStdString();
    EXPECT_EQ(form.value("TRANSCODE").toInt(), 1);
    EXPECT_EQ(table.count(), 1);
}

TEST_F(AddLock, AChangeMadeOnAnotherStationIsDetectedAndShownInsteadOfOverwritten) {
    FormLogic &form = changing();
    ASSERT_FALSE(HasFailure());
    form.setValue("CITY", "Springfield");

    auto second = openSecond();
    ASSERT_TRUE(second);
    storage::DataFile<MemberCU> theirs(*second);
    ASSERT_TRUE(theirs.open());
    theirs.rec.ACCTNUM = StationFund::account(0);
    ASSERT_TRUE(theirs.get(MemberCU::AcctNum_Key));
    theirs.rec.CITY = "Shelbyville";
    ASSERT_TRUE(theirs.put());

    EXPECT_EQ(form.save(), FormLogic::Stay);
    ASSERT_FALSE(dialogs.shown.isEmpty());
    EXPECT_TRUE(dialogs.last().text.startsWith("This record was changed by another station."))
        << dialogs.last().text.toStdString();
    EXPECT_TRUE(form.reloadedFromOtherStation());
    EXPECT_EQ(form.value("CITY").toString().trimmed(), "Shelbyville");
    // Saved again on the other station's version, the change goes through.
    form.setValue("CITY", "Springfield");
    EXPECT_EQ(form.save(), FormLogic::Completed);
    ASSERT_TRUE(theirs.reget());
    EXPECT_EQ(theirs.rec.CITY.trimmed(), "Springfield");

    // A record the other station deleted is not written back either.
    const qint64 current = theirs.table().version;
    ASSERT_TRUE(theirs.remove());
    EXPECT_FALSE(mine->reget());
    storage::Table raw(*db, MemberCU::layout().def());
    ASSERT_TRUE(raw.open());
    raw.row = form.record();
    raw.pos = form.position();
    raw.version = current;
    EXPECT_FALSE(raw.put());
    EXPECT_EQ(storage::lastError().code, storage::RecordChanged);
}

TEST_F(AddLock, AChangeToAnSsnAnotherStationIsAddingIsRefusedOnceItsAddIsCommitted) {
    FormLogic &form = changing();
    ASSERT_FALSE(HasFailure());
    const QString ssn = StationFund::ssn(500);
    form.setValue("SSNUM", ssn);
    auto other = holding(5001, ssn);
    // Checked before the other add commits, the change would slip through beside it.
    EXPECT_EQ(form.save(), FormLogic::Stay);
    ASSERT_FALSE(dialogs.shown.isEmpty());
    EXPECT_EQ(dialogs.last().text,
              "Social Security Number " + ssn + " already belongs to account 5001 (Holder, ).");
    finished(*other);
    int holders = 0;
    for (const MemberCU &m : members()) holders += m.SSNUM == ssn;
    EXPECT_EQ(holders, 1);
    ASSERT_TRUE(mine->reget());
    EXPECT_EQ(mine->rec.SSNUM, StationFund::ssn(0));
}

TEST_F(AddLock, AChangeRefusedByAnotherStationsLockSaysSoAndWritesNothing) {
    FormLogic &form = changing();
    ASSERT_FALSE(HasFailure());
    form.setValue("CITY", "Springfield");
    storage::faults::refuseBegin();
    dialogs.answers = {Dlg::Ok, Dlg::Cancel};
    EXPECT_EQ(form.save(), FormLogic::Stay);
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_TRUE(dialogs.shown[0].text.contains(storage::errorText(storage::FileLocked)))
        << dialogs.shown[0].text.toStdString();
    ASSERT_TRUE(mine->reget());
    EXPECT_NE(mine->rec.CITY.trimmed(), "Springfield");
    // Tried again once the lock is gone, it goes through.
    EXPECT_EQ(form.save(), FormLogic::Completed);
    ASSERT_TRUE(mine->reget());
    EXPECT_EQ(mine->rec.CITY.trimmed(), "Springfield");
}
