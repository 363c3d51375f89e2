#include "platform/FileUtils.h"

#include <SDL.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

namespace cocos2d {

namespace {

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string withSeparator(std::string path) {
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    return path;
}

std::vector<std::string> defaultSearchPaths() {
    std::vector<std::string> candidates;
    if (char* base = SDL_GetBasePath()) {
        candidates.push_back(std::string(base) + "Resources/");
        candidates.push_back(std::string(base) + "../Resources/");
        SDL_free(base);
    }
#ifdef ZOA_SOURCE_RESOURCES
    candidates.push_back(ZOA_SOURCE_RESOURCES);
#endif
    std::vector<std::string> paths;
    for (const auto& candidate : candidates) {
        if (isDirectory(candidate)) {
            paths.push_back(candidate);
            break;
        }
    }
    return paths;
}

}  // namespace

FileUtils* FileUtils::getInstance() {
    static FileUtils* instance = new FileUtils();
    return instance;
}

FileUtils::FileUtils() : _searchPaths(defaultSearchPaths()) {}

void FileUtils::setSearchPaths(const std::vector<std::string>& paths) {
    _searchPaths.clear();
    for (const auto& path : paths) {
        _searchPaths.push_back(withSeparator(path));
    }
}

void FileUtils::addSearchPath(const std::string& path, bool front) {
    auto it = front ? _searchPaths.begin() : _searchPaths.end();
    _searchPaths.insert(it, withSeparator(path));
}

bool FileUtils::isAbsolutePath(const std::string& path) const {
    return !path.empty() && path[0] == '/';
}

std::string FileUtils::fullPathForFilename(const std::string& filename) const {
    if (filename.empty()) {
        return "";
    }
    if (isAbsolutePath(filename)) {
        return isRegularFile(filename) ? filename : "";
    }
    for (const auto& searchPath : _searchPaths) {
        std::string candidate = searchPath + filename;
        if (isRegularFile(candidate)) {
            return candidate;
        }
    }
    return "";
}

bool FileUtils::isFileExist(const std::string& filename) const {
    return !fullPathForFilename(filename).empty();
}

std::string FileUtils::getStringFromFile(const std::string& filename) const {
    const std::string path = fullPathForFilename(filename);
    if (path.empty()) {
        return "";
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace cocos2d
