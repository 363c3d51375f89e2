#include "device/LinkTrouble.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/LanguageManager.h"

namespace {

// A machine has far fewer; the bounds keep a scan of a strange /proc short.
constexpr int kMaxProcesses = 65536;
constexpr int kMaxDescriptorsPerProcess = 4096;

std::string text(const std::string& japanese, const std::string& english) {
    return LanguageManager::getInstance()->getText(japanese, english);
}

bool isNumber(const char* name) {
    if (!*name) {
        return false;
    }
    for (const char* c = name; *c; ++c) {
        if (*c < '0' || *c > '9') {
            return false;
        }
    }
    return true;
}

std::string linkTarget(const std::string& link) {
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink(link.c_str(), buffer, sizeof(buffer) - 1);
    return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string();
}

std::string canonical(const std::string& path) {
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) ? std::string(buffer) : path;
}

bool holds(const std::string& process, const std::string& device) {
    DIR* fds = ::opendir((process + "/fd").c_str());
    if (!fds) {
        return false;  // gone meanwhile, or not ours to look at
    }
    bool found = false;
    int seen = 0;
    while (const dirent* entry = ::readdir(fds)) {
        if (++seen > kMaxDescriptorsPerProcess) {
            break;
        }
        if (isNumber(entry->d_name) &&
            linkTarget(process + "/fd/" + entry->d_name) == device) {
            found = true;
            break;
        }
    }
    ::closedir(fds);
    return found;
}

// The process holding a whole-file lock on the device, from /proc/locks; "" when none.
std::string lockHolder(const std::string& path, const std::string& self) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return "";
    }
    char identity[64];
    std::snprintf(identity, sizeof(identity), "%02x:%02x:%llu", major(status.st_dev),
                  minor(status.st_dev), static_cast<unsigned long long>(status.st_ino));
    std::ifstream locks("/proc/locks");
    std::string line;
    for (int lines = 0; lines < kMaxProcesses && std::getline(locks, line); ++lines) {
        // "1: FLOCK  ADVISORY  WRITE 1234 00:19:5 0 EOF"
        std::istringstream fields(line);
        std::string number, kind, mode, access, pid, file;
        fields >> number >> kind >> mode >> access >> pid >> file;
        if (file == identity && isNumber(pid.c_str()) && pid != self) {
            return pid;
        }
    }
    return "";
}

std::string processName(const std::string& process) {
    std::ifstream comm(process + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

std::string groupName(gid_t gid) {
    group entry{};
    group* found = nullptr;
    char buffer[4096];
    if (::getgrgid_r(gid, &entry, buffer, sizeof(buffer), &found) == 0 && found) {
        return found->gr_name;
    }
    return std::to_string(gid);
}

}  // namespace

LinkTrouble LinkTrouble::noPermission(const std::string& path) {
    LinkTrouble trouble(Cause::NoPermission, path);
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) {
        trouble._group = groupName(status.st_gid);
        trouble._groupMayUse = status.st_gid != 0 && (status.st_mode & S_IRGRP) &&
                               (status.st_mode & S_IWGRP);
    }
    return trouble;
}

LinkTrouble LinkTrouble::ofSerial(const std::string& path, int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return noPermission(path);
        case EBUSY:
        case EWOULDBLOCK: {
            LinkTrouble trouble(Cause::Busy, path);
            trouble._holder = findHolder(path);
            return trouble;
        }
        case ENOENT:
        case ENXIO:
        case ENODEV:
        case EIO:
            return LinkTrouble(Cause::Gone, path);
        default:
            return LinkTrouble();
    }
}

LinkTrouble LinkTrouble::ofDatagram(int error) {
    switch (error) {
        case ENETUNREACH:
        case EHOSTUNREACH:
        case ENETDOWN:
            return LinkTrouble(Cause::NotOnNetwork, "");
        default:
            return LinkTrouble();
    }
}

LinkTrouble LinkTrouble::ofAccess(const std::string& path) {
    if (::faccessat(AT_FDCWD, path.c_str(), R_OK | W_OK, AT_EACCESS) != 0 && errno == EACCES) {
        return noPermission(path);
    }
    return LinkTrouble();
}

std::string LinkTrouble::findHolder(const std::string& path) {
    const std::string device = canonical(path);
    const std::string self = std::to_string(::getpid());
    // The lock names the very process that keeps us out; any opener may only be passing by.
    const std::string locker = lockHolder(device, self);
    if (!locker.empty()) {
        const std::string name = processName("/proc/" + locker);
        if (!name.empty()) {
            return name;
        }
    }
    DIR* processes = ::opendir("/proc");
    if (!processes) {
        return "";
    }
    std::string name;
    int seen = 0;
    while (const dirent* entry = ::readdir(processes)) {
        if (++seen > kMaxProcesses) {
            break;
        }
        if (!isNumber(entry->d_name) || self == entry->d_name) {
            continue;
        }
        const std::string process = std::string("/proc/") + entry->d_name;
        if (holds(process, device)) {
            name = processName(process);
            if (!name.empty()) {
                break;
            }
        }
    }
    ::closedir(processes);
    return name;
}

std::string LinkTrouble::help() const {
    switch (_cause) {
        case Cause::NoPermission:
            return permissionHelp();
        case Cause::Busy:
            return busyHelp();
        case Cause::Gone:
            return text("ボードが はずれています（" + _device +
                            "）。ボードを さしなおして、リロードの アイコンを おしてください。",
                        "The board is no longer connected (" + _device +
                            "). Plug it in again and press the reload icon.");
        case Cause::NotOnNetwork:
            return text("この コンピューターは ボードの むせんネットワークに つながっていません。"
                        "ボードの むせんネットワークに つないでから、もういちど ためしてください。",
                        "This computer is not on the board's wireless network. Join the board's "
                        "wireless network, then try again.");
        case Cause::None:
            break;
    }
    return "";
}

std::string LinkTrouble::permissionHelp() const {
    const std::string group = _group.empty() ? "?" : _group;
    if (!_groupMayUse) {
        return text("この ユーザーには " + _device + "（グループ「" + group +
                        "」）を つかう けんりが ありません。おとなの ひとに けんりを "
                        "もらってください。",
                    "This user may not use " + _device + " (group \"" + group +
                        "\"). An adult has to give this user access to it.");
    }
    const std::string command = "sudo usermod -aG " + group + " $USER";
    return text("この ユーザーには " + _device + "（グループ「" + group +
                    "」）を つかう けんりが ありません。おとなの ひとが たんまつで「" + command +
                    "」と うって、ログアウトして ログインしなおすと つかえるように なります。",
                "This user may not use " + _device + " (group \"" + group +
                    "\"). An adult can fix this by typing \"" + command +
                    "\" in a terminal, then logging out and in again.");
}

std::string LinkTrouble::busyHelp() const {
    if (_holder.empty()) {
        return text("ほかの プログラムが " + _device +
                        " を つかっています。その プログラムを とじてから、もういちど "
                        "ためしてください。",
                    "Another program is using " + _device +
                        ". Close it, then try again.");
    }
    std::string help = text("「" + _holder + "」が " + _device +
                                " を つかっています。とじてから、もういちど ためしてください。",
                            "\"" + _holder + "\" is using " + _device +
                                ". Close it, then try again.");
    // Both are known to take USB serial adapters for themselves as soon as they appear.
    if (_holder == "ModemManager") {
        help += text(" ModemManager は USB シリアルを とってしまう ことが あります。おとなの "
                     "ひとが「sudo systemctl stop ModemManager」で とめられます。",
                     " ModemManager is known to take USB serial adapters; an adult can stop it "
                     "with \"sudo systemctl stop ModemManager\".");
    } else if (_holder == "brltty") {
        help += text(" brltty は USB シリアルを とってしまう ことが あります。点字ディスプレイを "
                     "つかわないなら、おとなの ひとが「sudo apt remove brltty」で けせます。",
                     " brltty is known to take USB serial adapters; where no Braille display is "
                     "used, an adult can remove it with \"sudo apt remove brltty\".");
    }
    return help;
}

std::string LinkTrouble::note() const {
    if (_cause != Cause::NoPermission) {
        return "";
    }
    if (!_groupMayUse) {
        return text("けんりが ありません", "No permission for this port");
    }
    const std::string command = "sudo usermod -aG " + _group + " $USER";
    return text("けんりが ありません: " + command, "No permission: " + command);
}
