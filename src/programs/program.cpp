#include "program.h"

#include "messages.h"
#include "platform.h"
#include "temporary_file.h"

#include "memory.h"

#include <csignal>

int reportingMallocFailure(const std::function<int()> &work) {
    int status = 1;
    const Outcome found = guarded([&] {
        status = work();
        return Outcome{};
    });
    if (!found.ok()) {
        report(found);
        return 1;
    }
    return status;
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
