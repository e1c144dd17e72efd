#pragma once
// SHA-256 (FIPS 180-4) of bytes and of files, for the build record in the
// opening comment of C output. OpenSSL's libcrypto does the work: it uses the
// processor's SHA instructions where there are any, so a font file of several
// megabytes costs a few milliseconds, not most of a small build.

#include <string>
#include <string_view>

struct evp_md_ctx_st;

namespace dotforge::cli {

class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256 &) = delete;
    Sha256 &operator=(const Sha256 &) = delete;
    void update(std::string_view bytes);
    // The digest as 64 lower-case hexadecimal digits; the object is spent.
    std::string hexDigest();

private:
    evp_md_ctx_st *m_context;
};

std::string sha256Hex(std::string_view bytes);
// The digest of a file's content; raises IoError when it cannot be read.
std::string fileSha256Hex(const std::string &path);

} // namespace dotforge::cli
