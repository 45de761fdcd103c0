#include "wmf2ascii.h"

#include "platform/dialogs.h"
#include "previewlogic.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

namespace pagetext {

namespace {
quint16 u16(const QByteArray &b, int at) {
    return at + 2 <= b.size() ? quint16(uchar(b[at]) | (uchar(b[at + 1]) << 8)) : 0;
}
quint32 u32(const QByteArray &b, int at) { return quint32(u16(b, at)) | (quint32(u16(b, at + 2)) << 16); }
} // namespace

QList<TextRecord> records(const QString &pageFile, int *unitsPerInch, bool *ok) {
    QList<TextRecord> out;
    QFile file(pageFile);
    if (ok) *ok = false;
    if (!file.open(QIODevice::ReadOnly)) return out;
    if (ok) *ok = true;
    const QByteArray head = file.read(ReadSize);
    int inch = u16(head, 14);
    if (inch == 0) inch = 1440;
    if (unitsPerInch) *unitsPerInch = inch;
    const qint64 end = 2 * qint64(u32(head, 22 + 6)); // the metafile header's size, in bytes
    qint64 at = 22 + 2 * qint64(u16(head, 22 + 2));
    while (at < end) {
        if (!file.seek(at)) break;
        const QByteArray rec = file.read(ReadSize);
        if (rec.size() < 6) break;
        const quint32 words = u32(rec, 0);
        if (u16(rec, 4) == 0x0A32) {
            TextRecord t;
            t.y = qint16(u16(rec, 6));
            t.x = qint16(u16(rec, 8));
            const int count = qint16(u16(rec, 10));
            const int textAt = 6 + ((u16(rec, 12) & 0xFF) ? 16 : 8);
            QByteArray text = rec.mid(textAt, std::max(0, count));
            while (text.endsWith(' ')) text.chop(1);
            if (text.endsWith('\0')) text.chop(1);
            while (text.endsWith(' ')) text.chop(1);
            t.text = text;
            out << t;
        }
        if (words == 0) break; // a broken record would never move on
        at += 2 * qint64(words);
    }
    return out;
}

int lineOf(int y, int unitsPerInch) {
    return std::max<qint64>(1, qint64(y) * 6 / unitsPerInch);
}

int columnOf(int x, int unitsPerInch) {
    // 12.5 characters to the inch, in whole numbers: x * 25 / (2 * units).
    return std::max<qint64>(1, qint64(x) * 25 / (2 * qint64(unitsPerInch)));
}

QList<QByteArray> lines(const QString &pageFile, int linesPerPage) {
    int inch = 1440;
    const QList<TextRecord> recs = records(pageFile, &inch);
    const int count = linesPerPage > 0 ? linesPerPage : DefaultLines;
    QList<QByteArray> grid(count, QByteArray(LineWidth, ' '));
    for (const TextRecord &t : recs) {
        const int line = lineOf(t.y, inch);
        const int column = columnOf(t.x, inch);
        // Beyond the grid's last line or past its last column the text is lost.
        if (line > count || column > LineWidth) continue;
        const int n = std::min<int>(int(t.text.size()), LineWidth - (column - 1));
        grid[line - 1].replace(column - 1, n, t.text.left(n));
    }
    QList<QByteArray> out;
    out.reserve(count);
    for (QByteArray &l : grid) {
        int len = int(l.size());
        while (len > 0 && l[len - 1] == ' ') --len;
        if (linesPerPage == 0 && len == 0) continue;
        out << l.left(len);
    }
    return out;
}

} // namespace pagetext

QString WMF2ASCII(const QString &fileName, const QStringList &pageQueue, qint32 linesPerPage,
                  Dialogs &dialogs) {
    QString name = fileName;
    if (name.startsWith('~')) {
        const QString cwd = QDir::currentPath();
        name = dialogs.saveFileName(QStringLiteral("Save to what Filename?"), name.mid(1),
                                    QStringLiteral("Text|*.TXT|All Files|*.*"));
        QDir::setCurrent(cwd);
        if (name.isEmpty()) return {};
    }
    QFile out(name);
    auto failed = [&] {
        dialogs.message(QString::fromLatin1(previewlogic::FileErrorCaption),
                        previewlogic::notWrittenText(name, out.errorString()), Dlg::Error);
        return QString();
    };
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return failed();

    // A small status window; one page per timer event keeps it (and the program) responsive.
    QWidget status;
    status.setWindowTitle(QStringLiteral("Text Out"));
    status.setWindowFlag(Qt::Tool);
    auto *label = new QLabel(&status);
    label->setMinimumWidth(220);
    (new QVBoxLayout(&status))->addWidget(label);
    status.show();

    QEventLoop loop;
    QTimer timer;
    int page = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (page >= pageQueue.size()) {
            timer.stop();
            loop.quit();
            return;
        }
        label->setText(QStringLiteral("Reading Page ") + QString::number(page + 1));
        QByteArray text;
        for (const QByteArray &line : pagetext::lines(pageQueue[page], linesPerPage)) {
            text += line;
            text += "\r\n";
        }
        if (out.write(text) != text.size()) { // the rest would be missing without a word
            timer.stop();
            loop.quit();
            return;
        }
        ++page;
    });
    timer.start(0);
    loop.exec();
    status.close();
    if (page < pageQueue.size() || !out.flush()) return failed();
    out.close();
    return name;
}
