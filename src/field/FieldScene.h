#pragma once

#include <functional>
#include <memory>
#include <string>

#include "2d/Layer.h"
#include "cards/TarnixworksError.h"
#include "field/FieldScrollViewDelegate.h"
#include "field/FieldSheet.h"
#include "ui/EditBoxDelegate.h"

namespace cocos2d {
class LayerColor;
class RenderTexture;
class Sprite;
}  // namespace cocos2d

class CardPalette;
class CardPlacement;
class CardSprite;
class ConnectionPanel;
class FieldDrawer;
class FieldScrollView;
class FieldStorage;
class FieldUndo;
class FieldWorkers;
class InputCardSprite;
class NumberPopup;
class RunOverlay;
class SaveData;
class SimulatorStage;

// The main editing screen: the palette on the left, the sheet of 40 program lines in the
// middle, the player column on the right, the drawer at the bottom. Each role lives in a
// collaborator that owns its own state (palette, placement, number popup, drawer, connection
// panel, running overlay, workers, storage, undo); what several of them share is the sheet.
// The scene builds the layout, wires the parts together and keeps the operations they call.
class FieldScene : public cocos2d::Layer,
                   public FieldScrollViewDelegate,
                   public cocos2d::ui::EditBoxDelegate {
public:
    static constexpr int kLineCount = 40;
    static constexpr float kPanelWidth = 275;
    static inline const cocos2d::Size designSize{1024, 768};

    static FieldScene* create(SaveData* data);
    virtual bool init(SaveData* data);

    // Scroll view and edit box delegates.
    void scrollViewDidScroll(FieldScrollView* view) override;
    void scrollViewDidZoom(FieldScrollView*) override {}
    void editBoxReturn(cocos2d::ui::EditBox* editBox) override;
    void editBoxCancel(cocos2d::ui::EditBox* editBox) override;
    // Leaving the screen, or the editor closing, must not lose a line operation's store.
    void onExit() override;

    // Controls.
    void scrollPaletteUp();
    void scrollPaletteDown();
    void toggleDrawer();
    void openDrawer();
    void closeDrawer();
    void selectCardSet(int set);
    void insertLine(int line);
    void deleteLine(int line);
    void play();
    void stop();
    void openTargetChooser();
    void openPortList();
    // Play with no port chosen: the drawer, and the list of ports once the drawer is in.
    void choosePort();
    void searchPorts();
    void openSavedPrograms();
    void openCopyright();
    // Undo and redo of the last user actions on the cards (FieldUndo).
    bool undo();
    bool redo();

    // The connection panel and the work on the device.
    void refreshPortLabel();
    void showSearching();
    void closePortList();
    void startPrepare();
    void startPortSelect();
    void closeTargetChooser();
    void refreshTarget();
    void handOff(const TarnixworksError& error);
    void showWaitOverlay();
    void removeWaitOverlay();
    // Echo of what goes to the board; the console is redrawn at most once a frame.
    void appendConsole(const std::string& text);

    // Palette and placement.
    void buildPalette();
    void updateCount(int index, int tab);
    CardSprite* createCard(int index, int tab, cocos2d::Vec2 position, int opacity);
    void moveCards(CardSprite* card, cocos2d::Vec2 offset);
    void deleteCard(CardSprite* card);

    // Number entry and the running overlay.
    void openNumberPopup(InputCardSprite* card);
    void showRunOverlay();
    // The sending has ended; with the board on the stage the run itself may go on.
    void finishRunOverlay();
    // Closes the overlay and the stage with it, and gives the palette back.
    void closeRunOverlay();
    // The program reached the board: a tick over the sheet for a moment, and a chime.
    void showSent();

    // The board on the screen: the chosen port is the simulator's entry.
    bool simulatorChosen() const;
    // A fresh simulated board of the current target on the stage, over the palette.
    void openStage();
    // The program on the stage has ended, or was stopped: the overlay lets the child go back.
    void runEnded();

    // Storage.
    void saveField();
    void loadField();
    void captureThumbnail(
        std::function<void(cocos2d::RenderTexture*, const std::string&)> completion);

    // The sheet's zoom: sheet units per screen unit.
    float sheetScale() const;
    // The copyright page shipped with the program, as a file address.
    static std::string copyrightURL();
    // Where openCopyright sends the address; the application's browser unless replaced.
    static std::function<bool(const std::string&)>& urlOpener();

    // The screen's layout, which the scene builds and its parts read.
    FieldScrollView* fieldView() const { return _fieldView; }
    FieldScrollView* paletteView() const { return _paletteView; }
    cocos2d::Sprite* playButton() const { return _playButton; }
    cocos2d::Sprite* stopButton() const { return _stopButton; }
    cocos2d::Sprite* targetButton() const { return _targetButton; }
    cocos2d::Sprite* menuUp() const { return _menuUp; }
    cocos2d::Sprite* menuDown() const { return _menuDown; }
    cocos2d::Sprite* cornerButton() const { return _cornerButton; }
    SaveData* saveData() const { return _saveData; }

    // The lines and the cards on them, which every part reads and placement, storage and undo
    // change through its operations.
    FieldSheet& sheet() { return _sheet; }
    const FieldSheet& sheet() const { return _sheet; }
    // The parts, for the narrow questions they ask one another and for tests to read them.
    CardPalette& palette() { return *_palette; }
    CardPlacement& placement() { return *_placement; }
    NumberPopup& numberEntry() { return *_numberPopup; }
    FieldDrawer& fieldDrawer() { return *_drawer; }
    ConnectionPanel& connection() { return *_connection; }
    RunOverlay& runningOverlay() { return *_runOverlay; }
    FieldWorkers& workers() { return *_workers; }
    FieldStorage& storage() { return *_storage; }
    FieldUndo& history() { return *_undo; }
    SimulatorStage& stage() { return *_stage; }

protected:
    FieldScene();
    ~FieldScene() override;

private:
    void buildPaletteLayer(cocos2d::Layer* paletteLayer);
    void buildSheet();
    void buildLines();
    void buildPlayerColumn();
    void buildCornerAndFrame();
    void addButtonListeners();
    void addMouseListener();
    void onMouseScroll(float x, float y, float wheel);
    void checkSavedPrograms();

    FieldScrollView* _fieldView = nullptr;
    FieldScrollView* _paletteView = nullptr;
    cocos2d::LayerColor* _palettePanel = nullptr;
    cocos2d::Sprite* _playButton = nullptr;
    cocos2d::Sprite* _stopButton = nullptr;
    cocos2d::Sprite* _targetButton = nullptr;
    cocos2d::Sprite* _menuUp = nullptr;
    cocos2d::Sprite* _menuDown = nullptr;
    cocos2d::Sprite* _cornerButton = nullptr;
    SaveData* _saveData = nullptr;

    FieldSheet _sheet;
    std::unique_ptr<CardPalette> _palette;
    std::unique_ptr<CardPlacement> _placement;
    std::unique_ptr<NumberPopup> _numberPopup;
    std::unique_ptr<FieldDrawer> _drawer;
    std::unique_ptr<FieldStorage> _storage;
    std::unique_ptr<RunOverlay> _runOverlay;
    std::unique_ptr<ConnectionPanel> _connection;
    std::unique_ptr<FieldWorkers> _workers;
    std::unique_ptr<FieldUndo> _undo;
    std::unique_ptr<SimulatorStage> _stage;
};
