#pragma once

namespace harvina {

// libcurl's process-wide set-up, done once before the first handle from any thread.
void EnsureCurlReady();

} // namespace harvina
