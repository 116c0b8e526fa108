#include "game/SoundDirector.h"

#include "se/XSoundEngine.h"

namespace {

struct EventSound {
    GameEvent event;
    Effect effect;
};

constexpr EventSound eventSounds[] = {
    {GameEvent::ButtonPressed,   Effect::Button},
    {GameEvent::KnightStrikes,   Effect::Strike},
    {GameEvent::KnightStruck,    Effect::Struck},
    {GameEvent::MonsterFalls,    Effect::MonsterFalls},
    {GameEvent::GoldGained,      Effect::Gold},
    {GameEvent::PotionDrunk,     Effect::Potion},
    {GameEvent::Purchase,        Effect::Purchase},
    {GameEvent::PurchaseRefused, Effect::Refused},
    {GameEvent::DiceRolled,      Effect::DiceRoll},
    {GameEvent::DiceWon,         Effect::DiceWon},
    {GameEvent::DiceLost,        Effect::DiceLost},
    {GameEvent::Trained,         Effect::Training},
    {GameEvent::Forged,          Effect::Forge},
    {GameEvent::LevelUp,         Effect::LevelUp},
    {GameEvent::Fled,            Effect::Flee},
    {GameEvent::DragonAppears,   Effect::DragonRoar},
    {GameEvent::DragonFalls,     Effect::DragonFalls},
    {GameEvent::HeroFalls,       Effect::Defeat},
};

constexpr bool OneRowAnEventInOrder() {
    if (sizeof(eventSounds) / sizeof(eventSounds[0]) != gameEventCount) {
        return false;
    }
    for (int i = 0; i < gameEventCount; ++i) {
        if (static_cast<int>(eventSounds[i].event) != i) {
            return false;
        }
    }
    return true;
}
static_assert(OneRowAnEventInOrder(), "eventSounds holds one row an event, in the events' order");

Music EncounterMusic(EncounterType type) {
    if (type == EncounterType::Dragon) {
        return Music::Dragon;
    }
    if (type >= EncounterType::WizardShop && type <= EncounterType::WitchHut) {
        return Music::Camp;
    }
    return Music::Fight;
}

}  // namespace

Effect EffectOf(GameEvent event) {
    return eventSounds[static_cast<int>(event)].effect;
}

// The panels sliding in and out belong to the road; the encounter's own
// music starts once it stands.
Music MusicOf(const GameState& state) {
    switch (state.screen) {
    case ScreenState::Title:
        return Music::Title;
    case ScreenState::InEncounter:
        return EncounterMusic(state.slots[state.stage].type);
    case ScreenState::GameOver:
        return Music::GameOver;
    default:
        return Music::Road;
    }
}

void SoundDirector::Direct(const GameState& state, const TickEvents& events,
                           se::XSoundEngine& sound) {
    PlayEffects(events, sound);
    FollowScreen(state, sound);
}

void SoundDirector::PlayEffects(const TickEvents& events, se::XSoundEngine& sound) const {
    if (muted) {
        return;
    }
    for (const EventSound& row : eventSounds) {
        if (events.Has(row.event)) {
            sound.PlaySound(static_cast<int>(row.effect), effectVolume, false);
        }
    }
}

void SoundDirector::FollowScreen(const GameState& state, se::XSoundEngine& sound) {
    const int wanted = static_cast<int>(MusicOf(state));
    if (wanted != asked) {
        sound.PlayMusic(wanted, MusicVolume(), 0);
        asked = wanted;
    } else if (mutedHeard != muted) {
        sound.SetMusicVolume(MusicVolume());
    }
    mutedHeard = muted;
}
