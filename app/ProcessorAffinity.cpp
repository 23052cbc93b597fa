#include "app/ProcessorAffinity.h"

#include <dirent.h>
#include <sched.h>
#include <sys/types.h>

#include <cstdlib>
#include <memory>

namespace harvina {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

} // namespace

bool RestrictToFirstProcessor()
{
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (::sched_getaffinity(0, sizeof allowed, &allowed) != 0)
        return false;
    // "The first processor" is the first one this process may run on: a
    // container or cpuset may not offer CPU 0 at all.
    int first = -1;
    for (int cpu = 0; cpu < CPU_SETSIZE && first < 0; ++cpu) {
        if (CPU_ISSET(cpu, &allowed))
            first = cpu;
    }
    if (first < 0)
        return false;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(first, &one);

    // The calling thread first, so threads it starts from now on inherit the mask.
    bool ok = ::sched_setaffinity(0, sizeof one, &one) == 0;
    std::unique_ptr<DIR, DirCloser> tasks(::opendir("/proc/self/task"));
    if (!tasks)
        return ok;
    while (const dirent* entry = ::readdir(tasks.get())) {
        const pid_t tid = static_cast<pid_t>(std::atoi(entry->d_name));
        if (tid > 0 && ::sched_setaffinity(tid, sizeof one, &one) != 0)
            ok = false;
    }
    return ok;
}

} // namespace harvina
