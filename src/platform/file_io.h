#pragma once

// Files at the edge of the programs, through the system's own calls: the
// standard streams cannot refuse a FIFO without blocking, create a file
// exclusively, or keep a replaced file's permissions. File names are UTF-8 on
// every platform.

#include "outcome.h"

#include <cstddef>
#include <cstdint>
#include <string>

// A file descriptor owned by one object and closed when it goes.
class FileHandle {
  public:
    FileHandle() = default;
    explicit FileHandle(int descriptor) : descriptor_(descriptor) {}
    FileHandle(const FileHandle &) = delete;
    FileHandle &operator=(const FileHandle &) = delete;
    FileHandle(FileHandle &&other) noexcept;
    FileHandle &operator=(FileHandle &&other) noexcept;
    ~FileHandle();

    int get() const {
        return descriptor_;
    }
    bool isOpen() const {
        return descriptor_ >= 0;
    }
    // Closes the file; false if the system reports an error (a write that
    // failed late, on a network file system say).
    bool close();

  private:
    int descriptor_ = -1;
};

// Opens an existing regular file for reading. FIFOs, devices and directories
// are refused without blocking (notRegularFile).
Outcome openRegularFile(const std::string &name, FileHandle &file);

// Reads a whole regular file into `text`, to its end: a text cut short by a
// read error would be blamed on the file.
Outcome readWholeFile(const std::string &name, std::string &text);

// A directory that new files are made in. On POSIX systems it is held open
// from the start, and the files are created, renamed and removed through it:
// in the directory they began in, even if that directory is moved meanwhile.
// On Windows a new file is removed through its own handle instead.
struct Directory {
    std::string path; // "" for the current directory, else ending in a separator
    FileHandle handle;
};

bool openDirectory(const std::string &path, Directory &directory);

enum class CreateStatus { created, exists, failed };

// Creates `leaf` in `directory` for writing only if nothing at all stands
// there (a link is not followed), with the ordinary mode for a new file under
// the umask. In text mode Windows turns "\n" into "\r\n".
CreateStatus createNewFile(const Directory &directory, const std::string &leaf, bool binary,
                           FileHandle &file);

// Moves `leaf` from `directory` onto `destination`, replacing what is there.
bool renameNewFile(const Directory &directory, const std::string &leaf,
                   const std::string &destination);

// Closes and removes a file that createNewFile made.
void removeNewFile(const Directory &directory, const std::string &leaf, FileHandle &file);

// The same from a signal handler, with only async-signal-safe calls: the
// directory's and the file's descriptors and the leaf name.
void removeNewFileAtSignal(int directory, const char *leaf, int file);

// Gives `file` the permissions of the regular file `existing`, if there is one.
bool copyPermissions(const FileHandle &file, const std::string &existing);

// Reads up to `count` bytes; returns how many (0 at the end), or -1 on an error.
std::ptrdiff_t readSome(const FileHandle &file, char *buffer, std::size_t count);

// Writes all `count` bytes; false on any error (a full disk, a size limit).
bool writeAll(const FileHandle &file, const char *bytes, std::size_t count);

// Moves the read position; returns the new position, or -1 on an error.
std::int64_t seekFile(const FileHandle &file, std::int64_t offset, int whence);

// The file's size in bytes, or -1 if the system cannot tell.
std::int64_t fileSizeOf(const FileHandle &file);
