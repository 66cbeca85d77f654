#pragma once
// Facts about the display that the windows choose their pictures and layout by.

#include <cstdint>

// 16 when the display shows 16 colours, 256 when it shows 256 colours through a palette,
// otherwise -1 (more colours). Forms pick their 16-colour, 256-colour or full-colour pictures by
// it. Every surface of the program shares the display's depth.
int32_t GetDisplayColors();

// The primary screen's width and height in pixels.
int32_t GetScreenWidth();
int32_t GetScreenHeight();
