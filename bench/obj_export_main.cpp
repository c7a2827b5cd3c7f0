// One OBJ export as a process of its own, the way `vantor-cli export
// --format obj` runs it (load, surfaces, ExportOBJ with its MTL), for
// bench/obj_vs_assimp.sh to time against Assimp's own OBJ exporter.
#include <cstdio>
#include <string>

#include "export/model_exports.h"
#include "model/xmodel.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: vantor_obj_export XMODEL_PATH OUT_DIR\n");
    return 2;
  }
  static Xmodel model;
  model.game = Cod4;
  ErrorCode code = model.LoadxmodelFull(argv[1]);
  if (code == err::kSuccess) code = model.LoadSurface();
  if (code == err::kSuccess) code = ExportOBJ(model, argv[2]);
  if (code != err::kSuccess) {
    std::fprintf(stderr, "vantor_obj_export: %s\n", ErrorText(code).c_str());
    return 1;
  }
  std::printf("%s/%s.obj\n", argv[2], model.lods[0].surf_name.c_str());
  return 0;
}
