#include "tests/hostile/LoopbackOnlyNetwork.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace harvina::testing {

namespace {

bool BringLoopbackUp(std::string& why)
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        why = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool ok = ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    if (ok) {
        request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
        ok = ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    }
    if (!ok)
        why = std::string("bringing lo up: ") + std::strerror(errno);
    close(fd);
    return ok;
}

// True when the namespace holds the loopback interface and nothing else.
bool OnlyLoopback(std::string& why)
{
    struct if_nameindex* names = if_nameindex();
    if (!names) {
        why = "if_nameindex failed";
        return false;
    }
    bool only = true;
    for (const struct if_nameindex* entry = names; entry->if_index != 0; ++entry)
        if (std::strcmp(entry->if_name, "lo") != 0) {
            why = std::string("interface ") + entry->if_name + " present";
            only = false;
        }
    if_freenameindex(names);
    return only;
}

} // namespace

bool EnterLoopbackOnlyNetwork(std::string& why)
{
    const int original = open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
    if (original < 0) {
        why = std::string("no network namespace handle: ") + std::strerror(errno);
        return false;
    }
    if (unshare(CLONE_NEWNET) != 0 && unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) {
        why = std::string("unshare: ") + std::strerror(errno);
        close(original);
        return false;
    }
    const bool ready = BringLoopbackUp(why) && OnlyLoopback(why);
    if (!ready && setns(original, CLONE_NEWNET) != 0)
        why += std::string("; cannot return to the original network: ") + std::strerror(errno);
    close(original);
    return ready;
}

} // namespace harvina::testing
