#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "base/Ref.h"

// One entry of the port list: a serial port of the system, the wireless link to the board, or
// the board simulated on the screen.
// Name, description and kind are fixed before the entry is published to other threads; only the
// selection mark changes afterwards, so it is atomic.
class TarnixCardSerialData : public cocos2d::Ref {
public:
    static constexpr int32_t KIND_SERIAL = 100;
    static constexpr int32_t KIND_UDP = 500;
    static constexpr int32_t KIND_SIM = 600;

    // The entry starts with one reference, owned by whoever made it (the port list). Entries are
    // made on search threads, so they never go through the main thread's autorelease pool.
    TarnixCardSerialData() = default;
    ~TarnixCardSerialData() override;
    virtual bool init();

    std::string portName;
    std::string description;
    int32_t kind = 0;
    // Why the port cannot be used, when that is known at the search (no permission); "" else.
    std::string note;
    std::atomic<bool> selected{false};
};
