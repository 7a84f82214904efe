#include "base/ThreadIdentity.h"

#include <cerrno>
#include <pthread.h>
#if defined(__APPLE__)
#include <pthread/qos.h>
#elif defined(__linux__)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace kestrune {

void setCurrentThreadName(const std::string& name)
{
#if defined(__APPLE__)
    pthread_setname_np(name.c_str());
#elif defined(__linux__)
    pthread_setname_np(pthread_self(), name.substr(0, 15).c_str());
#else
    (void)name;
#endif
}

void raiseCurrentThreadPriority()
{
#if defined(__APPLE__)
    pthread_set_qos_class_self_np(QOS_CLASS_USER_INTERACTIVE, 0);
#elif defined(__linux__)
    // RLIMIT_NICE's soft limit n allows nice values down to 20 - n.
    rlimit limit{};
    if (getrlimit(RLIMIT_NICE, &limit) != 0)
        return;
    const long allowed = 20 - static_cast<long>(limit.rlim_cur);
    const pid_t tid = static_cast<pid_t>(syscall(SYS_gettid));
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
    if (errno == 0 && allowed < current)
        setpriority(PRIO_PROCESS, static_cast<id_t>(tid), static_cast<int>(allowed < -20 ? -20 : allowed));
#endif
}

} // namespace kestrune
