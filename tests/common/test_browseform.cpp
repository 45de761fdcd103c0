// The standard browse and update form, tested once over real files: order and locator, paging,
// the select protocol, duplicate keys, two stations on one record, cancel questions, numbering.
#include "../support/tempdata.h"
#include "common/browsewindow.h"
#include "common/formlogic.h"
#include "data/records.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabBar>
#include <QTableView>
#include <QTest>

namespace {
class BrowseForm : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        for (const storage::FileDef *def : allFiles()) ASSERT_TRUE(db->create(*def));
    }
    void addContractor(qint32 num, const QString &name) {
        storage::DataFile<Contractor> con(*db);
        ASSERT_TRUE(con.open());
        con.rec.AUTONUM = num;
        con.rec.NAME = name;
        ASSERT_TRUE(con.add());
    }
    void addCode(qint32 code, const QString &desc) {
        storage::DataFile<TransDesc> trd(*db);
        ASSERT_TRUE(trd.open());
        trd.rec = {code, desc, 1};
        ASSERT_TRUE(trd.add());
    }
    static QStringList names(const BrowseList &list, int field) {
        QStringList out;
        for (const auto &e : list.entries()) out << e.row[field].toString();
        return out;
    }
    FormConfig numbered() {
        FormConfig f;
        f.fileName = "TransDesc";
        f.keyNames = {{TransDesc::TransCode_Key.index, "Transaction Code Key"}};
        f.autoNumberField = 0;
        f.autoNumberKey = TransDesc::TransCode_Key.index;
        return f;
    }
};
} // namespace

TEST_F(BrowseForm, TheListPagesThroughAKeyOrderAndTheLocatorFindsTheFirstAtOrAfter) {
    storage::Transaction t(*db);
    for (int i = 0; i < 50; ++i) addContractor(i + 1, QString("Contractor %1").arg(i, 2, 10, QChar('0')));
    addContractor(51, "abc builders");
    ASSERT_TRUE(t.commit());
    storage::Table table(*db, Contractor::layout().def());
    ASSERT_TRUE(table.open());
    BrowseList list(table);
    list.setKey(Contractor::Name_Key.index);
    list.setPageSize(10);
    const int name = 1;
    ASSERT_TRUE(list.first());
    EXPECT_EQ(list.entries().size(), 10);
    EXPECT_EQ(names(list, name).first(), "abc builders"); // upper-case order
    EXPECT_EQ(list.current(), 0);
    EXPECT_FALSE(list.up());
    for (int i = 0; i < 9; ++i) ASSERT_TRUE(list.down());
    EXPECT_EQ(list.current(), 9);
    ASSERT_TRUE(list.down()); // the page scrolls by one line
    EXPECT_EQ(names(list, name).first(), "Contractor 00");
    EXPECT_EQ(list.currentEntry()->row[name].toString(), "Contractor 09");
    ASSERT_TRUE(list.pageDown());
    EXPECT_EQ(list.currentEntry()->row[name].toString(), "Contractor 19");
    ASSERT_TRUE(list.last());
    EXPECT_EQ(names(list, name).last(), "Contractor 49");
    EXPECT_EQ(list.current(), 9);
    EXPECT_FALSE(list.down());
    ASSERT_TRUE(list.pageUp());
    EXPECT_EQ(names(list, name).first(), "Contractor 30");

    table.clearBuffer();
    storage::Row typed = table.row;
    typed[name] = "contractor 2";
    ASSERT_TRUE(list.locate(typed));
    EXPECT_EQ(list.currentEntry()->row[name].toString(), "Contractor 20");
    typed[name] = "ZZZ"; // past the end: the last page
    ASSERT_TRUE(list.locate(typed));
    EXPECT_EQ(list.currentEntry()->row[name].toString(), "Contractor 49");

    // Onto a record near the end: the page is filled from before it.
    ASSERT_TRUE(list.first());
    const BrowseList::Entry target = list.entries()[3];
    ASSERT_TRUE(list.last());
    ASSERT_TRUE(list.showRecord(target.row, target.pos));
    EXPECT_EQ(list.currentEntry()->pos, target.pos);
    EXPECT_EQ(list.rankOfTop(), 3);
    ASSERT_TRUE(list.jumpToRank(45));
    EXPECT_EQ(list.entries().size(), 10); // a full page even at the end
    EXPECT_EQ(names(list, name).last(), "Contractor 49");
}

TEST_F(BrowseForm, AFilterHidesRecordsInEveryOrderAndAnEmptyFileShowsNothing) {
    storage::Table table(*db, TransDesc::layout().def());
    ASSERT_TRUE(table.open());
    BrowseList list(table);
    list.setPageSize(5);
    EXPECT_FALSE(list.first());
    EXPECT_EQ(list.currentEntry(), nullptr);
    addCode(-4, "Payroll");
    addCode(0, "Nothing");
    addCode(2, "Dividend");
    addCode(1, "Deposit");
    list.setFilter([](const storage::Row &r) { return r[0].toInt() > 0; });
    ASSERT_TRUE(list.first());
    EXPECT_EQ(names(list, 1), QStringList({"Deposit", "Dividend"}));
    list.setKey(TransDesc::TransDesc_Key.index);
    ASSERT_TRUE(list.first());
    EXPECT_EQ(names(list, 1), QStringList({"Deposit", "Dividend"}));
}

TEST_F(BrowseForm, SelectModeHandsTheChosenRecordBackAndMaintenanceHidesSelect) {
    addContractor(1, "ABC Builders");
    addContractor(2, "Keystone Electric");
    BrowseConfig config;
    config.tabs = {{"Contractor Name", Contractor::Name_Key.index, "Contractor Name:", "NAME", false}};
    config.columns = {column<Contractor>("Name", 30, [](const Contractor &c) { return c.NAME; })};
    Contractor chosen;
    config.select = [&](const storage::Row &row) { Contractor::layout().fromRow(chosen, row); };
    {
        BrowseWindow browse(*db, Contractor::layout().def(), config, true);
        ASSERT_TRUE(browse.ready());
        EXPECT_FALSE(browse.button("&Select")->isHidden());
        browse.locate("key");
        browse.selectRecord();
        EXPECT_EQ(chosen.NAME, "Keystone Electric");
        EXPECT_EQ(browse.response(), Response::RequestCompleted);
        EXPECT_EQ(GlobalResponse(), Response::RequestCompleted);
    }
    {
        BrowseWindow browse(*db, Contractor::layout().def(), config, true);
        browse.close();
        EXPECT_EQ(GlobalResponse(), Response::RequestCancelled);
    }
    {
        BrowseWindow browse(*db, Contractor::layout().def(), config, false);
        EXPECT_TRUE(browse.button("&Select")->isHidden());
        QStringList menu;
        for (QAction *a : browse.contextMenu()->actions()) menu << a->text() + (a->isEnabled() ? "" : " (grey)");
        EXPECT_EQ(menu, QStringList({"&Add", "&Edit", "&Delete"}));
        browse.selectRecord(); // not in select mode: nothing happens
        EXPECT_EQ(chosen.NAME, "Keystone Electric");
    }
    {
        storage::DataFile<Contractor> con(*db);
        ASSERT_TRUE(con.open());
        ASSERT_TRUE(con.empty());
        BrowseWindow browse(*db, Contractor::layout().def(), config, true);
        QStringList menu;
        for (QAction *a : browse.contextMenu()->actions()) menu << a->text() + (a->isEnabled() ? "" : " (grey)");
        EXPECT_EQ(menu, QStringList({"&Select (grey)", "&Add", "&Edit (grey)", "&Delete (grey)"}));
        EXPECT_FALSE(browse.button("&Edit")->isEnabled());
    }
}

TEST_F(BrowseForm, AutomaticNumberingReservesTheNextNumberAndCancelGivesItBack) {
    storage::Table table(*db, TransDesc::layout().def());
    ASSERT_TRUE(table.open());
    {
        FormLogic form(table, dialogs, numbered(), Request::InsertRecord);
        ASSERT_TRUE(form.open());
        EXPECT_EQ(form.value("TRANSCODE").toInt(), 1);
        EXPECT_EQ(table.count(), 1); // reserved at once
        EXPECT_EQ(form.cancel(), FormLogic::Cancelled);
        EXPECT_EQ(table.count(), 0);
    }
    addCode(1, "Deposit");
    addCode(2, "Dividend");
    addCode(7, "Adjustment");
    FormLogic form(table, dialogs, numbered(), Request::InsertRecord);
    ASSERT_TRUE(form.open());
    EXPECT_EQ(form.value("TRANSCODE").toInt(), 8);
    EXPECT_EQ(form.statusText(), "Record will be Added");
    form.setValue("TRANSDESC", "Rollover");
    EXPECT_EQ(form.save(), FormLogic::Completed);
    EXPECT_EQ(table.count(), 4);
    EXPECT_TRUE(dialogs.shown.isEmpty());

    // When the number cannot be taken three times, the user may retry or give up.
    ASSERT_TRUE(db->exec("CREATE TRIGGER refuse BEFORE INSERT ON \"TransDesc\" BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    dialogs.answers = {Dlg::Retry, Dlg::Cancel};
    FormLogic refused(table, dialogs, numbered(), Request::InsertRecord);
    EXPECT_FALSE(refused.open());
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.last().caption, "Auto Increment Error");
    EXPECT_TRUE(dialogs.last().text.startsWith("Attempts to automatically number this record have failed.  Error: "));
    EXPECT_EQ(table.count(), 4);
}

TEST_F(BrowseForm, ADuplicateKeyIsRefusedByNameAndTheFormStaysOpen) {
    storage::Table table(*db, Withdraw::layout().def());
    ASSERT_TRUE(table.open());
    FormConfig config;
    config.fileName = "Withdraw";
    config.keyNames = {{Withdraw::CodeKeyOrder.index, "Code Order"}};
    for (int i = 0; i < 2; ++i) {
        FormLogic form(table, dialogs, config, Request::InsertRecord);
        ASSERT_TRUE(form.open());
        form.setValue("CODE", i == 0 ? "A" : "a"); // the key compares in upper case
        FormLogic::Outcome o = form.save();
        EXPECT_EQ(o, i == 0 ? FormLogic::Completed : FormLogic::Stay);
    }
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().text, "Adding this record creates a duplicate entry for the key:Code Order");
    EXPECT_EQ(table.count(), 1);

    // Changing a record to another's code is refused the same way; keeping its own is not.
    table.clearBuffer();
    table.row[0] = "B";
    ASSERT_TRUE(table.add());
    FormLogic change(table, dialogs, config, Request::ChangeRecord);
    ASSERT_TRUE(change.open(table.pos));
    EXPECT_EQ(change.statusText(), "Record will be Changed");
    change.setValue("CODE", "A");
    EXPECT_EQ(change.save(), FormLogic::Stay);
    EXPECT_EQ(change.refusedKey(), Withdraw::CodeKeyOrder.index);
    change.setValue("CODE", "B");
    change.setValue("DESCRIPTION", "Other");
    EXPECT_EQ(change.save(), FormLogic::Completed);
}

TEST_F(BrowseForm, TheSecondStationsChangeIsRefusedAndShowsTheFirstOnesValues) {
    addContractor(1, "ABC Builders");
    auto second = openSecond();
    storage::Table mine(*db, Contractor::layout().def()), theirs(*second, Contractor::layout().def());
    ASSERT_TRUE(mine.open());
    ASSERT_TRUE(theirs.open());
    FormConfig config;
    config.fileName = "Contractor";
    mine.set(Contractor::AutoNum_Key.index, 0);
    ASSERT_TRUE(mine.next());
    FormLogic first(theirs, dialogs, config, Request::ChangeRecord), late(mine, dialogs, config, Request::ChangeRecord);
    ASSERT_TRUE(first.open(mine.pos));
    ASSERT_TRUE(late.open(mine.pos));
    first.setValue("CITY", "Chicago");
    EXPECT_EQ(first.save(), FormLogic::Completed);
    late.setValue("CITY", "Peoria");
    EXPECT_EQ(late.save(), FormLogic::Stay);
    EXPECT_TRUE(late.reloadedFromOtherStation());
    EXPECT_EQ(late.value("CITY").toString(), "Chicago");
    EXPECT_EQ(dialogs.last().caption, "Record Was Not Updated");
    // Saving again now writes over the version that was shown.
    late.setValue("CITY", "Peoria");
    EXPECT_EQ(late.save(), FormLogic::Completed);
    ASSERT_TRUE(theirs.getPosition(mine.pos));
    EXPECT_EQ(theirs.row[Contractor::layout().def().fieldIndex("CITY")].toString(), "Peoria");
}

TEST_F(BrowseForm, CancelAsksOnlyAfterChangesAndEachAnswerDoesWhatItSays) {
    addContractor(1, "ABC Builders");
    storage::Table table(*db, Contractor::layout().def());
    ASSERT_TRUE(table.open());
    table.set(Contractor::AutoNum_Key.index, 0);
    ASSERT_TRUE(table.next());
    const qint64 pos = table.pos;
    FormConfig config;
    config.fileName = "Contractor";
    auto city = [&] {
        table.getPosition(pos);
        return table.row[Contractor::layout().def().fieldIndex("CITY")].toString();
    };
    {
        FormLogic form(table, dialogs, config, Request::ChangeRecord);
        ASSERT_TRUE(form.open(pos));
        EXPECT_EQ(form.cancel(), FormLogic::Cancelled); // no changes: no question
        EXPECT_TRUE(dialogs.shown.isEmpty());
    }
    FormLogic form(table, dialogs, config, Request::ChangeRecord);
    ASSERT_TRUE(form.open(pos));
    form.setValue("CITY", "Joliet");
    dialogs.answers = {Dlg::Cancel};
    EXPECT_EQ(form.cancel(), FormLogic::Stay);
    EXPECT_EQ(dialogs.last().text, "Do you want to save the changes to this record?");
    EXPECT_EQ(dialogs.last().defaultButton, Dlg::No);
    dialogs.answers = {Dlg::No};
    EXPECT_EQ(form.cancel(), FormLogic::Cancelled);
    EXPECT_EQ(city(), "");
    dialogs.answers = {Dlg::Yes};
    EXPECT_EQ(form.cancel(), FormLogic::Completed); // Yes saves
    EXPECT_EQ(city(), "Joliet");

    config.cancelWarning = 23;
    FormLogic sure(table, dialogs, config, Request::ChangeRecord);
    ASSERT_TRUE(sure.open(pos));
    sure.setValue("CITY", "Elgin");
    dialogs.answers = {Dlg::No};
    EXPECT_EQ(sure.cancel(), FormLogic::Stay);
    EXPECT_EQ(dialogs.last().text, "Are you sure you want to cancel?");
    dialogs.answers = {Dlg::Yes};
    EXPECT_EQ(sure.cancel(), FormLogic::Cancelled);
    EXPECT_EQ(city(), "Joliet");
}

TEST_F(BrowseForm, DeleteIsConfirmedAndAFailedWriteOffersToTryAgain) {
    addContractor(1, "ABC Builders");
    storage::Table table(*db, Contractor::layout().def());
    ASSERT_TRUE(table.open());
    table.set(Contractor::AutoNum_Key.index, 0);
    ASSERT_TRUE(table.next());
    const qint64 pos = table.pos;
    FormConfig config;
    config.fileName = "Contractor";
    {
        FormLogic del(table, dialogs, config, Request::DeleteRecord);
        ASSERT_TRUE(del.open(pos));
        dialogs.answers = {Dlg::Cancel};
        EXPECT_EQ(del.remove(), FormLogic::Cancelled);
        EXPECT_EQ(dialogs.last().caption, "Confirm Delete");
        EXPECT_EQ(table.count(), 1);
    }
    ASSERT_TRUE(db->exec("CREATE TRIGGER refuse BEFORE UPDATE ON \"Contractor\" BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    FormLogic change(table, dialogs, config, Request::ChangeRecord);
    ASSERT_TRUE(change.open(pos));
    change.setValue("CITY", "Joliet");
    dialogs.shown.clear();
    dialogs.answers = {Dlg::Ok, Dlg::Yes, Dlg::Ok, Dlg::No};
    EXPECT_EQ(change.save(), FormLogic::Cancelled);
    ASSERT_EQ(dialogs.shown.size(), 4);
    EXPECT_EQ(dialogs.shown[0].caption, "Update Operation Error");
    EXPECT_EQ(dialogs.shown[1].text, "An error was experienced changing this record.  Do you want to try to save again?");
    ASSERT_TRUE(db->exec("DROP TRIGGER refuse"));

    FormLogic del(table, dialogs, config, Request::DeleteRecord);
    ASSERT_TRUE(del.open(pos));
    dialogs.answers = {Dlg::Ok};
    EXPECT_EQ(del.remove(), FormLogic::Completed);
    EXPECT_EQ(table.count(), 0);
}

TEST_F(BrowseForm, AFormCanSaveAndGoOnToTheNextRecordOrANewOne) {
    addContractor(1, "ABC Builders");
    addContractor(2, "Keystone Electric");
    addContractor(3, "Westgate Drywall");
    BrowseConfig config;
    config.tabs = {{"Contractor Name", Contractor::Name_Key.index, "Contractor Name:", "NAME", false}};
    config.columns = {column<Contractor>("Name", 30, [](const Contractor &c) { return c.NAME; })};
    QList<std::pair<int, qint64>> calls;
    QList<int> moves{VCR::Forward, VCR::Forward, VCR::Insert, VCR::None};
    config.form = [&](int request, qint64 &pos) {
        calls << std::pair{request, pos};
        VCRRequest() = moves.takeFirst();
        return VCRRequest() == VCR::None ? Response::RequestCancelled : Response::RequestCompleted;
    };
    BrowseWindow browse(*db, Contractor::layout().def(), config, false);
    browse.changeRecord();
    ASSERT_EQ(calls.size(), 4);
    EXPECT_EQ(calls[0], std::pair(int(Request::ChangeRecord), qint64(1)));
    EXPECT_EQ(calls[1], std::pair(int(Request::ChangeRecord), qint64(2)));
    EXPECT_EQ(calls[2], std::pair(int(Request::ChangeRecord), qint64(3)));
    EXPECT_EQ(calls[3].first, int(Request::InsertRecord));
    EXPECT_EQ(VCRRequest(), VCR::None);
}

namespace {
// A browse of contractors by name (located while typing) and by number (located on Enter), shown
// and active as the frame shows it, recording the record each request of the form is for.
struct OpenBrowse {
    BrowseConfig config;
    QList<std::pair<int, qint64>> requests;
    std::unique_ptr<BrowseWindow> window;
    explicit OpenBrowse(storage::Database &db) {
        config.tabs = {{"Contractor Name", Contractor::Name_Key.index, "Contractor Name:", "NAME", false},
                       {"Number", Contractor::AutoNum_Key.index, "Contractor Number:", "AUTONUM", true}};
        config.columns = {column<Contractor>("Name", 30, [](const Contractor &c) { return c.NAME; })};
        config.form = [this](int request, qint64 &pos) {
            requests << std::pair{request, pos};
            return Response::RequestCancelled;
        };
        window = std::make_unique<BrowseWindow>(db, Contractor::layout().def(), config, false);
        window->show();
        QApplication::setActiveWindow(window.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    QString current() const { return window->list().currentEntry()->row[1].toString(); }
};
} // namespace

TEST_F(BrowseForm, TypingGoesIntoTheLocatorAsSoonAsTheListOpens) {
    addContractor(1, "ABC Builders");
    addContractor(2, "Keystone Electric");
    addContractor(3, "Westgate Drywall");
    OpenBrowse b(*db);
    EXPECT_EQ(QApplication::focusWidget(), b.window->locator());
    QTest::keyClicks(QApplication::focusWidget(), "kEy");
    EXPECT_EQ(b.current(), "Keystone Electric");
    // The list moves from the locator too.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(b.current(), "Westgate Drywall");
    // Another order: its locator takes the typing.
    b.window->tabs()->setCurrentIndex(1);
    EXPECT_EQ(QApplication::focusWidget(), b.window->locator());
    EXPECT_EQ(b.window->locator()->text(), "");
}

TEST_F(BrowseForm, WhatWasTypedIntoALocatorThatWaitsForEnterCountsForEveryRequest) {
    addContractor(1, "ABC Builders");
    addContractor(2, "Keystone Electric");
    addContractor(3, "Westgate Drywall");
    OpenBrowse b(*db);
    b.window->setTab(1);
    QTest::keyClicks(QApplication::focusWidget(), "3");
    EXPECT_EQ(b.current(), "ABC Builders"); // waits for Enter...
    QTest::mouseClick(b.window->button("&Delete"), Qt::LeftButton);
    ASSERT_EQ(b.requests.size(), 1);
    EXPECT_EQ(b.requests[0], std::pair(int(Request::DeleteRecord), qint64(3))); // ...but not for Delete
    EXPECT_EQ(b.current(), "Westgate Drywall");

    b.window->locator()->setFocus();
    b.window->locator()->selectAll();
    QTest::keyClicks(b.window->locator(), "2");
    QTest::mouseClick(b.window->button("&Edit"), Qt::LeftButton);
    ASSERT_EQ(b.requests.size(), 2);
    EXPECT_EQ(b.requests[1], std::pair(int(Request::ChangeRecord), qint64(2)));

    // A row chosen by hand after typing is the one that counts.
    b.window->locator()->selectAll();
    QTest::keyClicks(b.window->locator(), "3");
    QTest::keyClick(b.window->view(), Qt::Key_Home);
    b.window->deleteRecord();
    ASSERT_EQ(b.requests.size(), 3);
    EXPECT_EQ(b.requests[2], std::pair(int(Request::DeleteRecord), qint64(1)));
}
