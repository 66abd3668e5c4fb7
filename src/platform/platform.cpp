#include "platform.h"

#ifdef _WIN32
#include <windows.h>
// windows.h first: the others depend on it.
#include <process.h>
#include <shellapi.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>

#include <cstdint>
#include <cstdio>
#endif

#ifdef _WIN32

std::wstring widen(const std::string &text) {
    if (text.empty()) {
        return {};
    }
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
}

namespace {

std::string narrow(const wchar_t *wide) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) {
        return {};
    }
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), length, nullptr, nullptr);
    text.pop_back(); // the terminating zero
    return text;
}

} // namespace

bool replaceFile(const std::string &from, const std::string &to) {
    return MoveFileExW(widen(from).c_str(), widen(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool removeFile(const std::string &fileName) {
    return DeleteFileW(widen(fileName).c_str()) != 0;
}

unsigned long processId() {
    return static_cast<unsigned long>(_getpid());
}

void adviseHugePages(void * /*data*/, std::size_t /*bytes*/) {}

bool reserveStandardStreams() {
    return true;
}

std::vector<std::string> commandLineArguments(int argc, char *argv[]) {
    int count = 0;
    wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return std::vector<std::string>(argv, argv + argc);
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(narrow(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

#else

bool replaceFile(const std::string &from, const std::string &to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool removeFile(const std::string &fileName) {
    return std::remove(fileName.c_str()) == 0;
}

unsigned long processId() {
    return static_cast<unsigned long>(getpid());
}

void adviseHugePages(void *data, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
    // Only whole pages inside the buffer may be advised.
    constexpr std::uintptr_t hugePage = std::uintptr_t{2} << 20U;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (start + hugePage - 1) & ~(hugePage - 1);
    const std::uintptr_t last = (start + bytes) & ~(hugePage - 1);
    if (first < last) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): madvise takes the address as a pointer
        madvise(reinterpret_cast<void *>(first), last - first, MADV_HUGEPAGE);
    }
#else
    static_cast<void>(data);
    static_cast<void>(bytes);
#endif
}

bool reserveStandardStreams() {
    bool outputOpen = true;
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) < 0 && errno == EBADF) {
            outputOpen = outputOpen && descriptor != 1;
            // The lowest free number: this very one.
            open("/dev/null", O_RDWR | O_NOCTTY);
        }
    }
    return outputOpen;
}

std::vector<std::string> commandLineArguments(int argc, char *argv[]) {
    return std::vector<std::string>(argv, argv + argc);
}

#endif
