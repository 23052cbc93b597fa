#pragma once

namespace harvina {

// Keeps every thread of the process, and every thread started later, on one
// processor: the first one the process may use. False when the system refused.
bool RestrictToFirstProcessor();

} // namespace harvina
