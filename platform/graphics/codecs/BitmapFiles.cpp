// TBitmap's file operations. The file is decoded into a picture of its own first and copied
// into the bitmap only once decoding has succeeded, so a bad file leaves the bitmap as it was.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <istream>
#include <ostream>

#include "platform/graphics/Graphics.h"
#include "platform/graphics/codecs/Bmp.h"
#include "platform/graphics/codecs/Png.h"

namespace kvb {
namespace {

// No acceptable file is larger than its largest picture at 32 bits per pixel plus headers, so
// reading stops there instead of swallowing an endless stream.
constexpr std::uint64_t kMaxBitmapFileBytes = codecs::kBmpMaxPixels * 4 + (std::uint64_t(1) << 20);

[[noreturn]] void TooLarge() { throw EInvalidGraphic("Bitmap image is not valid: the file is too large"); }

std::vector<std::uint8_t> ReadAll(std::istream& stream) {
    std::vector<std::uint8_t> data;
    // A stream that knows its length (a file, a string) is read in one piece.
    const std::istream::pos_type start = stream.tellg();
    if (start != std::istream::pos_type(-1) && stream.seekg(0, std::ios::end)) {
        const std::istream::pos_type end = stream.tellg();
        stream.seekg(start);
        if (end != std::istream::pos_type(-1) && end >= start && stream) {
            const std::uint64_t size = std::uint64_t(end - start);
            if (size > kMaxBitmapFileBytes) TooLarge();
            data.resize(std::size_t(size));
            stream.read(reinterpret_cast<char*>(data.data()), std::streamsize(size));
            data.resize(std::size_t(stream.gcount()));
            if (stream.bad()) throw EReadError("Stream read error");
            return data;
        }
    }
    stream.clear();
    // Otherwise in pieces: the buffer grows only with bytes that actually arrived.
    constexpr std::size_t kChunk = 64 * 1024;
    for (;;) {
        if (data.size() > kMaxBitmapFileBytes) TooLarge();
        const std::size_t used = data.size();
        data.resize(used + kChunk);
        stream.read(reinterpret_cast<char*>(data.data() + used), std::streamsize(kChunk));
        data.resize(used + std::size_t(stream.gcount()));
        if (!stream) break;
    }
    if (stream.bad()) throw EReadError("Stream read error");
    return data;
}

}  // namespace

void TBitmap::LoadFromStream(std::istream& stream) {
    codecs::BmpImage image;
    {
        const std::vector<std::uint8_t> data = ReadAll(stream);
        image = codecs::DecodeBmp(data);
    }
    SetSize(image.Width, image.Height);
    if (image.Pixels.empty()) return;
    for (Integer y = 0; y < image.Height; ++y)
        std::memcpy(ScanLine(y), image.Pixels.data() + std::size_t(y) * std::size_t(image.Width),
                    std::size_t(image.Width) * sizeof(std::uint32_t));
}

void TBitmap::LoadFromFile(const std::string& fileName) {
    std::error_code ec;
    if (std::filesystem::is_directory(fileName, ec))
        throw EFOpenError("Cannot open file \"" + fileName + "\". Is a directory");
    std::ifstream file(fileName, std::ios::binary);
    if (!file.is_open()) throw EFOpenError("Cannot open file \"" + fileName + "\". " + std::strerror(errno));
    LoadFromStream(file);
}

void TBitmap::SaveToStream(std::ostream& stream) const {
    const std::vector<std::uint8_t> bytes = codecs::EncodeBmp(Bits(), Width(), Height(), Stride(), {});
    stream.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!stream) throw EWriteError("Stream write error");
}

void TBitmap::SaveToFile(const std::string& fileName) const {
    std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
    if (!file.is_open()) throw EFOpenError("Cannot create file \"" + fileName + "\". " + std::strerror(errno));
    SaveToStream(file);
    file.close();
    if (!file) throw EWriteError("Cannot write file \"" + fileName + "\"");
}

void TBitmap::SaveToPNGFile(const std::string& fileName) const {
    codecs::SavePngFile(fileName, Bits(), Width(), Height(), Stride());
}

}  // namespace kvb
