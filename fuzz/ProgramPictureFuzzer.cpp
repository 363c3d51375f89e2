// libFuzzer target for the reader of programs shared as pictures: any bytes must be read without
// a crash, a leak or undefined behaviour, within the size limits, and a program that was read
// must write out as a picture again and read back to the same program.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "save/ProgramPicture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using Result = ProgramPicture::Result;
    ProgramPicture picture;
    // Past the checksums, or the fuzzer would hardly get beyond the first chunk.
    if (ProgramPicture::read(data, size, picture, false) != Result::Read) {
        return 0;
    }
    if (picture.image.width == 0 || picture.image.height == 0 ||
        picture.image.width > ProgramPicture::kMaxSide ||
        picture.image.height > ProgramPicture::kMaxSide) {
        std::abort();
    }
    const std::vector<std::uint8_t> written = picture.write();
    ProgramPicture again;
    if (written.empty() ||
        ProgramPicture::read(written.data(), written.size(), again) != Result::Read ||
        ProgramPicture::programText(again.title, again.cards) !=
            ProgramPicture::programText(picture.title, picture.cards) ||
        again.image.rgba != picture.image.rgba) {
        std::abort();
    }
    return 0;
}
