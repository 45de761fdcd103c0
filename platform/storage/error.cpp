#include "error.h"

namespace storage {
namespace {
thread_local Error t_last;
}

QString errorText(int code) {
    switch (code) {
    case NoError: return "No Error";
    case FileNotFound: return "File Not Found";
    case AccessDenied: return "Access Denied";
    case FileLocked: return "File Is Already Locked";
    case RecordNotFound: return "Record Not Found";
    case FileNotOpen: return "File Not Open";
    case DuplicateKey: return "Creates Duplicate Key";
    case KeysNeedRebuilding: return "Keys Need Rebuilding";
    case InvalidRecordDeclaration: return "Invalid Record Declaration";
    case FileAlreadyOpen: return "File Already Open";
    case RecordChanged: return "Record Changed By Another Station";
    case FileSystemError: return "File System Error";
    case NotAFund: return "Not A Fund's Database";
    case ConnectionLost: return "Database Server Not Reachable";
    case BadSettings: return "Database Settings Not Usable";
    default: return QString("Error %1").arg(code);
    }
}

const Error &lastError() { return t_last; }

void setError(int code, const QString &driverText, int driverCode) {
    t_last = Error{code, errorText(code), driverCode, driverText};
}

void clearError() { t_last = Error{}; }

QString lastErrorText() {
    if (!t_last.driverText.isEmpty()) return t_last.driverText;
    return t_last.text.isEmpty() ? errorText(t_last.code) : t_last.text;
}
} // namespace storage
