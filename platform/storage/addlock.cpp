// The lock that serialises adds to one file across stations.
#include "database.h"

#include <QSqlError>
#include <QSqlQuery>

namespace storage {
namespace {
// The first half of the server's two-part lock key: this program's adds, apart from any other
// program's locks on the same server.
constexpr qint32 kAddLocks = 0x50454E53; // "PENS"

// A number for a file's name that every station derives alike (FNV-1a over the lower-case name):
// the locks are shared between processes, so no per-process hash seed may enter it.
qint32 fileKey(const QString &file) {
    quint32 h = 2166136261u;
    for (char c : file.toLower().toUtf8()) {
        h ^= quint8(c);
        h *= 16777619u;
    }
    return qint32(h);
}
} // namespace

bool Database::serializeAdds(const FileDef &def) {
    if (m_depth == 0) {
        setError(FileSystemError, "adds to " + def.name + " are serialised only inside a transaction");
        return false;
    }
    if (!writable()) return false;
    // The embedded file's transactions begin with its write lock, which no other station's
    // transaction can hold at the same time: adds are serialised already. A server's lock is
    // taken before anything is read in the transaction; each statement after it sees what other
    // stations committed before they let it go.
    if (!dialect().addLock) return true;
    QSqlQuery q(m_db);
    q.prepare(dialect().addLock);
    q.addBindValue(kAddLocks);
    q.addBindValue(fileKey(def.name));
    if (!q.exec()) {
        recordError(q.lastError());
        noteFailure();
        return false;
    }
    return true;
}
} // namespace storage
