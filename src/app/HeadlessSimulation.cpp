#include "app/HeadlessSimulation.h"

#include <ftw.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "base/Director.h"
#include "cards/CodeGenerator.h"
#include "cards/DeviceManager.h"
#include "cards/SimulatorSink.h"
#include "device/TarnixCardSerialManager.h"
#include "field/FieldScene.h"
#include "field/FieldStorage.h"
#include "field/FieldWorkers.h"
#include "platform/FileUtils.h"
#include "platform/GLView.h"
#include "platform/MessageBox.h"
#include "save/ProgramShare.h"
#include "sim/SimulatedBoard.h"

using namespace cocos2d;

namespace {

std::string whyNoProgram(ProgramShare::Outcome outcome, const std::string& file) {
    switch (outcome) {
        case ProgramShare::Outcome::Damaged:
            return file + ": the program in this file is damaged";
        case ProgramShare::Outcome::Newer:
            return file + ": the program was made with a newer version";
        case ProgramShare::Outcome::Unreadable:
            return file + ": the file could not be read";
        default:
            return file + ": the file holds no program";
    }
}

// The field scene keeps its store below the writable path; a run of its own gets an empty
// one that it removes again.
class ScratchFolder {
public:
    ScratchFolder() {
        char pattern[] = "/tmp/tarnixworks-zoa-simulate-XXXXXX";
        if (::mkdtemp(pattern)) {
            _path = std::string(pattern) + "/";
        }
    }
    ~ScratchFolder() {
        if (!_path.empty()) {
            ::nftw(
                _path.c_str(),
                [](const char* path, const struct stat*, int, FTW*) { return ::remove(path); }, 16,
                FTW_DEPTH | FTW_PHYS);
        }
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& path() const { return _path; }

private:
    std::string _path;
};

bool openOffscreenView() {
    ::setenv("SDL_VIDEODRIVER", "offscreen", 1);
    ::setenv("SDL_RENDER_DRIVER", "software", 1);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    MessageBoxRecorder::setRecording(true);
    Director* director = Director::getInstance();
    GLView* view = GLView::createWithRect("TarnixworksZOA", Rect(0, 0, 1024, 768), 1.0f, true);
    if (!view) {
        return false;
    }
    view->setDesignResolutionSize(1024, 768, ResolutionPolicy::SHOW_ALL);
    director->setOpenGLView(view);
    director->setContentScaleFactor(2.0f);
    return true;
}

// The program as the editor has it once it opened the cards: laid out onto the lines by the
// sheet's own judgement of their places.
bool layOut(const ValueVector& cards, CardProgram& program) {
    if (!openOffscreenView()) {
        return false;
    }
    // The scene looks for ports when it is made: it must find none of the machine's.
    TarnixCardSerialManager::getInstance()->setPortSource(
        [](std::vector<SerialPortScanner::Port>& found) {
            found.clear();
            return true;
        });
    FieldScene* field = FieldScene::create(nullptr);
    if (!field) {
        return false;
    }
    field->storage().loadCards(cards);
    program = field->sheet().program();
    FieldWorkers::shutdown();
    return true;
}

}  // namespace

bool HeadlessSimulation::run(const std::string& file, int target, double seconds,
                             std::string& trace, std::string& message) {
    ValueVector cards;
    const ProgramShare::Outcome read = ProgramShare::readCards(file, cards);
    if (read != ProgramShare::Outcome::Imported) {
        message = whyNoProgram(read, file);
        return false;
    }
    ScratchFolder scratch;
    if (scratch.path().empty()) {
        message = "no scratch folder could be made in /tmp";
        return false;
    }
    FileUtils::getInstance()->setWritablePath(scratch.path());
    // Card images and what a card may hold follow the target, as in the editor.
    DeviceManager::getInstance()->target = target;
    CardProgram program;
    if (!layOut(cards, program)) {
        message = "the sheet could not be built without a display";
        return false;
    }
    SimulatedBoard board(target);
    SimulatorSink sink(board);
    int32_t depth = 0;
    CodeGenerator(sink).run(program, depth);
    board.runToEnd(seconds);
    trace = board.trace().text();
    return true;
}
