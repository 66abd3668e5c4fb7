#include "temporary_file.h"

#include "platform.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <random>
#include <utility>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

// The one temporary file that a signal must remove, as the system names it.
// Set once the file exists and cleared once it is gone or renamed; read by
// the signal handler, which may only use what is async-signal-safe.
#ifdef _WIN32
std::atomic<const wchar_t *> liveTemporary{nullptr};
std::atomic<int> liveDescriptor{-1};
#else
std::atomic<const char *> liveTemporary{nullptr};
#endif

extern "C" void removeTemporaryAndDie(int signalNumber) {
#ifdef _WIN32
    // Windows cannot remove a file that is still open.
    const int descriptor = liveDescriptor.exchange(-1);
    if (descriptor >= 0) {
        _close(descriptor);
    }
    if (const wchar_t *name = liveTemporary.exchange(nullptr)) {
        _wunlink(name);
    }
#else
    if (const char *name = liveTemporary.exchange(nullptr)) {
        unlink(name);
    }
#endif
    // Die by the same signal, so that the shell sees what ended the program.
    static_cast<void>(std::signal(signalNumber, SIG_DFL));
    static_cast<void>(std::raise(signalNumber));
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
    const std::string directory = directoryOf(destination_);
    for (int attempt = 0; attempt < maxAttempts; ++attempt) {
        name_ = temporaryName(directory, randomPart());
        const CreateStatus status = createNewFile(name_, binary, file_);
        if (status == CreateStatus::created) {
#ifdef _WIN32
            wideName_ = widen(name_);
            liveTemporary = wideName_.c_str();
            liveDescriptor = file_.get();
#else
            liveTemporary = name_.c_str();
#endif
            if (!copyPermissions(file_, destination_)) {
                stream_.setstate(std::ios::badbit);
            }
            return;
        }
        if (status == CreateStatus::failed) {
            break;
        }
    }
    name_.clear();
    stream_.setstate(std::ios::badbit);
}

TemporaryFile::~TemporaryFile() {
    discard();
}

void TemporaryFile::discard() {
    if (name_.empty()) {
        return;
    }
#ifdef _WIN32
    liveDescriptor = -1;
#endif
    file_.close();
    removeFile(name_);
    liveTemporary = nullptr;
    name_.clear();
}

bool TemporaryFile::commit() {
    if (name_.empty()) {
        return false;
    }
    stream_.flush();
#ifdef _WIN32
    liveDescriptor = -1;
#endif
    const bool written = stream_.good() && file_.close();
    if (!written || !replaceFile(name_, destination_)) {
        discard();
        return false;
    }
    liveTemporary = nullptr;
    name_.clear();
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
