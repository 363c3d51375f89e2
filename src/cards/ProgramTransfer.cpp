#include "cards/ProgramTransfer.h"

#include <sys/prctl.h>

#include <chrono>

#include "base/Director.h"
#include "base/Scheduler.h"
#include "cards/CodeGenerator.h"
#include "cards/DeviceManager.h"
#include "device/TarnixCardSerialManager.h"

namespace {

using Clock = ProgramTransfer::Clock;

// The kernel may wake a sleeper this long after its deadline to batch timer interrupts; the
// default 50 us would add 1 % to every 5 ms pause of a transfer.
constexpr unsigned long kTransferTimerSlackNs = 1000;

// Narrows the calling thread's timer slack for the life of a request, then gives back what the
// thread had.
class TimerSlack {
public:
    TimerSlack() : _previous(::prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0)) {
        ::prctl(PR_SET_TIMERSLACK, kTransferTimerSlackNs, 0, 0, 0);
    }
    ~TimerSlack() {
        if (_previous > 0) {
            ::prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(_previous), 0, 0, 0);
        }
    }
    TimerSlack(const TimerSlack&) = delete;
    TimerSlack& operator=(const TimerSlack&) = delete;

private:
    int _previous;
};

// Hands what the generator produces to the transfer.
class TransferSink : public CodeSink {
public:
    explicit TransferSink(ProgramTransfer& transfer) : _transfer(transfer) {}

    bool sendUnit(const TransmissionUnit& unit) override {
        return _transfer.sendText(unit.pause, unit.echo, error, unit.text);
    }
    // A byte image that lost its link ends at the next check, as an abort would, but is
    // reported as the failed write it is.
    bool sendByte(uint8_t value, int32_t pauseMs, bool /*pad*/) override {
        if (failed) {
            return false;
        }
        LinkTrouble trouble;
        const bool written = _transfer.sendPacedByte(value, pauseMs, &trouble);
        if (written || _transfer.aborted()) {
            return written;
        }
        failed = true;
        error = TarnixworksError::writeFailed(trouble.help());
        return false;
    }
    void log(const std::string& text) override {
        _transfer.post(text);
        if (_manager.linkIsSimulator()) {
            _manager.simulatorInbox()->pushConsoleEntry(text);
        }
    }
    bool aborted() const override { return failed || _transfer.aborted(); }
    void lineStarts(int sheetLine) override {
        if (_manager.linkIsSimulator()) {
            _manager.simulatorInbox()->pushSheetLine(sheetLine);
        }
    }

    TarnixworksError error;
    bool failed = false;

private:
    ProgramTransfer& _transfer;
    TarnixCardSerialManager& _manager = *TarnixCardSerialManager::getInstance();
};

}  // namespace

ProgramTransfer::ProgramTransfer(std::atomic<bool>& abortFlag, int32_t& depth, Console console)
    : _abortFlag(abortFlag), _depth(depth), _console(std::move(console)) {}

void ProgramTransfer::runProgram(const CardProgram& program, OnFailure onFailure,
                                 OnSuccess onSuccess) {
    auto* manager = TarnixCardSerialManager::getInstance();
    bool sent = false;
    TransferSink sink(*this);
    TimerSlack slack;
    {
        auto link = manager->reserveLink();
        LinkTrouble trouble;
        if (!manager->openLink(&trouble)) {
            sink.error = TarnixworksError::linkNotOpened(trouble.help());
        } else {
            // What a cancelled run left behind is no part of this one: the board starts afresh.
            if (manager->linkIsSimulator()) {
                manager->simulatorInbox()->clear();
            }
            _depth = 0;
            sent = CodeGenerator(sink).run(program, _depth) && !sink.failed;
        }
    }
    if (sent) {
        onSuccess();
    } else {
        onFailure(sink.error);
    }
}

void ProgramTransfer::stopProgram(OnFailure onFailure, OnSuccess onSuccess) {
    auto* manager = TarnixCardSerialManager::getInstance();
    auto* device = DeviceManager::getInstance();
    TarnixworksError error;
    bool sent = false;
    TimerSlack slack;
    {
        auto link = manager->reserveLink();
        LinkTrouble trouble;
        if (!manager->openLink(&trouble)) {
            error = TarnixworksError::linkNotOpened(trouble.help());
        } else {
            const CodeFragment stop = device->stopCommand();
            const CodeFragment reset = device->resetCommand();
            sent = sendText(stop.charDelay, false, error, stop.code) &&
                   sendText(reset.charDelay, false, error, reset.code);
        }
    }
    if (sent) {
        onSuccess();
    } else {
        onFailure(error);
    }
}

bool ProgramTransfer::sendText(int32_t pauseMs, bool echo, TarnixworksError& error,
                               const std::string& text) {
    auto* manager = TarnixCardSerialManager::getInstance();
    for (char c : text) {
        if (c == '\0') {
            break;
        }
        if (echo) {
            post(std::string(1, c));
        }
        LinkTrouble trouble;
        if (!manager->writeToLink(static_cast<uint8_t>(c), &trouble, &_abortFlag)) {
            // A write the user stopped while it waited is an abort, not a failure.
            error = _abortFlag ? TarnixworksError() : TarnixworksError::writeFailed(trouble.help());
            return false;
        }
        // The pause runs from the moment the write returned, to a fixed deadline: the checks
        // of the abort flag on the way add nothing to it.
        const auto written = Clock::now();
        if (_abortFlag || !pause(written, pauseMs)) {
            error = TarnixworksError();
            return false;
        }
    }
    return true;
}

bool ProgramTransfer::sendPacedByte(uint8_t value, int32_t pauseMs, LinkTrouble* trouble) {
    if (!pause(Clock::now(), pauseMs)) {
        return false;
    }
    return TarnixCardSerialManager::getInstance()->writeToLink(value, trouble, &_abortFlag);
}

bool ProgramTransfer::pause(Clock::time_point from, int32_t ms) {
    if (TarnixCardSerialManager::getInstance()->linkIsSimulator()) {
        return !_abortFlag;
    }
    _pausedMs += pauseLength(ms).count();
    return _wait.until(from + pauseLength(ms), _abortFlag);
}

void ProgramTransfer::post(const std::string& text) const {
    if (!_console) {
        return;
    }
    cocos2d::Director::getInstance()->getScheduler()->performFunctionInCocosThread(
        [console = _console, text] { console(text); });
}

std::chrono::milliseconds ProgramTransfer::pauseLength(int32_t ms) {
    return std::chrono::milliseconds(ms > 0 ? ms : 0);
}
