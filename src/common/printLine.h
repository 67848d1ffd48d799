// Prints one line of a message for the user on standard output, with its line end, and
// flushes it at once: a message is not lost when the output goes to a file and the program
// is then ended. A window may also be told of every line, to show it to the user.
#pragma once

#include <functional>
#include <string>

void printLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Called with each line after it is printed, on the thread that printed it; an empty
// function stops the calls.
void setPrintLineObserver(std::function<void(const std::string&)> observer);
