#pragma once

#include <string>

// The outcome of a failed run or stop request, as the main thread acts on it: a message box,
// a new port search, the connection panel. A cleared record (a request the user cancelled)
// asks for none of them.
struct TarnixworksError {
    std::string title;
    std::string message;
    bool showAlert = false;
    bool showPortPanel = false;
    bool searchAgain = false;

    // The texts are chosen for the user's language when the record is made.
    static TarnixworksError linkNotOpened();
    static TarnixworksError writeFailed();

    bool operator==(const TarnixworksError& other) const {
        return title == other.title && message == other.message && showAlert == other.showAlert &&
               showPortPanel == other.showPortPanel && searchAgain == other.searchAgain;
    }
};
