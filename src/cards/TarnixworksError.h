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
    // What the system told of the cause, and what to do about it; shown as a paragraph of its
    // own below the message. "" when the cause is not known.
    std::string help;

    // The texts are chosen for the user's language when the record is made.
    static TarnixworksError linkNotOpened(const std::string& help = "");
    static TarnixworksError writeFailed(const std::string& help = "");

    // The message with the help below it, as the message box shows it.
    std::string shownMessage() const { return help.empty() ? message : message + "\n\n" + help; }

    bool operator==(const TarnixworksError& other) const {
        return title == other.title && message == other.message && showAlert == other.showAlert &&
               showPortPanel == other.showPortPanel && searchAgain == other.searchAgain &&
               help == other.help;
    }
};
