#pragma once

#include <QString>

#include <functional>

namespace korvo::platform {

// Linux: the lock that lets one copy of a program run per user, a file in the user's runtime
// folder held with flock(). The system lets it go however the holder ends, so a lock is never
// stale, and what the file holds is never read: an empty, damaged or huge file is simply taken.
// Something else at its path (a folder, a FIFO, a link) is cleared away once no copy answers.
class InstanceLock
{
public:
    enum class Result
    {
        Acquired,
        HeldByAnother, // a live copy holds it
        Failed,        // the lock cannot be had at all; errorString() says why
    };

    explicit InstanceLock(QString path);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Never waits. `copyAnswers` is asked only when the path holds no usable lock file, before
    // it is cleared away: a copy that answers there keeps its place.
    Result tryLock(const std::function<bool()>& copyAnswers);
    QString errorString() const { return error_; }

private:
    QString path_;
    QString error_;
    int fd_ = -1;
};

} // namespace korvo::platform
