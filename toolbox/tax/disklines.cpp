#include "disklines.h"

namespace Tax {

QList<DiskLine> &DISKRPT() {
    static QList<DiskLine> lines;
    return lines;
}

} // namespace Tax
