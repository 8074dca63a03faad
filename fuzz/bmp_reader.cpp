// Feeds arbitrary bytes to the Windows bitmap reader. Every input must either load or raise one
// of our exceptions; anything else (a crash, a sanitizer report, a hang, a huge allocation) is a
// finding. A picture that loads must also survive our own writer unchanged.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "platform/graphics/Graphics.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream input(std::string(reinterpret_cast<const char*>(data), size));
    kvb::TBitmap bitmap;
    try {
        bitmap.LoadFromStream(input);
    } catch (const kvb::Exception&) {
        return 0;
    }
    std::stringstream saved;
    bitmap.SaveToStream(saved);
    kvb::TBitmap again;
    again.LoadFromStream(saved);
    if (again.Width() != bitmap.Width() || again.Height() != bitmap.Height()) __builtin_trap();
    if (bitmap.Empty()) return 0;
    for (kvb::Integer y = 0; y < bitmap.Height(); ++y)
        if (!std::equal(bitmap.ScanLine(y), bitmap.ScanLine(y) + bitmap.Width(), again.ScanLine(y))) __builtin_trap();
    return 0;
}
