#include "file_kinds.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

std::string kindOf(const std::string &head) {
    return fileKindName(
        kindOfFile(reinterpret_cast<const std::uint8_t *>(head.data()), head.size()));
}

TEST(FileKinds, ToldFromTheFirstBytes) {
    const std::pair<std::string, const char *> cases[] = {
        {"BM\x36\x00"s, "bmp"},
        {"\x89PNG\r\n\x1a\n\0\0\0\rIHDR"s, "png"},
        {"\x89PNG\r\n", "other"}, // too short to be sure
        {"\xff\xd8\xff\xe0", "jpeg"},
        {"GIF89a", "gif"},
        {"RIFF\x10\x00\x00\x00WEBPVP8L"s, "webp"},
        {"RIFF\x10\x00\x00\x00WAVEfmt "s, "other"},
        {"logo: .word 2, 2\n.byte 7,", "data"},
        {"\r\n\n  # a comment: .word\n\t.data # segment\nlogo: .word 1, 1", "data"},
        {"C:\\img\\x: .word 3, 1\r\n", "data"},
        {".data\n.byte 1,\n", "other"},
        {"logo .word 1, 1\n", "other"},
        {"II*\0"s, "other"},
        {"", "other"},
    };
    for (const auto &[head, kind] : cases) {
        EXPECT_EQ(kindOf(head), kind) << head;
    }
}

} // namespace
