#include "text_sink.h"

SinkBuffer::SinkBuffer(TextSink &sink, std::size_t pieceBytes) : sink_(sink), piece_(pieceBytes) {
    setp(piece_.data(), piece_.data() + piece_.size());
}

SinkBuffer::int_type SinkBuffer::overflow(int_type c) {
    sync();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int SinkBuffer::sync() {
    if (pptr() > pbase()) {
        const auto size = static_cast<std::size_t>(pptr() - pbase());
        sink_.take(pbase(), size);
        handedOut_ += size;
        setp(piece_.data(), piece_.data() + piece_.size());
    }
    return 0;
}
