#pragma once
// The last error of a file operation, kept per thread like the runtime's ERRORCODE().
#include <QString>

namespace storage {
enum ErrorCode {
    NoError = 0,
    FileNotFound = 2,
    AccessDenied = 5,
    FileLocked = 32,
    RecordNotFound = 35,
    FileNotOpen = 37,
    DuplicateKey = 40,
    KeysNeedRebuilding = 46,
    InvalidRecordDeclaration = 47,
    FileAlreadyOpen = 52,
    RecordChanged = 89,
    FileSystemError = 90, // driver-level: the database itself reported the failure
    NotAFund = 91,        // the database file is another program's, or no database at all
    ConnectionLost = 92,  // the database server could not be reached or dropped the connection
    BadSettings = 93,     // DATABASE.INI names no database this program can use
};

struct Error {
    int code = NoError;
    QString text;
    int driverCode = 0;
    QString driverText;
    explicit operator bool() const { return code != NoError; }
};

QString errorText(int code); // "Record Changed By Another Station"
const Error &lastError();
void setError(int code, const QString &driverText = {}, int driverCode = 0);
void clearError();
// The last error in words for a message: the database's own text when it gave one.
QString lastErrorText();
} // namespace storage
