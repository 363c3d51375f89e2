#pragma once

#include <string>

// Whether the editor's sounds are on, kept across starts in a small property list in the
// user's data folder beside the saved programs. Anything but a stored "off" means on: a
// missing, unreadable or damaged file must never leave a child wondering why nothing sounds.
class SoundSetting {
public:
    static constexpr const char* kFileName = "settings.plist";
    static constexpr const char* kSoundKey = "sound";

    static bool read();
    // Written anew and renamed into place, keeping any other keys the file holds. False when
    // the file could not be written; the choice then holds only until the editor ends.
    static bool write(bool on);
    static std::string path();
};
