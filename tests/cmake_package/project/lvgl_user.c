#include "lvfont.h"

/* The header declares the font the tool defines. */
const lv_font_t *ui_font(void)
{
    return &lvfont;
}
