#include "program.h"

#include "messages.h"
#include "platform.h"
#include "temporary_file.h"

#include <csignal>
#include <new>
#include <stdexcept>

int reportingMallocFailure(const std::function<int()> &work) {
    try {
        return work();
    } catch (const std::bad_alloc &) {
    } catch (const std::length_error &) {
        // A size past what a string or vector can hold: out of memory too.
    }
    report(fail(Failure::outOfMemory));
    return 1;
}

int runProgram(ProgramEntry entry, int argc, char *argv[]) {
#ifndef _WIN32
    // A write past a file-size limit or into a pipe nobody reads then fails
    // like any other write, and is reported, instead of killing the program.
    static_cast<void>(std::signal(SIGXFSZ, SIG_IGN));
    static_cast<void>(std::signal(SIGPIPE, SIG_IGN));
#endif
    const bool outputOpen = reserveStandardStreams();
    installCleanupOnSignals();
    const int status =
        reportingMallocFailure([&] { return entry(commandLineArguments(argc, argv)); });
    return outputFlushed() && outputOpen ? status : 1;
}
