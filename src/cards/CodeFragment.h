#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// What one card kind contributes to the program for one target board.
struct CodeFragment {
    using Patch = std::map<std::string, int32_t>;  // "position", "size"

    int32_t takesNumber = 0;
    std::string code;
    int32_t charDelay = -1;  // negative: the target's default pause
    bool appendLineEnd = true;
    bool echo = true;
    std::string placeholder;
    float scale = 1.0f;
    // Byte-image mode only.
    int32_t loopEndIndex = -1;
    int32_t loopEndTab = -1;
    int32_t loopPosition = -1;
    std::vector<uint8_t> byteCode;
    std::map<std::string, Patch> patches;  // "line", "input"

    CodeFragment() = default;
    explicit CodeFragment(std::string code_) : code(std::move(code_)) {}
    CodeFragment(std::string code_, int32_t charDelay_)
        : code(std::move(code_)), charDelay(charDelay_) {}
    CodeFragment(std::string code_, int32_t charDelay_, bool appendLineEnd_, bool echo_)
        : code(std::move(code_)),
          charDelay(charDelay_),
          appendLineEnd(appendLineEnd_),
          echo(echo_) {}
    CodeFragment(std::string code_, std::string placeholder_, float scale_)
        : takesNumber(1),
          code(std::move(code_)),
          placeholder(std::move(placeholder_)),
          scale(scale_) {}
};
