#include "device/TarnixCardSerialData.h"

TarnixCardSerialData::~TarnixCardSerialData() = default;

bool TarnixCardSerialData::init() {
    portName.clear();
    description.clear();
    kind = 0;
    return true;
}
