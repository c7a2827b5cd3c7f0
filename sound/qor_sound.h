// The interface sounds: two OpenAL sources, channel 1 for feedback (a new
// request cuts the one playing) and channel 2 for notifications (a request
// while one plays is dropped). OpenAL is loaded at run time; without it the
// program runs silent. The main thread and the model worker both play, so
// the player's state sits behind one lock, and Shutdown marks sound
// unavailable under it before anything is released.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/shared_library.h"
#include "sound/openal_api.h"

// The five interface sounds: name, file under the data folder.
struct SoundTableRow {
  const char* name;
  const char* file;
};
inline constexpr SoundTableRow kSoundTable[] = {
    {"menu_focus", "sounds/menu_focus.wav"},
    {"menu_accept", "sounds/menu_accept.wav"},
    {"hello", "sounds/GLaDOS_Why_hello_there.wav"},
    {"export_done", "sounds/qor_export.wav"},
    {"error_msg", "sounds/qor_error.wav"},
};

// The settings the gate reads at each request.
struct SoundSwitches {
  bool sound_all = false;  // silences everything
  bool sound_focus = true;
  bool sound_accept = true;
  bool sound_welcome = true;
  bool sound_export = true;
};

class QorSound {
 public:
  QorSound() = default;
  ~QorSound() { Shutdown(); }
  QorSound(const QorSound&) = delete;
  QorSound& operator=(const QorSound&) = delete;

  // The library is "libopenal.so.1" unless VANTOR_OPENAL_LIBRARY names
  // another file. False when sound is disabled.
  bool InitSound();
  // Warning "Failed to load Sound: %s" on failure; the name is not kept.
  void LoadSound(const std::string& name, const std::string& file);
  void Playsound(std::string_view name, int channel);
  bool MayPlay(std::string_view name);
  // 0 mutes (keeping the gain for the way back); NaN, negative or huge
  // values from the settings file are brought into [0, 1].
  void SetLevel(float level);
  void Shutdown();

  void SetSwitches(const SoundSwitches& switches);
  bool available();
  bool muted();
  float gain();
  std::string last_played();

 private:
  bool MayPlayLocked(std::string_view name) const;

  std::mutex lock_;
  OpenAlApi al_;
  platform::SharedLibrary library_;
  ALCdevice* device_ = nullptr;
  ALCcontext* context_ = nullptr;
  ALuint source_1 = 0, source_2 = 0;
  ALint state_1 = 0, state_2 = 0;
  std::string last_played_;
  bool available_ = false;
  bool muted_ = false;
  bool library_loaded_ = false;
  float gain_ = 1.0f;
  float saved_gain_ = 1.0f;
  std::map<std::string, ALuint, std::less<>> sounds_;
  SoundSwitches switches_;
};
