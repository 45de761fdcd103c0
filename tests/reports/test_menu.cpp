// Every report of this module opens from its Reports menu entry; none is left undefined.
#include "reporttest.h"
#include "common/procedures.h"
#include "reports/reportwindow.h"
#include "shell/menutable.h"
#include "shell/registry.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {
const QStringList kWindows{"PARTLISTINGWIN",   "DORMANTREPORTWIN", "PARTAGEWIN",      "MEMLABWIN",
                          "CONTRACTORRPT",    "PARTSTMTWIN",      "PARTTOTALWIN",    "PRINTCHECKS",
                          "CHECKRENUMBERWINDOW", "PRINT1099INT",  "LOCALBYNAMERPT",  "LOCALBYNUMBERRPT",
                          "TRANSDESCBYCODE",  "TRANSDESCBYDESC"};
const QStringList kDirect{};

QList<ReportWindow *> reportWindows() {
    QList<ReportWindow *> out;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *r = qobject_cast<ReportWindow *>(w)) out << r;
    return out;
}
} // namespace

TEST_F(ReportTest, EveryReportMenuEntryOpens) {
    registerProcedures();
    // The entries of the Reports menu, up to the next menu.
    QStringList entries;
    bool inReports = false;
    for (const Frame::MenuItem &item : Frame::menuTable()) {
        if (item.kind == Frame::Kind::Menu) inReports = item.text == "&Reports";
        else if (inReports && item.kind == Frame::Kind::Entry) entries << item.action;
    }
    for (const QString &name : kWindows + kDirect) {
        EXPECT_TRUE(entries.contains(name)) << name.toStdString();
        const qsizetype shown = dialogs.shown.size();
        const QList<ReportWindow *> before = reportWindows();
        const int outputsBefore = outputs;
        ASSERT_TRUE(Procedures::run(name)) << name.toStdString();
        for (qsizetype i = shown; i < dialogs.shown.size(); ++i)
            EXPECT_NE(dialogs.shown[i].caption, "Procedure not defined") << name.toStdString();
        if (kWindows.contains(name)) {
            QList<ReportWindow *> opened;
            for (ReportWindow *w : reportWindows())
                if (!before.contains(w)) opened << w;
            ASSERT_EQ(opened.size(), 1) << name.toStdString();
            EXPECT_EQ(opened[0]->procedure(), name);
            EXPECT_TRUE(opened[0]->isVisible());
            delete opened[0];
        } else {
            // Nothing to choose: the report ran at once (and on empty tables said so).
            EXPECT_EQ(outputs, outputsBefore);
            EXPECT_EQ(dialogs.last().text, "Nothing to Preview.") << name.toStdString();
        }
    }
}
