#pragma once
// The pre-filing findings of a 1099 run as a report, so the user can read, preview or print them
// before deciding whether to write the files.
#include "common/reportrun.h"
#include "taxrun.h"

#include <functional>
#include <memory>

namespace Tax {

class PreFilingReport {
public:
    PreFilingReport(Form form, const QString &fundName, const QList<Finding> &findings);
    ~PreFilingReport();

    // Gives the run its name, record count, loop and totals. The report must outlive the run.
    void prepare(ReportRun &run);

    // The findings' sentences broken into lines that fit the finding column.
    static QStringList wrap(const QString &text, int width);

    // Lets a test see the pages (it replaces preview and print).
    static std::function<void(ReportRun &)> &testHook();

private:
    Form m_form;
    QString m_fundName;
    const QList<Finding> &m_findings;
    std::unique_ptr<report::BandReport> m_bands;
    int m_next = 0;
};

ReportRun::Outcome printPreFilingReport(Dialogs &dialogs, Form form, const QString &fundName,
                                        const QList<Finding> &findings);

} // namespace Tax
