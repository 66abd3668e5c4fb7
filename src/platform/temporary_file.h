#pragma once

#include "file_io.h"
#include "file_stream.h"

#include <functional>
#include <memory>
#include <ostream>
#include <string>

// The random part of a temporary file's name; tests may choose their own.
using RandomNamePart = std::function<std::string()>;
std::string randomNamePart();

// A new file beside `destination` that takes its place only when complete.
// It is created exclusively under an unpredictable name (so nothing planted in
// the directory is written through, and two runs never share one), with the
// permissions of the file it will replace. It is removed on every way out
// that does not commit it: failures, exceptions, and the signals that
// installCleanupOnSignals() catches.
class TemporaryFile {
  public:
    TemporaryFile(std::string destination, bool binary,
                  const RandomNamePart &randomPart = randomNamePart);
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;
    TemporaryFile(TemporaryFile &&) = delete;
    TemporaryFile &operator=(TemporaryFile &&) = delete;
    ~TemporaryFile();

    // Whether the temporary file could be created.
    bool isOpen() const {
        return file_.isOpen();
    }
    std::ostream &stream() {
        return stream_;
    }
    // Flushes and closes the file and renames it onto the destination.
    // False if any write, the close or the rename failed.
    bool commit();

  private:
    void discard();

    std::string destination_;
    Directory directory_;
    std::string leaf_; // its name in directory_; empty when none is live
    FileHandle file_;
    OutputFileBuffer buffer_;
    std::ostream stream_;
};

// The file name of the temporary file in `directory` ("" for the current
// one) for a given random part.
std::string temporaryName(const std::string &directory, const std::string &randomPart);

// The directory part of a path, separator included ("" if there is none).
std::string directoryOf(const std::string &path);

// SIGINT, SIGTERM and SIGHUP remove the live temporary file, then end the
// process by the same signal. Signals that were ignored when the program
// started (nohup, a background job) stay ignored.
void installCleanupOnSignals();
