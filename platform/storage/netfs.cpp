#include "netfs.h"

#include <QDir>
#include <QFileInfo>

#if defined(Q_OS_WIN)
#include <windows.h>
#elif defined(Q_OS_LINUX)
#include <sys/vfs.h>
#endif

namespace storage::netfs {
namespace {
std::optional<unsigned long> g_pretended;

#if !defined(Q_OS_WIN)
// The directory itself, or the nearest parent that exists (a fund's directory may be made later).
QString existing(const QString &dir) {
    QFileInfo info(QDir(dir).absolutePath());
    while (!info.exists() && !info.isRoot()) info = QFileInfo(info.absolutePath());
    return info.absoluteFilePath();
}

bool typeOf(const QString &dir, unsigned long &type) {
#if defined(Q_OS_LINUX)
    struct statfs fs {};
    if (statfs(QFile::encodeName(existing(dir)).constData(), &fs) != 0) return false;
    type = static_cast<unsigned long>(fs.f_type);
    return true;
#else
    Q_UNUSED(dir);
    Q_UNUSED(type);
    return false;
#endif
}
#endif
} // namespace

bool isNetworkType(unsigned long type) {
    switch (type & 0xFFFFFFFFul) {
    case 0x6969ul:     // NFS
    case 0x517Bul:     // SMB
    case 0xFF534D42ul: // CIFS
    case 0xFE534D42ul: // SMB2
    case 0x01021997ul: // 9P (v9fs)
    case 0x65735546ul: // FUSE (sshfs and other user-space mounts)
    case 0x5346414Ful: // AFS
    case 0x6B414653ul: // kAFS
    case 0x00C36400ul: // Ceph
    case 0x013111A8ul: // IBRIX
    case 0x47504653ul: // GPFS
    case 0x0BD00BD0ul: // Lustre
    case 0x564C:       // NCP (NetWare)
    case 0x73757245ul: // Coda
    case 0x19830326ul: // BeeGFS
        return true;
    default: return false;
    }
}

void pretendType(std::optional<unsigned long> type) { g_pretended = type; }

bool isNetworkShare(const QString &dir) {
    if (g_pretended) return isNetworkType(*g_pretended);
#if defined(Q_OS_WIN)
    const QString native = QDir::toNativeSeparators(QDir(dir).absolutePath());
    if (native.startsWith(QLatin1String("\\\\"))) return true; // \\server\share
    const QString root = native.left(3);                         // "X:\"
    return GetDriveTypeW(reinterpret_cast<const wchar_t *>(root.utf16())) == DRIVE_REMOTE;
#else
    unsigned long type = 0;
    return typeOf(dir, type) && isNetworkType(type);
#endif
}
} // namespace storage::netfs
