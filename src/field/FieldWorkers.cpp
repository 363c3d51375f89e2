#include "field/FieldWorkers.h"

#include <chrono>
#include <string>
#include <thread>

#include "base/Director.h"
#include "base/Scheduler.h"
#include "cards/CardProgram.h"
#include "cards/ProgramTransfer.h"
#include "device/TarnixCardSerialManager.h"
#include "field/FieldScene.h"
#include "field/FieldSounds.h"
#include "platform/MessageBox.h"

using namespace cocos2d;

std::atomic<int> FieldWorkers::_running{0};
std::vector<std::weak_ptr<std::atomic<bool>>> FieldWorkers::_requests;

namespace {

void post(std::function<void()> work) {
    Director::getInstance()->getScheduler()->performFunctionInCocosThread(std::move(work));
}

}  // namespace

void FieldWorkers::launch(std::function<void()> body, std::function<void()> last) {
    FieldScene* scene = &_scene;
    scene->retain();
    ++_running;
    std::thread([scene, body = std::move(body), last = std::move(last)] {
        body();
        post([scene, last] {
            if (last) {
                last();
            }
            scene->release();
        });
        --_running;
    }).detach();
}

FieldWorkers::Abort FieldWorkers::freshAbort() {
    auto abort = std::make_shared<std::atomic<bool>>(false);
    _requests.push_back(abort);
    std::vector<std::weak_ptr<std::atomic<bool>>> live;
    for (const auto& request : _requests) {
        if (!request.expired()) {
            live.push_back(request);
        }
    }
    _requests.swap(live);
    return abort;
}

void FieldWorkers::startPrepare() {
    FieldScene* scene = &_scene;
    launch(
        [scene] {
            TarnixCardSerialManager::getInstance()->prepare([scene](bool ok) {
                if (ok) {
                    post([scene] { scene->searchPorts(); });
                }
            });
        },
        [scene] {
            // Only the process's first field searches on its own: a later one shows the list
            // the last search left, rather than "Search ..." and a reload icon spinning forever.
            auto* manager = TarnixCardSerialManager::getInstance();
            if (!manager->portList()->empty() &&
                manager->linkState == TarnixCardSerialManager::LINK_IDLE) {
                scene->refreshPortLabel();
            }
        });
}

void FieldWorkers::searchPorts() {
    FieldScene* scene = &_scene;
    auto found = std::make_shared<std::atomic<bool>>(false);
    scene->showSearching();
    launch(
        [scene, found] {
            *found = TarnixCardSerialManager::getInstance()->scanPorts(
                [scene](bool) { post([scene] { scene->refreshPortLabel(); }); });
        },
        [scene, found] {
            if (*found) {
                scene->refreshPortLabel();
            }
        });
}

void FieldWorkers::startPortSelect() {
    FieldScene* scene = &_scene;
    launch(
        [scene] {
            TarnixCardSerialManager::getInstance()->selectPort(
                [scene](bool) { post([scene] { scene->refreshPortLabel(); }); });
        },
        [scene] { scene->refreshPortLabel(); });
}

uint64_t FieldWorkers::beginRequest() {
    // The request that runs stops at its next byte, not after the whole program.
    *_abortFlag = true;
    _abortFlag = freshAbort();
    return ++_request;
}

void FieldWorkers::postFor(uint64_t request, std::function<void()> work) {
    // The scene, and so these workers, stay alive until the worker's last posted work.
    post([this, request, work = std::move(work)] {
        if (request == _request) {
            work();
        }
    });
}

void FieldWorkers::play() {
    FieldScene* scene = &_scene;
    const uint64_t request = beginRequest();
    if (!TarnixCardSerialManager::getInstance()->hasChosenPort()) {
        scene->choosePort();
        return;
    }
    // A request cut short by this one leaves nothing of its own on the screen.
    scene->removeWaitOverlay();
    scene->closeRunOverlay();
    if (scene->simulatorChosen()) {
        scene->openStage();  // before the overlay, which leaves the stage's buttons live
    }
    scene->showRunOverlay();
    FieldSounds::start();
    Abort abort = _abortFlag;
    CardProgram program = scene->sheet().program();
    launch(
        [this, scene, request, abort, program] {
            int32_t depth = 0;
            ProgramTransfer transfer(*abort, depth,
                                     [this, scene, request](const std::string& text) {
                                         if (request == _request) {
                                             scene->appendConsole(text);
                                         }
                                     });
            transfer.runProgram(
                program,
                [this, scene, request](TarnixworksError error) {
                    postFor(request, [scene, error] {
                        scene->handOff(error);
                        scene->finishRunOverlay();
                    });
                },
                [this, scene, request] {
                    postFor(request, [scene] {
                        scene->finishRunOverlay();
                        scene->showSent();
                    });
                });
        },
        nullptr);
}

void FieldWorkers::stop() {
    FieldScene* scene = &_scene;
    const uint64_t request = beginRequest();
    if (!TarnixCardSerialManager::getInstance()->hasChosenPort()) {
        scene->openDrawer();
        return;
    }
    scene->finishRunOverlay();
    scene->showWaitOverlay();
    Abort abort = _abortFlag;
    launch(
        [this, scene, request, abort] {
            int32_t depth = 0;
            ProgramTransfer transfer(*abort, depth, nullptr);
            transfer.stopProgram(
                [this, scene, request](TarnixworksError error) {
                    postFor(request, [scene, error] {
                        scene->handOff(error);
                        scene->removeWaitOverlay();
                    });
                },
                [this, scene, request] {
                    postFor(request, [scene] { scene->removeWaitOverlay(); });
                });
        },
        nullptr);
}

void FieldWorkers::handOff(const TarnixworksError& error) {
    if (error.showAlert) {
        MessageBox(error.shownMessage().c_str(), error.title.c_str());
    }
    if (error.searchAgain) {
        _scene.searchPorts();
    }
    if (error.showPortPanel) {
        _scene.openDrawer();
    }
}

void FieldWorkers::shutdown(double seconds) {
    for (const auto& request : _requests) {
        if (auto abort = request.lock()) {
            *abort = true;
        }
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (_running > 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    TarnixCardSerialManager::getInstance()->closeLink(nullptr);
}
