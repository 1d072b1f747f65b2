// The event sinks' own interface: a sink lives inside its form, so it counts
// no references of its own and answers only for itself.
#include "runtime/exports.h"
#include "runtime/run_time_errors.h"

namespace zelk::runtime {

std::int32_t EVENT_SINK_QueryInterface(void* sink, const formats::Guid*, void** out) {
    if (!out) return kInvalidPointerStatus;
    *out = sink;
    return 0;
}

std::uint32_t EVENT_SINK_AddRef(void*) { return 1; }
std::uint32_t EVENT_SINK_Release(void*) { return 1; }

}  // namespace zelk::runtime
