#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Value.h"

// A program as a picture: a PNG image (the program's thumbnail) that any image viewer shows,
// with the program itself in a text chunk: a property list holding the format version, the
// title and the same card array a program file holds. Reading trusts nothing in the file.
class ProgramPicture {
public:
    enum class Result { Read, NotAPicture, NoProgram, DamagedProgram, NewerProgram };

    struct Image {
        uint32_t width = 0;
        uint32_t height = 0;
        std::vector<uint8_t> rgba;  // rows top to bottom, 4 bytes a pixel
    };

    static constexpr const char* kKeyword = "tarnixworks-zoa-program";
    static constexpr int kFormatVersion = 1;
    // Far beyond a thumbnail (285) or the create-new picture (600), well below what would
    // strain memory (16 MiB of pixels).
    static constexpr uint32_t kMaxSide = 2048;
    // Deflate never packs more than about 1032 bytes into one: a file that claims more image
    // data than that is damaged, and is refused before its pixels are made.
    static constexpr uint64_t kMaxInflation = 1032;
    static constexpr size_t kMaxFileBytes = 32u << 20;
    // Any one chunk, and so the program's text once inflated.
    static constexpr size_t kMaxChunkBytes = 4u << 20;
    static constexpr uint32_t kMaxTextChunks = 64;

    Image image;
    std::string title;
    cocos2d::ValueVector cards;

    // The picture as PNG bytes, the program in its chunk; empty when it cannot be made.
    std::vector<uint8_t> write() const;
    // Reads PNG bytes. `verifyChecksums` off lets a fuzzer reach past the chunks' CRCs.
    static Result read(const uint8_t* data, size_t size, ProgramPicture& picture,
                       bool verifyChecksums = true);

    // The image alone, without any program, and back.
    static std::vector<uint8_t> encode(const Image& image, const std::string& programText = "",
                                       const std::string& title = "");
    static bool decode(const uint8_t* data, size_t size, Image& image, std::string& programText,
                       bool& hasProgram, bool verifyChecksums = true);

    // The chunk's property list, and back; false when the text is not one of ours.
    static std::string programText(const std::string& title, const cocos2d::ValueVector& cards);
    static Result readProgramText(const std::string& text, std::string& title,
                                  cocos2d::ValueVector& cards);
};
