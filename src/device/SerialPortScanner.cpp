#include "device/SerialPortScanner.h"

#include <libserialport.h>

bool SerialPortScanner::list(std::vector<Port>& ports) {
    ports.clear();
    sp_port** found = nullptr;
    if (sp_list_ports(&found) != SP_OK) {
        return false;
    }
    for (sp_port** port = found; port && *port; ++port) {
        const char* name = sp_get_port_name(*port);
        const char* description = sp_get_port_description(*port);
        if (name && *name) {
            ports.push_back({name, description ? description : ""});
        }
    }
    sp_free_port_list(found);
    return true;
}
