#include "temporary_file.h"

#include "platform.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <random>
#include <utility>

// A TemporaryFile is in one of four states:
// - none: nothing was created (every name was taken, or the directory could
//   not be written); there is nothing to remove.
// - live: the file exists in its directory, open for writing. Its directory's
//   descriptor, its name there and its own descriptor are published in the
//   atomics below, and only then: the signal handler may remove it, through
//   the directory (POSIX) or its own handle (Windows), wherever the directory
//   has been moved since.
// - committed: closed and renamed onto its destination. The file descriptor
//   is withdrawn before the close and the name once the rename is done, so
//   the handler never closes another file or removes the destination.
// - discarded: closed and removed, after everything was withdrawn; a failed
//   write, a failed commit or the destructor gets here.
// The handler takes the name with an exchange, so the file is removed once.

namespace {

std::atomic<int> liveDirectory{-1};
std::atomic<const char *> liveLeaf{nullptr};
std::atomic<int> liveDescriptor{-1};

extern "C" void removeTemporaryAndDie(int signalNumber) {
    if (const char *leaf = liveLeaf.exchange(nullptr)) {
        removeNewFileAtSignal(liveDirectory.load(), leaf, liveDescriptor.exchange(-1));
    }
    // Die by the same signal, so that the shell sees what ended the program.
    static_cast<void>(std::signal(signalNumber, SIG_DFL));
    static_cast<void>(std::raise(signalNumber));
}

void publish(const Directory &directory, const std::string &leaf, const FileHandle &file) {
    liveDirectory = directory.handle.get();
    liveDescriptor = file.get();
    liveLeaf = leaf.c_str();
}

void withdraw() {
    liveLeaf = nullptr;
    liveDescriptor = -1;
}

constexpr int maxAttempts = 100;

} // namespace

std::string randomNamePart() {
    static constexpr char alphabet[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    static std::uint64_t counter = 0;
    std::uint64_t seed = 0;
    try {
        std::random_device device;
        seed = std::uint64_t{device()} << 32U | device();
    } catch (const std::exception &) {
        // No system randomness: the clock still makes the name hard to guess,
        // and exclusive creation keeps it safe in any case.
    }
    seed ^= static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    std::mt19937_64 generator(seed ^ (std::uint64_t{processId()} << 20U) ^ ++counter);
    std::string part(12, '0');
    std::generate(part.begin(), part.end(),
                  [&generator] { return alphabet[generator() % (sizeof alphabet - 1)]; });
    return part;
}

std::string directoryOf(const std::string &path) {
#ifdef _WIN32
    const std::size_t separator = path.find_last_of("/\\:");
#else
    const std::size_t separator = path.rfind('/');
#endif
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string temporaryName(const std::string &directory, const std::string &randomPart) {
    // Short whatever the destination's length, so any legal name can be written.
    return directory + "bmp2data-" + randomPart + ".tmp";
}

TemporaryFile::TemporaryFile(std::string destination, bool binary, const RandomNamePart &randomPart)
    : destination_(std::move(destination)), buffer_(file_), stream_(&buffer_) {
    if (openDirectory(directoryOf(destination_), directory_)) {
        for (int attempt = 0; attempt < maxAttempts; ++attempt) {
            leaf_ = temporaryName("", randomPart());
            const CreateStatus status = createNewFile(directory_, leaf_, binary, file_);
            if (status == CreateStatus::created) {
                publish(directory_, leaf_, file_);
                if (!copyPermissions(file_, destination_)) {
                    stream_.setstate(std::ios::badbit);
                }
                return;
            }
            if (status == CreateStatus::failed) {
                break;
            }
        }
    }
    leaf_.clear();
    stream_.setstate(std::ios::badbit);
}

TemporaryFile::~TemporaryFile() {
    discard();
}

void TemporaryFile::discard() {
    if (leaf_.empty()) {
        return;
    }
    withdraw();
    removeNewFile(directory_, leaf_, file_);
    leaf_.clear();
}

bool TemporaryFile::commit() {
    if (leaf_.empty()) {
        return false;
    }
    stream_.flush();
    liveDescriptor = -1;
    const bool written = stream_.good() && file_.close();
    if (!written || !renameNewFile(directory_, leaf_, destination_)) {
        discard();
        return false;
    }
    withdraw();
    leaf_.clear();
    return true;
}

void installCleanupOnSignals() {
#ifdef _WIN32
    for (const int signalNumber : {SIGINT, SIGTERM, SIGBREAK}) {
        static_cast<void>(std::signal(signalNumber, removeTemporaryAndDie));
    }
#else
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous {};
        if (sigaction(signalNumber, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = removeTemporaryAndDie;
        sigemptyset(&action.sa_mask);
        sigaction(signalNumber, &action, nullptr);
    }
#endif
}
