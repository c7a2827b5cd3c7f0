#include "export/xanim_export_writer.h"

#include "export/export_common.h"
#include "export/text_out.h"

namespace {

void Vec3(TextOut& out, const float v[3]) {
  out.Fixed(v[0], 4).Lit(" ").Fixed(v[1], 4).Lit(" ").Fixed(v[2], 4).Lit("\n");
}

// A name is written between quotes on one line.
bool FitsTheFormat(const std::string& name) {
  for (unsigned char c : name)
    if (c == '"' || c < 0x20) return false;
  return true;
}

}  // namespace

ErrorCode WriteXanimExport(const std::string& path, const XanimExportData& data) {
  for (const std::vector<XanimExportPart>& frame : data.frames)
    if (frame.size() != data.parts.size()) return err::kFileNotValid;
  for (const std::string& part : data.parts)
    if (!FitsTheFormat(part)) return err::kFileNotValid;
  for (const XanimExportData::Note& note : data.notes)
    if (!FitsTheFormat(note.name)) return err::kFileNotValid;
  ErrorCode code = err::kSuccess;
  OutputFile output;
  std::FILE* file = output.Open(path, code);
  if (!file) return code;
  TextOut out(file);
  out.Lit("// Exported by Qor_Fen Vantor\n// Source filename: `").Raw(data.source).Lit("`\n\n");
  out.Lit("ANIMATION\nVERSION 3\n\nNUMPARTS ").Int(int64_t(data.parts.size())).Lit("\n");
  for (size_t i = 0; i < data.parts.size(); ++i)
    out.Lit("PART ").Int(int64_t(i)).Lit(" \"").Raw(data.parts[i]).Lit("\"\n");
  out.Lit("\nFRAMERATE ").Int(data.frame_rate).Lit("\nNUMFRAMES ").Int(int64_t(data.frames.size())).Lit("\n");
  for (size_t f = 0; f < data.frames.size(); ++f) {
    out.Lit("\nFRAME ").Int(int64_t(f)).Lit("\n");
    for (size_t i = 0; i < data.parts.size(); ++i) {
      const XanimExportPart& p = data.frames[f][i];
      out.Lit("PART ").Int(int64_t(i)).Lit("\nOFFSET ");
      Vec3(out, p.offset);
      out.Lit("SCALE 1 1 1\nX ");
      Vec3(out, p.axes[0]);
      out.Lit("Y ");
      Vec3(out, p.axes[1]);
      out.Lit("Z ");
      Vec3(out, p.axes[2]);
      out.Lit("\n");
    }
  }
  out.Lit("\nNOTETRACKS\n");
  for (size_t i = 0; i < data.parts.size(); ++i) {
    const bool notes = i == 0 && !data.notes.empty();
    out.Lit("\nPART ").Int(int64_t(i)).Lit("\nNUMTRACKS ").Int(notes ? 1 : 0).Lit("\n");
    if (!notes) continue;
    out.Lit("\nNOTETRACK 0\nNUMKEYS ").Int(int64_t(data.notes.size())).Lit("\n");
    for (const XanimExportData::Note& n : data.notes)
      out.Lit("FRAME ").Int(n.frame).Lit(" \"").Raw(n.name).Lit("\"\n");
  }
  return output.Close(out);
}
