#pragma once

#include <netinet/in.h>

#include <string>
#include <vector>

#include "base/Director.h"
#include "base/Scheduler.h"
#include "device/TarnixCardSerialManager.h"
#include "platform/MessageBox.h"

// Gives one test a fresh device link: no list, nothing open, nothing aimed off this machine,
// message boxes recorded; and leaves it so for the next test in the same process.
class DeviceLinkGuard {
public:
    DeviceLinkGuard() {
        reset();
        cocos2d::MessageBoxRecorder::setRecording(true);
        cocos2d::MessageBoxRecorder::clear();
    }
    ~DeviceLinkGuard() {
        reset();
        cocos2d::MessageBoxRecorder::clear();
    }
    DeviceLinkGuard(const DeviceLinkGuard&) = delete;
    DeviceLinkGuard& operator=(const DeviceLinkGuard&) = delete;

    static TarnixCardSerialManager* manager() { return TarnixCardSerialManager::getInstance(); }

    // Runs what the worker threads posted, as the main thread's next frame would.
    static void drain() { cocos2d::Director::getInstance()->getScheduler()->update(0); }

    // Lists these serial ports (then the datagram entry) and chooses entry `index`, the way a
    // search and a tap on the connection panel would.
    static void choose(const std::vector<SerialPortScanner::Port>& ports, int index) {
        manager()->setPortSource([ports](std::vector<SerialPortScanner::Port>& found) {
            found = ports;
            return true;
        });
        manager()->scanPorts([](bool) {});
        drain();
        manager()->selectedIndex = index;
        manager()->selectPort([](bool) {});
    }
    static void chooseSerial(const std::string& path) { choose({{path, "virtual board"}}, 0); }
    // The datagram entry, aimed at a loopback receiver from a local port the system picks.
    static void chooseDatagram(uint32_t address, uint16_t port) {
        manager()->setDatagramDestination(address, port);
        manager()->setDatagramLocalPort(0);
        choose({}, 0);
    }

private:
    static void reset() {
        drain();
        manager()->closeLink(nullptr);
        manager()->setWriteHook(nullptr);
        manager()->init();
        // init aims at the board and the system's ports; a test stays on this machine until it
        // aims the link itself: no system ports, datagrams to loopback's discard port.
        manager()->setPortSource([](std::vector<SerialPortScanner::Port>& found) {
            found.clear();
            return true;
        });
        manager()->setDatagramDestination(INADDR_LOOPBACK, 9);
        manager()->setDatagramLocalPort(0);
        manager()->linkState = 0;
    }
};
