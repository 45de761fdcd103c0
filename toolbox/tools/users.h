#pragma once
// The people who may use the program: BROWSEUSERS and its form EDITUSERS. Passwords are kept as
// a salted hash, never as typed.
#include "common/browsewindow.h"
#include "common/formwindow.h"
#include "data/records.h"

namespace UserRules {
// "salt$hash" in hex: SHA-256 over the salt and the password, iterated.
QString hashPassword(const QString &password, const QByteArray &salt = {});
bool passwordMatches(const QString &password, const QString &stored);
BrowseConfig browse();
FormConfig form();
} // namespace UserRules

class QLineEdit;

// "Edit User"
class EditUsersForm : public FormWindow {
    Q_OBJECT
public:
    EditUsersForm(storage::Table &table, int request, QWidget *parent = nullptr);
    QLineEdit *password() const { return m_password; }

protected:
    void loaded() override;
    void storing() override;

private:
    QLineEdit *m_password;
};

void BROWSEUSERS();
