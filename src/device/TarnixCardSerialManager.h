#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/Ref.h"
#include "device/DatagramLink.h"
#include "device/LinkTrouble.h"
#include "device/SerialLink.h"
#include "device/SerialPortScanner.h"
#include "device/SimulatorInbox.h"
#include "device/TarnixCardSerialData.h"

// The process-wide device link: the list of ports to choose from, the user's choice, and the
// one link that is open (a serial port, the datagram socket or the simulator's inbox). Searches,
// selections, opening and writing run on worker threads; the main thread reads the list.
class TarnixCardSerialManager : public cocos2d::Ref {
public:
    using PortList = std::vector<TarnixCardSerialData*>;
    using PortSource = std::function<bool(std::vector<SerialPortScanner::Port>&)>;
    using Done = std::function<void(bool)>;

    enum LinkState { LINK_IDLE = 0, LINK_SEARCHING = 2, LINK_CONNECTING = 3 };

    static constexpr uint16_t kDatagramLocalPort = 20002;
    static constexpr uint16_t kDatagramRemotePort = 20001;
    static const char* const kDatagramRemoteAddress;

    static TarnixCardSerialManager* getInstance();

    ~TarnixCardSerialManager() override;
    virtual bool init();

    // The first call of the process reports through `done`; later calls never do.
    bool prepare(Done done);
    // Builds a new list: every port the system has, then the datagram entry, then the simulator.
    // The new list is handed to the main thread through the scheduler, before `done` runs, so the
    // main thread never sees a list change in the middle of a frame.
    bool scanPorts(Done done);
    // Marks the entry at selectedIndex, and only that one, and remembers its port as the
    // user's choice: later searches keep that port chosen wherever it is listed.
    bool selectPort(Done done);
    // The port the user chose when the last search did not find it; "" otherwise. Main thread.
    std::string missingPort() const;

    // The current list; its entries live at least as long as the returned snapshot.
    std::shared_ptr<const PortList> portList() const;
    // What play and stop check before they start a request: an entry at selectedIndex that is
    // marked.
    bool hasChosenPort() const;

    std::atomic<int32_t> selectedIndex{0};
    std::atomic<int32_t> linkState{LINK_IDLE};

    // Closes whatever is open, then opens the entry at selectedIndex. On failure `trouble`, when
    // given, says why as far as the system tells.
    bool openLink(LinkTrouble* trouble = nullptr);
    // A write that has to wait gives up as soon as `stop` is set.
    bool writeByte(uint8_t value, const std::atomic<bool>* stop = nullptr);
    bool writeDatagram(uint8_t value, const std::atomic<bool>* stop = nullptr);
    // Writes to whichever link openLink opened; fails when none is open.
    bool writeToLink(uint8_t value, LinkTrouble* trouble = nullptr,
                     const std::atomic<bool>* stop = nullptr);
    bool closeLink(Done done);
    // The open link is the simulator's: what is written goes into simulatorInbox(), and the
    // transfer makes no pauses, which only a real board needs.
    bool linkIsSimulator() const { return _simulatorOpen; }
    // Where the simulator link delivers, for the whole process; the screen's stage takes from it.
    std::shared_ptr<SimulatorInbox> simulatorInbox() const { return _simulatorInbox; }
    // The simulator entry's name and description in the user's language.
    static std::string simulatorName();

    // One request at a time on the link: a request that was cancelled may still be finishing
    // its last pause when the next one starts.
    std::unique_lock<std::mutex> reserveLink();

    // Set only while no worker runs. Tests aim these at the machine itself and at a virtual
    // board; the product uses the system's ports and the board's fixed address.
    void setPortSource(PortSource source);
    void setDatagramDestination(uint32_t address, uint16_t port);
    void setDatagramLocalPort(uint16_t port);
    // Called on the writing thread just before every byte goes out to an open link.
    void setWriteHook(std::function<void(uint8_t)> hook);
    // Where datagrams go (address in host order) and the local port they leave from.
    uint32_t datagramAddress() const { return _datagramAddress; }
    uint16_t datagramPort() const { return _datagramPort; }
    uint16_t datagramLocalPort() const { return _datagramLocalPort; }

protected:
    TarnixCardSerialManager() = default;

private:
    void installPortList(std::shared_ptr<const PortList> list);
    // Main thread, with a new list: the user's choice stays chosen by its port's name.
    void keepChoice(const PortList& list);
    static bool listSystemPorts(std::vector<SerialPortScanner::Port>& ports);
    static void appendExtraPorts(std::vector<SerialPortScanner::Port>& ports);
    // Counts a search or an opening in or out (+1 or -1) and sets linkState from what still runs.
    void changeActivity(uint32_t unit, int direction);
    void reportPortConflict(uint16_t port) const;
    static std::shared_ptr<const PortList> makePortList(std::vector<TarnixCardSerialData*> items);

    std::shared_ptr<const PortList> _portList;
    // The user's last choice, or null before any; swapped whole.
    struct Choice {
        std::string portName;
        int32_t kind = 0;
        bool matches(const TarnixCardSerialData& entry) const;
    };
    std::shared_ptr<const Choice> _chosenPort;
    PortSource _portSource;
    std::atomic<uint32_t> _datagramAddress{0};
    std::atomic<uint16_t> _datagramPort{kDatagramRemotePort};
    std::atomic<uint16_t> _datagramLocalPort{kDatagramLocalPort};
    std::function<void(uint8_t)> _writeHook;
    SerialLink _serial;
    DatagramLink _datagram;
    std::atomic<bool> _simulatorOpen{false};
    // Made once and never replaced, so any thread may read the pointer.
    const std::shared_ptr<SimulatorInbox> _simulatorInbox = std::make_shared<SimulatorInbox>();
    std::mutex _linkMutex;
    // Searches in flight in the low half, openings in the high half: searches overlap (a reload
    // tap during a search), and an opening may run during one.
    static constexpr uint32_t kSearchUnit = 1;
    static constexpr uint32_t kOpeningUnit = 1u << 16;
    std::atomic<uint32_t> _activity{0};
};
