#pragma once

#include <string>

#include "base/Value.h"

class SaveData;

// Moving programs between computers as pictures: a saved program written out as a PNG that
// holds it, and a dropped picture (or program property list) taken in as a new program. Main
// thread only; goes through the process-wide store.
class ProgramShare {
public:
    enum class Outcome { Imported, NoProgram, Damaged, Newer, NotStored, Unreadable };

    // Dropped files larger than this are not read at all.
    static constexpr size_t kMaxFileBytes = 32u << 20;
    // More than a field can sensibly hold; the bounds only keep a crafted file small.
    static constexpr size_t kMaxCards = 4096;
    static constexpr size_t kMaxValueBytes = 256;
    static constexpr size_t kMaxTitleBytes = 200;

    // The user's documents folder (XDG), else the home folder; "" when there is neither. Ends
    // with a separator.
    static std::string documentsDirectory();

    // Writes the record as "<title>.png" in `directory`, never over an existing file (" 2",
    // " 3" ... before the extension). The path written, or "" when nothing was.
    static std::string exportProgram(SaveData* record, const std::string& directory);

    // Takes the file in as a new program at the front of the store's list. Nothing existing is
    // changed, whatever the outcome.
    static Outcome importFile(const std::string& path);
    // Reads the file as importFile does, storing nothing: Imported with the cards it holds
    // (checked as opening a program checks them), or why it holds none.
    static Outcome readCards(const std::string& path, cocos2d::ValueVector& cards);

    // `wanted`, or "`wanted` 2", "`wanted` 3" ... when a saved program already has that title.
    static std::string uniqueTitle(const std::string& wanted);

    // What the alert says.
    static std::string exportedText(const std::string& directory);
    static std::string exportFailedText();
    static std::string importFailedText(Outcome outcome, const std::string& path);
};
