// One writer timed alone, as a process of its own: loads the model
// (COD 4 layout, scale 2.54), then times one export call and prints
// "SECONDS BYTES CPU_SECONDS" (wall time, the bytes of every file the call
// wrote, the CPU time of all the process's threads in the call), for
// bench/writers_vs_dd.sh to set beside dd writing as many bytes.
//   xe    ExportXE                  ma    ExportMA, the scene alone
//   mel   ExportMABind              obj   ExportOBJ with its MTL
//   glb   ExportGLTF, one .glb      gltf  ExportGLTF, .gltf + .bin
// REPEAT (default 0) more calls before the timed one, for a profiler to see
// the export more than the load.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include <sys/resource.h>  // Required for: getrusage()

#include "export/model_exports.h"
#include "model/xmodel.h"

namespace {

double CpuSeconds() {
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The one export call of `format` (one of the six above).
ErrorCode Export(std::string_view format, const Xmodel& model, const std::string& out, ExportWritten& written) {
  ExportSettings settings;
  settings.export_MA_BIND = false;
  if (format == "xe") {
    written.push_back(out + "/" + model.lods[0].surf_name + ".XMODEL_EXPORT");
    return ExportXE(model, out);
  }
  if (format == "ma") return ExportMA(model, out, settings, &written);
  if (format == "mel") return ExportMABind(model, out, &written);
  if (format == "obj") return ExportOBJ(model, out, settings, &written);
  return ExportGLTF(model, out, format == "glb", &written);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view format = argc > 1 ? argv[1] : "";
  const bool known = format == "xe" || format == "ma" || format == "mel" || format == "obj" || format == "glb" ||
                     format == "gltf";
  if ((argc != 4 && argc != 5) || !known) {
    std::fprintf(stderr, "usage: vantor_writer_time xe|ma|mel|obj|glb|gltf XMODEL_PATH OUT_DIR [REPEAT]\n");
    return 2;
  }
  const std::string out = argv[3];
  static Xmodel model;
  model.game = Cod4;
  model.scale = 2.54f;
  ErrorCode code = model.LoadxmodelFull(argv[2]);
  if (code == err::kSuccess) code = model.LoadSurface();
  if (code != err::kSuccess) {
    std::fprintf(stderr, "vantor_writer_time: [%s] %s\n", argv[2], ErrorText(code).c_str());
    return 1;
  }
  std::filesystem::create_directories(out);  // ExportMABind writes into an existing folder
  for (int repeat = argc == 5 ? std::atoi(argv[4]) : 0; repeat > 0; --repeat) {
    ExportWritten ignored;
    (void)Export(format, model, out, ignored);
  }
  ExportWritten written;
  const double cpu_start = CpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  code = Export(format, model, out, written);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpu = CpuSeconds() - cpu_start;
  if (code != err::kSuccess) {
    std::fprintf(stderr, "vantor_writer_time: %s\n", ErrorText(code).c_str());
    return 1;
  }
  unsigned long long bytes = 0;
  for (const std::string& path : written) bytes += std::filesystem::file_size(path);
  std::printf("%.6f %llu %.6f\n", seconds, bytes, cpu);
  return 0;
}
