#include "../support/tempdata.h"
#include "common/checkopen.h"
#include "data/lookups.h"
#include "data/records.h"
#include "platform/inifile.h"
#include "platform/storage/faults.h"
#include "shell/settings.h"

#include <QDir>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {
class SettingsTest : public DataTest {};
} // namespace

TEST_F(SettingsTest, ANewInstallationGetsABlankSettingsRecordThatTheFormFills) {
    storage::Table cui(*db, CUInfo::layout().def());
    ASSERT_TRUE(CHECKOPEN(cui, dialogs));
    qint64 pos = Settings::fundSettingsRecord(cui);
    ASSERT_GT(pos, 0);
    EXPECT_EQ(cui.count(), 1); // on file before OK
    EXPECT_EQ(Settings::fundSettingsRecord(cui), pos);
    {
        FundSettingsForm form(cui);
        ASSERT_TRUE(form.prepare(pos));
        form.findChild<QLineEdit *>("NAME")->setText("Local 565 Pension Fund");
        form.findChild<QLineEdit *>("ADMINFEE")->setText("$1,025.5");
        form.findChild<QLineEdit *>("TAXPERC")->setText("20");
        form.findChild<QLineEdit *>("DORMANTAMOUNT")->setText("100");
        form.findChild<QCheckBox *>("TESTFILEFOR1099")->setChecked(true);
        form.accept();
        EXPECT_EQ(form.response(), Response::RequestCompleted);
    }
    storage::DataFile<CUInfo> read(*db);
    ASSERT_TRUE(read.open());
    ASSERT_TRUE(read.first());
    EXPECT_EQ(read.rec.NAME, "Local 565 Pension Fund");
    EXPECT_EQ(read.rec.ADMINFEE.toString(), "1025.50");
    EXPECT_EQ(read.rec.TAXPERC, 20);
    EXPECT_EQ(read.rec.DORMANTAMOUNT.toString(), "100.00");
    EXPECT_EQ(read.rec.TESTFILEFOR1099, 1);
    // The window's place is kept under its own section.
    EXPECT_EQ(IniFile::get(QDir(dataDir()).filePath("PENSION.INI"), "EditCUinfo", "Maximize"), "No");

    // A fee too large for its field is refused before anything is written.
    FundSettingsForm again(cui);
    ASSERT_TRUE(again.prepare(pos));
    again.findChild<QLineEdit *>("ADMINFEE")->setText("123456789012");
    again.accept();
    EXPECT_EQ(again.response(), Response::RequestCancelled);
    EXPECT_EQ(dialogs.last().caption, "Range Error");
}

// A settings record that cannot be read is not a missing one: no second record is made.
TEST_F(SettingsTest, AnUnreadableSettingsRecordIsNotReplaced) {
    for (const storage::FileDef *def : {&CUInfo::layout().def(), &Misc::layout().def()}) {
        storage::Table table(*db, *def);
        ASSERT_TRUE(CHECKOPEN(table, dialogs));
        auto record = def->name == "CUInfo" ? &Settings::fundSettingsRecord : &Settings::promptsRecord;
        ASSERT_GT(record(table), 0);
        storage::faults::refuseReads(def->name);
        EXPECT_EQ(record(table), 0);
        storage::faults::clear(*db);
        EXPECT_EQ(table.count(), 1);
    }
}

TEST_F(SettingsTest, PromptsStartAsMisc1ToMisc6AndCancelLeavesThem) {
    storage::Table mis(*db, Misc::layout().def());
    ASSERT_TRUE(CHECKOPEN(mis, dialogs));
    qint64 pos = Settings::promptsRecord(mis);
    ASSERT_GT(pos, 0);
    MiscPromptsForm form(mis);
    ASSERT_TRUE(form.prepare(pos));
    EXPECT_EQ(form.findChild<QLineEdit *>("MISC1NAME")->text(), "MISC1");
    EXPECT_EQ(form.findChild<QLineEdit *>("MISC6NAME")->text(), "MISC6");
    form.findChild<QLineEdit *>("MISC1NAME")->setText("Union Card #");
    form.reject(); // no question, nothing written
    EXPECT_TRUE(dialogs.shown.isEmpty());
    ASSERT_TRUE(mis.getPosition(pos));
    EXPECT_EQ(mis.row[0].toString(), "MISC1");

    EXPECT_EQ(Settings::aboutTitle(968, "Local 968 Savings Fund"), "Savings Vestrel 2.0");
    EXPECT_EQ(Settings::aboutTitle(565, SavingsFundMarker), "Savings Vestrel 2.0");
    EXPECT_EQ(Settings::aboutTitle(565, "Local 565 Pension Fund"), "Pension Vestrel 2.0");
}

TEST_F(SettingsTest, TheTaxRateIsAWholePercentAndAmountsKeepToTheirFields) {
    storage::Table cui(*db, CUInfo::layout().def());
    ASSERT_TRUE(CHECKOPEN(cui, dialogs));
    const qint64 pos = Settings::fundSettingsRecord(cui);
    FundSettingsForm form(cui);
    ASSERT_TRUE(form.prepare(pos));
    auto *rate = form.findChild<QLineEdit *>("TAXPERC");
    auto *fee = form.findChild<QLineEdit *>("ADMINFEE");
    auto *dormant = form.findChild<QLineEdit *>("DORMANTAMOUNT");
    // Refused as typed.
    rate->clear();
    QTest::keyClicks(rate, "101");
    EXPECT_EQ(rate->text(), "10");
    rate->clear();
    QTest::keyClicks(rate, "7.5");
    EXPECT_EQ(rate->text(), "75");
    fee->clear();
    QTest::keyClicks(fee, "1234567890123.456");
    EXPECT_EQ(fee->text(), "123456789.45");
    dormant->clear();
    QTest::keyClicks(dormant, "12345678901234567");
    EXPECT_EQ(dormant->text(), "1234567890123");

    // Refused at OK when it got past the keys; nothing is written and nothing breaks.
    rate->setText("150");
    form.accept();
    EXPECT_EQ(form.response(), Response::RequestCancelled);
    EXPECT_EQ(dialogs.last().caption, "Range Error");
    EXPECT_EQ(dialogs.last().text, "The value of Tax Percentage must be between 0 and 100.");
    rate->setText("100");
    fee->setText("99999999999999999");
    form.accept();
    EXPECT_EQ(form.response(), Response::RequestCancelled);
    EXPECT_EQ(
        dialogs.last().text,
        "The value of Administration Fee must be a number of at most 9 digits before the point.");
    storage::DataFile<CUInfo> read(*db);
    ASSERT_TRUE(read.open());
    ASSERT_TRUE(read.first());
    EXPECT_EQ(read.rec.TAXPERC, 0);
    fee->setText("25");
    form.accept();
    EXPECT_EQ(form.response(), Response::RequestCompleted);
    ASSERT_TRUE(read.first());
    EXPECT_EQ(read.rec.TAXPERC, 100);
}

TEST_F(SettingsTest, TheIrisCodesFollowTheTransmitterCodeAndTakeUpperCaseLettersAndDigits) {
    storage::Table cui(*db, CUInfo::layout().def());
    ASSERT_TRUE(CHECKOPEN(cui, dialogs));
    const qint64 pos = Settings::fundSettingsRecord(cui);
    FundSettingsForm form(cui);
    ASSERT_TRUE(form.prepare(pos));
    QStringList prompts;
    for (QLabel *label : form.findChildren<QLabel *>()) prompts << label->text();
    const qsizetype fire = prompts.indexOf("Transmitter Control Code:");
    ASSERT_GE(fire, 0);
    EXPECT_EQ(prompts.mid(fire, 3), (QStringList{"Transmitter Control Code:", "IRIS TCC:", "IRIS Software ID:"}));

    auto *tcc = form.findChild<QLineEdit *>("IRISTCC");
    auto *softwareId = form.findChild<QLineEdit *>("SOFTWAREID");
    ASSERT_TRUE(tcc && softwareId);
    QTest::keyClicks(tcc, "dg-5 a.b!c");
    EXPECT_EQ(tcc->text(), "DG5AB"); // raised, the rest refused, five at most
    QTest::keyClicks(softwareId, "25a_0001234xyz");
    EXPECT_EQ(softwareId->text(), "25A0001234");
    form.accept();
    EXPECT_EQ(form.response(), Response::RequestCompleted);

    storage::DataFile<CUInfo> read(*db);
    ASSERT_TRUE(read.open());
    ASSERT_TRUE(read.first());
    EXPECT_EQ(read.rec.IRISTCC, "DG5AB");
    EXPECT_EQ(read.rec.SOFTWAREID, "25A0001234");
    EXPECT_EQ(read.rec.TRANSCODE, "") << "the FIRE code is a setting of its own";
}
