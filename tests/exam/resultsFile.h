// Quiz tests run in a scratch folder of their own and start the quiz at any question by
// writing the results file it resumes from.
#pragma once

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

// Makes a fresh temporary folder the current one for as long as it lives.
class ScratchDir
{
public:
    ScratchDir() : previous(QDir::currentPath()) { QDir::setCurrent(dir.path()); }
    ~ScratchDir() { QDir::setCurrent(previous); }

private:
    QTemporaryDir dir;
    QString previous;
};

// The 55 lines of a quiz that stands at question currQid with nothing answered.
inline QStringList freshLines(int currQid)
{
    QStringList lines{QString::number(currQid)};
    lines << QStringList(16, "6") << "-1 -1"
          << "-1 -1" << QStringList(18, "2") << QStringList(18, "0");
    return lines;
}

inline void writeResults(const QStringList& lines)
{
    QDir().mkpath("exam_result");
    QFile file("exam_result/user.txt");
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write((lines.join('\n') + '\n').toUtf8());
}

inline void startAt(int currQid)
{
    writeResults(freshLines(currQid));
}

inline QStringList readResults(const QString& path = "exam_result/user.txt")
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    if (text.endsWith('\n'))
        text.chop(1);
    return text.split('\n');
}
