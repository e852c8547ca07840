#include "platform/linux/SystemSchedulingCalls.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace quenlor {

namespace {

std::uint64_t SoftLimit(int resource) {
    rlimit limit{};
    if (getrlimit(resource, &limit) != 0)
        return 0;
    return limit.rlim_cur == RLIM_INFINITY ? SchedulingCalls::kUnlimited : limit.rlim_cur;
}

// Linux keeps a nice value per thread, named by the thread's own id.
id_t ThreadId() {
    return static_cast<id_t>(syscall(SYS_gettid));
}

}  // namespace

std::uint64_t SystemSchedulingCalls::realtimeLimit() {
    return SoftLimit(RLIMIT_RTPRIO);
}

std::uint64_t SystemSchedulingCalls::niceLimit() {
    return SoftLimit(RLIMIT_NICE);
}

int SystemSchedulingCalls::fifoMinimum() {
    return sched_get_priority_min(SCHED_FIFO);
}

int SystemSchedulingCalls::setFifo(int priority) {
    sched_param param{};
    param.sched_priority = priority;
    return -pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
}

int SystemSchedulingCalls::niceValue() {
    errno = 0;
    const int value = getpriority(PRIO_PROCESS, ThreadId());
    return errno == 0 ? value : 0;
}

int SystemSchedulingCalls::setNice(int value) {
    return setpriority(PRIO_PROCESS, ThreadId(), value) == 0 ? 0 : -errno;
}

}  // namespace quenlor
