// The tags report's companions: the two pictures its style sheet draws the
// tree with ("dotted.gif", the guide line, and "joint.png", the icon before
// each entry). The report itself is DumpTags (export/model_exports.h).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "base/export_settings.h"
#include "model/error_codes.h"

// WriteStaticFiles' answer when both pictures are already in the folder.
inline constexpr ErrorCode kStaticFilesPresent = 26;

// Writes whichever of the two pictures is missing from `folder` (created
// when missing): 27, kStaticFilesPresent when both are there (nothing is
// written or overwritten), 8 / 7 when a file cannot be opened, 1 when a
// write fails.
[[nodiscard]] ErrorCode WriteStaticFiles(std::string folder, ExportWritten* written = nullptr);

// The pictures' bytes (tags_pictures.cpp, made by tools/make_tag_pictures.py).
std::span<const uint8_t> DottedGif();
std::span<const uint8_t> JointPng();
