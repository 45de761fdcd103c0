#include "mainframe.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "common/procedures.h"
#include "data/lookups.h"
#include "framelogic.h"
#include "platform/clock.h"
#include "platform/launcher.h"
#include "splash.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

using namespace Frame;

MainFrame::MainFrame(QWidget *parent) : QMainWindow(parent), m_mdi(new QMdiArea) {
    setObjectName("MAIN");
    m_glo = std::make_unique<storage::DataFile<XXGloNoTh>>(App::db());
    CHECKOPEN(*m_glo, App::dialogs());
    setCentralWidget(m_mdi);
    App::setMdiArea(m_mdi);
    buildMenus();
    for (int i = 0; i < 4; ++i) {
        m_zones[i] = new QLabel;
        m_zones[i]->setObjectName(QString("zone%1").arg(i + 1));
        if (i == 0) {
            statusBar()->addWidget(m_zones[i], 1);
        } else {
            m_zones[i]->setMinimumWidth(i == 2 ? 220 : 80);
            m_zones[i]->setAlignment(Qt::AlignCenter);
            statusBar()->addPermanentWidget(m_zones[i]);
        }
    }
    setWindowIcon(moneyIcon());
    // Roomy where the screen allows, never larger than the screen (1024 x 768 offices).
    const QRect screen = this->screen()->availableGeometry();
    resize(QSize(1100, 760).boundedTo(screen.size() - QSize(0, 30)));
    if (m_timerHundredths < 1 || m_timerHundredths > 100) m_timerHundredths = 100;
    refreshClock();
}

MainFrame::~MainFrame() {
    if (App::mdiArea() == m_mdi) App::setMdiArea(nullptr);
}

void MainFrame::buildMenus() {
    const bool showHidden = showHiddenEntries();
    QMenu *top = nullptr, *current = nullptr;
    QString topPath, currentPath;
    for (const MenuItem &item : menuTable()) {
        QAction *a = nullptr;
        switch (item.kind) {
        case Kind::Menu:
            top = current = menuBar()->addMenu(item.text);
            topPath = currentPath = item.text;
            a = top->menuAction();
            break;
        case Kind::Submenu:
            current = top->addMenu(item.text);
            currentPath = topPath + "/" + item.text;
            a = current->menuAction();
            break;
        case Kind::EndSubmenu:
            current = top;
            currentPath = topPath;
            continue;
        case Kind::Separator:
            a = current->addSeparator();
            break;
        case Kind::Entry:
            a = current->addAction(item.text);
            connect(a, &QAction::triggered, this, [this, item] { choose(item); });
            break;
        }
        if (item.kind != Kind::Separator) {
            QString path = item.kind == Kind::Entry ? currentPath + "/" + item.text : currentPath;
            m_byPath.insert(path, a);
            a->setObjectName(item.action.isEmpty() ? item.text : item.action);
        }
        if (!item.id.isEmpty()) m_byId.insert(item.id, a);
        if (item.hidden && !(showHidden && item.id.isEmpty())) a->setVisible(false);
    }
}

SplashScreen *MainFrame::splash() const { return m_splash; }

QAction *MainFrame::action(const QString &path) const { return m_byPath.value(path); }

QString MainFrame::statusZone(int zone) const { return m_zones[zone - 1]->text(); }

void MainFrame::refreshClock() {
    m_zones[2]->setText(statusDate(Clock::today()));
    m_zones[3]->setText(statusTime(Clock::clock()));
}

void MainFrame::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (!m_opened) {
        m_opened = true;
        opened();
    }
}

// The window-opened steps: user, local, menus, title, splash.
void MainFrame::opened() {
    GNT().USERID = "MGR";
    GNT().SECURITY = 10;
    m_zones[1]->setText(GNT().USERID);

    GETLOCALFROMPATH(App::dataDir(), GLO().LOCAL, GLO().PATH, GLO().LOCALNUM, MOD().LOCALNUM);

    m_byId.value(FeesId)->setVisible(false);
    MenuVisibility v = menuVisibility(GLO().LOCAL, GLO().LOCALNUM);
    m_byId.value(SchwabTransferId)->setVisible(v.schwabTransfer);
    m_byId.value(SchwabExportId)->setVisible(v.schwabExport);
    m_byId.value(FeesId)->setVisible(v.fees);

    setWindowIcon(moneyIcon());
    setWindowTitle(frameTitle(GLO().LOCAL, GLO().LOCALNUM, MOD().LOCALNUM));

    m_splash = new SplashScreen(splashTitle(GLO().LOCAL, GLO().LOCALNUM), MOD().LOCALNUM, this);
    m_splash->show();
    QRect r = m_splash->frameGeometry();
    r.moveCenter(frameGeometry().center());
    m_splash->move(r.topLeft());
    m_clockTimer = startTimer(m_timerHundredths * 10);
}

void MainFrame::timerEvent(QTimerEvent *event) {
    if (event->timerId() == m_clockTimer) refreshClock();
    else QMainWindow::timerEvent(event);
}

void MainFrame::choose(const MenuItem &item) {
    if (m_splash) {
        m_splash->close();
        m_splash = nullptr;
    }
    if (item.how == How::External) {
        if (item.action == "Calculator") Launcher::start(calculatorCommand());
        else if (item.action == "Backup") backupRestore();
        return; // a program that does not start is not reported
    }
    Procedures::run(item.action);
}

void MainFrame::backupRestore() {
    Launcher::start(backupCommand());
    int answer = App::dialogs().message(BackupCaption, BackupQuestion, Dlg::Warning,
                                        Dlg::Yes | Dlg::No, Dlg::No);
    if (answer != Dlg::Yes) return;
    m_backupData = true;
    close();
}

void MainFrame::closeEvent(QCloseEvent *event) {
    m_mdi->closeAllSubWindows();
    if (!m_mdi->subWindowList().isEmpty()) {
        event->ignore(); // a child window refused to close
        m_backupData = false;
        return;
    }
    if (m_splash) m_splash->close();
    killTimer(m_clockTimer);
    m_glo->close();
    event->accept();
    if (m_backupData) Launcher::start(backupOnCloseCommand());
}
