#pragma once

#include <map>
#include <string>
#include <vector>

namespace cocos2d {

// Finds the font file for a system font name with fontconfig. The face chosen is the first of
// fontconfig's ranking for the name that has every character of the text: a name such as
// "Helvetica" resolves to a Latin face without kana, so Japanese text must pick another face.
class FontResolver {
public:
    struct Face {
        std::string file;
        int index = 0;
        bool operator<(const Face& o) const {
            return file < o.file || (file == o.file && index < o.index);
        }
    };

    static FontResolver* getInstance();

    // An empty file when fontconfig knows no font at all.
    Face resolve(const std::string& family, const std::string& utf8Text);

    static std::vector<char32_t> decodeUtf8(const std::string& utf8);

private:
    struct Candidate {
        Face face;
        void* charset;  // FcCharSet*, owned by the cached font set
    };

    FontResolver() = default;
    const std::vector<Candidate>& candidatesFor(const std::string& family);

    std::map<std::string, std::vector<Candidate>> _candidates;
};

}  // namespace cocos2d
