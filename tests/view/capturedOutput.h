// What the code under test prints to standard output and standard error while it runs.
#pragma once

#include <QFile>
#include <QString>
#include <cstdio>
#include <functional>
#include <unistd.h>

inline QString captured(const std::function<void()>& run)
{
    std::FILE* file = std::tmpfile();
    std::fflush(nullptr);
    const int saved[2] = {dup(1), dup(2)};
    dup2(fileno(file), 1);
    dup2(fileno(file), 2);
    run();
    std::fflush(nullptr);
    for (int fd : {1, 2})
    {
        dup2(saved[fd - 1], fd);
        close(saved[fd - 1]);
    }
    std::rewind(file);
    QFile text;
    text.open(file, QIODevice::ReadOnly);
    const QString out = QString::fromLocal8Bit(text.readAll());
    text.close();
    std::fclose(file);
    return out;
}
