#include "common_sys_info.h"

#include "core/system.h"

int32_t GetDisplayColors() {
    const int bits = rt::sys().colorDepth();
    if (bits == 4) return 16;
    if (bits == 8) return 256;
    return -1;
}

int32_t GetScreenWidth() {
    return rt::sys().screenSize().width();
}

int32_t GetScreenHeight() {
    return rt::sys().screenSize().height();
}
