#include <gtest/gtest.h>

#include <cstddef>
#include <sstream>
#include <string>
#include <vector>

#include "platform/FileUtils.h"

namespace {

using cocos2d::FileUtils;

// Well-formed UTF-8: no stray continuation bytes, no overlong forms, no surrogates, nothing
// past U+10FFFF.
bool isUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int length = lead < 0x80           ? 1
                     : (lead >> 5) == 0x6  ? 2
                     : (lead >> 4) == 0xE  ? 3
                     : (lead >> 3) == 0x1E ? 4
                                           : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        unsigned long code = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next >> 6) != 0x2) {
                return false;
            }
            code = (code << 6) | (next & 0x3F);
        }
        const unsigned long smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

// The first cell of each table row of LICENSES.md, the header and its rule left out.
std::vector<std::string> listedFiles(const std::string& licenses) {
    std::vector<std::string> files;
    std::istringstream lines(licenses);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("| ", 0) != 0) {
            continue;
        }
        const std::string cell = line.substr(2, line.find(" |", 2) - 2);
        if (cell != "file" && cell.rfind("---", 0) != 0) {
            files.push_back(cell);
        }
    }
    return files;
}

// The licence text in the file beside the font, line by line as the page must show it.
std::vector<std::string> fontLicenceLines(const std::string& licence) {
    std::vector<std::string> lines;
    std::istringstream in(licence.substr(0, licence.find("Files: debian/*")));
    bool inText = false;
    for (std::string line; std::getline(in, line);) {
        inText = inText || line == " PREAMBLE";
        line.erase(line.find_last_not_of(' ') + 1);
        if (inText && line.size() > 2) {
            lines.push_back(line.substr(1));
        }
    }
    return lines;
}

std::string escaped(std::string text) {
    for (std::size_t at = text.find('&'); at != std::string::npos; at = text.find('&', at + 1)) {
        text.replace(at, 1, "&amp;");
    }
    return text;
}

TEST(CopyrightPage, ShipsAsAPlainUtf8PageNamingEveryThirdPartyFile) {
    auto* files = FileUtils::getInstance();
    const std::string path = files->fullPathForFilename("copyright/win32/index.html");
    ASSERT_FALSE(path.empty());
    const std::string page = files->getStringFromFile(path);
    EXPECT_TRUE(isUtf8(page));
    EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_NE(page.find("<title>TarnixworksZOA</title>"), std::string::npos);
    // It opens without a network: nothing is loaded from elsewhere.
    for (const char* fetch : {"src=", "href=", "<link", "url(", "@import"}) {
        EXPECT_EQ(page.find(fetch), std::string::npos) << fetch;
    }

    const auto listed = listedFiles(files->getStringFromFile("LICENSES.md"));
    ASSERT_FALSE(listed.empty());
    for (const auto& file : listed) {
        EXPECT_NE(page.find(file), std::string::npos) << file;
    }
    const auto licence = fontLicenceLines(files->getStringFromFile("fonts/console.ttf.LICENSE"));
    ASSERT_GT(licence.size(), 50u);
    for (const auto& line : licence) {
        EXPECT_NE(page.find(escaped(line)), std::string::npos) << line;
    }
    for (const char* library : {"SDL2", "SDL2_image", "SDL2_ttf", "fontconfig", "pugixml",
                                "libserialport", "LGPL-3.0-or-later", "zlib licence"}) {
        EXPECT_NE(page.find(library), std::string::npos) << library;
    }
}

}  // namespace
