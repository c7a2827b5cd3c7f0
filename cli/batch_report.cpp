// Batch export texts (see batch_report.h).
#include "cli/batch_report.h"

#include <cmath>
#include <cstdio>

#include "base/json_writer.h"
#include "cli/terminal_text.h"

namespace {

std::string Clock(double seconds) {
  const long s = std::lround(std::max(0.0, seconds));
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
  return text;
}

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", seconds);
  return text;
}

}  // namespace

BatchCounts CountModels(const std::vector<BatchModel>& models) {
  BatchCounts c;
  c.total = models.size();
  for (const BatchModel& m : models) c.Add(m.status);
  return c;
}

const char* StatusName(BatchStatus status) {
  switch (status) {
    case BatchStatus::kExported: return "exported";
    case BatchStatus::kFailed: return "failed";
    case BatchStatus::kSkipped: return "skipped";
    case BatchStatus::kNotStarted: break;
  }
  return "not started";
}

std::string BarLabel(const BatchCounts& c, double elapsed_s) {
  std::string label = std::to_string(c.finished()) + "/" + std::to_string(c.total) + " models, " +
                      std::to_string(c.failed) + " failed, " + std::to_string(c.skipped) + " skipped, " +
                      Clock(elapsed_s) + " elapsed";
  // The estimate goes by the models finished so far; none yet, none shown.
  if (c.finished() > 0 && c.finished() < c.total)
    label += ", about " + Clock(elapsed_s / double(c.finished()) * double(c.total - c.finished())) + " left";
  return label;
}

std::string ModelLine(const BatchModel& m, size_t number, size_t total) {
  return "[" + std::to_string(number) + "/" + std::to_string(total) + "] " + StatusName(m.status) + ": " +
         Printable(m.path) + " (" + Seconds(m.seconds) + ")";
}

std::vector<std::string> SummaryLines(const std::vector<BatchModel>& models, double elapsed_s, bool stopped) {
  const BatchCounts c = CountModels(models);
  std::vector<std::string> lines;
  lines.push_back("export: " + std::to_string(c.total) + " models: " + std::to_string(c.exported) + " exported, " +
                  std::to_string(c.failed) + " failed, " + std::to_string(c.skipped) + " skipped" +
                  (stopped ? ", " + std::to_string(c.total - c.finished()) + " not started (stopped)" : "") +
                  " in " + Seconds(elapsed_s));
  for (const BatchModel& m : models)
    if (m.status == BatchStatus::kFailed) lines.push_back("failed: " + Printable(m.path) + ": " + Printable(m.error));
  return lines;
}

std::string BatchJson(const std::vector<BatchModel>& models, double elapsed_s, bool stopped) {
  const BatchCounts c = CountModels(models);
  JsonWriter j;
  j.BeginObject();
  j.Key("models").BeginArray();
  for (const BatchModel& m : models) {
    j.BeginObject();
    j.Key("path").String(m.path);
    j.Key("name");
    if (m.name.empty()) j.Null(); else j.String(m.name);
    j.Key("status").String(StatusName(m.status));
    j.Key("seconds").Double(m.seconds);
    j.Key("written").BeginArray();
    for (const std::string& w : m.written) j.String(w);
    j.EndArray();
    j.Key("error");
    if (m.status == BatchStatus::kFailed) j.String(m.error); else j.Null();
    j.EndObject();
  }
  j.EndArray();
  j.Key("total").Int(int64_t(c.total));
  j.Key("exported").Int(int64_t(c.exported));
  j.Key("failed").Int(int64_t(c.failed));
  j.Key("skipped").Int(int64_t(c.skipped));
  j.Key("not_started").Int(int64_t(c.total - c.finished()));
  j.Key("stopped").Bool(stopped);
  j.Key("seconds").Double(elapsed_s);
  j.EndObject();
  return j.str();
}
