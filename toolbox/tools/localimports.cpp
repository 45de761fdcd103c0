#include "localimports.h"

#include "common/app.h"
#include "common/enhancedfocus.h"
#include "common/windows.h"
#include "data/records.h"
#include "platform/picture.h"
#include "platform/storage/datafile.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using Imports::clipped;
using Imports::Verdict;

namespace {
const QString kFile667 = QStringLiteral("members.csv");
const QString kFile33 = QStringLiteral("33.csv");
const QString kFile968 = QStringLiteral("ORDUN 968 MEMBLIST.CSV");

const QString kOnly = QStringLiteral("This utility is used to import data for #%1 ONLY!");
const QString kRecordsImported = QStringLiteral(" records imported.");
const QString kDuplicated = QStringLiteral(" records duplicated / already exist.");
const QString kUpdated = QStringLiteral("Acct already existed and was updated -- ");
const QString kCompleted = QStringLiteral("Import Completed.  Total records imported = ");
const QString kTitle667 = QStringLiteral("Import 667 Data ...");
const QString kTitle33 = QStringLiteral("Import 33 Data");

const QString kTitle968 = QStringLiteral("Import 968 Data from CSV file ...");
const QString kText968 = QStringLiteral(
    "This process will import data from a CSV File.  This will also delete history information.");
const QString kAsk968Caption = QStringLiteral("Import Data ...");
const QString kAsk968 = QStringLiteral("This Import Process will wipe all data.  Are you sure you want to continue?");
const QString kCancelled968Caption = QStringLiteral("Import Cancelled ...");
const QString kCancelled968 = QStringLiteral("Import Process was CANCELLED by user.");
const QString kDone968Caption = QStringLiteral("Import Completed ...");
const QString kDone968 = QStringLiteral("Import Completed.");

// The messages of a file that cannot be opened or read.
const QString kOpenPrefix = QStringLiteral("Open Import File - ");
const QString kReadPrefix = QStringLiteral("Read Import File - ");

// A value as a fixed-width field of the layout holds it.
QString field(const QStringList &values, int column, int width) {
    return column <= values.size() ? clipped(values[column - 1].left(width)) : QString();
}

// "(###) ###-####" from the digits of the value (the last ten).
QString phone(const QString &value) {
    QString digits;
    for (QChar c : value)
        if (c.isDigit()) digits += c;
    return Picture::format(digits.right(10).toLongLong(), QStringLiteral("@P(###) ###-####P"));
}

// mm/dd/yyyy; blank is no date.
bool date(const QString &text, const QString &what, qint32 &day, QString &why) {
    bool ok = true;
    day = text.trimmed().isEmpty() ? 0 : Picture::deformatDate(text, QStringLiteral("@d2"), &ok);
    if (!ok) why = QStringLiteral("%1 '%2' is not a date").arg(what, text.trimmed());
    return ok;
}

bool enoughValues(const QStringList &values, int needed, QString &why) {
    if (values.size() >= needed) return true;
    why = QStringLiteral("%1 values; a member needs %2").arg(values.size()).arg(needed);
    return false;
}

// The line's values and a cleared member of the local; false for a line that cannot be split
// or has fewer values than the layout needs.
bool start(const QString &line, int needed, qint32 local, QStringList &values, MemberCU &m, QString &why) {
    if (!Imports::splitCsv(line, values, &why) || !enoughValues(values, needed, why)) return false;
    m = MemberCU();
    m.LOCALCODE = local;
    return true;
}

// Local 33's names: "LAST, FIRST MIDDLE" with an optional ", SUFFIX" that joins the last name.
void names33(const QString &name, QString &last, QString &first) {
    last.clear();
    first.clear();
    int commas = 0;
    for (QChar c : clipped(name)) {
        if (c == ',') {
            if (++commas == 2) last = clipped(last) + '*';
            continue;
        }
        if (commas == 0 || commas == 2) last = clipped(last) + c;
        else if (commas == 1) first = clipped(first) + (c == ' ' ? QChar('*') : c);
    }
    first.replace('*', ' ');
    const qsizetype star = last.indexOf('*');
    if (star >= 0) last[star] = ' ';
    first = first.trimmed();
    last = last.trimmed();
}

Verdict parse667(const QString &line, MemberCU &m, QString &why) {
    QStringList v;
    if (!start(line, 27, 667, v, m, why)) return Verdict::Bad;
    qint64 number = 0;
    const QString membNo = field(v, 2, 20);
    if (!Imports::digits(membNo, number) || number > 2147483647) {
        why = QStringLiteral("member number '%1' is not a number").arg(membNo.trimmed());
        return Verdict::Bad;
    }
    m.ACCTNUM = qint32(number);
    m.USERID = clipped(membNo.left(14));
    m.LASTNAME = field(v, 5, 20);
    m.FIRSTNAME = field(v, 3, 20);
    m.ADDR1 = field(v, 7, 20);
    m.ADDR2 = field(v, 8, 20);
    m.CITY = field(v, 9, 20);
    m.STATE = clipped(field(v, 10, 20).left(2));
    m.ZIP = clipped(field(v, 11, 20).left(10));
    m.PHONE1 = phone(field(v, 12, 20));
    m.PHONE2 = phone(field(v, 13, 20));
    m.SSNUM = clipped(field(v, 1, 20).left(11));
    if (!date(field(v, 26, 20), QStringLiteral("birth date"), m.BIRTHDATE, why) ||
        !date(field(v, 27, 20), QStringLiteral("initiation date"), m.DATEJOINED, why))
        return Verdict::Bad;
    return Verdict::Take;
}

Verdict parse33(const QString &line, MemberCU &m, QString &why) {
    QStringList v;
    if (!start(line, 13, 33, v, m, why)) return Verdict::Bad;
    m.SSNUM = field(v, 2, 11);
    QString digits;
    for (QChar c : m.SSNUM)
        if (c.isDigit()) digits += c;
    if (digits.isEmpty() || digits.size() > 9) {
        why = QStringLiteral("SSN '%1' is not an account number").arg(m.SSNUM);
        return Verdict::Bad;
    }
    m.ACCTNUM = digits.toInt();
    names33(field(v, 1, 100), m.LASTNAME, m.FIRSTNAME);
    m.ADDR1 = field(v, 5, 100);
    m.CITY = field(v, 9, 50);
    m.STATE = field(v, 10, 2);
    m.ZIP = clipped(field(v, 11, 15).left(5));
    const QString phone1 = field(v, 4, 20), phone2 = field(v, 8, 20);
    if (!phone1.trimmed().isEmpty()) m.PHONE1 = phone(phone1);
    if (!phone2.trimmed().isEmpty()) m.PHONE2 = phone(phone2);
    m.USERID = field(v, 6, 2);
    if (!date(field(v, 13, 15), QStringLiteral("birth date"), m.BIRTHDATE, why)) return Verdict::Bad;
    return Verdict::Take;
}

Verdict parse968(const QString &line, MemberCU &m, QString &why) {
    QStringList v;
    if (!start(line, 6, 968, v, m, why)) return Verdict::Bad;
    qint64 number = 0;
    const QString acct = field(v, 1, 20);
    if (!Imports::digits(acct, number)) {
        why = QStringLiteral("account '%1' is not a number").arg(acct.trimmed());
        return Verdict::Bad;
    }
    // Five digits after the local's number: a larger one would run into the next account.
    if (number > 99999) {
        why = QStringLiteral("account %1 has more than five digits").arg(number);
        return Verdict::Bad;
    }
    m.ACCTNUM = QStringLiteral("968%1").arg(number, 5, 10, QChar('0')).toInt();
    const QString name = field(v, 2, 200);
    const qsizetype comma = name.indexOf(',');
    if (comma < 0) {
        why = QStringLiteral("name '%1' has no comma between the last and the first name").arg(name);
        return Verdict::Bad;
    }
    m.LASTNAME = clipped(name.left(comma));
    m.FIRSTNAME = name.mid(comma + 1).trimmed();
    m.ADDR1 = field(v, 3, 200);
    const QString csz = field(v, 4, 200);
    const qsizetype q = csz.indexOf(QStringLiteral("  ")) + 1; // 1-based, 0 when not found
    if (q > 0 && q < 3) {
        why = QStringLiteral("city, state and ZIP '%1' has no city before its state").arg(csz);
        return Verdict::Bad;
    }
    if (q > 0) {
        m.CITY = clipped(csz.left(q - 3));
        m.STATE = csz.mid(q - 3, 2);
        m.ZIP = clipped(csz.mid(q + 1).left(10)).trimmed();
    }
    m.SSNUM = field(v, 5, 11);
    if (!date(field(v, 6, 20), QStringLiteral("birth date"), m.BIRTHDATE, why)) return Verdict::Bad;
    return Verdict::Take;
}

// Whether the member file already has the account or the (non-blank) SSN. False on a failed
// read too; `failed` says which.
bool exists(storage::DataFile<MemberCU> &mem, const MemberCU &m, bool &failed) {
    mem.clear();
    mem.rec.ACCTNUM = m.ACCTNUM;
    if (mem.get(MemberCU::AcctNum_Key)) return true;
    if ((failed = mem.failed())) return false;
    if (m.SSNUM.trimmed().isEmpty()) return false;
    mem.clear();
    mem.rec.SSNUM = m.SSNUM;
    if (mem.get(MemberCU::SSNum_Key)) return true;
    failed = mem.failed();
    return false;
}
} // namespace

LocalListImport::LocalListImport(storage::Database &db, Dialogs &dialogs, qint32 local)
    : ImportRun(db, dialogs), m_local(local) {
    LOC.DISPLAYSTRING = kOnly.arg(local);
}

QString LocalListImport::fileName() const {
    return m_local == 667 ? kFile667 : kFile33;
}

void LocalListImport::display() {
    if (changed) changed();
}

bool LocalListImport::run() {
    imported = added = duplicates = updated = 0;
    bad.clear();
    auto finish = [&](qint64 total) {
        LOC.DISPLAYSTRING = kCompleted + QString::number(total);
        display();
    };
    const QString path = locate(fileName());
    if (path.isEmpty()) {
        finish(0);
        return false;
    }
    Imports::InputFile file;
    if (!load(file, path, kOpenPrefix, kReadPrefix)) {
        finish(0);
        return false;
    }
    MemberCU m;
    auto parse = [&](qsizetype i, QString &why) {
        return (m_local == 667 ? parse667 : parse33)(file.line(i), m, why);
    };
    // The first line is the heading.
    if (check(file, parse, 1) == 0) {
        if (file.lineCount() > 1) nothingToTake(file);
        finish(0);
        return file.lineCount() <= 1;
    }
    storage::DataFile<MemberCU> mem(m_db), found(m_db);
    if (!openTarget(mem.table(), kOpenPrefix, kOpenPrefix) || !found.open()) {
        finish(0);
        return false;
    }
    {
        storage::Transaction batch(m_db);
        auto fail = [&] {
            const QString error = storage::lastErrorText();
            batch.rollback();
            imported = added = duplicates = updated = 0;
            LOC.DISPLAYSTRING2.clear();
            LOC.DISPLAYSTRING3.clear();
            writeFailed(QStringLiteral("MEMBERCU"), error);
            finish(0);
            return false;
        };
        // A member is looked for and added under the file's add lock: no other station adds the
        // same one in between.
        if (!batch.active() || !m_db.serializeAdds(MemberCU::layout().def())) return fail();
        if (writing) writing();
        QString why;
        for (qsizetype i = 1; i < file.lineCount(); ++i) {
            if (parse(i, why) != Verdict::Take) continue;
            ++imported;
            LOC.DISPLAYSTRING = QString::number(imported) + kRecordsImported;
            bool failed = false;
            if (!exists(found, m, failed)) {
                if (failed) return fail();
                mem.rec = m;
                if (!mem.add()) return fail();
                ++added;
            } else {
                if (m_local == 667) {
                    // The member of this local with the account, else the member with the SSN
                    // (of any local, whose account and local stay).
                    found.clear();
                    found.rec.LOCALCODE = 667;
                    found.rec.ACCTNUM = m.ACCTNUM;
                    bool hit = found.get(MemberCU::LocalAcct_Key);
                    if (!hit && !found.failed() && !m.SSNUM.trimmed().isEmpty()) {
                        found.clear();
                        found.rec.SSNUM = m.SSNUM;
                        hit = found.get(MemberCU::SSNum_Key);
                    }
                    if (found.failed()) return fail();
                    if (hit) {
                        MemberCU &r = found.rec;
                        r.LASTNAME = m.LASTNAME;
                        r.FIRSTNAME = m.FIRSTNAME;
                        r.ADDR1 = m.ADDR1;
                        r.ADDR2 = m.ADDR2;
                        r.CITY = m.CITY;
                        r.STATE = m.STATE;
                        r.ZIP = m.ZIP;
                        r.PHONE1 = m.PHONE1;
                        r.PHONE2 = m.PHONE2;
                        r.SSNUM = m.SSNUM;
                        r.BIRTHDATE = m.BIRTHDATE;
                        r.USERID = m.USERID;
                        r.DATEJOINED = m.DATEJOINED;
                        if (!found.put()) return fail();
                        ++updated;
                    }
                }
                ++duplicates;
                LOC.DISPLAYSTRING2 = QString::number(duplicates) + kDuplicated;
                LOC.DISPLAYSTRING3 = kUpdated + QString::number(m.ACCTNUM) + ", " + m.FIRSTNAME + ' ' +
                                     m.LASTNAME + " (" + m.SSNUM + ')';
            }
            if ((imported & 63) == 0) display();
            tick(LOC.DISPLAYSTRING);
        }
        if (!batch.commit()) return fail();
    }
    finish(imported);
    reportBadLines(file.name());
    return true;
}

bool Import968::run() {
    added = skipped = 0;
    bad.clear();
    if (m_dialogs.message(kAsk968Caption, kAsk968, Dlg::Question, Dlg::Yes | Dlg::No, Dlg::No) != Dlg::Yes) {
        m_dialogs.message(kCancelled968Caption, kCancelled968, Dlg::Information);
        return false;
    }
    // Members are only added: nothing of the fund's data is emptied, whatever the question says.
    const QString path = locate(kFile968);
    if (path.isEmpty()) return false;
    Imports::InputFile file;
    if (!load(file, path, kOpenPrefix, kReadPrefix)) return false;
    MemberCU m;
    auto parse = [&](qsizetype i, QString &why) { return parse968(file.line(i), m, why); };
    if (check(file, parse) == 0) {
        nothingToTake(file);
        return false;
    }
    storage::DataFile<MemberCU> mem(m_db), found(m_db);
    if (!openTarget(mem.table(), kOpenPrefix, kOpenPrefix) || !found.open()) return false;
    {
        storage::Transaction batch(m_db);
        auto fail = [&] {
            const QString error = storage::lastErrorText();
            batch.rollback();
            added = skipped = 0;
            writeFailed(QStringLiteral("MEMBERCU"), error);
            return false;
        };
        // A member is looked for and added under the file's add lock: no other station adds the
        // same one in between.
        if (!batch.active() || !m_db.serializeAdds(MemberCU::layout().def())) return fail();
        if (writing) writing();
        QString why;
        for (qsizetype i = 0; i < file.lineCount(); ++i) {
            if (parse(i, why) != Verdict::Take) continue;
            bool failed = false;
            if (exists(found, m, failed)) {
                ++skipped;
                continue;
            }
            if (failed) return fail();
            mem.rec = m;
            if (!mem.add()) return fail();
            ++added;
            tick(QString::number(added));
        }
        if (!batch.commit()) return fail();
    }
    m_dialogs.message(kDone968Caption, kDone968, Dlg::Exclamation);
    reportBadLines(file.name());
    return true;
}

LocalListImportWindow::LocalListImportWindow(storage::Database &db, Dialogs &dialogs, qint32 local,
                                             QWidget *parent)
    : QDialog(parent), m_logic(db, dialogs, local) {
    EnhancedFocusClassType::install(this);
    setObjectName(local == 667 ? "IMPORTDATAFOR667" : "IMPORTDATAFOR33");
    setWindowTitle(local == 667 ? kTitle667 : kTitle33);
    auto *layout = new QVBoxLayout(this);
    const char *names[] = {"LOC:DISPLAYSTRING", "LOC:DISPLAYSTRING2", "LOC:DISPLAYSTRING3"};
    for (int i = 0; i < 3; ++i) {
        m_lines[i] = new QLabel;
        m_lines[i]->setObjectName(names[i]);
        m_lines[i]->setMinimumWidth(420);
        layout->addWidget(m_lines[i]);
    }
    m_import = new QPushButton("&Import");
    m_cancel = new QPushButton("&Cancel");
    m_continue = new QPushButton("C&ontinue");
    m_continue->hide();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_import);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_continue);
    layout->addLayout(buttons);
    connect(m_import, &QPushButton::clicked, this, &LocalListImportWindow::startImport);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_continue, &QPushButton::clicked, this, &QDialog::accept);
    m_logic.changed = [this] { refresh(); };
    // No user input while it runs: nothing else may write inside the import's transaction.
    m_logic.yield = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    refresh();
}

void LocalListImportWindow::refresh() {
    m_lines[0]->setText(m_logic.LOC.DISPLAYSTRING);
    m_lines[1]->setText(m_logic.LOC.DISPLAYSTRING2);
    m_lines[2]->setText(m_logic.LOC.DISPLAYSTRING3);
}

void LocalListImportWindow::startImport() {
    m_import->hide();
    m_cancel->hide();
    m_running = true;
    m_logic.run();
    m_running = false;
    refresh();
    m_continue->show();
    m_continue->setFocus();
}

void LocalListImportWindow::reject() {
    if (!m_running) QDialog::reject();
}

Import968Window::Import968Window(storage::Database &db, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent), m_logic(db, dialogs) {
    EnhancedFocusClassType::install(this);
    setObjectName("IMPORTDATAFOR968");
    setWindowTitle(kTitle968);
    auto *text = new QLabel(kText968);
    text->setWordWrap(true);
    m_ok = new QPushButton("&OK");
    m_cancel = new QPushButton("&Cancel");
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        m_ok->setEnabled(false);
        m_cancel->setEnabled(false);
        m_logic.run();
        m_ok->setEnabled(true);
        m_cancel->setEnabled(true);
    });
    connect(m_cancel, &QPushButton::clicked, this, &QWidget::close);
    Imports::attachWaitWindow(m_logic);
}

void IMPORTDATAFOR667() {
    LocalListImportWindow window(App::db(), App::dialogs(), 667);
    Windows::call(&window);
}

void IMPORTDATAFOR33() {
    LocalListImportWindow window(App::db(), App::dialogs(), 33);
    Windows::call(&window);
}

void IMPORTDATAFOR968() {
    Windows::start(new Import968Window(App::db(), App::dialogs()));
}
