#include "file_stream.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr std::size_t bufferBytes = std::size_t{1} << 16U;

} // namespace

InputFileBuffer::InputFileBuffer(const FileHandle &file)
    : file_(file), buffer_(new char[bufferBytes]) {
    setg(buffer_.get(), buffer_.get(), buffer_.get());
}

InputFileBuffer::int_type InputFileBuffer::underflow() {
    if (gptr() < egptr()) {
        return traits_type::to_int_type(*gptr());
    }
    const std::ptrdiff_t got = readSome(file_, buffer_.get(), bufferBytes);
    if (got <= 0) {
        return traits_type::eof();
    }
    setg(buffer_.get(), buffer_.get(), buffer_.get() + got);
    return traits_type::to_int_type(*gptr());
}

std::streamsize InputFileBuffer::xsgetn(char_type *target, std::streamsize count) {
    std::streamsize done = std::min<std::streamsize>(count, egptr() - gptr());
    std::memcpy(target, gptr(), static_cast<std::size_t>(done));
    gbump(static_cast<int>(done));
    while (done < count) {
        const std::streamsize wanted = count - done;
        if (wanted < static_cast<std::streamsize>(bufferBytes)) {
            if (traits_type::eq_int_type(underflow(), traits_type::eof())) {
                break;
            }
            const std::streamsize part = std::min<std::streamsize>(wanted, egptr() - gptr());
            std::memcpy(target + done, gptr(), static_cast<std::size_t>(part));
            gbump(static_cast<int>(part));
            done += part;
            continue;
        }
        const std::ptrdiff_t got = readSome(file_, target + done, static_cast<std::size_t>(wanted));
        if (got <= 0) {
            break;
        }
        done += got;
    }
    return done;
}

InputFileBuffer::pos_type InputFileBuffer::seekoff(off_type offset,
                                                   std::ios_base::seekdir direction,
                                                   std::ios_base::openmode /*which*/) {
    int whence = SEEK_SET;
    if (direction == std::ios_base::cur) {
        // The file's position is past the bytes still buffered.
        offset -= egptr() - gptr();
        whence = SEEK_CUR;
    } else if (direction == std::ios_base::end) {
        whence = SEEK_END;
    }
    setg(buffer_.get(), buffer_.get(), buffer_.get());
    const std::int64_t position = seekFile(file_, offset, whence);
    return position < 0 ? pos_type(off_type(-1)) : pos_type(off_type(position));
}

InputFileBuffer::pos_type InputFileBuffer::seekpos(pos_type position,
                                                   std::ios_base::openmode which) {
    return seekoff(off_type(position), std::ios_base::beg, which);
}

OutputFileBuffer::OutputFileBuffer(const FileHandle &file)
    : file_(file), buffer_(new char[bufferBytes]) {
    setp(buffer_.get(), buffer_.get() + bufferBytes);
}

bool OutputFileBuffer::flushBuffer() {
    const auto pending = static_cast<std::size_t>(pptr() - pbase());
    setp(buffer_.get(), buffer_.get() + bufferBytes);
    return writeAll(file_, buffer_.get(), pending);
}

OutputFileBuffer::int_type OutputFileBuffer::overflow(int_type c) {
    if (!flushBuffer()) {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

std::streamsize OutputFileBuffer::xsputn(const char_type *source, std::streamsize count) {
    if (count < epptr() - pptr()) {
        std::memcpy(pptr(), source, static_cast<std::size_t>(count));
        pbump(static_cast<int>(count));
        return count;
    }
    if (!flushBuffer() || !writeAll(file_, source, static_cast<std::size_t>(count))) {
        return 0;
    }
    return count;
}

int OutputFileBuffer::sync() {
    return flushBuffer() ? 0 : -1;
}
