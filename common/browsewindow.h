#pragma once
// The standard browse window: tabs of sort orders with their locators, the list read on demand,
// Add/Edit/Delete through the update form, the context menu, and the select protocol. A browse
// of the program is a BrowseConfig: its file, columns, orders, filter and form.
#include "browselist.h"
#include "data/requests.h"

#include <QWidget>
#include <functional>
#include <memory>

class QLineEdit;
class QPushButton;
class QScrollBar;
class QTabBar;
class QTableView;
class QLabel;

struct BrowseTab {
    QString title;           // "Code"
    int key = 0;             // the order
    QString locatorPrompt;   // "Transaction Code:"; empty: no locator
    QString locatorField;    // the key's first field, typed into
    bool onAccept = false;   // locate when Enter is pressed rather than while typing
};

struct BrowseConfig {
    QString caption;
    QString objectName;      // the procedure's name
    QList<BrowseTab> tabs;
    bool showTabs = true;
    QList<BrowseColumn> columns;
    int rowLines = 1;        // lines of text per row ("\n" in a column's text)
    BrowseList::Filter filter;
    QString closeText = "&Cancel";
    bool closeCompletes = false; // closing a maintenance browse reports completed
    bool allowInsert = true, allowChange = true, allowDelete = true;
    // Runs the update form for a request on the record at `pos`; returns the GlobalResponse and
    // leaves the position of the added or changed record in `pos`.
    std::function<int(int request, qint64 &pos)> form;
    // Select mode: copies the chosen row into the file's shared record buffer.
    std::function<void(const storage::Row &)> select;
};

class BrowseWindow : public QWidget {
    Q_OBJECT
public:
    BrowseWindow(storage::Database &db, const storage::FileDef &file, BrowseConfig config,
                 bool selectMode, QWidget *parent = nullptr);
    ~BrowseWindow() override;

    // Opens the file; false (after the standard warnings) when it cannot be used.
    bool ready() const { return m_ready; }
    bool selectMode() const { return m_select; }
    BrowseList &list() { return *m_list; }
    storage::Table &table() { return *m_table; }
    QTableView *view() const { return m_view; }
    QTabBar *tabs() const { return m_tabs; }
    QLineEdit *locator() const { return m_locator; }
    QPushButton *button(const QString &text) const;
    QMenu *contextMenu();
    BrowseConfig &config() { return m_config; }

    void setTab(int index);
    void locate(const QString &text);
    void insertRecord();
    void changeRecord();
    void deleteRecord();
    void selectRecord();
    // The outcome for GlobalResponse when the window closes.
    int response() const { return m_response; }

    // Shows the browse: a child of the frame, or modally in select mode. Returns the response.
    static int run(BrowseWindow *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    bool moveByKey(int key); // true when the key moved the list
    void runForm(int request);
    void syncView();
    void updateButtons();
    void fitPage();
    // A locator that waits for Enter: what was typed but not yet located.
    void applyTypedLocator();
    void focusLocator();

    std::unique_ptr<storage::Table> m_table;
    BrowseList *m_list;
    BrowseConfig m_config;
    bool m_select;
    bool m_ready = false;
    int m_response = Response::RequestCancelled;
    QTabBar *m_tabs;
    QLabel *m_locatorPrompt;
    QLineEdit *m_locator;
    QTableView *m_view;
    QScrollBar *m_scroll;
    QList<QPushButton *> m_buttons;
    QMenu *m_menu = nullptr;
    bool m_locatorPending = false;
    bool m_shown = false;
};

