// The save store's two hot paths: opening the list of saved programs and storing a program
// after a change on the field.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "base/AutoreleasePool.h"
#include "platform/FileUtils.h"
#include "save/SaveDataManager.h"

namespace {

using cocos2d::FileUtils;
using cocos2d::Value;
using cocos2d::ValueMap;
using cocos2d::ValueVector;

// A fresh writable directory for one benchmark, removed afterwards.
class ScratchStore {
public:
    ScratchStore() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "zoa-bench-XXXXXX").string();
        _path = ::mkdtemp(pattern.data()) ? pattern + "/" : "";
        FileUtils::getInstance()->setWritablePath(_path);
    }
    ~ScratchStore() {
        std::error_code ignored;
        std::filesystem::remove_all(_path, ignored);
    }
    bool ok() const { return !_path.empty(); }
    const std::string& path() const { return _path; }

private:
    std::string _path;
};

void writeList(const std::string& root, int count) {
    ValueVector datas;
    for (int id = count; id >= 1; --id) {
        const std::string n = std::to_string(id);
        datas.emplace_back(ValueMap{{"identifer", Value(id)},
                                    {"title", Value("ぼくの プログラム " + n)},
                                    {"path", Value("savedatas/" + n + ".plist")},
                                    {"imagepath", Value("savedatas/img" + n + ".png")},
                                    {"modify", Value("2019/12/24 18:30:45")}});
    }
    auto* files = FileUtils::getInstance();
    files->createDirectory(root + "savedatas");
    files->writeValueMapToFile(ValueMap{{"lastid", Value(count)}, {"datas", Value(datas)}},
                               root + SaveDataManager::kListFile);
}

ValueVector fortyCards() {
    ValueVector cards;
    for (int line = 0; line < 40; ++line) {
        cards.emplace_back(ValueMap{{"tab", Value(line % 3)},
                                    {"index", Value(line % 8)},
                                    {"x", Value(212)},
                                    {"y", Value(3000 - 75 * line)},
                                    {"zorder", Value(2147483647)},
                                    {"value", Value(line % 2 ? "10" : "")}});
    }
    return cards;
}

void BM_LoadListOf1000Programs(benchmark::State& state) {
    ScratchStore scratch;
    if (!scratch.ok()) {
        state.SkipWithError("no temporary directory");
        return;
    }
    writeList(scratch.path(), 1000);
    for (auto _ : state) {
        cocos2d::AutoreleasePool pool;
        auto* store = SaveDataManager::create();
        if (store->getDatas().size() != 1000) {
            state.SkipWithError("the list did not load");
            break;
        }
    }
}
BENCHMARK(BM_LoadListOf1000Programs)->Unit(benchmark::kMillisecond);

// A program that is already listed: the program file is rewritten, flushed and renamed.
void BM_StoreFortyCardProgram(benchmark::State& state) {
    ScratchStore scratch;
    if (!scratch.ok()) {
        state.SkipWithError("no temporary directory");
        return;
    }
    cocos2d::AutoreleasePool pool;
    auto* store = SaveDataManager::create();
    auto* record = SaveData::create();
    const ValueVector cards = fortyCards();
    store->save(record, cards);
    for (auto _ : state) {
        store->save(record, cards);
    }
    if (store->loadProgram(record) != cards) {
        state.SkipWithError("the program was not stored");
    }
}
BENCHMARK(BM_StoreFortyCardProgram)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
