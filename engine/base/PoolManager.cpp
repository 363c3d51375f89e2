#include "base/PoolManager.h"

#include <algorithm>

#include "base/AutoreleasePool.h"

namespace cocos2d {

PoolManager* PoolManager::getInstance() {
    // Main thread only, like every autorelease.
    static PoolManager* instance = nullptr;
    if (!instance) {
        instance = new PoolManager();
        new AutoreleasePool();  // the process-wide bottom pool, never destroyed
    }
    return instance;
}

AutoreleasePool* PoolManager::getCurrentPool() { return _pools.back(); }

void PoolManager::push(AutoreleasePool* pool) { _pools.push_back(pool); }

void PoolManager::pop(AutoreleasePool* pool) {
    auto it = std::find(_pools.begin(), _pools.end(), pool);
    if (it != _pools.end()) {
        _pools.erase(it);
    }
}

}  // namespace cocos2d
