#include "platform/thread_priority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

bool lowerCurrentThreadPriority()
{
    // On Linux the nice value belongs to the thread (task), addressed by its thread id.
    const auto tid = static_cast<id_t>(syscall(SYS_gettid));
    return setpriority(PRIO_PROCESS, tid, 10) == 0;
}
