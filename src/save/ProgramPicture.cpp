#include "save/ProgramPicture.h"

#include <png.h>

#include <cstring>

#include "platform/PlistReader.h"
#include "platform/PlistWriter.h"

using cocos2d::Value;
using cocos2d::ValueMap;
using cocos2d::ValueVector;

// libpng reports errors by longjmp. Every function below that calls libpng after setjmp keeps
// only trivially destructible locals alive across those calls, so that a jump out of libpng
// skips no destructor; buffers are made before, by the caller.

namespace {

struct Source {
    const uint8_t* data;
    size_t size;
    size_t offset;
};

void readFromMemory(png_structp png, png_bytep out, size_t length) {
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    if (length > source->size - source->offset) {
        png_error(png, "truncated");
    }
    std::memcpy(out, source->data + source->offset, length);
    source->offset += length;
}

void writeToMemory(png_structp png, png_bytep data, size_t length) {
    auto* sink = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    bool stored = true;
    try {
        sink->insert(sink->end(), data, data + length);
    } catch (...) {
        stored = false;
    }
    // Jumping out of a handler would leave the exception half caught.
    if (!stored) {
        png_error(png, "out of memory");
    }
}

void flushNothing(png_structp) {}

// Quietly: a damaged file is an answer, not something to print.
void failQuietly(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void warnQuietly(png_structp, png_const_charp) {}

struct Reader {
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, failQuietly, warnQuietly);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    png_infop end = png ? png_create_info_struct(png) : nullptr;
    ~Reader() { png_destroy_read_struct(&png, &info, &end); }
};

struct Writer {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, failQuietly, warnQuietly);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    ~Writer() { png_destroy_write_struct(&png, &info); }
};

uint32_t bigEndian(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
}

// libpng allocates a chunk's declared length before it reads the chunk, so a few crafted bytes
// could ask for gigabytes: every chunk up to the end marker must lie inside the file, and none but
// the image data may be larger than the limit.
bool chunksFit(const uint8_t* data, size_t size) {
    size_t at = 8;
    while (size - at >= 12) {
        const uint32_t length = bigEndian(data + at);
        const uint8_t* type = data + at + 4;
        if (length > size - at - 12 ||
            (std::memcmp(type, "IDAT", 4) != 0 && length > ProgramPicture::kMaxChunkBytes)) {
            return false;
        }
        if (std::memcmp(type, "IEND", 4) == 0) {
            return true;
        }
        at += 12 + static_cast<size_t>(length);
    }
    return false;
}

bool readHeader(Reader& r, Source& source, bool verifyChecksums, uint32_t& width,
                uint32_t& height) {
    if (setjmp(png_jmpbuf(r.png))) {
        return false;
    }
    png_set_read_fn(r.png, &source, readFromMemory);
    png_set_user_limits(r.png, ProgramPicture::kMaxSide, ProgramPicture::kMaxSide);
    png_set_chunk_malloc_max(r.png, ProgramPicture::kMaxChunkBytes);
    png_set_chunk_cache_max(r.png, ProgramPicture::kMaxTextChunks);
    if (verifyChecksums) {
        // A damaged text chunk is a damaged program, not a picture without one.
        png_set_crc_action(r.png, PNG_CRC_ERROR_QUIT, PNG_CRC_ERROR_QUIT);
    } else {
        png_set_crc_action(r.png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
    }
    png_read_info(r.png, r.info);
    width = png_get_image_width(r.png, r.info);
    height = png_get_image_height(r.png, r.info);
    const uint64_t rawBytes = static_cast<uint64_t>(height) * (png_get_rowbytes(r.png, r.info) + 1);
    if (rawBytes > ProgramPicture::kMaxInflation * source.size + 1024) {
        return false;
    }
    // Every colour type and depth becomes 8-bit RGBA.
    png_set_expand(r.png);
    png_set_strip_16(r.png);
    png_set_gray_to_rgb(r.png);
    png_set_add_alpha(r.png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(r.png);
    png_read_update_info(r.png, r.info);
    return png_get_rowbytes(r.png, r.info) == static_cast<size_t>(width) * 4;
}

bool readPixels(Reader& r, png_bytep* rows) {
    if (setjmp(png_jmpbuf(r.png))) {
        return false;
    }
    png_read_image(r.png, rows);
    png_read_end(r.png, r.end);
    return true;
}

// The first chunk under our keyword, in the header or after the image.
bool findProgramText(const Reader& r, std::string& text) {
    for (png_infop info : {r.info, r.end}) {
        png_textp texts = nullptr;
        int count = 0;
        png_get_text(r.png, info, &texts, &count);
        for (int i = 0; i < count; ++i) {
            if (texts[i].key && std::strcmp(texts[i].key, ProgramPicture::kKeyword) == 0 &&
                texts[i].text) {
                const size_t length = texts[i].compression >= PNG_ITXT_COMPRESSION_NONE
                                          ? texts[i].itxt_length
                                          : texts[i].text_length;
                text.assign(texts[i].text, length);
                return true;
            }
        }
    }
    return false;
}

bool writeAll(Writer& w, const ProgramPicture::Image& image, png_textp texts, int textCount,
              png_bytep* rows, std::vector<uint8_t>& out) {
    if (setjmp(png_jmpbuf(w.png))) {
        return false;
    }
    png_set_write_fn(w.png, &out, writeToMemory, flushNothing);
    png_set_IHDR(w.png, w.info, image.width, image.height, 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (textCount > 0) {
        png_set_text(w.png, w.info, texts, textCount);
    }
    png_write_info(w.png, w.info);
    png_write_image(w.png, rows);
    png_write_end(w.png, w.info);
    return true;
}

png_text itxt(const char* key, const std::string& text, int compression) {
    png_text chunk{};
    chunk.compression = compression;
    chunk.key = const_cast<char*>(key);
    chunk.text = const_cast<char*>(text.c_str());
    chunk.itxt_length = text.size();
    chunk.lang = const_cast<char*>("");
    chunk.lang_key = const_cast<char*>("");
    return chunk;
}

}  // namespace

std::vector<uint8_t> ProgramPicture::encode(const Image& image, const std::string& programText,
                                            const std::string& title) {
    std::vector<uint8_t> out;
    if (image.width == 0 || image.height == 0 || image.width > kMaxSide ||
        image.height > kMaxSide ||
        image.rgba.size() != static_cast<size_t>(image.width) * image.height * 4) {
        return out;
    }
    std::vector<png_bytep> rows(image.height);
    for (uint32_t y = 0; y < image.height; ++y) {
        rows[y] =
            const_cast<png_bytep>(image.rgba.data()) + static_cast<size_t>(y) * image.width * 4;
    }
    // "Title" is the keyword image viewers show; the program's own chunk is compressed.
    png_text texts[2] = {itxt("Title", title, PNG_ITXT_COMPRESSION_NONE),
                         itxt(kKeyword, programText, PNG_ITXT_COMPRESSION_zTXt)};
    const int textCount = programText.empty() ? 0 : 2;
    Writer writer;
    if (!writer.info || !writeAll(writer, image, texts, textCount, rows.data(), out)) {
        out.clear();
    }
    return out;
}

bool ProgramPicture::decode(const uint8_t* data, size_t size, Image& image,
                            std::string& programText, bool& hasProgram, bool verifyChecksums) {
    hasProgram = false;
    if (!data || size < 8 || size > kMaxFileBytes || png_sig_cmp(data, 0, 8) != 0 ||
        !chunksFit(data, size)) {
        return false;
    }
    Source source{data, size, 0};
    Reader reader;
    uint32_t width = 0, height = 0;
    if (!reader.end || !readHeader(reader, source, verifyChecksums, width, height)) {
        return false;
    }
    image.width = width;
    image.height = height;
    image.rgba.assign(static_cast<size_t>(width) * height * 4, 0);
    std::vector<png_bytep> rows(height);
    for (uint32_t y = 0; y < height; ++y) {
        rows[y] = image.rgba.data() + static_cast<size_t>(y) * width * 4;
    }
    if (!readPixels(reader, rows.data())) {
        return false;
    }
    hasProgram = findProgramText(reader, programText);
    return true;
}

std::string ProgramPicture::programText(const std::string& title, const ValueVector& cards) {
    return cocos2d::PlistWriter::write(ValueMap{
        {"format", Value(kFormatVersion)}, {"title", Value(title)}, {"cards", Value(cards)}});
}

ProgramPicture::Result ProgramPicture::readProgramText(const std::string& text, std::string& title,
                                                       ValueVector& cards) {
    Value root;
    if (!cocos2d::PlistReader::parse(text, root) || root.getType() != Value::Type::MAP) {
        return Result::DamagedProgram;
    }
    const ValueMap& map = root.asValueMap();
    const auto format = map.find("format");
    const auto name = map.find("title");
    const auto list = map.find("cards");
    if (format == map.end() || format->second.getType() != Value::Type::INTEGER ||
        format->second.asInt() < 1 || list == map.end() ||
        list->second.getType() != Value::Type::VECTOR ||
        (name != map.end() && name->second.getType() != Value::Type::STRING)) {
        return Result::DamagedProgram;
    }
    if (format->second.asInt() > kFormatVersion) {
        return Result::NewerProgram;
    }
    title = name == map.end() ? std::string() : name->second.asString();
    cards = list->second.asValueVector();
    return Result::Read;
}

std::vector<uint8_t> ProgramPicture::write() const {
    return encode(image, programText(title, cards), title);
}

ProgramPicture::Result ProgramPicture::read(const uint8_t* data, size_t size,
                                            ProgramPicture& picture, bool verifyChecksums) {
    std::string text;
    bool hasProgram = false;
    if (!decode(data, size, picture.image, text, hasProgram, verifyChecksums)) {
        return Result::NotAPicture;
    }
    if (!hasProgram) {
        return Result::NoProgram;
    }
    return readProgramText(text, picture.title, picture.cards);
}
