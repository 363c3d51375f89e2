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
    // false when this call listed it (it then gets its identifier, paths and title). `written`,
    // when given, tells whether the cards reached the disk, listed in the list file. A program
    // file that was read but is no array is first kept beside it ("savedatas/3.plist" becomes
    // "savedatas/3-damaged-1.plist"); one that cannot be read, or kept, is never written over.
    // Cards that did not reach the disk are kept in memory for loadProgram.
    bool save(SaveData* record, const cocos2d::ValueVector& cards, bool* written = nullptr);
    // False while the record's last store did not reach the disk.
    bool isStored(SaveData* record) const { return _unstored.count(record) == 0; }
    // Writes the list file from memory; false when the write failed, and always while the list
    // file could not be read at start (it is then never replaced).
    bool saveList();
    // The list file was there at start but could not be read (no permission, an I/O error).
    bool isListUnreadable() const { return _listUnreadable; }
    // A copy of a listed record with an identifier, program file and thumbnail of its own (the
    // files copied byte for byte), titled with the original title and " 2" (" 3" and so on
    // when that title is taken), listed first. Null, with nothing written, when the record is
    // not listed, no identifier is free, a file cannot be copied or the list cannot be written.
    SaveData* duplicate(SaveData* original);
    // A new program listed first with its title, cards and (when not empty) PNG bytes as its
    // thumbnail. Null, with nothing left on disk, when any of its files cannot be written.
    SaveData* addProgram(const cocos2d::ValueVector& cards, const std::string& title,
                         const std::string& thumbnail);
    // The original title followed by " 2", or the first higher number no listed title has.
    std::string copyTitle(const std::string& title) const;
    // Deletes the record's thumbnail and program file and takes it off the list.
    void removeData(SaveData* record);
    // The stored cards; empty for a record without a usable program file, which stays as it is
    // until the next save keeps it aside.
    cocos2d::ValueVector loadProgram(SaveData* record) const;
    // False when the record's program file is there but cannot be read: such a program is not
    // to be opened, as it could only be shown empty.
    bool canReadProgram(SaveData* record) const;
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
    bool keepDamagedProgram(const std::string& relative, const std::string& full) const;
    // Lists, first, the program files no entry names; true when there were any.
    bool adoptOrphans();
    void removeUnfinishedWrites() const;
    bool keepBeside(const std::string& full, const std::string& stem) const;
    bool copyInStore(const std::string& from, const std::string& to) const;
    bool listFirst(SaveData* record);
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
    // The cards of listed records whose last store failed: the child's work, until it is stored.
    std::map<SaveData*, cocos2d::ValueVector> _unstored;
    bool _listUnreadable = false;
};
