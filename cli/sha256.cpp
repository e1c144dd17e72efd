#include "cli/sha256.h"

#include <algorithm>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <cpuid.h>
#include <immintrin.h>
#define DOTFORGE_SHA_NI 1
#endif

namespace dotforge::cli {

namespace {

constexpr std::array<std::uint32_t, 64> kRound{0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1,
    0x923f82a4, 0xab1c5ed5, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7,
    0xc19bf174, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967, 0x27b70a85,
    0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b,
    0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116, 0x1e376c08, 0x2748774c,
    0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3, 0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208,
    0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::uint32_t rotr(std::uint32_t x, int n)
{
    return (x >> n) | (x << (32 - n));
}

void compressPortable(std::array<std::uint32_t, 8> &state, const std::uint8_t *block, std::size_t count)
{
    for (; count > 0; --count, block += 64) {
        std::array<std::uint32_t, 64> w;
        for (int i = 0; i < 16; ++i)
            w[std::size_t(i)] = std::uint32_t(block[4 * i]) << 24 | std::uint32_t(block[4 * i + 1]) << 16
                | std::uint32_t(block[4 * i + 2]) << 8 | std::uint32_t(block[4 * i + 3]);
        for (std::size_t i = 16; i < 64; ++i) {
            const std::uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
            const std::uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        auto [a, b, c, d, e, f, g, h] = state;
        for (std::size_t i = 0; i < 64; ++i) {
            const std::uint32_t t1
                = h + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + kRound[i] + w[i];
            const std::uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
            h = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        const std::array<std::uint32_t, 8> add{a, b, c, d, e, f, g, h};
        for (std::size_t i = 0; i < 8; ++i)
            state[i] += add[i];
    }
}

#ifdef DOTFORGE_SHA_NI
// The SHA extensions keep the state as two vectors, ABEF and CDGH, and do two
// rounds per instruction; the message schedule takes three instructions per
// four words.
__attribute__((target("sha,sse4.1"))) void compressShaNi(
    std::array<std::uint32_t, 8> &state, const std::uint8_t *block, std::size_t count)
{
    // Bytes of each 32-bit word reversed: the message words are big-endian.
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i *>(&state[0]));
    __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i *>(&state[4]));
    const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);

    for (; count > 0; --count, block += 64) {
        const __m128i abefBefore = abef;
        const __m128i cdghBefore = cdgh;
        __m128i w[4];
        // Unrolled, so that the schedule stays in registers.
#pragma GCC unroll 16
        for (int g = 0; g < 16; ++g) {
            __m128i words;
            if (g < 4) {
                words = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(block + 16 * g)), byteSwap);
            } else {
                // w[g & 3] holds the words of group g - 4, the others g - 3 to g - 1.
                const __m128i &minus4 = w[g & 3];
                const __m128i &minus3 = w[(g + 1) & 3];
                const __m128i &minus2 = w[(g + 2) & 3];
                const __m128i &minus1 = w[(g + 3) & 3];
                words = _mm_sha256msg2_epu32(
                    _mm_add_epi32(_mm_sha256msg1_epu32(minus4, minus3), _mm_alignr_epi8(minus1, minus2, 4)), minus1);
            }
            w[g & 3] = words;
            __m128i sum = _mm_add_epi32(words, _mm_loadu_si128(reinterpret_cast<const __m128i *>(&kRound[4 * g])));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, sum);
            sum = _mm_shuffle_epi32(sum, 0x0E);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, sum);
        }
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }

    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    dcba = _mm_blend_epi16(feba, dchg, 0xF0);
    hgfe = _mm_alignr_epi8(dchg, feba, 8);
    _mm_storeu_si128(reinterpret_cast<__m128i *>(&state[0]), dcba);
    _mm_storeu_si128(reinterpret_cast<__m128i *>(&state[4]), hgfe);
}
#endif

} // namespace

bool Sha256::hasShaInstructions()
{
#ifdef DOTFORGE_SHA_NI
    // Asked of the processor itself (clang's __builtin_cpu_supports knows no
    // "sha"): SSE4.1 is CPUID leaf 1, ECX bit 19; SHA is leaf 7 (subleaf 0),
    // EBX bit 29.
    static const bool has = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & (1u << 19)))
            return false;
        return __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & (1u << 29)) != 0;
    }();
    return has;
#else
    return false;
#endif
}

Sha256::Sha256(Engine engine)
    : m_compress(compressPortable)
    , m_state{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19}
{
#ifdef DOTFORGE_SHA_NI
    if (engine == Engine::Fastest && hasShaInstructions())
        m_compress = compressShaNi;
#else
    (void)engine;
#endif
}

void Sha256::update(std::string_view bytes)
{
    m_length += bytes.size();
    const auto *p = reinterpret_cast<const std::uint8_t *>(bytes.data());
    std::size_t left = bytes.size();
    if (m_used > 0) {
        const std::size_t take = std::min(left, 64 - m_used);
        std::copy(p, p + take, m_block.begin() + std::ptrdiff_t(m_used));
        m_used += take;
        p += take;
        left -= take;
        if (m_used < 64)
            return;
        m_compress(m_state, m_block.data(), 1);
        m_used = 0;
    }
    if (const std::size_t whole = left / 64) {
        m_compress(m_state, p, whole);
        p += 64 * whole;
        left -= 64 * whole;
    }
    std::copy(p, p + left, m_block.begin());
    m_used = left;
}

std::string Sha256::hexDigest()
{
    const std::uint64_t bits = m_length * 8;
    // 0x80, zeros up to 56 bytes of the last block, the length in bits big-endian.
    std::string tail(1, char(0x80));
    tail.append((m_used < 56 ? 55 - m_used : 119 - m_used), '\0');
    for (int i = 7; i >= 0; --i)
        tail += char(bits >> (8 * i));
    update(tail);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (const std::uint32_t word : m_state)
        for (int i = 28; i >= 0; i -= 4)
            out += kHex[(word >> i) & 0xF];
    return out;
}

std::string sha256Hex(std::string_view bytes)
{
    Sha256 hash;
    hash.update(bytes);
    return hash.hexDigest();
}

} // namespace dotforge::cli
