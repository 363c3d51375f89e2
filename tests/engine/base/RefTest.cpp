#include <gtest/gtest.h>

#include "base/AutoreleasePool.h"
#include "base/PoolManager.h"
#include "base/Ref.h"

namespace {

using cocos2d::AutoreleasePool;
using cocos2d::PoolManager;
using cocos2d::Ref;

class Tracked : public Ref {
public:
    explicit Tracked(int* destroyed) : _destroyed(destroyed) {}
    ~Tracked() override { ++*_destroyed; }

    static Tracked* create(int* destroyed) {
        auto* t = new Tracked(destroyed);
        t->autorelease();
        return t;
    }

private:
    int* _destroyed;
};

// An object whose destruction autoreleases another, as a node releasing children may.
class Chained : public Ref {
public:
    Chained(int* destroyed) : _destroyed(destroyed) {}
    ~Chained() override { Tracked::create(_destroyed); }

private:
    int* _destroyed;
};

TEST(Ref, AutoreleasedObjectLivesUntilThePoolDrains) {
    int destroyed = 0;
    AutoreleasePool pool;
    Tracked* kept = Tracked::create(&destroyed);
    kept->retain();
    Tracked::create(&destroyed);
    EXPECT_EQ(PoolManager::getInstance()->getCurrentPool(), &pool);
    EXPECT_EQ(kept->getReferenceCount(), 2u);
    pool.clear();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(kept->getReferenceCount(), 1u);
    kept->release();
    EXPECT_EQ(destroyed, 2);
}

TEST(Ref, DrainingReleasesWhatDestructorsAutorelease) {
    int destroyed = 0;
    AutoreleasePool pool;
    (new Chained(&destroyed))->autorelease();
    pool.clear();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(pool.size(), 0u);
}

TEST(Ref, NestedPoolsStackAndUnstack) {
    int destroyed = 0;
    AutoreleasePool* bottom = PoolManager::getInstance()->getCurrentPool();
    {
        AutoreleasePool inner;
        Tracked* t = Tracked::create(&destroyed);
        EXPECT_TRUE(inner.contains(t));
        EXPECT_FALSE(bottom->contains(t));
    }
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(PoolManager::getInstance()->getCurrentPool(), bottom);
}

}  // namespace
