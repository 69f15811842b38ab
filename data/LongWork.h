#pragma once

#include <functional>

// How the data layer waits for work that may take long: a statement, connecting, rows still to
// be read. The program's own way keeps its window alive while it waits and lets the user cancel;
// without one, the work simply runs where it is asked for.
class LongWork {
public:
    virtual ~LongWork() = default;
    // Runs `work` and returns once it has ended, raising what it raised. While it runs, `cancel`
    // may be called from the thread that called Run when the user asks to stop, and again now
    // and then until the work has ended (a cancel that comes before the work has begun what it
    // cancels is lost); the work then ends soon in its own way (a statement with the database's
    // error, a wait early). A waiter that handles the user's input meanwhile refuses, with EAbort,
    // a Run asked for while another runs: one piece of work never enters another.
    virtual void Run(const std::function<void()>& work, const std::function<void()>& cancel) = 0;
    // Called now and then by long work that runs on the waiting thread itself (building a large
    // text): lets the program handle what it must meanwhile, and raises EAbort once the user has
    // asked to stop. Nothing without a program to keep alive.
    virtual void Breathe() {}
};

// Runs the work on the calling thread; nothing cancels it.
LongWork& InlineWork();
