#pragma once
// The small 24-bit pictures that style and template files carry: rows top
// first, 3 bytes per pixel in the order B, G, R.
#include <cstdint>
#include <vector>

// The project frame at the timeline's time (object kNoDispObj), or what one
// object draws in it, fitted whole into the picture, over dark grey. The
// caller holds read access. A neutral grey picture when nothing can be
// drawn.
std::vector<uint8_t> Picture24Render(uint32_t object, uint32_t width, uint32_t height);
// Opaque 32-bit pixels (0xAARRGGBB words), rows top first.
std::vector<uint32_t> Picture24ToPixels(const std::vector<uint8_t>& picture);
