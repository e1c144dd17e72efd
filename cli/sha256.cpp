#include "cli/sha256.h"

#include "formats/file_io.h"

#include <openssl/evp.h>

#include <new>
#include <stdexcept>
#include <vector>

namespace dotforge::cli {

Sha256::Sha256()
    : m_context(EVP_MD_CTX_new())
{
    if (!m_context)
        throw std::bad_alloc();
    if (EVP_DigestInit_ex(m_context, EVP_sha256(), nullptr) != 1) {
        EVP_MD_CTX_free(m_context);
        throw std::runtime_error("SHA-256 is not available");
    }
}

Sha256::~Sha256() { EVP_MD_CTX_free(m_context); }

void Sha256::update(std::string_view bytes)
{
    if (EVP_DigestUpdate(m_context, bytes.data(), bytes.size()) != 1)
        throw std::runtime_error("SHA-256 failed");
}

std::string Sha256::hexDigest()
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(m_context, digest, &length) != 1)
        throw std::runtime_error("SHA-256 failed");
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (unsigned int i = 0; i < length; ++i) {
        out += kHex[digest[i] >> 4];
        out += kHex[digest[i] & 0xF];
    }
    return out;
}

std::string sha256Hex(std::string_view bytes)
{
    Sha256 hash;
    hash.update(bytes);
    return hash.hexDigest();
}

std::string fileSha256Hex(const std::string &path)
{
    InputFile file(path);
    Sha256 hash;
    std::vector<char> buffer(1 << 16);
    while (const std::size_t got = file.read(buffer.data(), buffer.size()))
        hash.update(std::string_view(buffer.data(), got));
    return hash.hexDigest();
}

} // namespace dotforge::cli
