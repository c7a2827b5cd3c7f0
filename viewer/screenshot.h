// The frame as an uncompressed 24-bit DDS: "QorVantor_screenshot.dds".
#pragma once

#include <string>

// Reads the finished frame from the back buffer: call it before the swap.
// (Read after the swap, the front buffer comes back black under Mesa.)
bool QorScreenShot(const std::string& path, int width, int height);
