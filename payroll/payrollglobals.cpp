#include "payrollglobals.h"

#include "contract/contractors.h"
#include "data/requests.h"
#include "ledger/transdesc.h"
#include "member/members.h"

PayrollGlobals &PayrollGLO() {
    static PayrollGlobals g;
    return g;
}

PayQueue &PAYQUEUE() {
    static PayQueue q;
    return q;
}

bool dropUnpostedLines(Dialogs &dialogs, PayQueue &queue) {
    if (!queue.isEmpty() &&
        dialogs.message("Unsaved Work ...",
                        "You Have Already Started A Payroll Posting.|If you cancel now you will "
                        "lose data already entered.| Are you sure you want to cancel?",
                        Dlg::Question, Dlg::Yes | Dlg::No, Dlg::No) != Dlg::Yes)
        return false;
    queue.clear();
    return true;
}

namespace {
// The select protocol: ask, run the browse, take the shared buffer on completion, and leave the
// response at "cancelled" for whoever asks next.
template <class R> bool select(void (*browse)(), R &into) {
    GlobalRequest() = Request::SelectRecord;
    browse();
    const bool done = GlobalResponse() == Response::RequestCompleted;
    if (done) into = SharedBuffer<R>();
    GlobalResponse() = Response::RequestCancelled;
    return done;
}
} // namespace

PayrollLookups PayrollLookups::browses() {
    PayrollLookups l;
    l.contractor = [](Contractor &c) { return select(BROWSECONTRACTORINFO, c); };
    l.transDesc = [](TransDesc &t) { return select(BROWSETRANSDESC, t); };
    l.member = [](MemberCU &m) { return select(BROWSEMEMBERS, m); };
    return l;
}

QString lastFirst(const MemberCU &m) {
    return clip(m.LASTNAME) + ", " + clip(m.FIRSTNAME);
}
