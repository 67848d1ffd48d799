// Quiz tests start the quiz at any question by writing the results file it resumes from.
#pragma once

#include <QDir>
#include <QFile>
#include <QStringList>

// The 55 lines of a quiz that stands at question currQid with nothing answered.
inline QStringList freshLines(int currQid)
{
    return QStringList{QString::number(currQid)} << QStringList(16, "6") << "-1 -1"
                                                 << "-1 -1" << QStringList(18, "2")
                                                 << QStringList(18, "0");
}

inline void writeResults(const QStringList& lines)
{
    QDir().mkpath("exam_result");
    QFile file("exam_result/user.txt");
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write((lines.join('\n') + '\n').toUtf8());
}

inline QStringList readResults(const QString& path = "exam_result/user.txt")
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.readAll());
    return text.isEmpty() ? QStringList() : text.chopped(text.endsWith('\n')).split('\n');
}
