#include "reportlogic.h"

#include "common/app.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/picture.h"
#include "platform/storage/error.h"

namespace {
const QString kSettingsFile = QStringLiteral("PENSION.INI");
const QString kDatePicture = QStringLiteral("@d2");
const QString kYes = QStringLiteral("Yes");
const QString kNo = QStringLiteral("No");
const QString kReadFailed =
    QStringLiteral("The data files could not be read; the report was stopped.  Error: %1.");
const QString kPage = QStringLiteral("Page: %1");
const QString kStampTime = QStringLiteral("@t3");
const QString kAmount = QStringLiteral("@n-15.2");
const QString kCount = QStringLiteral("@n9");

const report::Font kHeadingFont{QStringLiteral("Arial"), 14, true};
const report::Font kSubFont{QStringLiteral("Arial"), 10};
const report::Font kLineFont{QStringLiteral("Courier New"), 9};
const report::Font kLineBold{QStringLiteral("Courier New"), 9, true};

// Page layout in thousandths of an inch on a letter page; a line is a sixth of an inch, the
// text output's grid.
constexpr int kTop = 500, kBottom = 10500;
constexpr int kLeft = 500, kRight = 8000;
constexpr int kLine = 167;
} // namespace

namespace Cell {
QString amount(const Decimal &value) { return Picture::format(value, kAmount).trimmed(); }
QString count(qint64 n) { return Picture::format(n, kCount).trimmed(); }
QString date(qint32 day) { return day > 0 ? Picture::format(qint64(day), kDatePicture) : QString(); }
} // namespace Cell

ReportChoices::ReportChoices(const QString &report)
    : m_section(report), m_ini(App::iniPath(kSettingsFile)) {}

QString ReportChoices::text(const QString &key, const QString &fallback) const {
    return m_ini.value(m_section, key, fallback);
}

qint32 ReportChoices::date(const QString &key, qint32 fallback) const {
    const QString typed = text(key);
    if (typed.trimmed().isEmpty()) return fallback;
    bool ok = false;
    const qint32 day = Picture::deformatDate(typed, kDatePicture, &ok);
    return ok && day > 0 ? day : fallback;
}

bool ReportChoices::flag(const QString &key, bool fallback) const {
    const QString v = text(key);
    if (v.compare(kYes, Qt::CaseInsensitive) == 0) return true;
    if (v.compare(kNo, Qt::CaseInsensitive) == 0) return false;
    return fallback;
}

qint64 ReportChoices::number(const QString &key, qint64 fallback) const {
    bool ok = false;
    const qint64 v = text(key).trimmed().toLongLong(&ok);
    return ok ? v : fallback;
}

void ReportChoices::setText(const QString &key, const QString &value) {
    m_ini.setValue(m_section, key, value);
}
void ReportChoices::setDate(const QString &key, qint32 day) {
    setText(key, day > 0 ? Picture::format(qint64(day), kDatePicture) : QString());
}
void ReportChoices::setFlag(const QString &key, bool on) { setText(key, on ? kYes : kNo); }
void ReportChoices::setNumber(const QString &key, qint64 value) {
    setText(key, QString::number(value));
}
bool ReportChoices::save() const { return m_ini.save(); }

ReportLogic::ReportLogic(storage::Database &db, Dialogs &dialogs) : m_db(db), m_dialogs(dialogs) {}
ReportLogic::~ReportLogic() = default;

void ReportLogic::attach(ReportRun &run) {
    run.name = reportName();
    run.open = [this](ReportRun &r) {
        m_stopped = false;
        m_drawing = false;
        m_snapshot.reset();
        if (!begin(r)) return false;
        // Every record of the report from the fund as it was now, whatever is posted meanwhile.
        m_snapshot.emplace(m_db);
        return true;
    };
    run.loop = [this](ReportRun &r) {
        if (!m_drawing) {
            m_drawing = true;
            startDrawing(r);
        }
        // A slice of records per timer event; the progress window gets the rest of the time.
        for (int slice = 0; slice < r.recordsPerCycle; ++slice) {
            if (!step(r)) return false;
            r.recordDone();
        }
        return true;
    };
    run.finish = [this](ReportRun &r) {
        if (!m_stopped) end(r);
        m_snapshot.reset();
    };
}

ReportRun::Outcome ReportLogic::run() {
    ReportRun r(m_dialogs);
    attach(r);
    if (testHook()) testHook()(r);
    const ReportRun::Outcome outcome = r.run();
    runEnded();
    m_snapshot.reset(); // what a report writes afterwards (checks printed) is written normally
    return outcome;
}

std::function<void(ReportRun &)> &ReportLogic::testHook() {
    static std::function<void(ReportRun &)> hook;
    return hook;
}

bool ReportLogic::readFailed(ReportRun &run) {
    // A report over part of the file would pass for the whole.
    m_dialogs.message(heading(), kReadFailed.arg(storage::lastErrorText()), Dlg::Error);
    m_stopped = true;
    run.stop();
    return false;
}

Listing::Listing(report::Report &report, const QString &heading, const QStringList &subheadings,
                 const QList<Column> &columns)
    : m_bands(report, kTop, kBottom), m_heading(heading), m_subheadings(subheadings),
      m_columns(columns) {
    m_stamp = Picture::format(qint64(Clock::today()), kDatePicture) + "  " +
              Picture::format(qint64(Clock::clock()), kStampTime).trimmed();
}

QString Listing::line(const QStringList &cells) const {
    QString out;
    for (int i = 0; i < m_columns.size(); ++i) {
        const Column &c = m_columns[i];
        const QString text = (i < cells.size() ? cells[i] : QString()).left(c.width);
        if (i > 0) out += ' ';
        out += c.right ? text.rightJustified(c.width) : text.leftJustified(c.width);
    }
    while (out.endsWith(' ')) out.chop(1);
    return out;
}

void Listing::start() {
    if (m_started) return;
    m_started = true;
    QStringList titles;
    for (const Column &c : m_columns) titles << c.title;
    const QString titleLine = line(titles);
    const int subs = int(m_subheadings.size());
    const int height = 3 * kLine + (subs + 1) * kLine + 2 * kLine;
    m_bands.setPageHeader({height, [=, this](report::Report &r, int top) {
                               const int w = kRight - kLeft;
                               r.text(kLeft, top, m_stamp, kSubFont);
                               r.text(kLeft, top, kPage.arg(r.pageNumber()), kSubFont,
                                      report::Align::Right, w);
                               r.text(kLeft, top + kLine, m_heading, kHeadingFont,
                                      report::Align::Center, w);
                               int y = top + 3 * kLine;
                               for (const QString &s : m_subheadings) {
                                   r.text(kLeft, y, s, kSubFont, report::Align::Center, w);
                                   y += kLine;
                               }
                               y += kLine;
                               r.text(kLeft, y, titleLine, kLineBold);
                               r.line(kLeft, y + kLine + kLine / 4, kRight, y + kLine + kLine / 4, 10);
                           }});
}

void Listing::print(const QString &text, bool bold, int keepRoom) {
    start();
    m_bands.print({kLine, [text, bold](report::Report &r, int top) {
                       if (!text.isEmpty()) r.text(kLeft, top, text, bold ? kLineBold : kLineFont);
                   }},
                  keepRoom);
}

void Listing::row(const QStringList &cells) { print(line(cells)); }

void Listing::block(const QList<QStringList> &lines) {
    start();
    QStringList texts;
    for (const QStringList &l : lines) texts << line(l);
    m_bands.print({int(texts.size()) * kLine, [texts](report::Report &r, int top) {
                       for (int i = 0; i < texts.size(); ++i)
                           if (!texts[i].isEmpty()) r.text(kLeft, top + i * kLine, texts[i], kLineFont);
                   }});
}

void Listing::title(const QString &text) { print(text, true, kLine); }

void Listing::blank() { print({}); }

void Listing::totals(const QList<QPair<QString, QString>> &lines, int column) {
    start();
    int end = 0;
    for (int i = 0; i <= column && i < m_columns.size(); ++i) end += (i > 0 ? 1 : 0) + m_columns[i].width;
    QStringList texts;
    for (const auto &[label, value] : lines) {
        QString t = label;
        const int room = qMax(int(value.size()) + 1, end - int(t.size()));
        t += value.rightJustified(room);
        texts << t;
    }
    const int height = (int(texts.size()) + 1) * kLine;
    m_bands.print({height, [texts](report::Report &r, int top) {
                       r.line(kLeft, top + kLine / 2, kRight, top + kLine / 2, 10);
                       for (int i = 0; i < texts.size(); ++i)
                           r.text(kLeft, top + (i + 1) * kLine, texts[i], kLineBold);
                   }});
}

bool Listing::finish() { return m_bands.finish(); }
