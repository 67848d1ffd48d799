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
        std::fflush(stdout);
        std::fflush(stderr);
        savedOut = dup(1);
        savedErr = dup(2);
        dup2(fileno(outFile), 1);
        dup2(fileno(errFile), 2);
    }
    ~CapturedOutput()
    {
        restore();
        std::fclose(outFile);
        std::fclose(errFile);
    }
    CapturedOutput(const CapturedOutput&) = delete;
    CapturedOutput& operator=(const CapturedOutput&) = delete;

    QString out()
    {
        restore();
        return contents(outFile);
    }
    QString err()
    {
        restore();
        return contents(errFile);
    }

private:
    void restore()
    {
        if (savedOut < 0)
            return;
        std::fflush(stdout);
        std::fflush(stderr);
        dup2(savedOut, 1);
        dup2(savedErr, 2);
        close(savedOut);
        close(savedErr);
        savedOut = savedErr = -1;
    }
    static QString contents(std::FILE* file)
    {
        QByteArray bytes;
        std::rewind(file);
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            bytes.append(buffer, qsizetype(n));
        return QString::fromLocal8Bit(bytes);
    }

    std::FILE* outFile = std::tmpfile();
    std::FILE* errFile = std::tmpfile();
    int savedOut = -1;
    int savedErr = -1;
};
