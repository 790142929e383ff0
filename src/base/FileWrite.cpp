#include "base/FileWrite.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvane {

std::string systemError(const std::string& path)
{
    return path + ": " + std::strerror(errno);
}

bool writeWholeFile(const std::string& path, const void* data, std::size_t bytes, std::string& error)
{
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file < 0) {
        error = systemError(path);
        return false;
    }
    const char* next = static_cast<const char*>(data);
    bool ok = true;
    while (ok && bytes > 0) {
        const ssize_t written = ::write(file, next, bytes);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            ok = false;
            break;
        }
        next += written;
        bytes -= static_cast<std::size_t>(written);
    }
    if (!ok)
        error = systemError(path);
    // Only a regular file is removed after a failure: the output may be a
    // device (/dev/null, /dev/full) or a pipe.
    struct stat info = {};
    const bool regular = ::fstat(file, &info) == 0 && S_ISREG(info.st_mode);
    // Network and some FUSE file systems report a failed write only here.
    if (::close(file) != 0 && ok) {
        error = systemError(path);
        ok = false;
    }
    if (!ok && regular)
        ::unlink(path.c_str());
    return ok;
}

void removeRegularFile(const std::string& path)
{
    struct stat info = {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
        ::unlink(path.c_str());
}

bool writeWholeFile(const std::string& path, const std::string& text, std::string& error)
{
    return writeWholeFile(path, text.data(), text.size(), error);
}

}  // namespace tolvane
