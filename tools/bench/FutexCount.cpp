#include "FutexCount.h"

#include <QDir>
#include <QFile>

#include <linux/perf_event.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <vector>

namespace {

long long tracepointId()
{
    for (const char *root : {"/sys/kernel/tracing", "/sys/kernel/debug/tracing"}) {
        QFile id(QString::fromLatin1(root) + QStringLiteral("/events/syscalls/sys_enter_futex/id"));
        if (id.open(QIODevice::ReadOnly))
            return id.readAll().trimmed().toLongLong();
    }
    return -1;
}

// One counter per thread that runs now; each also counts the threads that thread starts later.
std::vector<int> openCounters(long long id)
{
    perf_event_attr attr{};
    attr.type = PERF_TYPE_TRACEPOINT;
    attr.size = sizeof attr;
    attr.config = static_cast<__u64>(id);
    attr.disabled = 1;
    attr.inherit = 1;
    std::vector<int> counters;
    for (const QString &thread : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const int fd = static_cast<int>(syscall(SYS_perf_event_open, &attr, thread.toInt(), -1, -1, 0));
        if (fd < 0) {
            for (const int open : counters)
                close(open);
            return {};
        }
        counters.push_back(fd);
    }
    return counters;
}

} // namespace

long long futexCallsDuring(const std::function<void()> &work)
{
    const long long id = tracepointId();
    const std::vector<int> counters = id < 0 ? std::vector<int>{} : openCounters(id);
    if (counters.empty()) {
        work();
        return -1;
    }
    for (const int fd : counters)
        ioctl(fd, PERF_EVENT_IOC_ENABLE, 0);
    work();
    long long total = 0;
    for (const int fd : counters) {
        ioctl(fd, PERF_EVENT_IOC_DISABLE, 0);
        long long count = 0;
        if (read(fd, &count, sizeof count) == sizeof count)
            total += count;
        close(fd);
    }
    return total;
}
