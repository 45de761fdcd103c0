// pension: the fund office's program. Usage: pension [DATADIR] [/admin]
#include "application.h"
#include "common/app.h"
#include "common/warnings.h"
#include "mainframe.h"
#include "registry.h"
#include "platform/storage/error.h"

#include <QApplication>
#include <QDir>
#include <QPrinterInfo>

int main(int argc, char *argv[]) {
    PensionApplication app(argc, argv);
    QApplication::setApplicationName("pension");
    QString dataDir = QDir::currentPath();
    for (const QString &arg : QApplication::arguments().mid(1)) {
        if (arg.compare("/admin", Qt::CaseInsensitive) == 0) App::setAdmin(true);
        else dataDir = arg;
    }
    App::setStartPrinter(QPrinterInfo::defaultPrinterName());
    QtDialogs dialogs;
    App::setDialogs(&dialogs);
    App::setDataDir(QDir(dataDir).absolutePath());
    std::unique_ptr<storage::Database> db = storage::Database::open(dataDir);
    if (!db) {
        dialogs.message("File Access Error",
                        "The data directory " + QDir(dataDir).absolutePath() +
                            " could not be opened.  Error: " + ERRORTEXT() + ".",
                        Dlg::Error);
        return 1;
    }
    App::setDatabase(db.get());
    registerProcedures();
    int rc = 0;
    {
        MainFrame frame;
        frame.show();
        rc = app.exec();
    }
    App::setDatabase(nullptr);
    return rc;
}
