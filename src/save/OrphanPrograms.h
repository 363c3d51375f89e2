#pragma once

#include <string>
#include <vector>

class SaveData;

// Program files in the store that no list entry names: written by an earlier version, or by a
// run that ended before it wrote the list. They are shown again rather than left invisible.
class OrphanPrograms {
public:
    // New records for the program files ("savedatas/<n>.plist") below the writable directory
    // `root` that none of `listed` names and whose identifier none of them holds; newest file
    // first, each titled and stamped with its file's date. Kept copies of damaged files and
    // temporary files never match. Autoreleased.
    static std::vector<SaveData*> find(const std::string& root,
                                       const std::vector<SaveData*>& listed);
};
