#pragma once

#include <functional>
#include <string>
#include <thread>

#include "base/Ref.h"

namespace cocos2d {
class Scheduler;
}

// One editor per data folder. Two editors over the same folder would each write their own view
// of the list of programs over the other's, so the first to start holds an advisory lock on the
// folder and listens on a local socket in it; a later start asks it to come to the front
// instead of opening a window of its own.
class SingleInstance : public cocos2d::Ref {
public:
    static constexpr const char* kLockFile = "editor.lock";
    static constexpr const char* kSocketFile = "editor.sock";
    static constexpr int kAnswerMilliseconds = 2000;

    // Tries the folder's lock, making the folder when needed; autoreleased.
    static SingleInstance* create(const std::string& folder);

    // True when this process holds the lock, and also when no lock can be had at all: a folder
    // that cannot be written is no reason to refuse to start.
    bool isFirst() const { return _first; }
    // A later start: asks the first editor to come to the front; true when it answered within
    // the time.
    bool askFirstToFront(int milliseconds = kAnswerMilliseconds) const;
    // The first editor: from now on later starts are answered. `bringToFront` runs on the main
    // thread, handed over through the scheduler's queue, and the answer goes out after it, so a
    // frozen editor does not pass for one that came to the front.
    void listen(cocos2d::Scheduler* scheduler, std::function<void()> bringToFront);

protected:
    SingleInstance() = default;
    ~SingleInstance() override;
    bool init(const std::string& folder);

private:
    static void serve(int listening, int stop, cocos2d::Scheduler* scheduler,
                      const std::function<void()>& bringToFront);
    // Opens a socket and fills in the socket file's address; -1 when it cannot.
    int openSocket(void* address, unsigned* length) const;

    std::string _folder;
    bool _first = true;
    int _lock = -1;
    int _folderFd = -1;  // names the socket when the folder's path is too long for an address
    int _listening = -1;
    int _stop[2] = {-1, -1};
    cocos2d::Scheduler* _scheduler = nullptr;
    std::thread _listener;
};
