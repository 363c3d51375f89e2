// libFuzzer target for the property-list reader: any bytes must be read without a crash, a leak
// or undefined behaviour, and whatever is read must write and read back to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/PlistReader.h"
#include "platform/PlistWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using cocos2d::PlistReader;
    using cocos2d::PlistWriter;
    cocos2d::Value root;
    if (!PlistReader::parse(reinterpret_cast<const char*>(data), size, root)) {
        return 0;
    }
    const std::string written = PlistWriter::write(root);
    cocos2d::Value again;
    if (!PlistReader::parse(written, again) || PlistWriter::write(again) != written) {
        std::abort();
    }
    return 0;
}
