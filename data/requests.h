#pragma once
// The three words that cross every browse/form pair: what the caller asks, what came of it, and
// the record navigation a form asks of its browse. A selecting browse leaves the chosen record
// in the file's shared record buffer.
namespace Request {
enum : int { None = 0, InsertRecord = 1, ChangeRecord = 2, DeleteRecord = 3, SelectRecord = 4, ViewRecord = 5 };
}
namespace Response {
enum : int { None = 0, RequestCompleted = 1, RequestCancelled = 2 };
}
namespace VCR {
enum : int { None = 0, Forward, Backward, PageForward, PageBackward, First, Last, Insert };
}

int &GlobalRequest();
int &GlobalResponse();
int &VCRRequest();

// The record buffer of file R shared by the windows: where a selecting browse leaves its choice.
template <class R> R &SharedBuffer() {
    static R buffer;
    return buffer;
}
