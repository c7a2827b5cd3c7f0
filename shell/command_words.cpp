#include "shell/command_words.h"

#include "base/logger.h"
#include "gui/commands.h"
#include "gui/qor_gui.h"
#include "jobs/export_formats.h"
#include "jobs/job_bits.h"
#include "shell/donation.h"
#include "shell/settings.h"

namespace {

// FIXME: the project has no web site yet; the pages open from this address.
constexpr const char* kProjectSite = "https://vantor.invalid";

}  // namespace

void RegisterProgramWords(CommandProcessor& c, ProgramWords w) {
  // False when there is no model: said, nothing queued.
  auto queue = [w](uint32_t flags) {
    if (w.has_model && !w.has_model()) {
      if (w.gui) w.gui->ShowError("No Xmodel Loaded");
      return false;
    }
    if (w.queue_job) w.queue_job(flags);
    return true;
  };
  // A counted export: the donation prompt may follow (third export, then
  // now and again); its record is saved at once. An export refused for want
  // of a model does not count.
  auto export_job = [w, queue, &c](uint32_t bits) {
    const bool moves = w.settings && w.settings->export_images && MovesImages(bits);
    if (!queue(bits | (moves ? job::kMoveImages : 0))) return;
    if (!w.settings) return;
    if (CountExportForDonation(w.settings->donate, w.random ? w.random : [] { return 0u; })) {
      c.RunCommand("open donate_menu;");
      w.settings->SavePopups();
    }
  };
  for (const ExportFormat& format : ExportFormats()) {
    if (!format.command) continue;
    const uint32_t bits = format.bits | format.window_bits;
    if (format.counted)
      c.Register(format.command, [export_job, bits](const std::string&) { export_job(bits); });
    else
      c.Register(format.command, [queue, bits](const std::string&) { queue(bits); });
  }
  c.Register("save", [w](const std::string& value) {
    if (value == "settings" && w.settings) w.settings->Save();
  });
  c.Register("reset_settings", [w](const std::string&) {
    if (w.gui) w.gui->ShowError("Settings Have been cleared, you must restart for changes to take affect.");
    if (w.settings) w.settings->ResetSettings();
  });
  c.Register("show_release_notes", [w](const std::string&) {
    if (w.open_page) w.open_page(std::string(kProjectSite) + "/downloads.php?action=release_notes&id=10");
  });
  c.Register("pay_pal_donate", [w](const std::string&) {
    if (w.open_page) w.open_page(std::string(kProjectSite) + "/donate.php");
  });
  c.Register("download_update", [w](const std::string&) {
    if (w.download_update) w.download_update();
  });
  c.Register("stop_update_download", [w](const std::string&) {
    if (w.stop_update_download) w.stop_update_download();
  });
  c.Register("run_iwd_scan", [w](const std::string&) {
    if (w.run_iwd_scan) w.run_iwd_scan();
  });
  c.Register("cancel_iwd_scan", [w](const std::string&) {
    if (w.cancel_iwd_scan) w.cancel_iwd_scan();
  });
  for (const char* word : {"anim_play", "anim_pause", "anim_step", "anim_stop"})
    c.Register(word, [w, word](const std::string& value) {
      if (w.animation) w.animation(word, value);
    });
  c.Register("set_mouse_cntrl_display", [w, &c](const std::string&) {
    if (!w.settings) return;
    if (w.settings->mouse_style == 0)
      c.RunCommand("open Settings_hotkeys_mouse_maya; force_close Settings_hotkeys_mouse_assView;");
    if (w.settings->mouse_style == 1)
      c.RunCommand("open Settings_hotkeys_mouse_assView; force_close Settings_hotkeys_mouse_maya;");
  });
}
