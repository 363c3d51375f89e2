#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

struct _FcCharSet;
struct _FcFontSet;

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

    // Shared for the process, destroyed at exit.
    static FontResolver* getInstance();

    // A resolver frees its font sets when destroyed; the last one alive also frees fontconfig's
    // configuration (FcFini), which the next one to resolve loads again.
    FontResolver() = default;

    // An empty file when fontconfig knows no font at all.
    Face resolve(const std::string& family, const std::string& utf8Text);

    static std::vector<char32_t> decodeUtf8(const std::string& utf8);

    // fontconfig's configuration, shared by the resolvers alive (FontResolver.cpp).
    struct Fontconfig;

private:
    struct Candidate {
        Face face;
        const _FcCharSet* charset;  // held by the family's font set
    };
    struct FontSetDeleter {
        void operator()(_FcFontSet* set) const;
    };
    // fontconfig's ranking for a family name, and the candidates that point into it.
    struct Family {
        std::unique_ptr<_FcFontSet, FontSetDeleter> set;
        std::vector<Candidate> candidates;
    };

    const std::vector<Candidate>& candidatesFor(const std::string& family);

    // Declared before the font sets, so that it outlives them.
    std::shared_ptr<Fontconfig> _fontconfig;
    std::map<std::string, Family> _families;
};

}  // namespace cocos2d
