#pragma once
// Where a data directory lives: on a local disk or on a network filesystem. SQLite's write-ahead
// log needs memory shared between the stations, which a network filesystem does not give, so a
// fund there is opened with a rollback journal instead.
#include <QString>
#include <optional>

namespace storage::netfs {
// Whether `dir` (or its nearest existing parent) is on a network filesystem: on Linux by the
// filesystem's type (NFS, SMB/CIFS, 9P, FUSE mounts such as sshfs, AFS, Ceph, ...), on Windows a
// remote drive or a UNC path.
bool isNetworkShare(const QString &dir);

// Linux filesystem types (statfs f_type) that are reached over a network.
bool isNetworkType(unsigned long type);

// Test seam: pretends every directory has this filesystem type (nullopt: ask the system).
void pretendType(std::optional<unsigned long> type);
} // namespace storage::netfs
