#pragma once

#include "game/sound/PlayingSound.h"
#include "game/sound/SoundDecoder.h"

#include "game/sound/audio/AudioSystem.h"

#include "engine/core/Behavior.h"
#include "engine/core/Signal.h"

#include <memory>
#include <string>
#include <vector>

namespace kit {
class World;
}

namespace skyscuffle {

// A sound of the game's table, by name. Owns its decoded sound.
struct SoundEntry {
    std::unique_ptr<audio::AudioSound> sound; // null when the file could not be loaded
    std::string name;
};

// The game's sound effects and background music. One for the whole run, on
// the system entity; screens and gameplay play sounds by name, directly or
// everywhere through the named function "playSound".
class SoundManager : public kit::Behavior {
public:
    explicit SoundManager(audio::AudioSystem& system);

    // Loads a sound and appends it to the table (an entry is added even when
    // the file fails, with one "Sound error: " line).
    std::shared_ptr<SoundEntry> addSound(const std::string& name, const std::string& path, audio::Mode mode);
    // Appends the entry at once and decodes the sound on the loader thread;
    // the entry stays silent until a later update (or finishLoading) takes
    // the decoded sound in. A failed decode costs one "Sound error: " line then.
    std::shared_ptr<SoundEntry> queueSound(const std::string& name, const std::string& path, audio::Mode mode);
    // Queues the game's table into the SoundManager of `world`; the background
    // music is left ready and paused once decoded.
    static void loadSounds(kit::World* world);
    // Waits for the queued sounds and takes them in.
    void finishLoading();
    // The SoundManager on a world's system entity, or null.
    static SoundManager* of(kit::World* world);
    // Whether a name is one of the game's table (what "playSound" may name).
    static bool isTableName(const std::string& name);

    // Plays every sound of that name once (nothing when the switch is off or
    // the name is unknown).
    void play(const std::string& name);
    // As play, for the first sound of the name; returns its channel (null if none).
    audio::Channel playAndGetChannel(const std::string& name);
    // The first sound of the name, played in the given mode for as long as the
    // returned handle lives (empty when the switch is off or the name unknown).
    PlayingSound playKept(const std::string& name, audio::Mode mode);
    void setBackgroundPaused(bool paused);
    // The music's and the effects' volumes, from 0 to 1 (the settings
    // "tuning.sound.musicVolume" and "tuning.sound.effectsVolume").
    [[nodiscard]] static float musicVolume();
    [[nodiscard]] static float effectsVolume();
    // Sets the music playing now to the music volume (a new choice); effects
    // take the effects volume as they start.
    void applyVolumes();
    void stop(audio::Channel channel);

    void update(float dt) override;

    // Every sound asked for by name while the switch is on, whether or not
    // its file loaded: what a player would hear.
    kit::Signal<void(const std::string&)> played;

    audio::Channel backgroundChannel;
    std::vector<std::shared_ptr<SoundEntry>> sounds;
    bool soundOn = true;

private:
    bool check(bool ok);
    // Plays one sound: on a free channel, paused, in its mode, then unpaused.
    audio::Channel start(const SoundEntry& entry, audio::Mode mode = audio::Mode::oneShot);
    // Takes in the sounds decoded since the last call.
    void takeDecoded();
    // The background music on a channel of its own, looping, paused unless a
    // match asked for it while it was still decoding.
    void readyBackground(const SoundEntry& entry);

    audio::AudioSystem& system_;
    SoundDecoder decoder_;
    bool backgroundPaused_ = true;
};

} // namespace skyscuffle
