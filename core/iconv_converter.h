#pragma once
// One glibc iconv converter, opened once and reused: opening one costs more
// than converting a character.

#include <cerrno>
#include <cstddef>
#include <iconv.h>
#include <string>
#include <string_view>

namespace dotforge {

class IconvConverter {
public:
    IconvConverter(const char *to, const char *from)
        : m_cd(iconv_open(to, from))
    {
    }
    ~IconvConverter()
    {
        if (m_cd != iconv_t(-1))
            iconv_close(m_cd);
    }
    IconvConverter(const IconvConverter &) = delete;
    IconvConverter &operator=(const IconvConverter &) = delete;

    // Converts all of `in`, from the converter's initial state, into `out`;
    // false on the first byte sequence that cannot be converted (or when the
    // converter could not be opened), `out` then holding what came before it
    // and *consumed telling how far it got.
    bool convert(std::string_view in, std::string &out, std::size_t *consumed = nullptr)
    {
        out.clear();
        if (consumed)
            *consumed = 0;
        if (m_cd == iconv_t(-1))
            return false;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char *src = const_cast<char *>(in.data());
        std::size_t srcLeft = in.size();
        char buf[256];
        bool ok = true;
        while (srcLeft > 0) {
            char *dst = buf;
            std::size_t dstLeft = sizeof buf;
            const std::size_t r = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buf, std::size_t(dst - buf));
            if (r == std::size_t(-1) && errno != E2BIG) {
                ok = false;
                break;
            }
        }
        if (consumed)
            *consumed = in.size() - srcLeft;
        return ok;
    }

private:
    iconv_t m_cd;
};

} // namespace dotforge
