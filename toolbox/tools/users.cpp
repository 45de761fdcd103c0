#include "users.h"

#include "common/browseprocedure.h"

#include <QCryptographicHash>
#include <QLineEdit>
#include <QRandomGenerator>

namespace UserRules {
namespace {
constexpr int kRounds = 20000;
QByteArray digest(const QByteArray &salt, const QString &password) {
    QByteArray h = salt + password.toUtf8();
    for (int i = 0; i < kRounds; ++i) h = QCryptographicHash::hash(salt + h, QCryptographicHash::Sha256);
    return h;
}
} // namespace

QString hashPassword(const QString &password, const QByteArray &givenSalt) {
    if (password.isEmpty()) return {};
    QByteArray salt = givenSalt;
    if (salt.isEmpty()) {
        salt.resize(16);
        QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()), 4);
    }
    return QString::fromLatin1(salt.toHex() + "$" + digest(salt, password).toHex());
}

bool passwordMatches(const QString &password, const QString &stored) {
    if (stored.isEmpty()) return password.isEmpty();
    int sep = stored.indexOf('$');
    if (sep <= 0) return false;
    QByteArray salt = QByteArray::fromHex(stored.left(sep).toLatin1());
    return hashPassword(password, salt) == stored;
}

BrowseConfig browse() {
    BrowseConfig c;
    c.caption = "Browse Users";
    c.objectName = "BROWSEUSERS";
    c.tabs = {{"User ID", Password::UserID_Key.index, "User ID:", "USERID", false}};
    c.columns = {column<Password>("User ID", 7, [](const Password &p) { return p.USERID; }),
                 column<Password>("Name", 30, [](const Password &p) { return p.NAME; })};
    c.closeText = "E&xit";
    return c;
}

FormConfig form() {
    FormConfig f;
    f.fileName = "Password";
    f.keyNames = {{Password::UserID_Key.index, "PAS:UserID_Key"}};
    f.cancelWarning = 23;
    return f;
}
} // namespace UserRules

EditUsersForm::EditUsersForm(storage::Table &table, int request, QWidget *parent)
    : FormWindow(table, UserRules::form(), request, "Edit User", parent) {
    addText("User ID:", "USERID", "User Identification");
    m_password = new QLineEdit;
    m_password->setObjectName("PASSWORD");
    m_password->setMaxLength(10);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setToolTip("User Password");
    addRow("Password:", m_password);
    addText("Name:", "NAME", "User's Actual Name");
    addNumber("Security:", "SECURITY", 3, "Security Level");
    setButtonTexts("&OK", "&Cancel");
}

void EditUsersForm::loaded() {
    // The stored hash is never shown; an empty entry on a change keeps the password.
    m_password->clear();
    m_password->setPlaceholderText(logic().value("PASSWORDHASH").toString().isEmpty() ? QString() : "(unchanged)");
}

void EditUsersForm::storing() {
    if (!m_password->text().isEmpty()) logic().setValue("PASSWORDHASH", UserRules::hashPassword(m_password->text()));
}

void BROWSEUSERS() {
    runBrowse<Password>(UserRules::browse(), [](storage::Table &t, int request, QWidget *parent) {
        return std::unique_ptr<FormWindow>(new EditUsersForm(t, request, parent));
    });
}
