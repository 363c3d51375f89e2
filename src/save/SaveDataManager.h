#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/Ref.h"
#include "base/Value.h"
#include "save/SaveData.h"

namespace cocos2d {
class RenderTexture;
}

// The store of saved programs below the writable directory: "savedatas/list.plist" lists them,
// newest first, and each program has its own program file and thumbnail. The list in memory is
// authoritative; the list file is read once, by init. Main thread only.
class SaveDataManager : public cocos2d::Ref {
public:
    static SaveDataManager* getInstance();
    // A store apart from the process-wide one, over the current writable directory; autoreleased.
    static SaveDataManager* create();

    virtual ~SaveDataManager();
    // Loads the list file, creating it when absent. A damaged list file is kept beside it under
    // a new name and the store starts with what could be read of it. Program files that no
    // entry names are listed first, titled by their file's date.
    virtual bool init();

    const std::vector<SaveData*>& getDatas() const { return datas; }
    int32_t getLastId() const { return lastid; }

    // Writes the cards as the record's program file. True when the record was already listed,
    // false when this call listed it (it then gets its identifier, paths and title). A program
    // file that cannot be read as an array is first kept beside it ("savedatas/3.plist" becomes
    // "savedatas/3-damaged-1.plist"); when it cannot be kept, nothing is written over it.
    bool save(SaveData* record, const cocos2d::ValueVector& cards);
    // Writes the list file from memory; false when the write failed.
    bool saveList();
    // A copy of a listed record with an identifier, program file and thumbnail of its own (the
    // files copied byte for byte), titled with the original title and " 2" (" 3" and so on
    // when that title is taken), listed first. Null, with nothing written, when the record is
    // not listed, no identifier is free or a file cannot be copied.
    SaveData* duplicate(SaveData* original);
    // The original title followed by " 2", or the first higher number no listed title has.
    std::string copyTitle(const std::string& title) const;
    // Deletes the record's thumbnail and program file and takes it off the list.
    void removeData(SaveData* record);
    // The stored cards; empty for a record without a usable program file, which stays as it is
    // until the next save keeps it aside.
    cocos2d::ValueVector loadProgram(SaveData* record) const;
    // The thumbnail's full path, or "" when the record's image path does not lie in the store.
    std::string getImageFullPath(SaveData* record) const;
    // Has the engine write the texture as the record's thumbnail (PNG with alpha) after the next
    // frame, then call the completion on the main thread with the file written. A record without
    // a thumbnail path of the store writes nothing, but the completion still runs after the next
    // frame, with "" as the file: callers move on inside it and must never be left waiting.
    void saveThumbnail(SaveData* record, cocos2d::RenderTexture* texture,
                       std::function<void(cocos2d::RenderTexture*, const std::string&)> completion);

    // The file names of the next identifier.
    std::string makeProgramPath() const;
    std::string makeImagePath() const;

    // "2019/1/1 1:2:3": no leading zeros anywhere.
    static std::string makeTimeStamp(const std::tm& local);

    static constexpr const char* kListFile = "savedatas/list.plist";

protected:
    SaveDataManager() = default;

    std::vector<SaveData*> datas;
    int32_t lastid = 0;

private:
    void loadList(const cocos2d::ValueMap& root, bool& damaged);
    void keepDamagedList(const std::string& listPath);
    // Lists, first, the program files no entry names; true when there were any.
    bool adoptOrphans();
    bool keepUnreadableProgram(const std::string& relative, const std::string& full) const;
    bool keepBeside(const std::string& full, const std::string& stem) const;
    bool copyInStore(const std::string& from, const std::string& to) const;
    bool isListed(const SaveData* record) const;
    bool isIdentifierTaken(int32_t identifier) const;
    bool assignIdentifier(SaveData* record);
    // The full path of a file of the store, or "" when the relative path could lead elsewhere.
    std::string storePath(const std::string& relative) const;
    bool existsInStore(const std::string& relative) const;

    std::string _root;
    // Records that have their identifier but whose program file was never written; the value
    // says whether the first successful write sets `modify`.
    std::map<SaveData*, bool> _unwritten;
};
