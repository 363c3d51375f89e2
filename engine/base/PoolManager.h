#pragma once

#include <vector>

namespace cocos2d {

class AutoreleasePool;

// The stack of autorelease pools of the main thread; the bottom pool lives for the process and
// is drained by the director after every frame.
class PoolManager {
public:
    static PoolManager* getInstance();

    AutoreleasePool* getCurrentPool();

private:
    friend class AutoreleasePool;
    PoolManager() = default;

    void push(AutoreleasePool* pool);
    void pop(AutoreleasePool* pool);

    std::vector<AutoreleasePool*> _pools;
};

}  // namespace cocos2d
