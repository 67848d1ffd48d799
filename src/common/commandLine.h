// Answers the command line of a window program before any window opens: -h or --help prints
// the usage and ends with 0; an option the program does not know prints the usage on
// standard error and ends with 2. Positional words are left to the program.
#pragma once

class CommandLine
{
public:
    // The exit code when the program should end now, or -1 when it should go on.
    static int helpAsked(int argc, const char* const* argv, const char* usage);
    // Call after the toolkit has taken its own options out of argv.
    static int unknownOption(int argc, const char* const* argv, const char* usage);
};
