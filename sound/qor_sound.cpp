#include "sound/qor_sound.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/logger.h"
#include "sound/wav_reader.h"

namespace {

// The devices an enumerating library lists: NUL-separated names ending in
// an empty one. Without the extension only the default is known.
std::vector<std::string> DeviceNames(const OpenAlApi& al) {
  std::vector<std::string> names;
  if (al.IsDeviceExtensionPresent(nullptr, "ALC_ENUMERATION_EXT") == ALC_TRUE) {
    if (const ALCchar* list = al.GetDeviceString(nullptr, ALC_DEVICE_SPECIFIER)) {
      for (const char* p = list; *p; p += std::strlen(p) + 1) names.emplace_back(p);
    }
  }
  if (names.empty()) {
    if (const ALCchar* d = al.GetDeviceString(nullptr, ALC_DEFAULT_DEVICE_SPECIFIER); d && *d) names.emplace_back(d);
  }
  return names;
}

}  // namespace

bool QorSound::InitSound() {
  std::lock_guard<std::mutex> hold(lock_);
  if (library_loaded_) return available_;
  const char* override_name = std::getenv("VANTOR_OPENAL_LIBRARY");
  const std::string file = override_name && *override_name ? override_name : "libopenal.so.1";
  if (!library_.Open(file) || !al_.Resolve(library_)) {
    library_.Close();
    Logger().warning("Failed to find OpenAL.dll (Sound will be disabled)");
    return false;
  }
  const std::vector<std::string> devices = DeviceNames(al_);
  const ALCchar* default_name = al_.GetDeviceString(nullptr, ALC_DEFAULT_DEVICE_SPECIFIER);
  if (!devices.empty()) device_ = al_.OpenDevice(default_name);
  if (device_) context_ = al_.CreateContext(device_, nullptr);
  if (!context_ || al_.MakeContextCurrent(context_) != ALC_TRUE) {
    if (context_) al_.DestroyContext(context_);
    if (device_) al_.CloseDevice(device_);
    context_ = nullptr;
    device_ = nullptr;
    library_.Keep();  // its back ends are loaded now; see Shutdown
    Logger().warning("Failed to initialize OpenAL");
    return false;
  }
  Logger().log("----- Sound Info -----");
  Logger().log("Listing Sound output Devices:");
  const std::string default_device = default_name ? default_name : "";
  for (size_t i = 0; i < devices.size(); ++i)
    Logger().log("\t%d. %s%s\n", int(i + 1), devices[i].c_str(), devices[i] == default_device ? "(DEFAULT)" : "");
  const ALCchar* used = al_.GetDeviceString(device_, ALC_DEVICE_SPECIFIER);
  Logger().log("Using: '%s'", used ? used : default_device.c_str());
  Logger().log("------------------\n");
  al_.GenSources(1, &source_1);
  al_.GenSources(1, &source_2);
  al_.Listenerf(AL_GAIN, 1.0f);
  gain_ = 1.0f;
  available_ = library_loaded_ = true;
  return true;
}

void QorSound::LoadSound(const std::string& name, const std::string& file) {
  std::lock_guard<std::mutex> hold(lock_);
  if (!library_loaded_ || sounds_.count(name)) return;
  WavSound wav;
  const WavError e = ReadWavFile(file, wav);
  ALenum format = 0;
  if (e == WavError::kNone) {
    const std::string_view format_name = WavAlFormatName(wav);
    if (!format_name.empty()) format = al_.GetEnumValue(std::string(format_name).c_str());
  }
  ALuint buffer = 0;
  bool loaded = false;
  if (format != 0 && format != -1) {
    (void)al_.GetError();
    al_.GenBuffers(1, &buffer);
    al_.BufferData(buffer, format, wav.samples.data(), ALsizei(wav.samples.size()), ALsizei(wav.sample_rate));
    loaded = al_.GetError() == AL_NO_ERROR;
    if (!loaded) al_.DeleteBuffers(1, &buffer);  // a failed load keeps nothing
  }
  if (!loaded) {
    Logger().warning("Failed to load Sound: %s", file.c_str());
    return;
  }
  sounds_.emplace(name, buffer);
}

bool QorSound::MayPlayLocked(std::string_view name) const {
  if (!available_ || switches_.sound_all || muted_ || !sounds_.count(name)) return false;
  if (name == "menu_focus") return switches_.sound_focus;
  if (name == "menu_accept") return switches_.sound_accept;
  if (name == "hello") return switches_.sound_welcome;
  if (name == "export_done") return switches_.sound_export;
  return name == "error_msg";
}

bool QorSound::MayPlay(std::string_view name) {
  std::lock_guard<std::mutex> hold(lock_);
  return MayPlayLocked(name);
}

void QorSound::Playsound(std::string_view name, int channel) {
  std::lock_guard<std::mutex> hold(lock_);
  if (!MayPlayLocked(name)) return;
  const ALuint buffer = sounds_.find(name)->second;
  if (channel == 1) {
    al_.GetSourcei(source_1, AL_SOURCE_STATE, &state_1);
    if (state_1 == AL_PLAYING) al_.SourceStop(source_1);
    al_.Sourcei(source_1, AL_BUFFER, ALint(buffer));
    al_.SourcePlay(source_1);
    last_played_ = name;
  } else if (channel == 2) {
    al_.GetSourcei(source_2, AL_SOURCE_STATE, &state_2);
    if (state_2 == AL_PLAYING) {
      if (name != last_played_)
        Logger().warning("QorSound::Playsound::(Ch2) Tried to play '%s' source already active.",
                         std::string(name).c_str());
      return;
    }
    al_.Sourcei(source_2, AL_BUFFER, ALint(buffer));
    al_.SourcePlay(source_2);
  }
}

void QorSound::SetLevel(float level) {
  std::lock_guard<std::mutex> hold(lock_);
  if (!(level >= 0.0f)) level = 0.0f;  // NaN too
  if (level > 1.0f) level = 1.0f;
  if (level == 0.0f && !muted_) {
    if (library_loaded_) al_.GetListenerf(AL_GAIN, &saved_gain_);
    if (library_loaded_) al_.Listenerf(AL_GAIN, 0.0f);
    muted_ = true;
  } else if (level > 0.0f && muted_) {
    if (library_loaded_) al_.Listenerf(AL_GAIN, saved_gain_);
    muted_ = false;
  }
  gain_ = level;
  if (library_loaded_) al_.Listenerf(AL_GAIN, level);
}

void QorSound::Shutdown() {
  std::lock_guard<std::mutex> hold(lock_);
  // Unavailable first: a worker that finishes an export now plays nothing.
  available_ = false;
  if (!library_loaded_) return;
  al_.SourceStop(source_1);
  al_.SourceStop(source_2);
  al_.DeleteSources(1, &source_1);
  al_.DeleteSources(1, &source_2);
  for (auto& [name, buffer] : sounds_) al_.DeleteBuffers(1, &buffer);
  sounds_.clear();
  al_.MakeContextCurrent(nullptr);
  al_.DestroyContext(context_);
  al_.CloseDevice(device_);
  context_ = nullptr;
  device_ = nullptr;
  // Not unloaded: OpenAL Soft keeps the sound system's libraries and their
  // state until the process ends, and unloading it under them loses that
  // state (and can crash in its exit handlers).
  library_.Keep();
  library_loaded_ = false;
  Logger().log("OpenAL ShutDown");
}

void QorSound::SetSwitches(const SoundSwitches& switches) {
  std::lock_guard<std::mutex> hold(lock_);
  switches_ = switches;
}

bool QorSound::available() {
  std::lock_guard<std::mutex> hold(lock_);
  return available_;
}

bool QorSound::muted() {
  std::lock_guard<std::mutex> hold(lock_);
  return muted_;
}

float QorSound::gain() {
  std::lock_guard<std::mutex> hold(lock_);
  return gain_;
}

std::string QorSound::last_played() {
  std::lock_guard<std::mutex> hold(lock_);
  return last_played_;
}
