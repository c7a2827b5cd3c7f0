// vantor-cli convert: one IWI or DDS file to DDS or TGA, beside it or to
// --out. Prints the written file on standard output; errors on standard
// error with exit status 1 (2 for bad arguments).
#include <iostream>
#include <string>

#include "base/logger.h"
#include "cli/commands.h"
#include "imaging/image_paths.h"
#include "imaging/iwi_image.h"
#include "imaging/png_file.h"
#include "platform/file_identity.h"
#include "platform/replace_file.h"
#include "platform/terminal.h"
#include "platform/text_case.h"

namespace {

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

int CmdConvert(const CliArgs& args) {
  auto to = args.Get("--to");
  if (args.positional.size() != 1 || !to || (*to != "dds" && *to != "tga" && *to != "png")) {
    std::cerr << "usage: vantor-cli convert FILE.iwi|FILE.dds --to dds|tga|png [--out FILE]\n";
    return 2;
  }
  std::string in = args.positional[0];
  const std::string lower = platform::AsciiLowered(in);
  const bool is_dds = EndsWith(lower, ".dds");
  if (!is_dds && !EndsWith(lower, ".iwi")) {
    std::cerr << "error: \"" << in << "\" is neither an .iwi nor a .dds file\n";
    return 2;
  }
  // The image keeps the file name after the last separator.
  if (in.find_first_of("/\\") == std::string::npos) in = "./" + in;
  std::string out = args.Get("--out").value_or(ReplaceExtension(in, *to));
  // Another spelling of the input (a symlink, a hard link, "sub/../in")
  // is the input too.
  if (out == in || platform::SameFile(out, in)) {
    std::cerr << "error: the output would overwrite the input; give --out\n";
    return 2;
  }

  InstallStderrSink(Logger(), platform::StderrIsTerminal());
  IwiImage image;
  if (!image.SetImagePath(in)) {
    std::cerr << "error: " << QorLogger::error_text(img::kCantOpen) << " (" << in << ")\n";
    return 1;
  }
  image.is_dds = is_dds;
  // The image is only converted: its levels stay in the file's bytes.
  ImageResult r = is_dds ? image.LoadDDSForConversion() : image.LoadIWI();
  if (r != img::kSuccess) {
    std::cerr << "error: " << QorLogger::error_text(r) << " (code " << r << ", " << in << ")\n";
    return 1;
  }
  bool written = true;
  platform::ClearWriteFailure();
  r = *to == "dds" ? image.WriteDDS(out) : *to == "png" ? WritePNG(image, out) : image.WriteTGA(out, &written);
  if (r != img::kSuccess) {
    // The write's own cause (no space left, not a regular file) when known.
    const platform::WriteFailure& failure = platform::LastWriteFailure();
    std::cerr << "error: " << QorLogger::error_text(r) << " (code " << r << ", " << out;
    if (failure.err != 0) std::cerr << ": " << platform::WriteErrorText(failure.err);
    std::cerr << ")\n";
    return 1;
  }
  if (!written) {
    std::cerr << "error: the top level could not be decoded (" << in << ")\n";
    return 1;
  }
  std::cout << out << "\n";
  return 0;
}
