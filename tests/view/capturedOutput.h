// Captures what the code under test prints to standard output and standard error.
#pragma once

#include <QString>
#include <cstdio>
#include <unistd.h>
#include <utility>

class CapturedOutput
{
public:
    CapturedOutput()
    {
        std::fflush(nullptr);
        for (int k : {0, 1})
        {
            saved[k] = dup(k + 1);
            dup2(fileno(files[k]), k + 1);
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

    // Each ends the capture, so the text is complete.
    QString out() { return contents(0); }
    QString err() { return contents(1); }

private:
    void restore()
    {
        std::fflush(nullptr);
        for (int k : {0, 1})
            if (saved[k] >= 0)
            {
                dup2(saved[k], k + 1);
                close(std::exchange(saved[k], -1));
            }
    }
    QString contents(int k)
    {
        restore();
        std::rewind(files[k]);
        QByteArray bytes;
        for (int c; (c = std::fgetc(files[k])) != EOF;)
            bytes.append(char(c));
        return QString::fromLocal8Bit(bytes);
    }

    std::FILE* files[2] = {std::tmpfile(), std::tmpfile()};
    int saved[2] = {-1, -1};
};
