#include "common/printLine.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <utility>

namespace
{
std::mutex observerMutex;
std::function<void(const std::string&)> lineObserver;
} // namespace

void printLine(const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    std::va_list sizing;
    va_copy(sizing, args);
    const int length = std::vsnprintf(nullptr, 0, format, sizing);
    va_end(sizing);
    std::string line(std::size_t(std::max(length, 0)), '\0');
    std::vsnprintf(line.data(), line.size() + 1, format, args);
    va_end(args);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::putchar('\n');
    std::fflush(stdout);

    std::function<void(const std::string&)> observer;
    {
        const std::lock_guard<std::mutex> lock(observerMutex);
        observer = lineObserver;
    }
    if (observer)
        observer(line);
}

void setPrintLineObserver(std::function<void(const std::string&)> observer)
{
    const std::lock_guard<std::mutex> lock(observerMutex);
    lineObserver = std::move(observer);
}
