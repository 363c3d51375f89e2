#include <gtest/gtest.h>

#include <netinet/in.h>

#include <atomic>
#include <future>
#include <thread>

#include "app/LanguageManager.h"
#include "support/DeviceLinkGuard.h"
#include "support/TempDir.h"

namespace {

using Port = SerialPortScanner::Port;

struct Entry {
    std::string portName;
    std::string description;
    int32_t kind;
    bool selected;
    bool operator==(const Entry& o) const {
        return portName == o.portName && description == o.description && kind == o.kind &&
               selected == o.selected;
    }
};

std::ostream& operator<<(std::ostream& out, const Entry& e) {
    return out << "{" << e.portName << ", " << e.description << ", " << e.kind << ", " << e.selected
               << "}";
}

std::vector<Entry> listed() {
    std::vector<Entry> entries;
    for (const auto* data : *TarnixCardSerialManager::getInstance()->portList()) {
        entries.push_back({data->portName, data->description, data->kind, data->selected});
    }
    return entries;
}

constexpr int32_t SERIAL = TarnixCardSerialData::KIND_SERIAL;
constexpr int32_t UDP = TarnixCardSerialData::KIND_UDP;
constexpr int32_t SIM = TarnixCardSerialData::KIND_SIM;
const Entry kSimulator{"Simulator", "Simulator", SIM, false};

class PortList : public ::testing::Test {
protected:
    DeviceLinkGuard guard;
    TarnixCardSerialManager* manager = TarnixCardSerialManager::getInstance();
};

TEST_F(PortList, WithoutSerialPortsTheDatagramEntryIsAloneAndMarked) {
    EXPECT_TRUE(manager->portList()->empty());  // until the first search
    EXPECT_FALSE(manager->hasChosenPort());
    DeviceLinkGuard::choose({}, 0);
    EXPECT_EQ(listed(), (std::vector<Entry>{{"Pomelink", "UDP", UDP, true}, kSimulator}));
    EXPECT_TRUE(manager->hasChosenPort());
}

TEST_F(PortList, PortsInSystemOrderThenTheDatagramEntryOnlyTheFirstMarked) {
    bool reported = false;
    manager->setPortSource([](std::vector<Port>& found) {
        found = {{"/dev/ttyUSB1", "FT232R USB UART"}, {"/dev/ttyACM0", ""}, {"", "nameless"}};
        return true;
    });
    EXPECT_TRUE(manager->scanPorts([&](bool ok) { reported = ok; }));
    EXPECT_TRUE(reported);
    DeviceLinkGuard::drain();
    // A port without a description is listed under its name; one without a name cannot be
    // opened and is left out.
    EXPECT_EQ(listed(), (std::vector<Entry>{{"/dev/ttyUSB1", "FT232R USB UART", SERIAL, true},
                                            {"/dev/ttyACM0", "/dev/ttyACM0", SERIAL, false},
                                            {"Pomelink", "UDP", UDP, false},
                                            kSimulator}));
}

TEST_F(PortList, SelectionMarksFollowSelectPortAndANewSearch) {
    const std::vector<Port> ports = {{"/dev/ttyUSB0", "a"}, {"/dev/ttyUSB1", "b"}};
    DeviceLinkGuard::choose(ports, 0);

    manager->selectedIndex = 2;
    bool reported = false;
    EXPECT_TRUE(manager->selectPort([&](bool ok) { reported = ok; }));
    EXPECT_TRUE(reported);
    auto marks = [] {
        std::vector<bool> result;
        for (const auto& entry : listed()) {
            result.push_back(entry.selected);
        }
        return result;
    };
    EXPECT_EQ(marks(), (std::vector<bool>{false, false, true, false}));
    EXPECT_TRUE(manager->hasChosenPort());

    // The user chose /dev/ttyUSB1: new searches keep it wherever it is listed, none while gone.
    manager->selectedIndex = 1;
    manager->selectPort([](bool) {});
    for (const auto& [found, marked] : {std::pair<std::vector<Port>, std::vector<bool>>{
                                            {{"/dev/ttyUSB1", "b"}}, {true, false, false}},
                                        {{{"/dev/ttyUSB0", "a"}}, {false, false, false}}}) {
        manager->setPortSource([found = found](std::vector<Port>& list) {
            list = found;
            return true;
        });
        manager->scanPorts([](bool) {});
        DeviceLinkGuard::drain();
        EXPECT_EQ(marks(), marked);
        EXPECT_EQ(manager->hasChosenPort(), marked[0]);
    }

    // A shorter list leaves the index outside it: nothing counts as chosen.
    manager->selectedIndex = 5;
    manager->selectPort([](bool) {});
    EXPECT_EQ(marks(), (std::vector<bool>{false, false, false}));
    EXPECT_FALSE(manager->hasChosenPort());
}

TEST_F(PortList, TheSimulatorFollowsTheDatagramEntryAndStaysChosenInEitherLanguage) {
    auto* language = LanguageManager::getInstance();
    const int system = language->language;
    for (const auto& [lang, name] :
         {std::pair<int, std::string>{LanguageManager::kEnglish, "Simulator"},
          {LanguageManager::kJapanese, "シミュレーター"}}) {
        language->language = lang;
        DeviceLinkGuard::choose({{"/dev/ttyUSB0", "a"}}, 2);
        EXPECT_EQ(listed().back(), (Entry{name, name, SIM, true}));
        // Searches that find other ports, or one named like the simulator, keep it chosen.
        for (const std::vector<Port>& found :
             {std::vector<Port>{},
              {{"/dev/ttyUSB0", "a"}, {"/dev/ttyUSB1", "b"}},
              {{"Simulator", "a device path"}, {"シミュレーター", "another"}}}) {
            manager->setPortSource([found](std::vector<Port>& list) {
                list = found;
                return true;
            });
            manager->scanPorts([](bool) {});
            DeviceLinkGuard::drain();
            EXPECT_EQ(manager->selectedIndex, static_cast<int>(found.size()) + 1);
            EXPECT_EQ(listed().back(), (Entry{name, name, SIM, true}));
            EXPECT_TRUE(manager->hasChosenPort());
            EXPECT_EQ(manager->missingPort(), "");
        }
    }
    language->language = system;
}

TEST_F(PortList, AFailedListingReportsFailureButKeepsTheDatagramEntry) {
    manager->setPortSource([](std::vector<Port>&) { return false; });
    int calls = 0;
    bool reported = true;
    EXPECT_FALSE(manager->scanPorts([&](bool ok) {
        ++calls;
        reported = ok;
    }));
    DeviceLinkGuard::drain();
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(reported);
    EXPECT_EQ(listed(), (std::vector<Entry>{{"Pomelink", "UDP", UDP, true}, kSimulator}));
}

TEST_F(PortList, ASearchOnAWorkerHandsTheListToTheMainThreadWhole) {
    DeviceLinkGuard::choose({{"/dev/ttyUSB0", "old"}}, 0);
    const auto before = manager->portList();
    manager->setPortSource([](std::vector<Port>& found) {
        found = {{"/dev/ttyUSB7", "new"}};
        return true;
    });
    bool searching = false;
    std::thread worker(
        [&] { manager->scanPorts([&](bool) { searching = manager->linkState == 2; }); });
    worker.join();
    // The main thread still reads the old list, intact, until its next frame.
    EXPECT_EQ(manager->portList(), before);
    EXPECT_EQ((*before)[0]->portName, "/dev/ttyUSB0");
    EXPECT_FALSE(searching);  // the search is over when it reports
    DeviceLinkGuard::drain();
    EXPECT_EQ(listed()[0].portName, "/dev/ttyUSB7");
    // A snapshot taken earlier keeps its entries alive.
    EXPECT_EQ((*before)[0]->description, "old");
}

TEST_F(PortList, BusyUntilTheLastOverlappingSearchEnds) {
    // A reload tap while a search still runs, and a play request opening the link meanwhile:
    // the panel must not offer a choice from a list the later search is about to replace.
    TempDir dir;
    DeviceLinkGuard::chooseSerial(dir.path() + "gone");
    std::promise<void> firstGate;
    std::promise<void> secondGate;
    std::shared_future<void> gates[] = {firstGate.get_future().share(),
                                        secondGate.get_future().share()};
    std::atomic<int> started{0};
    manager->setPortSource([&](std::vector<Port>&) {
        gates[started++].wait();
        return true;
    });
    auto waitForStarted = [&](int count) {
        while (started < count) {
            std::this_thread::yield();
        }
    };
    std::thread first([&] { manager->scanPorts([](bool) {}); });
    waitForStarted(1);
    std::thread second([&] { manager->scanPorts([](bool) {}); });
    waitForStarted(2);

    EXPECT_FALSE(manager->openLink());
    EXPECT_EQ(manager->linkState, 2);
    firstGate.set_value();
    first.join();
    EXPECT_EQ(manager->linkState, 2);
    secondGate.set_value();
    second.join();
    EXPECT_EQ(manager->linkState, 0);
    DeviceLinkGuard::drain();
}

TEST_F(PortList, AFreshLinkStaysOnTheMachineItself) {
    // Until a test aims it elsewhere, the datagram link goes to loopback from a port the system
    // picks, and a search asks the system for no ports.
    ASSERT_EQ(manager->datagramAddress(), static_cast<uint32_t>(INADDR_LOOPBACK));
    ASSERT_EQ(manager->datagramLocalPort(), 0);
    EXPECT_TRUE(manager->scanPorts([](bool) {}));
    DeviceLinkGuard::drain();
    EXPECT_EQ(listed(), (std::vector<Entry>{{"Pomelink", "UDP", UDP, true}, kSimulator}));
}

TEST_F(PortList, PrepareReportsOnlyTheFirstTime) {
    int calls = 0;
    manager->linkState = 3;
    EXPECT_TRUE(manager->prepare([&](bool ok) { calls += ok ? 1 : 100; }));
    EXPECT_TRUE(manager->prepare([&](bool) { ++calls; }));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(manager->linkState, 0);
}

}  // namespace
