// Tells how far a long job has come, on one rewritten line of standard error, and only while
// standard error is a terminal: logs and pipes stay clean.
#pragma once

#include <string>

class Progress
{
public:
    Progress(std::string what, int total);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // done of total steps are finished.
    void show(int done);

private:
    std::string label;
    int total;
    bool enabled;
    bool shown = false;
};
