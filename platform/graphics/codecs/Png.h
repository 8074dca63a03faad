// PNG files through libpng: the export behind TBitmap::SaveToPNGFile and a reader for the
// golden images the tests compare against. Internal to the graphics library.
#pragma once

#include <cstdint>
#include <string>

#include "platform/graphics/Graphics.h"

namespace kvb::codecs {

// Writes rows of 0xFFRRGGBB pixels (top row first, stride in pixels) as an 8-bit RGB PNG.
// Raises EInvalidGraphic for an empty picture (PNG has none), EFOpenError when the file cannot
// be created and EWriteError when writing fails.
void SavePngFile(const std::string& fileName, const std::uint32_t* pixels, Integer width, Integer height,
                 Integer stride);

// Reads any PNG as 8-bit RGB (alpha composed over black) into the bitmap. Raises EFOpenError
// when the file cannot be opened and EInvalidGraphic when it is not a readable PNG; the bitmap
// is unchanged then.
void LoadPNGFile(TBitmap& bitmap, const std::string& fileName);

}  // namespace kvb::codecs
