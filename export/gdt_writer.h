// GDT text, the asset database format of the games' mod tools: one file
// in braces holding entries of quoted keys and values. GdtWriter writes the
// material and model entries DumpGDT (gdt_writer.cpp) declares, and the
// animation entries of the animation exports.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "export/text_out.h"
#include "model/error_codes.h"

class OutputFile;

class GdtWriter {
 public:
  GdtWriter();
  ~GdtWriter();  // closes an open file
  GdtWriter(const GdtWriter&) = delete;
  GdtWriter& operator=(const GdtWriter&) = delete;

  // Opens `path` with ".gdt" appended unless it ends with it and writes the
  // opening brace: 27, or 8 (permission refused) / 7 (any other failure).
  [[nodiscard]] ErrorCode Open(std::string path);
  // A "material.gdf" entry; an empty map path leaves that map unset.
  void WriteMaterial(std::string_view name, std::string_view color_map, std::string_view normal_map,
                     std::string_view spec_map);
  // The "xmodel.gdf" entry: its XMODEL_EXPORT file and "animated" or "rigid".
  void WriteModel(std::string_view name, std::string_view filename, bool animated);
  // The "xmodel.gdf" entry of a model exported with every level, as the mod
  // tools compile it: the four slots' files ("" when unused) and distances,
  // the collision level and the physics preset.
  struct Levels {
    std::string files[4];
    float distances[4] = {0, 0, 0, 0};
    int32_t collision = -1;  // -1: none
    std::string_view physics_preset;
  };
  void WriteModel(std::string_view name, const Levels& levels, bool animated);
  // The "xanim.gdf" entry of an XANIM_EXPORT file and the model it plays
  // on; `type` "relative", "delta" or "additive".
  struct Animation {
    std::string_view filename;
    std::string_view model;
    bool looping = false;
    std::string_view type = "relative";
  };
  void WriteAnimation(std::string_view name, const Animation& animation);
  // Writes the closing brace and closes: 27, or 1 when a write failed. 22
  // when nothing is open.
  [[nodiscard]] ErrorCode Close();

  bool is_open() const { return file_ != nullptr; }
  const std::string& path() const { return path_; }

 private:
  std::unique_ptr<OutputFile> output_;  // the file appears on Close only
  std::FILE* file_ = nullptr;
  std::unique_ptr<TextOut> out_;
  std::string path_;
};
