// The sound player for real: OpenAL Soft's wave-file output records what played.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "sound/qor_sound.h"
#include "sound/wav_reader.h"
#include "tests/shell/shell_test_support.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"
#include "tools/fixture/fixture_writer.h"
#include "tools/fixture/wav_writer.h"

namespace {

using test_support::ScopedEnv;

// The loudest sample of a 16-bit recording.
int Peak(const WavSound& s) {
  int peak = 0;
  for (size_t i = 0; i + 1 < s.samples.size(); i += 2)
    peak = std::max(peak, std::abs(int(int16_t(s.samples[i] | s.samples[i + 1] << 8))));
  return peak;
}

// Without the library everything is silent after one warning, and levels
// from the settings are still brought into [0, 1]. A tone played through
// the wave-file device shows in the recording; with "sound_all" set nothing
// does; channel 2 drops a request while it plays.
TEST(QorSound, SilentWithoutTheLibraryAndHeardThroughTheWaveDevice) {
  shell_test::LogCapture log;
  {
    ScopedEnv lib("VANTOR_OPENAL_LIBRARY", "/nonexistent/libopenal.so.1");
    QorSound sound;
    EXPECT_FALSE(sound.InitSound());
    EXPECT_TRUE(log.Contains("Failed to find OpenAL.dll (Sound will be disabled)"));
    sound.LoadSound("menu_focus", "/nonexistent.wav");
    sound.Playsound("menu_focus", 1);
    sound.SetLevel(std::nanf(""));
    EXPECT_TRUE(sound.muted() && !sound.available());
    sound.SetLevel(7.0f);
    EXPECT_EQ(sound.gain(), 1.0f);
  }
  test_support::TempDir dir("vantor_sound");
  const std::string recording = dir.path() + "/out.wav";
  std::ofstream(dir.path() + "/alsoft.conf") << "[general]\ndrivers=wave\nsample-type=int16\n[wave]\nfile=" << recording << "\n";
  ScopedEnv conf("ALSOFT_CONF", dir.path() + "/alsoft.conf");
  ScopedEnv lib("VANTOR_OPENAL_LIBRARY", "libopenal.so.1");

  // The fixture's ramp is loud enough to show in the recording.
  const std::string file = dir.path() + "/tone.wav";
  ASSERT_TRUE(fixture::WriteFile(file, fixture::MakeWav({.channels = 1, .rate = 22050, .bits = 16, .frames = 4410})));
  auto run = [&](bool sound_all) {
    QorSound sound;
    if (!sound.InitSound()) return false;
    sound.SetSwitches({.sound_all = sound_all});
    sound.LoadSound("error_msg", file);
    sound.LoadSound("menu_focus", dir.path() + "/missing.wav");
    sound.SetLevel(0.0f);  // muted: nothing may play until the level comes back
    EXPECT_FALSE(sound.MayPlay("error_msg"));
    sound.SetLevel(0.8f);
    EXPECT_EQ(sound.MayPlay("error_msg"), !sound_all);
    sound.Playsound("error_msg", 2);
    sound.Playsound("error_msg", 2);  // dropped while the first plays, with a warning
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    sound.Shutdown();
    return true;
  };
  if (!run(false)) GTEST_SKIP() << "OpenAL Soft is not installed";
  EXPECT_TRUE(log.Contains("Failed to load Sound: " + dir.path() + "/missing.wav"));
  EXPECT_TRUE(log.Contains("QorSound::Playsound::(Ch2) Tried to play 'error_msg' source already active."));
  EXPECT_TRUE(log.Contains("OpenAL ShutDown"));
  WavSound recorded;
  ASSERT_EQ(ReadWavFile(recording, recorded), WavError::kNone);
  EXPECT_GT(Peak(recorded), 3000);

  ASSERT_TRUE(run(true));  // silent
  ASSERT_EQ(ReadWavFile(recording, recorded), WavError::kNone);
  EXPECT_GT(recorded.seconds(), 0.1);
  EXPECT_LT(Peak(recorded), 50);  // dither at most
}

}  // namespace
