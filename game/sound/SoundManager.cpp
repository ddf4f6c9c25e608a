#include "SoundManager.h"

#include "SoundSettings.h"

#include "engine/core/Log.h"
#include "engine/core/SettingsEntry.h"
#include "engine/core/World.h"

#include <algorithm>

namespace skyscuffle {

namespace {

struct TableEntry {
    const char* name;
    const char* path; // in the asset tree
    audio::Mode mode;
};

const TableEntry soundTable[] = {
    {"backgroundSound", "sound/JungleParty.mp3", audio::Mode::loop},
    {"drumloop", "sound/drumloop.wav", audio::Mode::loop},
    {"bombExplosion", "sound/bomb_explosion.mp3", audio::Mode::oneShot},
    {"bombDrop", "sound/bomb_drop.mp3", audio::Mode::oneShot},
    {"gatlingGunFire", "sound/Gatling Gun Fire.mp3", audio::Mode::oneShot},
    {"shotgunFire", "sound/shotgun_fire.mp3", audio::Mode::oneShot},
    {"healthPU", "sound/health.mp3", audio::Mode::oneShot},
    {"dash", "sound/dash.mp3", audio::Mode::oneShot},
    {"impact", "sound/Impact.mp3", audio::Mode::oneShot},
    {"pickUp", "sound/pickUp.wav", audio::Mode::oneShot},
    {"basicShot", "sound/basicShot.wav", audio::Mode::oneShot},
    {"death", "sound/planeDeath.wav", audio::Mode::oneShot},
    {"click", "sound/menuSelect.wav", audio::Mode::oneShot},
    {"upDown", "sound/upDown.wav", audio::Mode::oneShot},
};

} // namespace

bool SoundManager::isTableName(const std::string& name)
{
    for (const TableEntry& entry : soundTable) {
        if (name == entry.name)
            return true;
    }
    return false;
}

SoundManager::SoundManager(audio::AudioSystem& system) : system_(system), decoder_(system)
{
    addTag(kit::typeId<SoundManager>());
}

bool SoundManager::check(bool ok)
{
    // Without a device the system reported itself once at start; its calls are no-ops.
    if (!ok && system_.ready())
        kit::log::warn() << "Sound error: " << system_.error();
    return ok;
}

std::shared_ptr<SoundEntry> SoundManager::addSound(const std::string& name, const std::string& path, audio::Mode mode)
{
    auto entry = std::make_shared<SoundEntry>();
    entry->name = name;
    entry->sound = system_.createSound(path, mode);
    check(entry->sound != nullptr);
    sounds.push_back(entry);
    return entry;
}

SoundManager* SoundManager::of(kit::World* world)
{
    return world ? world->single<SoundManager>() : nullptr;
}

std::shared_ptr<SoundEntry> SoundManager::queueSound(const std::string& name, const std::string& path, audio::Mode mode)
{
    auto entry = std::make_shared<SoundEntry>();
    entry->name = name;
    sounds.push_back(entry);
    // Without a device every sound stays silent, as createSound would leave it.
    if (system_.ready())
        decoder_.queue(entry, path, mode);
    return entry;
}

void SoundManager::loadSounds(kit::World* world)
{
    SoundManager* manager = of(world);
    if (!manager)
        return;
    for (const TableEntry& row : soundTable)
        manager->queueSound(row.name, kit::settings::assetDirectory() + row.path, row.mode);
}

void SoundManager::finishLoading()
{
    decoder_.waitForAll();
    takeDecoded();
}

void SoundManager::takeDecoded()
{
    for (SoundDecoder::Result& result : decoder_.takeFinished()) {
        if (!result.sound) {
            if (system_.ready())
                kit::log::warn() << "Sound error: " << result.error;
            continue;
        }
        result.entry->sound = std::move(result.sound);
        if (result.entry->name == "backgroundSound" && !backgroundChannel)
            readyBackground(*result.entry);
    }
}

void SoundManager::readyBackground(const SoundEntry& entry)
{
    backgroundChannel = system_.playSound(*entry.sound, true);
    check(static_cast<bool>(backgroundChannel));
    check(system_.setMode(backgroundChannel, audio::Mode::loop));
    check(system_.setVolume(backgroundChannel, musicVolume()));
    if (!backgroundPaused_ && soundOn)
        check(system_.setPaused(backgroundChannel, false));
}

audio::Channel SoundManager::start(const SoundEntry& entry, audio::Mode mode)
{
    const audio::Channel channel = system_.playSound(*entry.sound, true);
    if (!check(static_cast<bool>(channel)))
        return {};
    check(system_.setMode(channel, mode));
    check(system_.setVolume(channel, effectsVolume()));
    check(system_.setPaused(channel, false));
    return channel;
}

float SoundManager::musicVolume()
{
    return std::clamp(soundSettings::musicVolume.value(), 0.0f, 1.0f);
}

float SoundManager::effectsVolume()
{
    // Read at every sound: it follows every change of the settings.
    return std::clamp(soundSettings::effectsVolume.value(), 0.0f, 1.0f);
}

void SoundManager::applyVolumes()
{
    if (backgroundChannel)
        system_.setVolume(backgroundChannel, musicVolume());
}

void SoundManager::play(const std::string& name)
{
    if (!soundOn)
        return;
    played(name);
    for (const auto& entry : sounds) {
        if (entry->name == name && entry->sound)
            start(*entry);
    }
}

audio::Channel SoundManager::playAndGetChannel(const std::string& name)
{
    if (!soundOn)
        return {};
    for (const auto& entry : sounds) {
        if (entry->name == name && entry->sound)
            return start(*entry);
    }
    return {};
}

PlayingSound SoundManager::playKept(const std::string& name, audio::Mode mode)
{
    if (!soundOn)
        return {};
    for (const auto& entry : sounds) {
        if (entry->name == name && entry->sound)
            return PlayingSound(system_, start(*entry, mode));
    }
    return {};
}

void SoundManager::setBackgroundPaused(bool paused)
{
    if (!soundOn)
        return;
    backgroundPaused_ = paused;
    if (backgroundChannel)
        check(system_.setPaused(backgroundChannel, paused));
    kit::log::info() << "Toggled Background sound";
}

void SoundManager::stop(audio::Channel channel)
{
    if (channel)
        system_.stop(channel);
}

void SoundManager::update(float)
{
    takeDecoded();
    system_.update();
}

} // namespace skyscuffle
