#include "platform/DriverPipe.h"

#include <SDL.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "2d/Label.h"
#include "2d/Scene.h"
#include "2d/Sprite.h"
#include "base/Director.h"
#include "platform/GLView.h"
#include "platform/MessageBox.h"
#include "renderer/TextureCache.h"

namespace cocos2d {

namespace {

// A line longer than this is no command: it is dropped rather than kept growing.
constexpr size_t kMaxLine = 64 * 1024;

// Registered only when a pipe is read, so that nothing changes without one.
Uint32 gLineEvent = 0;

// Opens the FIFO the variable names for reading, never blocking and never seeing an end of
// file when a writer closes (the descriptor is a writer too); -1 for anything else.
int openFifo() {
    const char* path = SDL_getenv("ZOA_DRIVER_PIPE");
    struct stat status {};
    if (!path || !*path || ::stat(path, &status) != 0 || !S_ISFIFO(status.st_mode)) {
        return -1;
    }
    const int fd = ::open(path, O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0 && (::fstat(fd, &status) != 0 || !S_ISFIFO(status.st_mode))) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Hands a line to the main thread; the event owns it until the main thread takes it.
void post(const std::string& line) {
    SDL_Event event;
    SDL_zero(event);
    event.type = gLineEvent;
    auto* text = new std::string(line);
    event.user.data1 = text;
    if (SDL_PushEvent(&event) != 1) {
        delete text;
    }
}

GLView* view() { return Director::getInstance()->getOpenGLView(); }

Uint32 windowId() {
    return view() && view()->getSDLWindow() ? SDL_GetWindowID(view()->getSDLWindow()) : 0;
}

// The events an input method's text comes in, handled by the view as SDL's own, at once, so
// that a later line sees what they did.
void handle(const SDL_Event& event) {
    if (view()) {
        view()->handleEvent(event);
    } else if (event.type == SDL_TEXTEDITING_EXT) {
        SDL_free(event.editExt.text);
    }
}

void compose(const std::string& text, int cursor) {
    SDL_Event event;
    SDL_zero(event);
    if (text.size() < sizeof event.edit.text) {
        event.type = SDL_TEXTEDITING;
        event.edit.windowID = windowId();
        std::memcpy(event.edit.text, text.c_str(), text.size() + 1);
        event.edit.start = cursor;
    } else {
        // The view frees the text, as it frees SDL's own.
        event.type = SDL_TEXTEDITING_EXT;
        event.editExt.windowID = windowId();
        event.editExt.text = SDL_strdup(text.c_str());
        event.editExt.start = cursor;
    }
    handle(event);
}  // NOLINT(clang-analyzer-unix.Malloc): handle() or the view frees the extended text

// Long text comes in several events, each cut between characters, as SDL cuts it.
void commit(const std::string& text) {
    size_t at = 0;
    while (at < text.size()) {
        SDL_Event event;
        SDL_zero(event);
        event.type = SDL_TEXTINPUT;
        event.text.windowID = windowId();
        size_t end = std::min(text.size(), at + sizeof event.text.text - 1);
        while (end < text.size() && end > at + 1 &&
               (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
            --end;
        }
        std::memcpy(event.text.text, text.data() + at, end - at);
        handle(event);
        at = end;
    }
}

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n' || c == '\t' || c == '\\') {
            out += '\\';
            out += c == '\n' ? 'n' : c == '\t' ? 't' : '\\';
        } else {
            out += c;
        }
    }
    return out;
}

bool onScreen(const Node* node) {
    const Size size = node->getContentSize();
    const Rect box = node->getNodeToWorldTransform().apply(Rect(0, 0, size.width, size.height));
    const Size design = Director::getInstance()->getVisibleSize();
    return box.getMaxX() > 0 && box.getMinX() < design.width && box.getMaxY() > 0 &&
           box.getMinY() < design.height;
}

void dumpNode(const Node* node, const TextureCache* textures, std::ostream& out) {
    if (!node->isVisible()) {
        return;
    }
    if (auto* label = dynamic_cast<const Label*>(node)) {
        if (!label->getString().empty() && onScreen(label)) {
            out << "label\t" << escaped(label->getString()) << '\n';
        }
    } else if (auto* sprite = dynamic_cast<const Sprite*>(node)) {
        const std::string path = textures->pathOf(sprite->getTexture());
        if (!path.empty() && onScreen(sprite)) {
            out << "sprite\t" << escaped(path) << '\n';
        }
    }
    for (const Node* child : node->getChildren()) {
        dumpNode(child, textures, out);
    }
}

void dump(const std::string& path) {
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        Director* director = Director::getInstance();
        if (const Scene* scene = director->getRunningScene()) {
            dumpNode(scene, director->getTextureCache(), out);
        }
        for (const auto& box : MessageBoxRecorder::entries()) {
            out << "box\t" << escaped(box.title) << '\t' << escaped(box.message) << '\n';
        }
        if (!out.flush()) {
            std::remove(temporary.c_str());
            return;
        }
    }
    std::rename(temporary.c_str(), path.c_str());
}

void perform(const std::string& line) {
    const size_t space = line.find(' ');
    const std::string command = line.substr(0, space);
    const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
    if (command == "commit") {
        commit(rest);
    } else if (command == "dump" && !rest.empty()) {
        dump(rest);
    } else if (command == "compose") {
        const size_t textAt = rest.find(' ');
        const std::string cursor = rest.substr(0, textAt);
        if (!cursor.empty() && cursor.size() < 6 &&
            cursor.find_first_not_of("0123456789") == std::string::npos) {
            compose(textAt == std::string::npos ? "" : rest.substr(textAt + 1), std::stoi(cursor));
        }
    }
}

}  // namespace

DriverPipe::DriverPipe() {
    _fifo = openFifo();
    if (_fifo < 0) {
        return;
    }
    if (gLineEvent == 0) {
        const Uint32 type = SDL_RegisterEvents(1);
        gLineEvent = type == static_cast<Uint32>(-1) ? 0 : type;
    }
    if (gLineEvent == 0 || ::pipe2(_stop, O_CLOEXEC) != 0) {
        ::close(_fifo);
        _fifo = -1;
        return;
    }
    // A driven editor records its message boxes for a dump instead of showing them: a shown box
    // would hold the editor until answered, and whether the system can show one at all (under
    // Xvfb it often cannot) must not decide how a driven walk goes.
    MessageBoxRecorder::setRecording(true);
    // Signals (SIGTERM ending the editor) must reach the main thread's wait, not this one.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    _reader = std::thread(&DriverPipe::readLines, this);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

DriverPipe::~DriverPipe() {
    if (_reader.joinable()) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(_stop[1], &byte, 1);
        _reader.join();
        SDL_Event events[16];
        int taken = 0;
        while ((taken = SDL_PeepEvents(events, 16, SDL_GETEVENT, gLineEvent, gLineEvent)) > 0) {
            for (int i = 0; i < taken; ++i) {
                delete static_cast<std::string*>(events[i].user.data1);
            }
        }
    }
    for (int fd : {_fifo, _stop[0], _stop[1]}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

void DriverPipe::readLines() {
    std::string pending;
    char bytes[4096];
    pollfd watched[2] = {{_fifo, POLLIN, 0}, {_stop[0], POLLIN, 0}};
    for (;;) {
        if (::poll(watched, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (watched[1].revents != 0 || (watched[0].revents & (POLLERR | POLLNVAL)) != 0) {
            return;
        }
        const ssize_t count = ::read(_fifo, bytes, sizeof bytes);
        if (count < 0 && errno != EAGAIN && errno != EINTR) {
            return;
        }
        for (const std::string& line : takeLines(pending, bytes, count > 0 ? count : 0)) {
            post(line);
        }
    }
}

std::vector<std::string> DriverPipe::takeLines(std::string& pending, const char* bytes,
                                               size_t count) {
    std::vector<std::string> lines;
    for (size_t i = 0; i < count; ++i) {
        if (bytes[i] != '\n') {
            pending += bytes[i];
            continue;
        }
        if (!pending.empty() && pending.back() == '\r') {
            pending.pop_back();
        }
        if (pending.size() <= kMaxLine) {
            lines.push_back(pending);
        }
        pending.clear();
    }
    if (pending.size() > kMaxLine) {
        pending.resize(kMaxLine + 1);  // still too long: dropped at its line feed
    }
    return lines;
}

bool DriverPipe::handleEvent(const SDL_Event& event) {
    if (gLineEvent == 0 || event.type != gLineEvent) {
        return false;
    }
    auto* line = static_cast<std::string*>(event.user.data1);
    if (line) {
        perform(*line);
        delete line;
    }
    return true;
}

}  // namespace cocos2d
