#pragma once

// The short, soft sounds that answer what a child does on the field: a card snaps onto a line,
// goes into the bin, turns over; a program starts and has been sent. They are made on the fly
// (no sound files) and go through the one tone output, so the speaker switch also silences the
// stage's beep. Nothing sounds where there is no audio device, nor under the dummy driver of
// the tests. Main thread.
class FieldSounds {
public:
    static void snap();
    static void bin();
    static void flip();
    static void start();
    static void sent();

    static bool on();
    // Switches every sound off or on and remembers the choice for the next start.
    static void setOn(bool on);
    // The choice the last start left behind; on when none was kept.
    static void restore();

private:
    struct Note {
        double hz;
        double seconds;
    };
    // Notes queue one after another, so a chime needs no timer of its own.
    static void play(const Note* notes, int count, float volume);
};
