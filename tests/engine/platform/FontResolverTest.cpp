#include <gtest/gtest.h>

#include <string>

#include "platform/FontResolver.h"

namespace {

using cocos2d::FontResolver;

// A resolver holds fontconfig's ranking of each family it was asked for while its faces are
// chosen from it, and frees it with itself: under the leak checker (scripts/sanitize.sh) a
// ranking kept without an owner is reported here.
TEST(FontResolver, HoldsEachFamilysRankingAndFreesItWithItself) {
    const std::string japanese = "プログラムを保存しました";
    FontResolver::Face latin;
    FontResolver::Face kana;
    {
        FontResolver resolver;
        latin = resolver.resolve("DejaVu Sans Mono", "RUN");
        kana = resolver.resolve("DejaVu Sans Mono", japanese);
        ASSERT_FALSE(latin.file.empty());
        ASSERT_FALSE(kana.file.empty());
        EXPECT_NE(kana.file, latin.file);  // DejaVu has no kana
        // Asked again, the held ranking gives the same faces.
        EXPECT_EQ(resolver.resolve("DejaVu Sans Mono", "RUN").file, latin.file);
        EXPECT_EQ(resolver.resolve("DejaVu Sans Mono", japanese).file, kana.file);
    }
    FontResolver again;
    EXPECT_EQ(again.resolve("DejaVu Sans Mono", japanese).file, kana.file);
}

}  // namespace
