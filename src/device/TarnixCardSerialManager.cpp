#include "device/TarnixCardSerialManager.h"

#include <arpa/inet.h>
#include <algorithm>
#include <cstdlib>

#include "app/LanguageManager.h"
#include "base/Director.h"
#include "base/Scheduler.h"
#include "platform/MessageBox.h"

const char* const TarnixCardSerialManager::kDatagramRemoteAddress = "192.168.20.1";

namespace {

TarnixCardSerialData* makeEntry(const std::string& portName, const std::string& description,
                                int32_t kind, bool selected) {
    auto* entry = new TarnixCardSerialData();
    entry->init();
    entry->portName = portName;
    entry->description = description;
    entry->kind = kind;
    entry->selected = selected;
    return entry;
}

}  // namespace

TarnixCardSerialManager* TarnixCardSerialManager::getInstance() {
    static TarnixCardSerialManager* instance = [] {
        auto* manager = new TarnixCardSerialManager();
        manager->init();
        return manager;
    }();
    return instance;
}

TarnixCardSerialManager::~TarnixCardSerialManager() = default;

bool TarnixCardSerialManager::init() {
    installPortList(makePortList({}));
    std::atomic_store(&_chosenPort, std::shared_ptr<const Choice>());
    _simulatorInbox->clear();
    selectedIndex = 0;
    in_addr address{};
    ::inet_pton(AF_INET, kDatagramRemoteAddress, &address);
    _datagramAddress = ntohl(address.s_addr);
    _datagramPort = kDatagramRemotePort;
    _datagramLocalPort = kDatagramLocalPort;
    return true;
}

std::shared_ptr<const TarnixCardSerialManager::PortList> TarnixCardSerialManager::makePortList(
    std::vector<TarnixCardSerialData*> items) {
    // The list owns one reference per entry and gives it up with its last snapshot.
    return std::shared_ptr<const PortList>(new PortList(std::move(items)),
                                           [](const PortList* list) {
                                               for (auto* entry : *list) {
                                                   entry->release();
                                               }
                                               delete list;
                                           });
}

void TarnixCardSerialManager::installPortList(std::shared_ptr<const PortList> list) {
    std::atomic_store(&_portList, std::move(list));
}

std::shared_ptr<const TarnixCardSerialManager::PortList> TarnixCardSerialManager::portList() const {
    return std::atomic_load(&_portList);
}

bool TarnixCardSerialManager::hasChosenPort() const {
    const auto list = portList();
    const int32_t index = selectedIndex;
    return index >= 0 && static_cast<size_t>(index) < list->size() && (*list)[index]->selected;
}

bool TarnixCardSerialManager::prepare(Done done) {
    static std::atomic<bool> prepared{false};
    if (!prepared.exchange(true)) {
        linkState = LINK_IDLE;
        done(true);
    }
    return true;
}

void TarnixCardSerialManager::changeActivity(uint32_t unit, int direction) {
    if (direction > 0) {
        _activity += unit;
    } else {
        _activity -= unit;
    }
    // Another thread may change the activity between the read and the store; going round until
    // it holds still leaves the state of the last change.
    while (true) {
        const uint32_t activity = _activity;
        int32_t state = LINK_IDLE;
        if (activity >= kOpeningUnit) {
            state = LINK_CONNECTING;
        } else if (activity > 0) {
            state = LINK_SEARCHING;
        }
        linkState = state;
        if (_activity == activity) {
            return;
        }
    }
}

bool TarnixCardSerialManager::listSystemPorts(std::vector<SerialPortScanner::Port>& ports) {
    // Listing asks some drivers by opening their devices; a trial run beside a virtual board
    // (ZOA_SYSTEM_PORTS=none) leaves the machine's own ports alone.
    const char* system = std::getenv("ZOA_SYSTEM_PORTS");
    if (system && std::string(system) == "none") {
        ports.clear();
        return true;
    }
    return SerialPortScanner::list(ports);
}

void TarnixCardSerialManager::appendExtraPorts(std::vector<SerialPortScanner::Port>& ports) {
    // Device paths the system's listing misses (a Bluetooth serial link, a pseudo-terminal),
    // separated by ":" as search paths are.
    const char* extra = std::getenv("ZOA_EXTRA_PORTS");
    if (!extra) {
        return;
    }
    std::string paths = extra;
    size_t start = 0;
    while (start <= paths.size()) {
        const size_t end = std::min(paths.find(':', start), paths.size());
        const std::string path = paths.substr(start, end - start);
        const bool listed = std::any_of(ports.begin(), ports.end(),
                                        [&path](const auto& port) { return port.name == path; });
        if (!path.empty() && !listed) {
            ports.push_back({path, path});
        }
        start = end + 1;
    }
}

bool TarnixCardSerialManager::scanPorts(Done done) {
    changeActivity(kSearchUnit, +1);
    std::vector<SerialPortScanner::Port> found;
    const bool listed = _portSource ? _portSource(found) : listSystemPorts(found);
    appendExtraPorts(found);
    std::vector<TarnixCardSerialData*> items;
    for (const auto& port : found) {
        if (port.name.empty()) {
            continue;
        }
        // A port without a readable description still has to be choosable.
        const std::string& description = port.description.empty() ? port.name : port.description;
        items.push_back(
            makeEntry(port.name, description, TarnixCardSerialData::KIND_SERIAL, items.empty()));
        items.back()->note = LinkTrouble::ofAccess(port.name).note();
    }
    // The wireless entry does not depend on the system's port list, so a failed listing still
    // leaves it to choose.
    items.push_back(makeEntry("Pomelink", "UDP", TarnixCardSerialData::KIND_UDP, items.empty()));
    const std::string simulator = simulatorName();
    items.push_back(makeEntry(simulator, simulator, TarnixCardSerialData::KIND_SIM, false));
    auto list = makePortList(std::move(items));
    cocos2d::Director::getInstance()->getScheduler()->performFunctionInCocosThread([this, list] {
        keepChoice(*list);
        installPortList(list);
    });
    changeActivity(kSearchUnit, -1);
    done(listed);
    return listed;
}

bool TarnixCardSerialManager::selectPort(Done done) {
    const auto list = portList();
    const int32_t index = selectedIndex;
    for (size_t i = 0; i < list->size(); ++i) {
        (*list)[i]->selected = static_cast<int32_t>(i) == index;
    }
    const bool inList = index >= 0 && static_cast<size_t>(index) < list->size();
    std::atomic_store(&_chosenPort, inList ? std::make_shared<const Choice>(Choice{
                                                 (*list)[index]->portName, (*list)[index]->kind})
                                           : std::shared_ptr<const Choice>());
    done(true);
    return true;
}

void TarnixCardSerialManager::keepChoice(const PortList& list) {
    const auto chosen = std::atomic_load(&_chosenPort);
    if (!chosen) {
        return;  // nothing chosen yet: the first entry is, as the search marked it
    }
    // A failed send, the reload icon and the window's return all search anew; the child's
    // choice must not quietly move to another port. When its port is gone, none is chosen.
    int32_t found = -1;
    for (size_t i = 0; i < list.size(); ++i) {
        const bool same = found < 0 && chosen->matches(*list[i]);
        list[i]->selected = same;
        if (same) {
            found = static_cast<int32_t>(i);
        }
    }
    if (found >= 0) {
        selectedIndex = found;
    }
}

std::string TarnixCardSerialManager::missingPort() const {
    const auto chosen = std::atomic_load(&_chosenPort);
    if (!chosen) {
        return "";
    }
    const auto list = portList();
    for (const auto* entry : *list) {
        if (chosen->matches(*entry)) {
            return "";
        }
    }
    return list->empty() ? "" : chosen->portName;
}

bool TarnixCardSerialManager::Choice::matches(const TarnixCardSerialData& entry) const {
    // The simulator is known by its kind: its name follows the language, and a device path
    // given in ZOA_EXTRA_PORTS may happen to read the same.
    if (kind == TarnixCardSerialData::KIND_SIM || entry.kind == TarnixCardSerialData::KIND_SIM) {
        return kind == entry.kind;
    }
    return portName == entry.portName;
}

std::string TarnixCardSerialManager::simulatorName() {
    return LanguageManager::getInstance()->getText("シミュレーター", "Simulator");
}

bool TarnixCardSerialManager::openLink(LinkTrouble* trouble) {
    closeLink(nullptr);
    const auto list = portList();
    const int32_t index = selectedIndex;
    if (index < 0 || static_cast<size_t>(index) >= list->size()) {
        return false;
    }
    const TarnixCardSerialData* entry = (*list)[index];
    changeActivity(kOpeningUnit, +1);
    bool opened = false;
    if (entry->kind == TarnixCardSerialData::KIND_SIM) {
        // Nothing of the system to open: the bytes stay in this process.
        _simulatorOpen = true;
        opened = true;
    } else if (entry->kind == TarnixCardSerialData::KIND_UDP) {
        const uint16_t localPort = _datagramLocalPort;
        const auto result = _datagram.open(localPort);
        if (result == DatagramLink::OpenResult::PortTaken) {
            reportPortConflict(localPort);
        }
        opened = result == DatagramLink::OpenResult::Opened;
    } else {
        opened = _serial.open(entry->portName);
        if (!opened && trouble) {
            *trouble = LinkTrouble::ofSerial(entry->portName, _serial.lastError());
        }
    }
    changeActivity(kOpeningUnit, -1);
    return opened;
}

void TarnixCardSerialManager::reportPortConflict(uint16_t port) const {
    auto* language = LanguageManager::getInstance();
    const std::string number = std::to_string(port);
    // The next attempt binds afresh, so closing the other program is enough.
    const std::string message = language->getText(
        "使用するポート番号が競合しています。" + number +
            "番のポートを使用しているアプリケーションを終了し、"
            "Tarnixworksを再起動してください。",
        "The port number " + number + " is already in use. Close the application that uses port " +
            number + ", then try again.");
    const std::string title = language->getText("ポート番号の競合", "Port number conflict");
    // The box is modal and belongs to the window's thread; posted now, it comes before the
    // caller's own failure report.
    cocos2d::Director::getInstance()->getScheduler()->performFunctionInCocosThread(
        [message, title] { cocos2d::MessageBox(message.c_str(), title.c_str()); });
}

bool TarnixCardSerialManager::writeByte(uint8_t value, const std::atomic<bool>* stop) {
    if (!_serial.isOpen()) {
        return false;
    }
    if (_writeHook) {
        _writeHook(value);
    }
    return _serial.writeByte(value, stop);
}

bool TarnixCardSerialManager::writeDatagram(uint8_t value, const std::atomic<bool>* stop) {
    if (!_datagram.isOpen()) {
        return false;
    }
    if (_writeHook) {
        _writeHook(value);
    }
    return _datagram.writeByte(value, _datagramAddress, _datagramPort, stop);
}

bool TarnixCardSerialManager::writeToLink(uint8_t value, LinkTrouble* trouble,
                                          const std::atomic<bool>* stop) {
    if (_simulatorOpen) {
        if (_writeHook) {
            _writeHook(value);
        }
        _simulatorInbox->pushByte(value);
        return true;
    }
    if (_datagram.isOpen()) {
        if (writeDatagram(value, stop)) {
            return true;
        }
        if (trouble) {
            *trouble = LinkTrouble::ofDatagram(_datagram.lastError());
        }
        return false;
    }
    if (writeByte(value, stop)) {
        return true;
    }
    if (trouble && _serial.isOpen()) {
        *trouble = LinkTrouble::ofSerial(_serial.path(), _serial.lastError());
    }
    return false;
}

bool TarnixCardSerialManager::closeLink(Done done) {
    _simulatorOpen = false;
    _datagram.close();
    _serial.close();
    if (done) {
        done(true);
    }
    return true;
}

std::unique_lock<std::mutex> TarnixCardSerialManager::reserveLink() {
    return std::unique_lock<std::mutex>(_linkMutex);
}

void TarnixCardSerialManager::setPortSource(PortSource source) { _portSource = std::move(source); }

void TarnixCardSerialManager::setDatagramDestination(uint32_t address, uint16_t port) {
    _datagramAddress = address;
    _datagramPort = port;
}

void TarnixCardSerialManager::setDatagramLocalPort(uint16_t port) { _datagramLocalPort = port; }

void TarnixCardSerialManager::setWriteHook(std::function<void(uint8_t)> hook) {
    _writeHook = std::move(hook);
}
