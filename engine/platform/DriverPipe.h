#pragma once

#include <string>
#include <thread>
#include <vector>

union SDL_Event;

namespace cocos2d {

// Drives a running editor from outside, for tests on a real display: no outside process can
// queue SDL events, and no input method runs under a bare X server. Started only when
// ZOA_DRIVER_PIPE names a FIFO. A reader thread reads lines from it and hands each over through
// SDL's event queue; the main thread carries them out in order:
//   compose CURSOR TEXT  an input method's composition: a text editing event for the view
//   commit TEXT          committed text: text input events for the view
//   dump PATH            what is visible, one item a line: "label<TAB>text", "sprite<TAB>image
//                        file", "box<TAB>title<TAB>message" for every message box asked for;
//                        \n, \t and \\ escaped; written to PATH whole (a file renamed in place)
// Other lines are ignored.
class DriverPipe {
public:
    // Main thread, after the video subsystem is up.
    DriverPipe();
    // Ends the reader and drops the lines it handed over that were not carried out yet.
    ~DriverPipe();
    DriverPipe(const DriverPipe&) = delete;
    DriverPipe& operator=(const DriverPipe&) = delete;

    bool isReading() const { return _reader.joinable(); }

    // Main thread: carries out the line an event brings; false for any other event.
    static bool handleEvent(const SDL_Event& event);
    // The whole lines of pending followed by bytes; what follows the last line feed stays in
    // pending for the next read.
    static std::vector<std::string> takeLines(std::string& pending, const char* bytes,
                                              size_t count);

private:
    void readLines();

    int _fifo = -1;
    int _stop[2] = {-1, -1};
    std::thread _reader;
};

}  // namespace cocos2d
