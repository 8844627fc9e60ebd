// How much memory this process holds, as the soak test and the benchmarks
// report it.
#pragma once

namespace pelorin::testing {

// Resident memory now, in kB (from /proc/self/statm).
long residentKilobytes();

// The peak resident memory so far, in kB (VmHWM from /proc/self/status).
long peakResidentKilobytes();

}  // namespace pelorin::testing
