// Shared by the image tests: IWI files from the fixture writer and the
// images read from them, a scratch folder per test (named with the pid,
// other developers run the same tests at once), whole-file reads, and
// ImageMagick as the independent reader of what we write.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>  // Required for: std::max
#include <array>
#include <cmath>       // Required for: std::abs
#include <cstring>     // Required for: memcpy()
#include <filesystem>  // Required for: directory_iterator
#include <optional>
#include <string>
#include <vector>

#include "tests/support/command.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

#include "imaging/dds_header.h"
#include "imaging/iwi_image.h"
#include "tools/fixture/iwi_writer.h"

namespace image_test {

using test_support::TempDir;

using test_support::ReadBytes;

// The test picture as an IWI file (with alpha in the formats that keep it).
inline fixture::IwiDesc Desc(int version, uint8_t format, int w, int h, bool mips = true) {
  fixture::IwiDesc d;
  d.version = version, d.format = format, d.mips = mips;
  d.picture = fixture::MakeTestPicture(w, h, format == 1 || format == 12 || format == 13);
  return d;
}

// Six faces of `side` x `side` as an IWI cube map.
inline fixture::IwiDesc CubeDesc(int version, uint8_t format, int side, bool mips) {
  fixture::IwiDesc d = Desc(version, format, 1, 1, mips);
  d.faces = fixture::MakeCubeFaces(side, format == 1);
  return d;
}

// The image read from the description's file.
inline IwiImage Loaded(const fixture::IwiDesc& d) {
  IwiImage image;
  EXPECT_EQ(image.LoadIWIBytes(fixture::WriteIwi(d)), img::kSuccess);
  image.name = "test.iwi";
  return image;
}

// An image's levels one after another, as a DDS file holds them.
inline std::vector<uint8_t> Joined(const std::vector<std::vector<uint8_t>>& levels) {
  std::vector<uint8_t> out;
  for (const auto& level : levels) out.insert(out.end(), level.begin(), level.end());
  return out;
}

// The header of a DDS file we wrote.
inline DdsHeader HeaderOf(const std::vector<uint8_t>& file) {
  std::array<uint8_t, 128> raw{};
  std::memcpy(raw.data(), file.data(), 128);
  return dds::ToHeader(raw);
}

using test_support::SamplesDir;

// Every file in raw/<folder> of each game in the samples, sorted.
inline std::vector<std::filesystem::path> SampleFiles(const std::string& folder) {
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (const auto& game : std::filesystem::directory_iterator(SamplesDir(), ec))
    for (const auto& f : std::filesystem::directory_iterator(game.path() / "raw" / folder, ec)) files.push_back(f);
  std::sort(files.begin(), files.end());
  return files;
}

// Standard output of a shell command, or nullopt when it failed.
inline std::optional<std::string> Run(const std::string& command) {
  int status = 0;
  std::string out = test_support::RunCommand(command + " 2>/dev/null", &status);
  return status == 0 ? std::optional<std::string>(out) : std::nullopt;
}

// ImageMagick's own tools (the folder of `identify`), or "" when absent.
inline std::string MagickDir() {
  static const std::string dir = [] {
    const std::string path = Run("command -v identify").value_or("");  // "/usr/bin/identify\n"
    return path.substr(0, path.find_last_of('/') + 1);
  }();
  return dir;
}

// `s` as one shell word, whatever it holds.
inline std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// `identify -format FORMAT FILE`.
inline std::string Identify(const std::string& file, const std::string& format) {
  return Run(MagickDir() + "identify -format " + Quote(format) + " " + Quote(file)).value_or("(unreadable)");
}

// ImageMagick's decode of FILE, oriented as displayed, as R, G, B, A rows
// top to bottom.
inline std::vector<uint8_t> MagickPixels(const std::string& file) {
  std::optional<std::string> out = Run(MagickDir() + "convert " + Quote(file) + " -auto-orient -depth 8 rgba:-");
  return out ? std::vector<uint8_t>(out->begin(), out->end()) : std::vector<uint8_t>();
}

// The largest difference of any channel between two RGBA pixel arrays of
// the same size (256 when the sizes differ).
inline int MaxChannelDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size() || a.empty()) return 256;
  int worst = 0;
  for (size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::abs(int(a[i]) - int(b[i])));
  return worst;
}

// Mean absolute difference per channel value.
inline double MeanChannelDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size() || a.empty()) return 256;
  double sum = 0;
  for (size_t i = 0; i < a.size(); ++i) sum += std::abs(int(a[i]) - int(b[i]));
  return sum / double(a.size());
}

}  // namespace image_test
