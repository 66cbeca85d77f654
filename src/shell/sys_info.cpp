#include "main_module.h"
#include "platform/system.h"

int32_t GetDisplayColors() {
    switch (rt::sys().colorDepth()) {
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return -1;
    }
}
