#pragma once
// SHA-256 (FIPS 180-4), for the build record in the opening comment of C output. On x86-64 processors with the SHA
// extensions the blocks go through those instructions (a font file of several megabytes in a few milliseconds);
// elsewhere through the portable rounds.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace dotforge::cli {

class Sha256 {
public:
    // Which implementation compresses the blocks; Fastest picks the SHA
    // instructions where the processor has them.
    enum class Engine { Fastest, Portable };
    explicit Sha256(Engine engine = Engine::Fastest);
    void update(std::string_view bytes);
    // The digest as 64 lower-case hexadecimal digits; the object is spent.
    std::string hexDigest();
    // Whether this processor has the SHA instructions Fastest uses.
    static bool hasShaInstructions();

private:
    using Compress = void (*)(std::array<std::uint32_t, 8> &state, const std::uint8_t *blocks, std::size_t count);
    Compress m_compress;
    std::array<std::uint32_t, 8> m_state;
    std::array<std::uint8_t, 64> m_block{};
    std::size_t m_used = 0; // bytes waiting in m_block
    std::uint64_t m_length = 0; // bytes hashed so far
};

std::string sha256Hex(std::string_view bytes);

} // namespace dotforge::cli
