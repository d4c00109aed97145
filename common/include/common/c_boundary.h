// The one shape every exported C function of the three libraries has: its
// body runs inside Guarded, so no exception ever crosses the C boundary and
// a failure becomes the result the export defines for it.
#pragma once

namespace qrcommon {

// Returns body(), or `failure` when body throws.
template <class Result, class Body>
Result Guarded(Result failure, Body body) noexcept {
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

// For exports without a result: an exception ends the call quietly.
template <class Body>
void Guarded(Body body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

}  // namespace qrcommon
