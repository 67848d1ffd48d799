// Prints one line of a message for the user on standard output, with its line end, and
// flushes it at once: a message is not lost when the output goes to a file and the program
// is then ended.
#pragma once

void printLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
