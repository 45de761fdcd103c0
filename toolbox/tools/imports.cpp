#include "imports.h"

#include "common/reportrun.h"
#include "platform/report/report.h"
#include "platform/textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace Imports {
namespace {
// A byte below the blank other than these marks a file that is no text.
bool textControl(uchar c) {
    return c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == 0x1a;
}
} // namespace

bool InputFile::read(const QString &path) {
    m_path = path;
    m_error.clear();
    m_data.clear();
    m_starts.clear();
    m_lengths.clear();
    m_opened = false;
    QFile f(path);
    if (QFileInfo(path).isDir()) {
        m_error = QStringLiteral("%1 is a folder").arg(path);
        return false;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        m_error = f.errorString();
        return false;
    }
    m_opened = true;
    m_data = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        m_error = f.errorString();
        m_data.clear();
        return false;
    }
    m_bodyStart = m_data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    // Raw bytes: these walks see every byte of files of millions of lines.
    const char *data = m_data.constData();
    const qsizetype size = m_data.size();
    m_ascii = true;
    for (qsizetype i = m_bodyStart; i < size; ++i)
        if (uchar(data[i]) >= 0x80) {
            m_ascii = false;
            break;
        }
    // UTF-8 when it says so or when every byte reads as UTF-8; anything else is Windows-1252.
    m_utf8 = m_bodyStart == 3;
    if (!m_utf8 && !m_ascii) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString ignored = utf8(QByteArrayView(m_data.constData() + m_bodyStart, m_data.size() - m_bodyStart));
        m_utf8 = !utf8.hasError();
    }
    qsizetype end = size;
    while (end > m_bodyStart && data[end - 1] == 0x1a) --end; // an old end-of-file mark
    qsizetype start = m_bodyStart;
    for (qsizetype i = m_bodyStart; i < end; ++i) {
        const char c = data[i];
        if (c != '\n' && c != '\r') continue;
        m_starts.push_back(start);
        m_lengths.push_back(i - start);
        if (c == '\r' && i + 1 < end && data[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < end) {
        m_starts.push_back(start);
        m_lengths.push_back(end - start);
    }
    return true;
}

QString InputFile::name() const {
    return QFileInfo(m_path).fileName();
}

QString InputFile::line(qsizetype index) const {
    const QByteArrayView bytes(m_data.constData() + m_starts[size_t(index)], m_lengths[size_t(index)]);
    if (m_ascii) return QString::fromLatin1(bytes);
    if (m_utf8) return QString::fromUtf8(bytes);
    return FixedWidth::decode(bytes.toByteArray());
}

QString InputFile::unusable() const {
    if (m_data.startsWith("\xFF\xFE") || m_data.startsWith("\xFE\xFF")) return Text::Utf16.arg(name());
    qint64 lineNumber = 1;
    bool blank = true;
    const char *data = m_data.constData();
    const qsizetype size = m_data.size();
    for (qsizetype i = m_bodyStart; i < size; ++i) {
        const uchar c = uchar(data[i]);
        if (c == '\n') ++lineNumber;
        if (c < 0x20 && !textControl(c))
            return Text::NotText.arg(name()).arg(lineNumber).arg(
                QStringLiteral("0x%1").arg(uint(c), 2, 16, QChar('0')));
        if (c > ' ' && c != 0x1a) blank = false;
    }
    return blank ? Text::Empty.arg(name()) : QString();
}

QStringView column(QStringView line, int from, int width) {
    return line.mid(from - 1, width);
}

QString clipped(QStringView text) {
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == u' ') --n;
    return text.left(n).toString();
}

bool digits(QStringView text, qint64 &value) {
    const QStringView t = text.trimmed();
    if (t.isEmpty() || t.size() > 18) return false;
    qint64 v = 0; // at most 18 digits: no overflow
    for (QChar c : t) {
        if (c < u'0' || c > u'9') return false;
        v = v * 10 + (c.unicode() - u'0');
    }
    value = v;
    return true;
}

bool overlong(QStringView line, int width) {
    for (qsizetype i = width, n = line.size(); i < n; ++i)
        if (line[i] != u' ') return true;
    return false;
}

QString overlongText(QStringView line, int width) {
    return QStringLiteral("%1 characters, longer than the %2 of a record").arg(line.size()).arg(width);
}

bool splitCsv(const QString &line, QStringList &values, QString *problem) {
    values.clear();
    const QChar *s = line.constData();
    const qsizetype n = line.size();
    qsizetype i = 0;
    for (;;) {
        QString value;
        qsizetype j = i;
        while (j < n && s[j] == u' ') ++j; // blanks before an opening quote belong to no value
        if (j < n && s[j] == u'"') {
            bool closed = false;
            for (i = j + 1; i < n;) {
                const qsizetype from = i;
                while (i < n && s[i] != u'"') ++i;
                value.append(s + from, i - from);
                if (i == n) break;
                if (i + 1 < n && s[i + 1] == u'"') {
                    value += u'"';
                    i += 2;
                    continue;
                }
                ++i;
                closed = true;
                break;
            }
            if (!closed) {
                values << value;
                if (problem) *problem = QStringLiteral("a quote opened in value %1 is not closed").arg(values.size());
                return false;
            }
        }
        const qsizetype from = i;
        while (i < n && s[i] != u',') ++i;
        value.append(s + from, i - from);
        values << value;
        if (i == n) return true;
        ++i;
    }
}

void BadLines::add(qint64 lineNumber, const QString &why, const QString &file) {
    ++m_count;
    if (m_lines.size() < Listed)
        m_lines << (file.isEmpty() ? QString() : file + ' ') + QStringLiteral("line %1: %2").arg(lineNumber).arg(why);
}

void BadLines::clear() {
    m_lines.clear();
    m_count = 0;
}

ImportRun::ImportRun(storage::Database &db, Dialogs &dialogs) : m_db(db), m_dialogs(dialogs) {
    m_pace.start();
}

QString ImportRun::locate(const QString &fixedName) {
    const QString proposed = QDir(m_db.dataDir()).filePath(fixedName);
    if (QFileInfo(proposed).isFile()) return proposed;
    return m_dialogs.openFileName(Text::PickCaption.arg(fixedName), proposed, Text::PickFilter);
}

bool ImportRun::load(InputFile &file, const QString &path, const QString &openPrefix,
                     const QString &readPrefix) {
    if (!file.read(path)) {
        refuse((file.opened() ? readPrefix : openPrefix) + file.error());
        return false;
    }
    const QString why = file.unusable();
    if (!why.isEmpty()) {
        refuse(why);
        return false;
    }
    return true;
}

qint64 ImportRun::check(const InputFile &file, const std::function<Verdict(qsizetype, QString &)> &parse,
                        qsizetype first, const QString &fileTag) {
    linesRead = taken = 0;
    QString why;
    for (qsizetype i = first; i < file.lineCount(); ++i) {
        ++linesRead;
        why.clear();
        switch (parse(i, why)) {
        case Verdict::Take: ++taken; break;
        case Verdict::Bad: bad.add(i + 1, why, fileTag); break;
        case Verdict::Skip: break;
        }
        if ((i & 1023) == 0) tick(QString::number(linesRead));
    }
    tick(QString::number(linesRead));
    return taken;
}

void ImportRun::nothingToTake(const InputFile &file) {
    refuse(Text::NoLine.arg(file.name()).arg(linesRead).arg(bad.count()));
    reportBadLines(file.name());
}

bool ImportRun::openTarget(storage::Table &target, const QString &createPrefix, const QString &openPrefix) {
    if (!m_db.exists(target.def()) && !m_db.create(target.def())) {
        refuse(createPrefix + storage::lastErrorText());
        return false;
    }
    if (target.open()) return true;
    refuse(openPrefix + storage::lastErrorText());
    return false;
}

bool ImportRun::emptyTarget(storage::Transaction &batch, storage::Table &target, const QString &openPrefix,
                            const QString &createPrefix, bool dropKeys) {
    if (!batch.active()) {
        refuse(openPrefix + storage::lastErrorText());
        return false;
    }
    if (!target.empty() || (dropKeys && !m_db.dropKeys(target.def()))) {
        const QString error = storage::lastErrorText();
        batch.rollback();
        refuse(createPrefix + error);
        return false;
    }
    if (writing) writing();
    return true;
}

void ImportRun::refuse(const QString &text) {
    closeWait();
    m_dialogs.message(Text::Caption, text, Dlg::Error);
}

void ImportRun::writeFailed(const QString &target, const QString &error) {
    refuse(Text::WriteFailed.arg(target, error));
}

void ImportRun::openWait(const QString &title, const QString &text1, const QString &text2) {
    m_waitOpen = true;
    if (waitOpened) waitOpened(title, text1, text2);
}

void ImportRun::closeWait() {
    if (!m_waitOpen) return;
    m_waitOpen = false;
    if (waitClosed) waitClosed();
}

void ImportRun::tick(const QString &running) {
    if (m_pace.elapsed() < 20) return;
    m_pace.restart();
    if (progress) progress(running);
    if (yield) yield();
}

namespace {
// The report of the lines left out: one line each, in a fixed-pitch face.
constexpr int kTop = 500, kBottom = 10500, kLeft = 750, kRight = 7750, kLine = 167;
const report::Font kHeadingFont{QStringLiteral("Arial"), 12, true};
const report::Font kLineFont{QStringLiteral("Courier New"), 9};
} // namespace

void ImportRun::reportBadLines(const QString &fileName) {
    if (bad.count() == 0) return;
    if (taken > 0) m_dialogs.message(Text::Caption, Text::SomeBad.arg(bad.count()).arg(fileName), Dlg::Warning);
    QStringList lines = bad.lines();
    if (bad.count() > lines.size())
        lines << QStringLiteral("... and %1 more").arg(bad.count() - lines.size());
    const QString heading = Text::ReportHeading.arg(fileName);
    std::unique_ptr<report::BandReport> bands;
    qsizetype next = 0;
    ReportRun run(m_dialogs);
    run.name = Text::ReportName;
    run.recordsToProcess = lines.size();
    run.open = [](ReportRun &) { return true; };
    run.loop = [&](ReportRun &r) {
        if (!bands) {
            bands = std::make_unique<report::BandReport>(r.report(), kTop, kBottom);
            bands->setPageHeader({3 * kLine, [heading](report::Report &p, int top) {
                                      p.text(kLeft, top, heading, kHeadingFont);
                                      p.line(kLeft, top + 2 * kLine, kRight, top + 2 * kLine, 10);
                                  }});
        }
        for (int n = 0; n < 200 && next < lines.size(); ++n, ++next) {
            const QString text = lines[next];
            bands->print({kLine, [text](report::Report &p, int top) { p.text(kLeft, top, text, kLineFont); }});
            r.recordDone();
        }
        return next < lines.size();
    };
    run.finish = [&](ReportRun &) {
        if (bands) bands->finish();
    };
    if (prepareReport) prepareReport(run);
    run.run();
}

void attachWaitWindow(ImportRun &run) {
    auto window = std::make_shared<QPointer<QWidget>>();
    auto running = std::make_shared<QPointer<QLabel>>();
    run.waitOpened = [window, running](const QString &title, const QString &text1, const QString &text2) {
        auto *w = new QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        w->setObjectName(QStringLiteral("ImportWait"));
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->setWindowModality(Qt::ApplicationModal);
        w->setWindowTitle(title);
        auto *layout = new QVBoxLayout(w);
        layout->addWidget(new QLabel(text1));
        layout->addWidget(new QLabel(text2));
        auto *count = new QLabel;
        count->setMinimumWidth(200);
        layout->addWidget(count);
        *window = w;
        *running = count;
        w->show();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    run.progress = [running](const QString &text) {
        if (*running) (*running)->setText(text);
    };
    run.waitClosed = [window] {
        if (*window) (*window)->close();
    };
    run.yield = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
}
} // namespace Imports
