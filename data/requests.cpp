#include "requests.h"

int &GlobalRequest() {
    static int v = Request::None;
    return v;
}

int &GlobalResponse() {
    static int v = Response::None;
    return v;
}

int &VCRRequest() {
    static int v = VCR::None;
    return v;
}
