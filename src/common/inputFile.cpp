#include "common/inputFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

InputFile::InputFile(const std::string& path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
    {
        problem = std::strerror(errno);
        return;
    }
    if (S_ISDIR(info.st_mode))
    {
        problem = std::strerror(EISDIR);
        return;
    }
    // A pipe or a device would block or never end.
    if (!S_ISREG(info.st_mode))
    {
        problem = "Not a regular file";
        return;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
    {
        problem = std::strerror(errno);
        return;
    }
    ::close(fd);
    size = info.st_size;
}
