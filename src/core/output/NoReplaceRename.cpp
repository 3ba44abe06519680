#include "output/NoReplaceRename.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace parlino {

namespace {

#ifndef RENAME_NOREPLACE
constexpr unsigned renameNoReplaceFlag = 1;
#else
constexpr unsigned renameNoReplaceFlag = RENAME_NOREPLACE;
#endif

// glibc 2.28 has a wrapper; the system call works on any kernel since 3.15.
int renameWithoutReplacing(const char *from, const char *to) {
#ifdef SYS_renameat2
    return int(::syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, renameNoReplaceFlag));
#else
    errno = ENOSYS;
    return -1;
#endif
}

NoReplaceRename outcome(NoReplaceRename::Status status, int error = 0) {
    NoReplaceRename result;
    result.status = status;
    if (error != 0)
        result.error = QString::fromLocal8Bit(std::strerror(error));
    return result;
}

} // namespace

NoReplaceRename NoReplaceRename::move(const QString &from, const QString &to) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (renameWithoutReplacing(source.constData(), target.constData()) == 0)
        return outcome(Moved);
    if (errno == EEXIST)
        return outcome(Exists);
    // Some file systems (and old kernels) refuse the flag: a hard link to the
    // new name fails the same way when the name is taken.
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return outcome(Failed, errno);
    if (::link(source.constData(), target.constData()) != 0)
        return errno == EEXIST ? outcome(Exists) : outcome(Failed, errno);
    ::unlink(source.constData());
    return outcome(Moved);
}

} // namespace parlino
