#pragma once

namespace harvina {

// A listening TCP socket on 127.0.0.1 at a port the system picks.
struct LoopbackListener {
    int fd = -1;
    int port = 0;
};

// Throws std::runtime_error when the socket cannot be bound or listened on.
[[nodiscard]] LoopbackListener ListenOnLoopback(int backlog);

} // namespace harvina
