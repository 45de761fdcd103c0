// pension-importtrans DIR LINES
// Writes an account history of LINES lines over the members of DIR into DIR/SHARENT.TXT and
// imports it. Prints "importing" once the old history has been emptied inside the import's
// transaction, and from then on takes its time, so that a test can kill it half-way.
#include "../support/unattended.h"
#include "platform/cmdline.h"
#include "toolbox/tools/memberimports.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QThread>
#include <cstdio>


int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    CommandLine cl("pension-importtrans", "DIR LINES",
                   "Imports an account history of LINES lines into the data directory DIR, for the crash test.");
    cl.setWordCount(2, 2);
    if (int rc = cl.handle(app.arguments().mid(1)); rc >= 0) return rc;
    const QString dir = cl.words()[0];
    const int lines = cl.words()[1].toInt();
    QFile f(QDir(dir).filePath("SHARENT.TXT"));
    if (!f.open(QIODevice::WriteOnly)) return 1;
    for (int i = 0; i < lines; ++i) {
        // Group 1, accounts 5001 to 5100, days of 2024, a deposit of 10.00 and more.
        const QString line = QString(" 1%1  24%2%3%4A      IMPORTED")
                                 .arg(5001 + i % 100, 9, 10, QChar('0'))
                                 .arg(1 + i % 12, 2, 10, QChar('0'))
                                 .arg(1 + i % 28, 2, 10, QChar('0'))
                                 .arg(1000 + i % 97, 10, 10, QChar('0'));
        f.write(line.toLatin1() + "\r\n");
    }
    f.close();
    auto db = storage::Database::open(dir, storage::Database::MustExist);
    if (!db) return 1;
    Unattended dialogs(true, 3); // Yes to the Local 565 question; Cancel to any report
    TransImport run(*db, dialogs);
    bool slow = false;
    run.writing = [&] {
        std::printf("importing\n");
        std::fflush(stdout);
        slow = true;
    };
    run.progress = [&](const QString &) {
        if (slow) QThread::msleep(20);
    };
    return run.run() ? 0 : 1;
}
