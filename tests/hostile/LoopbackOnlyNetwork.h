#pragma once

#include <string>

namespace harvina::testing {

// Moves the calling thread (and every thread and process it starts afterwards)
// into a network namespace of its own whose only interface is a loopback that is
// up, so that any address but 127.0.0.1 is unreachable. Needs CAP_SYS_ADMIN or
// unprivileged user namespaces; call it before starting any thread. False, with
// the reason in `why`, when the system does not allow it: nothing has changed then.
bool EnterLoopbackOnlyNetwork(std::string& why);

} // namespace harvina::testing
