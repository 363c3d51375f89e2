#pragma once

#include <string>
#include <vector>

// Lists the serial ports present on the system, in the system's order.
class SerialPortScanner {
public:
    struct Port {
        std::string name;         // what opens the port: a device path
        std::string description;  // human-readable (a USB product name); may be empty
    };

    // False when the system could not be asked; `ports` is then empty.
    static bool list(std::vector<Port>& ports);
};
