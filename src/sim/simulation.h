#pragma once
// The game logic: the console game's routines, advancing one console frame
// (one V-blank) per call of step(). The whole game lives in one GameState;
// beside it the Simulation keeps the cheat bits and the outputs of the step
// (sprites, screens, sound requests, fade V-blanks, end and stop messages).

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/sound_request.h"
#include "sim/game_state.h"
#include "sim/sim_types.h"

namespace world { struct World; struct Area; }

namespace sim {

class RomView;
class Simulation;

// Resolves the subgame being entered: the state reached at its end, or nothing.
using SubgameHook = std::function<std::optional<GameState>(Simulation&)>;

// The current area as the game logic needs it, refreshed by loadArea.
struct AreaCache {
    const world::Area* area = nullptr;
    std::vector<std::uint8_t> collision;
    std::int64_t columns = 0;
    std::int64_t widthPixels = 0;
    std::int64_t cameraLimit = 0;  // 0 for one screen, else width - 321
    std::int64_t originX = 0;
    std::int64_t minY = 0;
    std::int64_t firstSelectionFrames = 0;
};

// Waiting-screen kinds held in screen_kind.
enum ScreenKind : int { kNoScreen = 0, kEventScreen = 1, kInventoryScreen = 2, kLivesScreen = 3, kGameOverScreen = 4 };

// Kinds of sound request.
inline constexpr std::uint8_t kSoundMusic = 0;
inline constexpr std::uint8_t kSoundEffect = 1;
inline constexpr std::uint8_t kSoundPause = 2;
inline constexpr std::uint8_t kSoundResume = 3;

// Cheat bits.
inline constexpr std::uint32_t kCheatLives = 1;     // losing a life keeps the count
inline constexpr std::uint32_t kCheatNoDamage = 2;  // no damage, no hazard deaths
inline constexpr std::uint32_t kCheatNoCountdown = 4;  // archery countdown stopped

class Simulation {
public:
    Simulation(const world::World& world, RomView& rom);

    // --- the host's interface ---
    void newStart(bool languageMenu);
    bool newGame(std::int64_t extraLives);
    void step(std::uint8_t pad, std::int64_t tick);  // never throws
    char tickKind() const;                            // 'S', 'W', 'G' or 0 for front-end frames
    const GameState& state() const { return state_; }
    GameState& mutableState() { return state_; }
    std::shared_ptr<const GameState> snapshot() const;
    bool loadState(const GameState& given);
    bool isAtRest() const;
    bool teleport(std::int64_t area, std::int64_t x, std::int64_t y);
    bool openCodeMenu();
    void runGameStep(std::uint8_t pad, std::int32_t eventFrames, std::int32_t livesFrames, SubgameHook hook);

    // --- outputs of the last step ---
    std::vector<audio::SoundRequest>& soundRequests() { return soundRequests_; }
    const std::vector<Screen>& screens() const { return screens_; }
    // The host keeps only the newest screen while the front end runs (it draws nothing else).
    void keepNewestScreen() {
        if (screens_.size() > 1) screens_.erase(screens_.begin(), screens_.end() - 1);
    }
    const std::vector<SpriteCall>& frameSprites() const { return frameSprites_; }
    const std::vector<SpriteCall>& previousSprites() const { return previousSprites_; }
    const std::vector<SpriteCall>& stepSprites() const { return stepSprites_; }
    std::int32_t fadeVBlanks() const { return fadeVBlanks_; }
    const std::string& endMessage() const { return endMessage_; }
    const std::string& stopMessage() const { return stopMessage_; }
    std::int64_t subgamesSkipped() const { return subgamesSkipped_; }
    std::uint8_t stepPad() const { return stepPad_; }
    std::int64_t tickNumber() const { return tickNumber_; }
    const AreaCache& areaCache() const { return areaCache_; }
    std::uint32_t cheats() const { return cheats_; }
    void setCheats(std::uint32_t bits) { cheats_ = bits; }
    bool suspendMode() const { return suspendMode_; }
    void setSuspendMode(bool on) { suspendMode_ = on; }
    const world::World& world() const { return world_; }
    const RomView& rom() const { return rom_; }

    // --- helpers shared by the game logic ---
    std::int64_t random(std::int64_t n);
    void requestMusic(std::int64_t n);
    void requestEffect(std::int64_t n);
    void requestSound(std::uint8_t kind, std::uint32_t value = 0);
    void addSprite(std::uint32_t x, std::uint32_t y, std::uint32_t frame, std::uint32_t attributes,
                   std::uint32_t caller);
    void beginFrame();
    [[noreturn]] void stopWith(const std::string& message);

    // Console RAM FF90BA..FF9E6B, kept in the sub_ram block (big-endian words).
    static constexpr std::uint32_t kSubRamBase = 0xFF90BA;
    static constexpr std::uint32_t kSubRamEnd = 0xFF9E6B;
    std::int64_t subRamWord(std::uint32_t address) const;  // signed 16-bit
    std::uint8_t subRamByte(std::uint32_t address) const;
    void setSubRamWord(std::uint32_t address, std::int64_t value);
    void setSubRamByte(std::uint32_t address, std::uint8_t value);

    // 6-byte animation records (frame, timer, index words) in a block at an offset.
    // One step with the sequence at ROM address seq; returns the frame word.
    std::int64_t stepAnimation(std::vector<std::uint8_t>& block, std::size_t offset, std::uint32_t seq);
    // The same with a sequence held by the program (delay, loop index, frames, FFFF);
    // an index outside the table or an end mark restarts at the loop index.
    std::int64_t stepProgramSequence(std::vector<std::uint8_t>& block, std::size_t offset,
                                     const std::vector<std::uint16_t>& sequence);
    // Frames in the first bank of the bank list at a ROM address (10-byte entries
    // of its selection list up to FFFF, at most 256).
    std::int64_t firstBankFrames(std::uint32_t bankList);

    // --- the step's parts (public for the tools and the tests) ---
    void runStages(int stage, std::uint8_t pad);
    void showScreen(int kind, std::int64_t value);
    void screenFrame();
    bool screenEnds(std::uint8_t pad);
    void endScreen();
    void beginGameOver();
    void loseLife();

    // Areas, camera, exits and doors.
    bool loadArea(std::int64_t n);
    void enterArea();
    void updateCamera();
    void animatedBlockCheck();
    std::uint8_t doorRule(std::uint8_t pad);
    int doorAtHero() const;  // the first open door of this area in front of the hero, or -1
    bool doorPassage();      // B at a door: true when a door took the hero through
    // A door that opens with an animation: door_states record `record`, door `door`, drawn at (x, y).
    void animatedDoor(int record, int door, std::int64_t x, std::int64_t y);
    void exitCheck();
    void paletteVariantTimer();
    void area6Lamp();
    bool refreshAreaCache(std::int64_t n);

    // Hero.
    void resetHero(bool keepPosition = false);
    bool heroFrozen() const;
    void heroControl();
    void heroAnimationAndSprite();
    void heroAnimationStep();
    void setHeroAnimation(std::uint32_t sequence);  // restarts the hero on a brumo_sequences entry
    bool solid(std::int64_t px, std::int64_t py) const;  // one pixel of the area's collision map
    // The energy bar and panel step; alwaysShown draws the bar whatever damage_show holds and leaves
    // it unchanged (the event and inventory screens do so by themselves, subgames ask for it).
    void energyBar(bool alwaysShown = false);
    void waterAndEnergy();
    // Damage of a 16.16 amount (negative heals), as hazards and actors deal it.
    void addDamage(std::int64_t amount, bool ignoredWhileDying);
    void deathCheck();

    // Objects, items, inventory and stars.
    void carriedObjectFlags();
    void bAction();
    void objectUseRoutines();
    void starCountDisplay();
    void objectsHere();
    void loadObjectsHere();
    void itemsAndHazards();
    bool inventoryButton(std::uint8_t pad);

    // Actors, lifts, platforms and small effects.
    void rainTimer();
    void rain();
    void fallingEffects();
    void sparkles();
    void actors();

    // Area handlers: runAreaHandler checks the area, runs its handler and then the area's music.
    void runAreaHandler();
    void areaHandler();
    void areaMusic();

    // Front end and the game over sign.
    void openLanguageMenu();
    void showTitle();
    void frontEndFrame(std::uint8_t pad);
    void gameOverFrame(bool first);
    void beginStory();
    void beginAttract();
    void openCodeMenuScreen();
    // Console RAM FF83E0..FF900F, kept in the title_ram block (big-endian). An
    // address outside it stops the game.
    static constexpr std::uint32_t kTitleRamBase = 0xFF83E0;
    static constexpr std::uint32_t kTitleRamEnd = 0xFF900F;
    std::int64_t titleWord(std::uint32_t address);  // signed 16-bit
    void setTitleWord(std::uint32_t address, std::int64_t value);
    std::int64_t titleLong(std::uint32_t address);  // signed 32-bit
    void setTitleLong(std::uint32_t address, std::int64_t value);
    // The game's own start values (door locks and states, phases, score, stars,
    // lives, scenery records), shared by the new game and the code menu.
    void applyGameStartValues();

    // Subgames.
    void enterSubgame();
    void setUpSubgame(std::int64_t mode);
    std::string subgameFrame(std::int64_t mode, std::uint8_t pad, std::int64_t tick);
    void subgameAfterScreen();
    void leaveSubgame(std::uint8_t pad);
    void resolveSubgameWithHook();
    void subgameLoss();
    void subgameReturn();
    void placeHero(std::int64_t x, std::int64_t y, std::int64_t area);

private:
    void clearMessages();
    void missingTableCheck();
    void runStage(int stage, std::uint8_t pad, bool& done);
    void stageIdleTimer();
    bool stagePause(std::uint8_t pad);
    void runToolsScreen();
    void saveHeroForSubgame();
    void restoreHeroFromPush();
    void cancelPaletteFade();
    // Front-end pieces.
    void appendFrontFrame();
    Screen& pushFrontScreen(std::int64_t event, std::int64_t language, std::int64_t picture);
    void moveMenuCursor(std::uint8_t pad, std::int64_t last);
    void languageMenuFrame(std::uint8_t pad);
    void shuffleLetterPieces();
    void drawLetterPieces(std::int64_t t);
    void drawRestingLetters();
    void drawLanguageMarks();
    void chooseLanguage();
    void titleFrame(std::uint8_t pad);
    void setUpTitleLogo();
    void titleLogo();
    void attractFrame(std::uint8_t pad);
    void beginAttractPicture();
    void drawAttractSprites(std::int64_t event, std::int64_t offset);
    void storyFrame(std::uint8_t pad);
    void codeMenuFrame(std::uint8_t pad);
    void codeMenuSubgameFrame(std::uint8_t pad);
    void startCodeMenuChoice();
    void drawCodeMenuMarks(std::int64_t from, std::int64_t to, std::int64_t t);
    void drawGameOverWord(std::uint32_t table, std::int64_t x, std::int64_t y, std::int64_t scaleX,
                          std::int64_t scaleY);

    GameState state_;
    std::uint32_t cheats_ = 0;
    AreaCache areaCache_;
    const world::World& world_;
    RomView& rom_;
    std::string stopMessage_;
    std::string endMessage_;
    std::vector<SpriteCall> frameSprites_;
    std::vector<SpriteCall> stepSprites_;
    std::vector<SpriteCall> previousSprites_;
    std::vector<audio::SoundRequest> soundRequests_;
    std::int64_t subgamesSkipped_ = 0;
    std::vector<Screen> screens_;
    std::uint8_t stepPad_ = 0;
    std::int32_t eventFrames_ = -1;
    std::int32_t livesFrames_ = -1;
    SubgameHook subgameHook_;
    bool suspendMode_ = false;
    std::int32_t fadeVBlanks_ = 0;
    std::int64_t tickNumber_ = 0;
};

}  // namespace sim
