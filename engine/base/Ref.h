#pragma once

#include <atomic>

namespace cocos2d {

// Reference-counted base of every engine object. A new object starts with one reference;
// autorelease() hands that reference to the current autorelease pool, which drops it when the
// pool drains (after every frame).
class Ref {
public:
    virtual ~Ref();

    void retain();
    void release();
    Ref* autorelease();
    unsigned int getReferenceCount() const;

protected:
    Ref();

private:
    // Atomic because a worker may keep a scene alive until its last posted work has run.
    std::atomic<unsigned int> _referenceCount{1};
};

}  // namespace cocos2d

#define CC_SAFE_RELEASE(p)  \
    do {                    \
        if (p) {            \
            (p)->release(); \
        }                   \
    } while (0)
#define CC_SAFE_RELEASE_NULL(p) \
    do {                        \
        if (p) {                \
            (p)->release();     \
            (p) = nullptr;      \
        }                       \
    } while (0)
#define CC_SAFE_RETAIN(p)  \
    do {                   \
        if (p) {           \
            (p)->retain(); \
        }                  \
    } while (0)
