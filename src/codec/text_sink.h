#pragma once

// Where a job's data text goes: to a sink, a piece at a time while it is
// written, so that no front end needs the whole text in memory.

#include <cstddef>
#include <cstdint>
#include <streambuf>
#include <string>
#include <vector>

// Where each frame's label line and rows start among the text's bytes, so
// that a front end can put another label in without converting again.
struct FrameStart {
    std::uint32_t number = 0;
    std::uint32_t width = 0; // the frame's size, after fitting
    std::uint32_t height = 0;
    std::uint64_t lineStart = 0; // bytes handed out before its label line
    std::uint64_t rowsStart = 0; // and before its rows
};

class TextSink {
  public:
    TextSink() = default;
    TextSink(const TextSink &) = delete;
    TextSink &operator=(const TextSink &) = delete;
    TextSink(TextSink &&) = delete;
    TextSink &operator=(TextSink &&) = delete;
    virtual ~TextSink() = default;

    // The next piece of the text. Where the job fails, the pieces handed out
    // are to be dropped.
    virtual void take(const char *bytes, std::size_t size) = 0;

    // Comes before each frame's label line, where the picture is cut.
    virtual void frameStarts(const FrameStart & /*start*/) {}
};

// Keeps the whole text, for a front end that wants it at once.
class StringSink : public TextSink {
  public:
    void take(const char *bytes, std::size_t size) override {
        text.append(bytes, size);
    }
    std::string text;
};

// A stream buffer that hands whatever is written to it to a sink in pieces
// of `pieceBytes`, and counts the bytes.
class SinkBuffer : public std::streambuf {
  public:
    explicit SinkBuffer(TextSink &sink, std::size_t pieceBytes = std::size_t{1} << 20U);

    // Bytes written so far, handed out or not.
    std::uint64_t written() const {
        return handedOut_ + static_cast<std::uint64_t>(pptr() - pbase());
    }

  protected:
    int_type overflow(int_type c) override;
    int sync() override;

  private:
    TextSink &sink_;
    std::vector<char> piece_;
    std::uint64_t handedOut_ = 0;
};
