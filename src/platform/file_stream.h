#pragma once

// Standard stream buffers over an open FileHandle, so that the format code
// keeps working on std::istream and std::ostream.

#include "file_io.h"

#include <memory>
#include <streambuf>

// Reads through a 64 KiB buffer; reads of a buffer's size or more go straight
// into the caller's memory. Seekable.
class InputFileBuffer : public std::streambuf {
  public:
    explicit InputFileBuffer(const FileHandle &file);

  protected:
    int_type underflow() override;
    std::streamsize xsgetn(char_type *target, std::streamsize count) override;
    pos_type seekoff(off_type offset, std::ios_base::seekdir direction,
                     std::ios_base::openmode which) override;
    pos_type seekpos(pos_type position, std::ios_base::openmode which) override;

  private:
    const FileHandle &file_;
    std::unique_ptr<char[]> buffer_;
};

// Writes through a 64 KiB buffer; a write of a buffer's size or more goes
// straight to the file. Any failed write leaves the stream bad.
class OutputFileBuffer : public std::streambuf {
  public:
    explicit OutputFileBuffer(const FileHandle &file);

  protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char_type *source, std::streamsize count) override;
    int sync() override;

  private:
    bool flushBuffer();

    const FileHandle &file_;
    std::unique_ptr<char[]> buffer_;
};
