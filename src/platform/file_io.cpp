#include "file_io.h"

#include "memory.h"
#include "platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <utility>

#ifdef _WIN32
#include <windows.h>
// windows.h first: the others depend on it.
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

FileHandle::FileHandle(FileHandle &&other) noexcept
    : descriptor_(std::exchange(other.descriptor_, -1)) {}

FileHandle &FileHandle::operator=(FileHandle &&other) noexcept {
    if (this != &other) {
        close();
        descriptor_ = std::exchange(other.descriptor_, -1);
    }
    return *this;
}

FileHandle::~FileHandle() {
    close();
}

namespace {

// Larger reads and writes are split: Windows counts bytes in an unsigned int.
constexpr std::size_t maxTransfer = std::size_t{1} << 30U;

// Writes up to `count` bytes; returns how many, or -1 on an error.
std::ptrdiff_t writeSome(const FileHandle &file, const char *bytes, std::size_t count);

} // namespace

bool writeAll(const FileHandle &file, const char *bytes, std::size_t count) {
    while (count > 0) {
        const std::ptrdiff_t written = writeSome(file, bytes, count);
        if (written <= 0) {
            return false;
        }
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

#ifdef _WIN32

bool FileHandle::close() {
    return descriptor_ < 0 || _close(std::exchange(descriptor_, -1)) == 0;
}

Outcome openRegularFile(const std::string &name, FileHandle &file) {
    int descriptor = -1;
    const std::wstring wideName = widen(name);
    if (_wsopen_s(&descriptor, wideName.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT, _SH_DENYNO,
                  0) != 0) {
        // Windows refuses to open a directory as a file at all.
        struct _stati64 status {};
        return _wstati64(wideName.c_str(), &status) == 0 && (status.st_mode & _S_IFMT) == _S_IFDIR
                   ? fail(Failure::notRegularFile, name)
                   : fail(Failure::cannotOpen);
    }
    file = FileHandle(descriptor);
    struct _stati64 status {};
    if (_fstati64(descriptor, &status) != 0) {
        return fail(Failure::cannotOpen);
    }
    return (status.st_mode & _S_IFMT) == _S_IFREG ? Outcome{} : fail(Failure::notRegularFile, name);
}

bool openDirectory(const std::string &path, Directory &directory) {
    directory.path = path;
    return true; // new files are removed through their own handles
}

CreateStatus createNewFile(const Directory &directory, const std::string &leaf, bool binary,
                           FileHandle &file) {
    // DELETE access lets the file be removed through this handle, wherever
    // its directory has gone; CREATE_NEW refuses anything standing there.
    const HANDLE handle = CreateFileW(widen(directory.path + leaf).c_str(), GENERIC_WRITE | DELETE,
                                      FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? CreateStatus::exists
                                                                           : CreateStatus::failed;
    }
    const int descriptor = _open_osfhandle(reinterpret_cast<std::intptr_t>(handle),
                                           _O_WRONLY | (binary ? _O_BINARY : _O_TEXT));
    if (descriptor < 0) {
        CloseHandle(handle);
        return CreateStatus::failed;
    }
    file = FileHandle(descriptor);
    return CreateStatus::created;
}

bool renameNewFile(const Directory &directory, const std::string &leaf,
                   const std::string &destination) {
    return replaceFile(directory.path + leaf, destination);
}

namespace {

void markForDeletion(int descriptor) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
    if (handle != INVALID_HANDLE_VALUE) {
        FILE_DISPOSITION_INFO disposition{TRUE};
        SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition);
    }
}

} // namespace

void removeNewFile(const Directory &directory, const std::string &leaf, FileHandle &file) {
    if (file.isOpen()) {
        markForDeletion(file.get());
        file.close();
    } else {
        removeFile(directory.path + leaf); // closed for a commit that failed
    }
}

void removeNewFileAtSignal(int /*directory*/, const char * /*leaf*/, int file) {
    if (file >= 0) {
        markForDeletion(file);
        _close(file);
    }
}

bool copyPermissions(const FileHandle & /*file*/, const std::string & /*existing*/) {
    return true; // Windows files carry no Unix permissions
}

std::ptrdiff_t readSome(const FileHandle &file, char *buffer, std::size_t count) {
    return _read(file.get(), buffer, static_cast<unsigned>(std::min(count, maxTransfer)));
}

namespace {

std::ptrdiff_t writeSome(const FileHandle &file, const char *bytes, std::size_t count) {
    return _write(file.get(), bytes, static_cast<unsigned>(std::min(count, maxTransfer)));
}

} // namespace

std::int64_t seekFile(const FileHandle &file, std::int64_t offset, int whence) {
    return _lseeki64(file.get(), offset, whence);
}

std::int64_t fileSizeOf(const FileHandle &file) {
    struct _stati64 status {};
    return _fstati64(file.get(), &status) == 0 ? status.st_size : -1;
}

#else

bool FileHandle::close() {
    // After an interrupted close the descriptor is gone all the same on Linux.
    return descriptor_ < 0 || ::close(std::exchange(descriptor_, -1)) == 0;
}

Outcome openRegularFile(const std::string &name, FileHandle &file) {
    // Without O_NONBLOCK, opening a FIFO waits for a writer, perhaps forever.
    const int descriptor = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        return fail(Failure::cannotOpen);
    }
    file = FileHandle(descriptor);
    struct stat status {};
    if (fstat(descriptor, &status) != 0) {
        return fail(Failure::cannotOpen);
    }
    if (!S_ISREG(status.st_mode)) {
        return fail(Failure::notRegularFile, name);
    }
    const int flags = fcntl(descriptor, F_GETFL);
    if (flags < 0 || fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        return fail(Failure::cannotOpen);
    }
    return {};
}

bool openDirectory(const std::string &path, Directory &directory) {
    directory.path = path;
    directory.handle =
        FileHandle(::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return directory.handle.isOpen();
}

CreateStatus createNewFile(const Directory &directory, const std::string &leaf, bool /*binary*/,
                           FileHandle &file) {
    // O_EXCL fails on anything that stands at the name, a symbolic link
    // included, so nothing planted there is ever written through.
    const int descriptor =
        ::openat(directory.handle.get(), leaf.c_str(),
                 O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        return errno == EEXIST ? CreateStatus::exists : CreateStatus::failed;
    }
    file = FileHandle(descriptor);
    return CreateStatus::created;
}

bool renameNewFile(const Directory &directory, const std::string &leaf,
                   const std::string &destination) {
    return ::renameat(directory.handle.get(), leaf.c_str(), AT_FDCWD, destination.c_str()) == 0;
}

void removeNewFile(const Directory &directory, const std::string &leaf, FileHandle &file) {
    file.close();
    ::unlinkat(directory.handle.get(), leaf.c_str(), 0);
}

void removeNewFileAtSignal(int directory, const char *leaf, int /*file*/) {
    ::unlinkat(directory, leaf, 0);
}

bool copyPermissions(const FileHandle &file, const std::string &existing) {
    struct stat status {};
    if (stat(existing.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return true; // nothing to keep
    }
    return fchmod(file.get(), status.st_mode & 0777U) == 0;
}

std::ptrdiff_t readSome(const FileHandle &file, char *buffer, std::size_t count) {
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, std::min(count, maxTransfer));
        if (got >= 0 || errno != EINTR) {
            return got;
        }
    }
}

namespace {

std::ptrdiff_t writeSome(const FileHandle &file, const char *bytes, std::size_t count) {
    for (;;) {
        const ssize_t written = ::write(file.get(), bytes, std::min(count, maxTransfer));
        if (written >= 0 || errno != EINTR) {
            return written;
        }
    }
}

} // namespace

std::int64_t seekFile(const FileHandle &file, std::int64_t offset, int whence) {
    return ::lseek(file.get(), static_cast<off_t>(offset), whence);
}

std::int64_t fileSizeOf(const FileHandle &file) {
    struct stat status {};
    return fstat(file.get(), &status) == 0 ? static_cast<std::int64_t>(status.st_size) : -1;
}

#endif

Outcome readWholeFile(const std::string &name, std::string &text) {
    FileHandle file;
    Outcome found = openRegularFile(name, file);
    if (!found.ok()) {
        return found;
    }
    // One byte more than the file's size, so that the end shows without growing.
    const std::int64_t size = std::max<std::int64_t>(fileSizeOf(file), 0);
    found = allocate(text, {static_cast<std::uint64_t>(size) + 1});
    std::size_t filled = 0;
    while (found.ok()) {
        if (filled == text.size()) {
            found = allocate(text, {text.size(), 2}); // the file grew while being read
            continue;
        }
        const std::ptrdiff_t got = readSome(file, &text[filled], text.size() - filled);
        if (got < 0) {
            return fail(Failure::cannotRead, name);
        }
        if (got == 0) {
            text.resize(filled);
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    return found;
}
