#pragma once

#include "cards/DeviceManager.h"

// Selects a target and palette tab for one test and restores the defaults afterwards.
class TargetGuard {
public:
    explicit TargetGuard(int target, int cardSet = 0) {
        DeviceManager::getInstance()->target = target;
        DeviceManager::getInstance()->cardSet = cardSet;
    }
    ~TargetGuard() { DeviceManager::getInstance()->init(); }
    TargetGuard(const TargetGuard&) = delete;
    TargetGuard& operator=(const TargetGuard&) = delete;
};
