#pragma once

#include <cstddef>
#include <vector>

namespace cocos2d {

class Ref;

// Holds one reference to each object added until clear() releases them all.
class AutoreleasePool {
public:
    AutoreleasePool();
    ~AutoreleasePool();
    AutoreleasePool(const AutoreleasePool&) = delete;
    AutoreleasePool& operator=(const AutoreleasePool&) = delete;

    void addObject(Ref* object);
    void clear();
    bool contains(Ref* object) const;
    size_t size() const { return _managedObjects.size(); }

private:
    std::vector<Ref*> _managedObjects;
};

}  // namespace cocos2d
