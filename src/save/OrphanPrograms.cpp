#include "save/OrphanPrograms.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <ctime>
#include <filesystem>

#include "save/SaveData.h"
#include "save/SaveDataManager.h"

namespace {

const std::string kPrefix = "savedatas/";

// The identifier of a name the store gives its program files ("12.plist"), or 0.
int32_t identifierOf(const std::string& name) {
    const std::string suffix = ".plist";
    if (name.size() <= suffix.size() || name.size() > suffix.size() + 10 || name[0] == '0' ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return 0;
    }
    const std::string digits = name.substr(0, name.size() - suffix.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return 0;
    }
    const long long value = std::stoll(digits);
    return value <= INT32_MAX ? static_cast<int32_t>(value) : 0;
}

bool isNamed(const std::vector<SaveData*>& listed, int32_t identifier, const std::string& path) {
    return std::any_of(listed.begin(), listed.end(), [&](const SaveData* record) {
        return record->identifier == identifier || record->path == path;
    });
}

}  // namespace

std::vector<SaveData*> OrphanPrograms::find(const std::string& root,
                                            const std::vector<SaveData*>& listed) {
    std::vector<std::pair<std::time_t, int32_t>> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(root + kPrefix, error)) {
        const std::string name = entry.path().filename().string();
        const int32_t identifier = identifierOf(name);
        struct stat status {};
        if (identifier > 0 && !isNamed(listed, identifier, kPrefix + name) &&
            ::lstat(entry.path().c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
            found.emplace_back(status.st_mtime, identifier);
        }
    }
    std::sort(found.rbegin(), found.rend());
    std::vector<SaveData*> records;
    for (const auto& [time, identifier] : found) {
        std::tm local{};
        localtime_r(&time, &local);
        SaveData* record = SaveData::create();
        record->identifier = identifier;
        record->path = kPrefix + std::to_string(identifier) + ".plist";
        record->imagepath = kPrefix + "img" + std::to_string(identifier) + ".png";
        record->title = record->modify = SaveDataManager::makeTimeStamp(local);
        records.push_back(record);
    }
    return records;
}
