#pragma once

#include <string>
#include <vector>

namespace cocos2d {

// Finds and reads the editor's resources. Relative names are looked up in the search paths in
// order; the default search paths locate Resources/ from the executable and from the source tree.
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

private:
    FileUtils();

    std::vector<std::string> _searchPaths;
};

}  // namespace cocos2d
