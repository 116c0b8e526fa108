#include "game/SoundDirector.h"

#include "se/XSoundEngine.h"

namespace {

// When an event's effect starts, in ticks after the tick that noted it: the
// effects of one tick sound as a short sequence (the blow, then the blow
// struck back; the monster's fall, then its gold), not all at once. A press
// whose action has a sound of its own is heard as that sound alone.
enum class Heard { Always, Alone };

struct EventSound {
    GameEvent event;
    Effect effect;
    int delay;
    Heard heard;
};

constexpr EventSound eventSounds[] = {
    {GameEvent::ButtonPressed,   Effect::Button,        0, Heard::Alone},
    {GameEvent::KnightStrikes,   Effect::Strike,        0, Heard::Always},
    {GameEvent::KnightStruck,    Effect::Struck,       14, Heard::Always},
    {GameEvent::MonsterFalls,    Effect::MonsterFalls, 10, Heard::Always},
    {GameEvent::GoldGained,      Effect::Gold,         30, Heard::Always},
    {GameEvent::PotionDrunk,     Effect::Potion,        0, Heard::Always},
    {GameEvent::Purchase,        Effect::Purchase,      0, Heard::Always},
    {GameEvent::PurchaseRefused, Effect::Refused,       0, Heard::Always},
    {GameEvent::DiceRolled,      Effect::DiceRoll,      0, Heard::Always},
    {GameEvent::DiceWon,         Effect::DiceWon,      48, Heard::Always},
    {GameEvent::DiceLost,        Effect::DiceLost,     48, Heard::Always},
    {GameEvent::Trained,         Effect::Training,      0, Heard::Always},
    {GameEvent::Forged,          Effect::Forge,        12, Heard::Always},
    {GameEvent::LevelUp,         Effect::LevelUp,      48, Heard::Always},
    {GameEvent::Fled,            Effect::Flee,          0, Heard::Always},
    {GameEvent::DragonAppears,   Effect::DragonRoar,    0, Heard::Always},
    {GameEvent::DragonFalls,     Effect::DragonFalls,  10, Heard::Always},
    {GameEvent::HeroFalls,       Effect::Defeat,       36, Heard::Always},
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

// A tick whose only event is the press.
bool PressAlone(const TickEvents& events) {
    for (const EventSound& row : eventSounds) {
        if (row.heard == Heard::Always && events.Has(row.event)) {
            return false;
        }
    }
    return true;
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
    PlayDue(sound);
    PlayEffects(events, sound);
    FollowScreen(state, sound);
}

void SoundDirector::PlayEffects(const TickEvents& events, se::XSoundEngine& sound) {
    if (muted) {
        return;
    }
    const bool alone = PressAlone(events);
    for (const EventSound& row : eventSounds) {
        if (!events.Has(row.event) || (row.heard == Heard::Alone && !alone)) {
            continue;
        }
        if (row.delay == 0) {
            sound.PlaySound(static_cast<int>(row.effect), effectVolume, false);
        } else if (due.size() < maxDue) {
            due.push_back({row.effect, row.delay});
        }
    }
}

void SoundDirector::PlayDue(se::XSoundEngine& sound) {
    if (muted) {
        due.clear();
        return;
    }
    for (size_t i = 0; i < due.size();) {
        if (--due[i].ticks > 0) {
            ++i;
            continue;
        }
        sound.PlaySound(static_cast<int>(due[i].effect), effectVolume, false);
        due.erase(due.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

// A new screen's track follows a short fade of the one playing; the first
// track, and any while muted, starts at once.
void SoundDirector::FollowScreen(const GameState& state, se::XSoundEngine& sound) {
    const int wanted = static_cast<int>(MusicOf(state));
    if (wanted == asked) {
        fading = 0;
        if (mutedHeard != muted) {
            sound.SetMusicVolume(MusicVolume());
        }
    } else if (asked == nothing || muted || fading == fadeTicks) {
        sound.PlayMusic(wanted, MusicVolume(), 0);
        asked = wanted;
        fading = 0;
    } else {
        ++fading;
        sound.SetMusicVolume(musicVolume - (musicVolume - silentAbove) * static_cast<float>(fading) / fadeTicks);
    }
    mutedHeard = muted;
}
