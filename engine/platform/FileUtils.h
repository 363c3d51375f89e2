#pragma once

#include <string>
#include <vector>

#include "base/Value.h"

namespace cocos2d {

// Finds and reads the editor's resources, and keeps the user's files in the writable directory.
// Relative names are looked up in the search paths in order; the default search paths locate
// Resources/ from the executable and from the source tree.
class FileUtils {
public:
    static FileUtils* getInstance();

    void setSearchPaths(const std::vector<std::string>& paths);
    void addSearchPath(const std::string& path, bool front = false);
    const std::vector<std::string>& getSearchPaths() const { return _searchPaths; }

    // The full path of an existing file, or "" when no search path holds it.
    std::string fullPathForFilename(const std::string& filename) const;
    bool isAbsolutePath(const std::string& path) const;
    bool isFileExist(const std::string& filename) const;

    // The whole content of the file, or "" when it is missing or unreadable.
    std::string getStringFromFile(const std::string& filename) const;
    // The whole content of the file at a full path. 0 when it was read, else the errno of what
    // failed: ENOENT when nothing is there; EACCES, EIO, EISDIR ... when something is there that
    // cannot be read, which must not be taken for a damaged file.
    int readFile(const std::string& fullPath, std::string& data) const;

    // The per-user data directory of the editor, ending in a separator; made on first use.
    std::string getWritablePath() const;
    // Replaces the writable directory (tests use a temporary one); "" brings back the default.
    void setWritablePath(const std::string& path);

    bool isDirectoryExist(const std::string& path) const;
    // Makes the directory and any missing parents; true when it exists afterwards.
    bool createDirectory(const std::string& path) const;
    // True when a file was removed; directories are left alone.
    bool removeFile(const std::string& path) const;
    bool renameFile(const std::string& oldPath, const std::string& newPath) const;

    // Writes through a temporary file in the same directory that is flushed to the disk and then
    // renamed into place: the file holds either its old or its new content, never a part. False,
    // with the old file untouched, when anything fails.
    bool writeStringToFile(const std::string& data, const std::string& fullPath) const;

    // Property lists (XML, version 1.0, UTF-8). Reading gives an empty container when the file is
    // missing, unreadable or of another root type.
    ValueMap getValueMapFromFile(const std::string& filename) const;
    ValueVector getValueVectorFromFile(const std::string& filename) const;
    // Tells an empty array from a file that could not be read: false, with vector emptied, when
    // the file is missing, unreadable, no property list or its root is no array.
    bool readValueVectorFromFile(const std::string& filename, ValueVector& vector) const;
    bool writeValueMapToFile(const ValueMap& map, const std::string& fullPath) const;
    bool writeValueVectorToFile(const ValueVector& vector, const std::string& fullPath) const;
    bool writeToFile(const ValueMap& map, const std::string& fullPath) const {
        return writeValueMapToFile(map, fullPath);
    }

private:
    FileUtils();

    std::vector<std::string> _searchPaths;
    mutable std::string _writablePath;
};

}  // namespace cocos2d
