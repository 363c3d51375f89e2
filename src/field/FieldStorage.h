#pragma once

#include <functional>
#include <string>

#include "base/Value.h"
#include "field/SaveNotice.h"

namespace cocos2d {
class RenderTexture;
}

class FieldScene;

// The field on disk: the cards as an array of dictionaries in the record's program file,
// stored after every change and laid out again when the field opens, and the thumbnail. It
// reads the sheet's cards, lays stored ones out through placement, and owns the notice shown
// while the program has not reached the disk.
class FieldStorage {
public:
    using Completion = std::function<void(cocos2d::RenderTexture*, const std::string&)>;

    static constexpr int kThumbnailSize = 285;

    explicit FieldStorage(FieldScene& scene);

    // A store that does not reach the disk shows the notice on the sheet until one does.
    void save();
    const SaveNotice& notice() const { return _notice; }
    void load();
    // Lays the cards out as opening the program does: factory, stored order, placement step.
    void loadCards(const cocos2d::ValueVector& cards);
    void captureThumbnail(Completion completion);

    // The stored form of the field's cards, in the order they were put on the field.
    cocos2d::ValueVector cardsAsValues() const;
    // The same with whether each card sits on a line, which laying them out again keeps (an
    // undo step): opening a file can only judge that from the places.
    cocos2d::ValueVector cardsWithLines() const;
    static constexpr const char* kOnLineKey = "online";
    // One stored card, or false when it names no card kind or carries no numbers where
    // numbers belong.
    struct StoredCard {
        int tab = 0, index = 0, x = 0, y = 0, zorder = 0;
        std::string value;
    };
    static bool readCard(const cocos2d::Value& element, StoredCard& card);

private:
    FieldScene& _scene;
    SaveNotice _notice;
};
