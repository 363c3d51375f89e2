#pragma once

#include <string>

// Why the board could not be reached, as far as the system tells, and what the people beside
// the child can do about it. Made on the thread that met the error; a plain value.
class LinkTrouble {
public:
    enum class Cause { None, NoPermission, Busy, Gone, NotOnNetwork };

    LinkTrouble() = default;

    // From the errno of opening or writing the serial device at `path`. A busy device is looked
    // up in /proc for the program that holds it.
    static LinkTrouble ofSerial(const std::string& path, int error);
    // From the errno of sending a datagram to the board.
    static LinkTrouble ofDatagram(int error);
    // Whether this process may open the device for reading and writing, asked without opening
    // it (a search must not disturb the device): NoPermission or None.
    static LinkTrouble ofAccess(const std::string& path);

    // The first program other than this one with `path` open, by its /proc name; "" when none
    // can be seen.
    static std::string findHolder(const std::string& path);

    Cause cause() const { return _cause; }
    const std::string& device() const { return _device; }
    const std::string& group() const { return _group; }
    const std::string& holder() const { return _holder; }

    // The paragraph shown below the failure message, in the user's language; "" when the cause
    // is not known.
    std::string help() const;
    // One short line for the top of the device's row in the port list; "" unless the device
    // cannot be opened for want of permission.
    std::string note() const;

private:
    LinkTrouble(Cause cause, std::string device) : _cause(cause), _device(std::move(device)) {}
    static LinkTrouble noPermission(const std::string& path);
    std::string permissionHelp() const;
    std::string busyHelp() const;

    Cause _cause = Cause::None;
    std::string _device;
    std::string _group;
    bool _groupMayUse = false;  // members of the device's group may read and write it
    std::string _holder;
};
