#include "platform/FileUtils.h"

#include <SDL.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/PlistReader.h"
#include "platform/PlistWriter.h"

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
#ifdef ZOA_INSTALLED_RESOURCES
        // Before ../Resources, which an install prefix such as the home directory may hold.
        candidates.push_back(std::string(base) + ZOA_INSTALLED_RESOURCES);
#endif
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

bool writeAll(int fd, const std::string& data) {
    const char* at = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, at, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        at += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

// Makes a finished rename survive a power cut; a failure here does not undo the write.
void syncDirectory(const std::string& directory) {
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Relative names are looked up in the search paths, so the writable directory must be absolute
// for its own files to be found again.
std::string absoluteDirectory(const std::string& path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error).lexically_normal();
    return withSeparator(error ? path : absolute.string());
}

std::string defaultWritablePath() {
    if (char* pref = SDL_GetPrefPath("Tarnixworks", "TarnixworksZOA")) {
        std::string path = withSeparator(pref);
        SDL_free(pref);
        return path;
    }
    // Without a home directory the files still have to go somewhere the user can find them.
    return absoluteDirectory(".");
}

bool readPlist(const FileUtils& files, const std::string& filename, Value& root) {
    return PlistReader::parse(files.getStringFromFile(filename), root);
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

int FileUtils::readFile(const std::string& fullPath, std::string& data) const {
    data.clear();
    const int fd = ::open(fullPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return errno;
    }
    // Only regular files: a pipe or device in the store's place would block or never end.
    struct stat st {};
    int error = ::fstat(fd, &st) != 0  ? errno
                : S_ISDIR(st.st_mode)  ? EISDIR
                : !S_ISREG(st.st_mode) ? EIO
                                       : 0;
    char buffer[16384];
    while (error == 0) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            data.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0) {
            break;
        } else if (errno != EINTR) {
            error = errno;
        }
    }
    ::close(fd);
    if (error != 0) {
        data.clear();
    }
    return error;
}

}  // namespace cocos2d

namespace cocos2d {

std::string FileUtils::getWritablePath() const {
    if (_writablePath.empty()) {
        _writablePath = defaultWritablePath();
    }
    return _writablePath;
}

void FileUtils::setWritablePath(const std::string& path) {
    _writablePath = path.empty() ? "" : absoluteDirectory(path);
}

bool FileUtils::isDirectoryExist(const std::string& path) const { return isDirectory(path); }

bool FileUtils::createDirectory(const std::string& path) const {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return isDirectory(path);
}

bool FileUtils::removeFile(const std::string& path) const {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
        return false;
    }
    return ::unlink(path.c_str()) == 0;
}

bool FileUtils::renameFile(const std::string& oldPath, const std::string& newPath) const {
    return ::rename(oldPath.c_str(), newPath.c_str()) == 0;
}

bool FileUtils::writeStringToFile(const std::string& data, const std::string& fullPath) const {
    const auto slash = fullPath.rfind('/');
    const std::string directory = slash == std::string::npos ? "" : fullPath.substr(0, slash + 1);
    const std::string name = fullPath.substr(directory.size());
    if (name.empty()) {
        return false;
    }
    std::string temporary = directory + "." + name + ".tmp-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool ok = writeAll(fd, data) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(temporary.c_str(), fullPath.c_str()) == 0) {
        syncDirectory(directory.empty() ? "." : directory);
        return true;
    }
    ::unlink(temporary.c_str());
    return false;
}

ValueMap FileUtils::getValueMapFromFile(const std::string& filename) const {
    Value root;
    if (!readPlist(*this, filename, root) || root.getType() != Value::Type::MAP) {
        return ValueMap();
    }
    return std::move(root.asValueMap());
}

ValueVector FileUtils::getValueVectorFromFile(const std::string& filename) const {
    ValueVector vector;
    readValueVectorFromFile(filename, vector);
    return vector;
}

bool FileUtils::readValueVectorFromFile(const std::string& filename, ValueVector& vector) const {
    vector.clear();
    Value root;
    if (!readPlist(*this, filename, root) || root.getType() != Value::Type::VECTOR) {
        return false;
    }
    vector = std::move(root.asValueVector());
    return true;
}

bool FileUtils::writeValueMapToFile(const ValueMap& map, const std::string& fullPath) const {
    return writeStringToFile(PlistWriter::write(map), fullPath);
}

bool FileUtils::writeValueVectorToFile(const ValueVector& vector,
                                       const std::string& fullPath) const {
    return writeStringToFile(PlistWriter::write(vector), fullPath);
}

}  // namespace cocos2d
