#pragma once

// Colour depth of the screen in bits per pixel; 24 when no screen is known (headless use).
int ScreenBitsPerPixel();
