#include "base/AutoreleasePool.h"

#include <algorithm>

#include "base/PoolManager.h"
#include "base/Ref.h"

namespace cocos2d {

AutoreleasePool::AutoreleasePool() { PoolManager::getInstance()->push(this); }

AutoreleasePool::~AutoreleasePool() {
    clear();
    PoolManager::getInstance()->pop(this);
}

void AutoreleasePool::addObject(Ref* object) { _managedObjects.push_back(object); }

void AutoreleasePool::clear() {
    // Releasing may destroy objects whose destructors autorelease again: swap first so that
    // those land in a fresh list instead of the one being walked.
    while (!_managedObjects.empty()) {
        std::vector<Ref*> releasing;
        releasing.swap(_managedObjects);
        for (Ref* object : releasing) {
            object->release();
        }
    }
}

bool AutoreleasePool::contains(Ref* object) const {
    return std::find(_managedObjects.begin(), _managedObjects.end(), object) !=
           _managedObjects.end();
}

}  // namespace cocos2d
