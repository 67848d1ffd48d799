// Captures what the code under test prints to standard output and standard error.
#pragma once

#include <QString>
#include <cstdio>
#include <unistd.h>

class CapturedOutput
{
public:
    CapturedOutput()
    {
        std::fflush(nullptr);
        for (int fd = 1; fd <= 2; ++fd)
        {
            saved[fd - 1] = dup(fd);
            dup2(fileno(files[fd - 1]), fd);
        }
    }
    ~CapturedOutput()
    {
        restore();
        for (std::FILE* file : files)
            std::fclose(file);
    }
    CapturedOutput(const CapturedOutput&) = delete;
    CapturedOutput& operator=(const CapturedOutput&) = delete;

    QString out() { return contents(files[0]); }
    QString err() { return contents(files[1]); }

private:
    void restore()
    {
        std::fflush(nullptr);
        for (int fd = 1; fd <= 2; ++fd)
            if (saved[fd - 1] >= 0)
            {
                dup2(saved[fd - 1], fd);
                close(saved[fd - 1]);
                saved[fd - 1] = -1;
            }
    }
    // Ends the capture, so the text is complete and later output goes to the terminal again.
    QString contents(std::FILE* file)
    {
        restore();
        std::rewind(file);
        QByteArray bytes;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            bytes.append(buffer, qsizetype(n));
        return QString::fromLocal8Bit(bytes);
    }

    std::FILE* files[2] = {std::tmpfile(), std::tmpfile()};
    int saved[2] = {-1, -1};
};
