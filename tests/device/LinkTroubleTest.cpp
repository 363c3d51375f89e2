#include <gtest/gtest.h>

#include <grp.h>
#include <sched.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <thread>

#include "app/LanguageManager.h"
#include "base/EventListenerTouchOneByOne.h"
#include "field/ConnectionPanel.h"
#include "support/DeviceLinkGuard.h"
#include "support/TargetGuard.h"
#include "support/TempDir.h"
#include "support/TransferRun.h"
#include "support/VirtualBoard.h"
#include "support/WriteLog.h"

namespace {

using Card = CardProgram::Card;
constexpr uid_t kNobody = 65534;

CardProgram beepProgram() {
    CardProgram program = CardProgram::withLines(1);
    program.place(0, 0, Card{0, 0, "1"});
    return program;
}

// Runs `body` on a thread whose file access is checked as for an unprivileged user, so that
// the kernel refuses what such a user may not open (the credentials are per thread, and the
// workers that thread starts inherit them).
void asNobody(const std::function<void()>& body) {
    std::thread([&body] {
        ::syscall(SYS_setfsgid, kNobody);
        ::syscall(SYS_setfsuid, kNobody);
        body();
    }).join();
}

// A character device node for the board's terminal, as a USB serial port is made: owned by
// root and the group "dialout", readable and writable by that group only.
bool makeDialoutNode(const VirtualBoard& board, const std::string& node) {
    struct stat terminal {};
    const group* dialout = ::getgrnam("dialout");
    // The directory lets everyone through, so that the refusal is the node's own.
    const std::string directory = node.substr(0, node.find_last_of('/'));
    return ::geteuid() == 0 && dialout && ::chmod(directory.c_str(), 0755) == 0 &&
           ::stat(board.portPath().c_str(), &terminal) == 0 &&
           ::mknod(node.c_str(), S_IFCHR | 0660, terminal.st_rdev) == 0 &&
           ::chown(node.c_str(), 0, dialout->gr_gid) == 0 && ::chmod(node.c_str(), 0660) == 0;
}

// Another program with the terminal open and locked as a serial monitor would hold it.
class LockHolder {
public:
    LockHolder(const std::string& path, const char* name) {
        int ready[2];
        if (::pipe(ready) != 0) {
            return;
        }
        _pid = ::fork();
        if (_pid == 0) {
            const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            ::prctl(PR_SET_NAME, name);
            const char ok = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 1 : 0;
            (void)!::write(ready[1], &ok, 1);
            ::pause();
            ::_exit(0);
        }
        ::close(ready[1]);
        char ok = 0;
        _locked = _pid > 0 && ::read(ready[0], &ok, 1) == 1 && ok == 1;
        ::close(ready[0]);
    }
    ~LockHolder() {
        if (_pid > 0) {
            ::kill(_pid, SIGKILL);
            ::waitpid(_pid, nullptr, 0);
        }
    }
    bool locked() const { return _locked; }

private:
    pid_t _pid = -1;
    bool _locked = false;
};

// Runs `body` on a thread in a network namespace of its own, whose loopback is down: datagrams
// to 127.0.0.1 are refused there, as they are towards the board from outside its network.
bool withoutNetwork(const std::function<void()>& body) {
    bool unshared = false;
    std::thread([&] {
        unshared = ::unshare(CLONE_NEWNET) == 0;
        if (unshared) {
            body();
        }
    }).join();
    return unshared;
}

class LinkTroubleTest : public ::testing::Test {
protected:
    ~LinkTroubleTest() override { LanguageManager::getInstance()->language = _language; }

    DeviceLinkGuard guard;
    TargetGuard jam{DeviceManager::JAM};
    int _language = LanguageManager::getInstance()->language;
};

TEST_F(LinkTroubleTest, EachKnownCauseAddsItsHelpBelowTheMessageInBothLanguages) {
    struct Cause {
        const char* name;
        bool writeFails;  // else the opening fails
        // Sets the cause up for real and runs one request; false when the machine cannot.
        std::function<bool(TransferRun&, TransferRun::Outcome&, std::string& device)> run;
        std::vector<std::string> english, japanese;  // in the help; "@" stands for the device
    };
    const std::vector<Cause> causes = {
        {"no permission", false,
         [](TransferRun& request, TransferRun::Outcome& outcome, std::string& device) {
             VirtualBoard board;
             TempDir dir;
             device = dir.path() + "ttyUSB0";
             if (!makeDialoutNode(board, device)) {
                 return false;
             }
             DeviceLinkGuard::chooseSerial(device);
             asNobody([&] { outcome = request.run(beepProgram()); });
             return true;
         },
         {"@", "\"dialout\"", "\"sudo usermod -aG dialout $USER\"", "logging out and in"},
         {"@", "「dialout」", "「sudo usermod -aG dialout $USER」", "ログアウト"}},
        {"busy", false,
         [](TransferRun& request, TransferRun::Outcome& outcome, std::string& device) {
             VirtualBoard board;
             device = board.portPath();
             LockHolder holder(device, "ModemManager");
             if (!holder.locked()) {
                 return false;
             }
             DeviceLinkGuard::chooseSerial(device);
             outcome = request.run(beepProgram());
             return true;
         },
         {"\"ModemManager\" is using @", "sudo systemctl stop ModemManager"},
         {"「ModemManager」が @ を つかっています", "sudo systemctl stop ModemManager"}},
        {"unplugged before", false,
         [](TransferRun& request, TransferRun::Outcome& outcome, std::string& device) {
             TempDir dir;
             device = dir.path() + "ttyACM0";
             DeviceLinkGuard::chooseSerial(device);
             outcome = request.run(beepProgram());
             return true;
         },
         {"(@)", "Plug it in again", "reload icon"},
         {"（@）", "さしなおして", "リロード"}},
        {"unplugged during the transfer", true,
         [](TransferRun& request, TransferRun::Outcome& outcome, std::string& device) {
             VirtualBoard board;
             WriteLog log;
             device = board.portPath();
             DeviceLinkGuard::chooseSerial(device);
             log.before(3, [&board] { board.vanish(); });
             outcome = request.run(beepProgram());
             return true;
         },
         {"(@)", "Plug it in again", "reload icon"},
         {"（@）", "さしなおして", "リロード"}},
        {"not on the wireless network", true,
         [](TransferRun& request, TransferRun::Outcome& outcome, std::string&) {
             DeviceLinkGuard::chooseDatagram(INADDR_LOOPBACK, 9);
             return withoutNetwork([&] { outcome = request.run(beepProgram()); });
         },
         {"not on the board's wireless network"},
         {"むせんネットワークに つながっていません"}},
    };
    for (const Cause& cause : causes) {
        for (int language : {LanguageManager::kEnglish, LanguageManager::kJapanese}) {
            SCOPED_TRACE(std::string(cause.name) + (language ? " (Japanese)" : " (English)"));
            LanguageManager::getInstance()->language = language;
            TransferRun request;
            TransferRun::Outcome outcome;
            std::string device;
            if (!cause.run(request, outcome, device)) {
                std::cout << "[ SKIPPED  ] " << cause.name << ": the machine does not allow it\n";
                continue;
            }
            DeviceLinkGuard::manager()->closeLink(nullptr);
            const TarnixworksError plain =
                cause.writeFails ? TarnixworksError::writeFailed() : TarnixworksError::linkNotOpened();
            EXPECT_EQ(outcome.calls, 1);
            EXPECT_EQ(outcome.error.title, plain.title);
            EXPECT_EQ(outcome.error.message, plain.message);
            EXPECT_EQ(outcome.error.searchAgain, cause.writeFails);
            EXPECT_EQ(outcome.error.shownMessage(), plain.message + "\n\n" + outcome.error.help);
            for (std::string expected :
                 language == LanguageManager::kJapanese ? cause.japanese : cause.english) {
                const auto at = expected.find('@');
                if (at != std::string::npos) {
                    expected.replace(at, 1, device);
                }
                EXPECT_NE(outcome.error.help.find(expected), std::string::npos)
                    << expected << " in: " << outcome.error.help;
            }
        }
    }
}

TEST_F(LinkTroubleTest, ARefusedDeviceSaysSoAtTheTopOfItsRowAndNowhereElse) {
    VirtualBoard board;
    TempDir dir;
    const std::string node = dir.path() + "ttyUSB0";
    if (!makeDialoutNode(board, node)) {
        GTEST_SKIP() << "device nodes cannot be made here";
    }
    LanguageManager::getInstance()->language = LanguageManager::kEnglish;
    asNobody([&] { DeviceLinkGuard::choose({{node, "USB UART"}, {board.portPath(), "pty"}}, 0); });
    EXPECT_EQ(ConnectionPanel::rowText(0),
              "No permission: sudo usermod -aG dialout $USER\n* " + node + " [ USB UART ]");
    EXPECT_EQ(ConnectionPanel::rowText(2), "  Pomelink [ UDP ]");
    // What root may open carries no note.
    DeviceLinkGuard::choose({{node, "USB UART"}}, 0);
    EXPECT_EQ(ConnectionPanel::rowText(0), "* " + node + " [ USB UART ]");
}

}  // namespace
