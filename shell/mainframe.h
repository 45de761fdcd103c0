#pragma once
#include "data/records.h"
#include "menutable.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <memory>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class SplashScreen;

// The application frame (MAIN): menus, status bar, the splash, and the child windows' area.
class MainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit MainFrame(QWidget *parent = nullptr);
    ~MainFrame() override;

    QMdiArea *mdiArea() const { return m_mdi; }
    SplashScreen *splash() const;
    // The QAction of a menu entry or submenu by its text path ("&Utilities/&Calculator").
    QAction *action(const QString &path) const;
    QAction *actionById(const QString &id) const { return m_byId.value(id); }
    QString statusZone(int zone) const; // 1 to 4
    bool backupRequested() const { return m_backupData; }

    // Carries out a menu entry, as a click on it does.
    void choose(const Frame::MenuItem &item);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    void buildMenus();
    void opened();
    void refreshClock();
    void backupRestore();

    QMdiArea *m_mdi;
    QLabel *m_zones[4];
    QPointer<SplashScreen> m_splash;
    QHash<QString, QAction *> m_byPath, m_byId;
    std::unique_ptr<storage::DataFile<XXGloNoTh>> m_glo;
    int m_clockTimer = 0;
    int m_timerHundredths = 100;
    bool m_opened = false;
    bool m_backupData = false;
};
