// Turns SIGINT and SIGTERM into a request that long jobs look at between pieces of work: the
// job then ends by an exception, so the destructors remove its unfinished files, and the
// program dies of the same signal afterwards.
#pragma once

class Interruption
{
public:
    // Catches both signals for the object's life; a signal caught is forgotten with it.
    Interruption();
    ~Interruption();
    Interruption(const Interruption&) = delete;
    Interruption& operator=(const Interruption&) = delete;

    // Throws a BatchFailure (exit code 128 + the signal) once a signal has arrived.
    static void check();
    // Ends the program by the signal that arrived, if one did; call while the object lives.
    static void reraise();
};
