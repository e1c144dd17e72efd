#pragma once
// SHA-256 (FIPS 180-4) of bytes and of files, for the build record in the
// opening comment of C output.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace dotforge::cli {

class Sha256 {
public:
    Sha256();
    void update(std::string_view bytes);
    // The digest as 64 lower-case hexadecimal digits; the object is spent.
    std::string hexDigest();

private:
    void compress(const std::uint8_t *block);
    std::array<std::uint32_t, 8> m_state;
    std::array<std::uint8_t, 64> m_block{};
    std::size_t m_used = 0; // bytes waiting in m_block
    std::uint64_t m_length = 0; // bytes hashed so far
};

std::string sha256Hex(std::string_view bytes);
// The digest of a file's content; raises IoError when it cannot be read.
std::string fileSha256Hex(const std::string &path);

} // namespace dotforge::cli
