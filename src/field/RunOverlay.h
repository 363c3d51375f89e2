#pragma once

#include <string>

class FieldScene;

// The dimmed layer over the screen while a program goes to the board: a console of what is
// sent, a spinner and a stop button; once the transfer has ended, a tap closes it.
class RunOverlay {
public:
    explicit RunOverlay(FieldScene& scene) : _scene(scene) {}

    void show();
    void finish();
    void close();
    // Keeps the cards shown over the overlay on their cards while the sheet scrolls.
    void followSheet();
    // Keeps what was sent for the console; the label takes it at the next frame.
    void append(const std::string& text);

private:
    void removeControls();
    void flushConsole();

    FieldScene& _scene;
    std::string _console;
    bool _consoleChanged = false;
};
