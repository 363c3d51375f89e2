#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "device/TarnixCardSerialManager.h"

// Timestamps every byte at the moment the link is asked to write it: a pseudo-terminal may hand
// two bytes to the reader at once, so only the writing side can tell the pauses between them.
// Can also act just before a given byte goes out (the user aborting, the cable pulled).
class WriteLog {
public:
    using Clock = std::chrono::steady_clock;
    struct Write {
        uint8_t value;
        Clock::time_point time;
    };

    WriteLog() {
        TarnixCardSerialManager::getInstance()->setWriteHook([this](uint8_t value) {
            size_t index = 0;
            {
                std::lock_guard<std::mutex> lock(_mutex);
                index = _writes.size();
                _writes.push_back({value, Clock::now()});
            }
            if (_action && index == _actionAt) {
                _action();
            }
        });
    }
    ~WriteLog() { TarnixCardSerialManager::getInstance()->setWriteHook(nullptr); }
    WriteLog(const WriteLog&) = delete;
    WriteLog& operator=(const WriteLog&) = delete;

    // Runs `action` on the writing thread just before the byte with this index is written.
    // Set before the request starts.
    void before(size_t index, std::function<void()> action) {
        _actionAt = index;
        _action = std::move(action);
    }

    std::vector<Write> writes() const {
        std::lock_guard<std::mutex> lock(_mutex);
        return _writes;
    }

    // The time from each write to the next one, in milliseconds.
    std::vector<double> gapsMs() const {
        const auto all = writes();
        std::vector<double> gaps;
        for (size_t i = 1; i < all.size(); ++i) {
            gaps.push_back(
                std::chrono::duration<double, std::milli>(all[i].time - all[i - 1].time).count());
        }
        return gaps;
    }

private:
    mutable std::mutex _mutex;
    std::vector<Write> _writes;
    size_t _actionAt = 0;
    std::function<void()> _action;
};
