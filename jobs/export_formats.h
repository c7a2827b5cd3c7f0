// The export formats, one row each. The window's command words, the
// command line's --format words, the hotkeys, the worker's export steps and
// the batch's list of planned files all read this table, so a format is
// added or changed in one place.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/export_settings.h"
#include "model/error_codes.h"

class Xmodel;

// Every folder the file-writing steps use, from the settings a job runs
// with.
struct OutputFolders {
  std::string exports;  // the model's export folder
  std::string tags;     // the tags report and its pictures
  std::string gdt;      // the GDT's first destination
};

// Writes the model's files of one format into `folder`, appending each file
// written whole to `written`.
using FormatWriter = ErrorCode (*)(const Xmodel& model, const std::string& folder, const ExportSettings& settings,
                                   ExportWritten* written);
// Appends the files a job of `flags` would write, named as the writers name
// them.
using FormatPlan = void (*)(const Xmodel& model, const OutputFolders& folders, const ExportSettings& settings,
                            uint32_t flags, std::vector<std::string>& out);

struct ExportFormat {
  const char* cli_name;  // vantor-cli export --format
  uint32_t bits;         // the worker's steps it queues
  bool in_all;           // part of --format all
  const char* command;   // the window's command word; nullptr: none
  uint32_t window_bits;  // added to `bits` when the window queues it
  bool counted;          // counts toward the donation prompt
  int hotkey_slot;       // the rebindable hotkey that runs `command`, or -1
  // With "export_images" on, the export also moves the images. glTF and
  // GLB write their own PNG maps into "images" beside the document: the
  // moved images could overwrite them, and the document names only its own.
  bool moves_images;
  FormatPlan plan;
  // A model export's step; nullptr for the formats whose steps the worker
  // runs itself (the GDT's fallback folder, the tags report's browser, the
  // image mover's sources).
  FormatWriter write;
  const char* failed_line;  // its log line when the writer fails ("%s": why)
  const char* done_line;    // its log line when it worked ("%.1f": ms)
  const char* notice;       // the title of its "Exported" notice
};

// In the order of the command line's format list.
std::span<const ExportFormat> ExportFormats();
// The row whose writer runs the step `bit`, or nullptr.
const ExportFormat* FormatWritingStep(uint32_t bit);
// True when a job of `bits` moves the images with "export_images" on.
bool MovesImages(uint32_t bits);
// `flags` with the image move added where the settings ask for it.
uint32_t JobSteps(uint32_t flags, const ExportSettings& settings);

// The image mover's choices without reading a picture: the images whose
// source is there, once per short name, DDS sources left alone beside
// themselves. `sources`, when given, receives the pictures read (for an
// image read from an archive, the archive).
void PlanImages(const Xmodel& model, const std::string& folder, const ExportSettings& settings,
                std::vector<std::string>& outputs, std::vector<std::string>* sources);
