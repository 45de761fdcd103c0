// The record layouts: byte positions and widths that copies and exports of records rely on.
#include "data/records.h"

#include <gtest/gtest.h>

namespace {
int offsetOf(const storage::FileDef &def, const char *field) {
    int i = def.fieldIndex(field);
    return i < 0 ? -1 : def.fields[i].offset;
}

template <class R> void expectKey(Key<R> key) {
    const storage::FileDef &def = R::layout().def();
    ASSERT_LT(key.index, def.keys.size());
    EXPECT_EQ(def.keys[key.index].name, key.name) << def.name.toStdString();
}
} // namespace

TEST(Records, FieldsSitAtTheirBytePositions) {
    const auto &mem = MemberCU::layout().def();
    EXPECT_EQ(offsetOf(mem, "ACCTNUM"), 8);
    EXPECT_EQ(offsetOf(mem, "SSNUM"), 264);
    EXPECT_EQ(offsetOf(mem, "USERID"), 279);
    EXPECT_EQ(offsetOf(mem, "DATEJOINED"), 293);
    EXPECT_EQ(offsetOf(mem, "MISC4"), 352);
    EXPECT_EQ(offsetOf(mem, "DATECLOSED"), 377);
    EXPECT_EQ(offsetOf(mem, "WITHDRAWALFLAG"), 446);
    EXPECT_EQ(mem.recordSize, 447);

    const auto &tra = Trans::layout().def();
    EXPECT_EQ(offsetOf(tra, "TRANSAMOUNT"), 12);
    EXPECT_EQ(tra.fields[tra.fieldIndex("TRANSAMOUNT")].digits(), 15);
    EXPECT_EQ(offsetOf(tra, "TRANSTYPE"), 20);
    EXPECT_EQ(offsetOf(tra, "TRANSTIME"), 279);
    EXPECT_EQ(offsetOf(tra, "USERID"), 283);

    EXPECT_EQ(offsetOf(TransDesc::layout().def(), "POSITIVE"), 34);
    EXPECT_EQ(offsetOf(Withdraw::layout().def(), "IRSCODE"), 201);
    EXPECT_EQ(offsetOf(Withdraw::layout().def(), "ADDTOIRSFILE"), 202);
    EXPECT_EQ(offsetOf(PayData::layout().def(), "AMOUNT"), 8);
    EXPECT_EQ(offsetOf(PayBreak::layout().def(), "POSTINGDATE"), 28);
    EXPECT_EQ(offsetOf(PayBackup::layout().def(), "CONTRACTOR"), 24);
    EXPECT_EQ(offsetOf(Contractor::layout().def(), "CONTACT"), 246);
    EXPECT_EQ(Contractor::layout().def().recordSize, 296);

    const auto &cui = CUInfo::layout().def();
    EXPECT_EQ(offsetOf(cui, "ADMINFEE"), 216);
    EXPECT_EQ(cui.fields[cui.fieldIndex("ADMINFEE")].digits(), 11);
    EXPECT_EQ(offsetOf(cui, "TAXPERC"), 222);
    EXPECT_EQ(offsetOf(cui, "EIN"), 223);
    EXPECT_EQ(offsetOf(cui, "YEARFOR1099"), 272);
    EXPECT_EQ(offsetOf(cui, "TRANSCODE"), 277);
    EXPECT_EQ(offsetOf(cui, "DORMANTAMOUNT"), 317);

    EXPECT_EQ(offsetOf(LocInfo::layout().def(), "FAX"), 216);
    EXPECT_EQ(offsetOf(Password::layout().def(), "SECURITY"), 43);
    EXPECT_EQ(offsetOf(Misc::layout().def(), "MISC6NAME"), 200);
    EXPECT_EQ(offsetOf(XXGloNoTh::layout().def(), "SECURITY"), 3);
}

TEST(Records, KeyConstantsNameTheirKeys) {
    for (auto k : {MemberCU::AcctNum_Key, MemberCU::SSNum_Key, MemberCU::Name_Key,
                   MemberCU::LocalAcct_Key, MemberCU::LocalName_Key, MemberCU::LocalSSNum_Key})
        expectKey(k);
    for (auto k : {Trans::Acct_Key, Trans::AcctDateRevKey, Trans::DateType_Key}) expectKey(k);
    expectKey(TransDesc::TransCode_Key);
    expectKey(TransDesc::TransDesc_Key);
    expectKey(Withdraw::CodeKeyOrder);
    expectKey(PayData::AcctNumDate);
    expectKey(PayBreak::PatNum_Key);
    for (auto k : {PayBackup::PatNum_Key, PayBackup::PostingDate_Key, PayBackup::ContractorDate_Key})
        expectKey(k);
    expectKey(Contractor::AutoNum_Key);
    expectKey(Contractor::Name_Key);
    for (auto k : {LocInfo::AutoNum_Key, LocInfo::Name_Key, LocInfo::LocalNum_Key}) expectKey(k);
    expectKey(Password::UserID_Key);
    expectKey(Password::Name_Key);

    const auto &acct = Trans::layout().def().keys[Trans::Acct_Key.index];
    ASSERT_EQ(acct.parts.size(), 2);
    EXPECT_FALSE(acct.parts[0].descending);
    EXPECT_TRUE(acct.parts[1].descending);
    EXPECT_TRUE(MemberCU::layout().def().keys[MemberCU::Name_Key.index].upper);
}
