#include "platform/FontResolver.h"

#include <fontconfig/fontconfig.h>

#include <mutex>

namespace cocos2d {

// fontconfig's configuration for as long as a resolver holds it. Only resolvers use fontconfig,
// so when the last one is gone, after its font sets, nothing uses it any more and it can be freed.
struct FontResolver::Fontconfig {
    Fontconfig() : ready(FcInit() == FcTrue) {}
    ~Fontconfig() {
        if (ready) {
            FcFini();
        }
    }
    Fontconfig(const Fontconfig&) = delete;
    Fontconfig& operator=(const Fontconfig&) = delete;

    const bool ready;
};

namespace {

std::mutex fontconfigMutex;
std::weak_ptr<FontResolver::Fontconfig> fontconfigInUse;

}  // namespace

void FontResolver::FontSetDeleter::operator()(FcFontSet* set) const {
    FcFontSetDestroy(set);
}

FontResolver* FontResolver::getInstance() {
    static FontResolver instance;
    return &instance;
}

std::vector<char32_t> FontResolver::decodeUtf8(const std::string& utf8) {
    std::vector<char32_t> out;
    size_t i = 0;
    while (i < utf8.size()) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        int extra = 0;
        char32_t cp = 0;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            extra = 3;
        } else {
            ++i;  // a stray continuation byte: skip it
            continue;
        }
        if (i + extra >= utf8.size()) {
            break;  // cut off at the end
        }
        for (int k = 1; k <= extra; ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        out.push_back(cp);
        i += extra + 1;
    }
    return out;
}

const std::vector<FontResolver::Candidate>& FontResolver::candidatesFor(const std::string& family) {
    auto it = _families.find(family);
    if (it != _families.end()) {
        return it->second.candidates;
    }
    if (!_fontconfig) {
        std::lock_guard<std::mutex> lock(fontconfigMutex);
        _fontconfig = fontconfigInUse.lock();
        if (!_fontconfig) {
            _fontconfig = std::make_shared<Fontconfig>();
            fontconfigInUse = _fontconfig;
        }
    }
    Family found;
    if (_fontconfig->ready) {
        FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str()));
        if (pattern) {
            FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
            FcDefaultSubstitute(pattern);
            FcResult result = FcResultNoMatch;
            // Held with the candidates: their file names and character sets point into it.
            found.set.reset(FcFontSort(nullptr, pattern, FcTrue, nullptr, &result));
            FcPatternDestroy(pattern);
        }
    }
    const FcFontSet* set = found.set.get();
    for (int i = 0; set && i < set->nfont; ++i) {
        FcChar8* file = nullptr;
        FcCharSet* charset = nullptr;
        int index = 0;
        if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) != FcResultMatch ||
            FcPatternGetCharSet(set->fonts[i], FC_CHARSET, 0, &charset) != FcResultMatch) {
            continue;
        }
        FcPatternGetInteger(set->fonts[i], FC_INDEX, 0, &index);
        found.candidates.push_back({{reinterpret_cast<const char*>(file), index}, charset});
    }
    return _families.emplace(family, std::move(found)).first->second.candidates;
}

FontResolver::Face FontResolver::resolve(const std::string& family, const std::string& utf8Text) {
    const std::vector<Candidate>& candidates =
        candidatesFor(family.empty() ? "sans-serif" : family);
    if (candidates.empty()) {
        return {};
    }
    std::vector<char32_t> needed;
    for (char32_t cp : decodeUtf8(utf8Text)) {
        if (cp > 0x20) {  // spaces and line breaks are drawn by any face
            needed.push_back(cp);
        }
    }
    const Candidate* best = &candidates.front();
    size_t bestCovered = 0;
    for (const Candidate& candidate : candidates) {
        size_t covered = 0;
        for (char32_t cp : needed) {
            covered += FcCharSetHasChar(candidate.charset, cp) ? 1 : 0;
        }
        if (covered == needed.size()) {
            return candidate.face;
        }
        if (covered > bestCovered) {
            best = &candidate;
            bestCovered = covered;
        }
    }
    return best->face;
}

}  // namespace cocos2d
