// pension: the fund office's program. Usage: pension [DATADIR] [/admin] [--create]
#include "application.h"
#include "common/app.h"
#include "mainframe.h"
#include "registry.h"
#include "startup.h"

#include <QApplication>
#include <QPrinterInfo>

int main(int argc, char *argv[]) {
    // Read before the window system is reached, so that --help and a refusal need no display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    Startup::Options options;
    if (int rc = Startup::parse(arguments, options); rc >= 0) return rc;

    PensionApplication app(argc, argv);
    QApplication::setApplicationName("pension");
    App::setAdmin(options.admin);
    App::setStartPrinter(QPrinterInfo::defaultPrinterName());
    QtDialogs dialogs;
    App::setDialogs(&dialogs);
    App::setDataDir(options.dataDir);
    std::unique_ptr<storage::Database> db = Startup::openFund(options.dataDir, options.create, dialogs);
    if (!db) return 1;
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
