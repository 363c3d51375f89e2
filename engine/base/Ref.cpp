#include "base/Ref.h"

#include <cassert>

#include "base/AutoreleasePool.h"
#include "base/PoolManager.h"

namespace cocos2d {

Ref::Ref() = default;

Ref::~Ref() = default;

void Ref::retain() {
    assert(_referenceCount > 0);
    ++_referenceCount;
}

void Ref::release() {
    assert(_referenceCount > 0);
    if (--_referenceCount == 0) {
        delete this;
    }
}

Ref* Ref::autorelease() {
    PoolManager::getInstance()->getCurrentPool()->addObject(this);
    return this;
}

unsigned int Ref::getReferenceCount() const { return _referenceCount; }

}  // namespace cocos2d
