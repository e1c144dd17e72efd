/* The strings the product shows; 注释里的字 are not shown. */
#include <stdio.h>
#include <string.h>

#include "menufont.h"
#include "romfont.h"
#include "uifont.h"

static const char *const strings[] = {
    "温度 25℃",
    "设置: Wi-Fi 已连接",
    "电池电量低, 请充电",
    "Hello, 世界",
};

/* The code point of the UTF-8 character at *s; *s moves past it. */
static unsigned long next_code_point(const char **s)
{
    const unsigned char *p = (const unsigned char *)*s;
    unsigned long cp = *p;
    int more = cp >= 0xF0 ? 3 : cp >= 0xE0 ? 2 : cp >= 0xC0 ? 1 : 0;
    if (more)
        cp &= 0x3F >> more;
    for (++p; more > 0; --more, ++p)
        cp = (cp << 6) | (*p & 0x3F);
    *s = (const char *)p;
    return cp;
}

int main(void)
{
    unsigned long seen[64];
    unsigned distinct = 0, missing = 0;
    for (size_t i = 0; i < sizeof strings / sizeof *strings; ++i) {
        const char *s = strings[i], *t = strings[i];
        while (*s) {
            const unsigned long cp = next_code_point(&t);
            const int g = uifont_find_utf8(&s);
            printf(" %d", g);
            /* Square glyphs for the Chinese characters, half-width ones for ASCII. */
            if (g < 0 || (cp < 0x80) != (g >= (int)uifont_count))
                ++missing;
            unsigned k = 0;
            while (k < distinct && seen[k] != cp)
                ++k;
            if (k == distinct && cp >= 0x80)
                seen[distinct++] = cp;
        }
        printf("\n");
    }
    printf("distinct %u count %u half %u missing %u\n", distinct, uifont_count, uifont_half_count, missing);
    printf("menu %u image %s %lu\n", menufont_count, ROMFONT_IMAGE, (unsigned long)ROMFONT_IMAGE_BYTES);
    return 0;
}
