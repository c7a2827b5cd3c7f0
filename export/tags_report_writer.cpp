// The tags report: an XHTML page listing the model's tags (bones) as a
// table (number, name, parent-relative position, parent, angles) beside a
// tree of the hierarchy, with a script that lights a table row while its
// tree entry is hovered and the other way round; and the two pictures its
// style sheet refers to.
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "export/export_common.h"
#include "export/model_exports.h"
#include "platform/path_names.h"
#include "export/joint_angles.h"
#include "export/output_names.h"
#include "export/tags_report.h"
#include "export/text_out.h"
#include "model/xmodel.h"
#include "platform/fs_paths.h"

namespace {

constexpr std::string_view kStyleSheet =
    "/* Tags table and tree */\n"
    "#tag_table {\n"
    "\tborder: 1px solid #69c;\n"
    "\tborder-bottom: none;\n"
    "\tborder-right: none;\n"
    "\tmargin: 0 auto;\n"
    "\tfloat: left;\n"
    "\tclear: both;\n"
    "}\n"
    "#tag_table th {\n"
    "\tpadding: 5px;\n"
    "\tborder-right: 1px solid #69c;\n"
    "\tbackground: #9D9D9D;\n"
    "}\n"
    "#tag_table td {\n"
    "\tpadding: 3px 10px;\n"
    "\ttext-align: left;\n"
    "\tborder-bottom: 1px solid #69c;\n"
    "\tborder-right: 1px solid #69c;\n"
    "}\n"
    "#tag_tree {\n"
    "\tpadding: 3px;\n"
    "}\n"
    "ul.joints {\n"
    "\tbackground: #fff;\n"
    "\tmargin: 0;\n"
    "\tpadding: 5px;\n"
    "}\n"
    "ul.joints ul {\n"
    "\tmargin: 0 0 0 10px;\n"
    "\tpadding: 0;\n"
    "}\n"
    "ul.joints li {\n"
    "\tbackground: url(\"dotted.gif\") 9px 0 repeat-y;\n"
    "\tlist-style: none;\n"
    "\tpadding: 2px 0 2px 20px;\n"
    "\ttext-indent: -19px;\n"
    "}\n"
    "ul.joints li:last-child {\n"
    "\tbackground: url(\"dotted.gif\") 9px 0 no-repeat;\n"
    "\tpadding-left: 20px;\n"
    "\ttext-indent: -19px;\n"
    "}\n"
    "ul.joints li a {\n"
    "\tcolor: #000;\n"
    "\ttext-decoration: none;\n"
    "}\n"
    "ul.joints li a:hover {\n"
    "\tcolor: #E30008;\n"
    "}\n"
    "ul.joints li a:before,\n"
    "ul.joints li a:hover:before,\n"
    "ul.joints li a:last-child:before,\n"
    "ul.joints li a:last-child:hover:before {\n"
    "\tcontent: url(\"joint.png\");\n"
    "}\n";

// Tree link "tag_<n>_link" (attribute num = n) and table row "tag_<n>"
// light each other up.
constexpr std::string_view kScript =
    "<script type=\"text/javascript\">\n"
    "function hiLiteRows() {\n"
    "\tvar links = document.getElementsByTagName(\"a\");\n"
    "\tfor (var i = 0; i < links.length; i++) {\n"
    "\t\tlinks[i].onmouseover = function() {\n"
    "\t\t\tvar row = document.getElementById(\"tag_\" + this.getAttribute(\"num\"));\n"
    "\t\t\tif (!row) return;\n"
    "\t\t\tthis.savedRowColour = row.style.backgroundColor;\n"
    "\t\t\trow.style.backgroundColor = \"#D8E5F2\";\n"
    "\t\t};\n"
    "\t\tlinks[i].onmouseout = function() {\n"
    "\t\t\tvar row = document.getElementById(\"tag_\" + this.getAttribute(\"num\"));\n"
    "\t\t\tif (!row) return;\n"
    "\t\t\trow.style.backgroundColor = this.savedRowColour;\n"
    "\t\t};\n"
    "\t}\n"
    "\tvar rows = document.getElementsByTagName(\"tr\");\n"
    "\tfor (var j = 0; j < rows.length; j++) {\n"
    "\t\trows[j].onmouseover = function() {\n"
    "\t\t\tvar link = document.getElementById(this.id + \"_link\");\n"
    "\t\t\tif (!link) return;\n"
    "\t\t\tthis.savedLinkColour = link.style.color;\n"
    "\t\t\tthis.savedRowColour = this.style.backgroundColor;\n"
    "\t\t\tlink.style.color = \"#ff0000\";\n"
    "\t\t\tthis.style.backgroundColor = \"#D8E5F2\";\n"
    "\t\t};\n"
    "\t\trows[j].onmouseout = function() {\n"
    "\t\t\tvar link = document.getElementById(this.id + \"_link\");\n"
    "\t\t\tif (!link) return;\n"
    "\t\t\tlink.style.color = this.savedLinkColour;\n"
    "\t\t\tthis.style.backgroundColor = this.savedRowColour;\n"
    "\t\t};\n"
    "\t}\n"
    "}\n"
    "window.onload = hiLiteRows;\n"
    "</script>";

void Triple(TextOut& out, double a, double b, double c) {
  out.Lit(" (").Fixed(a, 2).Lit(", ").Fixed(b, 2).Lit(", ").Fixed(c, 2).Lit(")");
}

// The tree of the hierarchy, depth first, every bone once: a bone is listed
// under its parent unless it was met before it (then it starts a branch of
// its own at the top).
class TagTree {
 public:
  TagTree(TextOut& out, const std::vector<XmodelBone>& bones)
      : out_(out), bones_(bones), visited_(bones.size(), false), children_(bones.size()) {
    for (size_t i = 0; i < bones.size(); ++i) {
      const int parent = int(int8_t(bones[i].parent));
      if (parent >= 0 && size_t(parent) < bones.size()) children_[size_t(parent)].push_back(i);
    }
  }

  void Write() {
    for (size_t i = 0; i < bones_.size(); ++i) {
      if (visited_[i]) continue;
      visited_[i] = true;
      Item(i);
    }
  }

 private:
  void Item(size_t i) {
    out_.Lit("<li><a id=\"tag_").Int((long long)i).Lit("_link\" num=\"").Int((long long)i);
    out_.Lit("\" href=\"javascript:void(0)\">").Raw(HtmlEscape(bones_[i].name)).Lit("</a>");
    bool open = false;
    for (size_t child : children_[i]) {
      if (visited_[child]) continue;
      if (!open) out_.Lit("<ul>");
      open = true;
      visited_[child] = true;
      Item(child);
    }
    if (open) out_.Lit("</ul>");
    out_.Lit("</li>");
  }

  TextOut& out_;
  const std::vector<XmodelBone>& bones_;
  std::vector<bool> visited_;
  std::vector<std::vector<size_t>> children_;
};

}  // namespace

ErrorCode DumpTags(const Xmodel& model, std::string folder, ExportWritten* written) {
  // The checks come before the folder is made, so that nothing is
  // created for a model that has no tags.
  if (!model.xmodel_loaded) return err::kNotLoaded;
  if (!model.parts_loaded) return err::kTagsNotLoaded;
  if (!platform::IsSafeOutputName(model.name)) return err::kInvalidPath;

  // The output folder and file.
  const std::string dir = platform::WithTrailingSeparator(folder);
  platform::CreateDirectories(dir);
  const std::string file_path = dir + model.name + "_tags.html";
  ErrorCode code = err::kSuccess;
  OutputFile output;
  std::FILE* file = output.Open(file_path, code);
  if (!file) return code;

  const std::string title = HtmlEscape(model.name);
  {
    TextOut out(file);
    // Head: doctype, title, the style sheet and the row-select script.
    out.Lit("<!-- Tags of an xmodel, written by Qor_Fen Vantor -->\n");
    out.Lit("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
            "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\n");
    out.Lit("<html xmlns=\"http://www.w3.org/1999/xhtml\"> \n<head>\n <title>").Raw(title).Lit("</title>");
    out.Lit("\n\t<!-- CSS Inejected from Program Memory -->\n\t<style type=\"text/css\">\n");
    out.Lit(kStyleSheet).Lit("</style>");
    out.Lit("\n<!-- Javascript for row select - Inejected from Program Memory -->\n").Lit(kScript);
    out.Lit("\n</head>\n <body> <b>Tags of ").Raw(title).Lit(", listed by Qor_Fen Vantor</b>\n");

    // The tag table's header row.
    out.Lit("<table cellpadding=\"0\" cellspacing=\"0\" align=\"left\" >\n <tr>\n  <td>\n   <table id=\"tag_table\" "
            "cellpadding=\"0\" cellspacing=\"0\" align=\"center\" >\n\t<tr>\n\t\t<th>Tag#</th>\n\t\t<th>Name</th>\n"
            "\t\t<th>Position</th>\n\t\t<th>Parent Tag#</th>\n\t\t<th>Angles (Degrees)</th>\n\t</tr>\n");

    // One row per tag; roots carry no transform.
    const size_t roots = model.root_bone_count > 0 ? std::min(size_t(model.root_bone_count), model.bones.size()) : 0;
    for (size_t i = 0; i < model.bones.size(); ++i) {
      const XmodelBone& b = model.bones[i];
      const long long n = (long long)i;
      out.Lit("\t<tr id=\"tag_").Int(n).Lit("\">\n\t\t<td>").Int(n).Lit("</td>\n\t\t<td>").Raw(HtmlEscape(b.name));
      if (i < roots) {
        out.Lit("</td>\n\t\t<td>(0.00, 0.00, 0.00)</td>\n\t\t<td>-</td>\n\t\t<td>-</td>\n\t</tr>\n");
        continue;
      }
      double angles[3];
      JointAngles(b.rotation, angles);
      out.Lit("</td>\n\t\t<td>");
      Triple(out, b.position[0], b.position[1], b.position[2]);
      out.Lit("</td>\n\t\t<td>").Int(int8_t(b.parent)).Lit("</td>\n\t\t<td>");
      Triple(out, angles[0], angles[1], angles[2]);
      out.Lit("</td>\n\t</tr>\n");
    }

    // The tag tree beside the table.
    out.Lit("   </table>\n  </td>\n\t<!--<tr>-->\n\t\t<td id=\"tag_tree\" valign=\"top\" align=\"left\">\n"
            "\t\t\t<b>Tag Tree</b>\n\t\t<ul class=\"joints\">\n");
    TagTree(out, model.bones).Write();
    out.Lit("\t\t</ul>\n\t\t</td>\n\t</tr>\n</table>\n </body>\n</html>");
    // Commit the file.
    code = output.Close(out);
  }
  if (code == err::kSuccess && written) written->push_back(file_path);
  return code;
}

ErrorCode WriteStaticFiles(std::string folder, ExportWritten* written) {
  const std::string dir = platform::WithTrailingSeparator(folder);
  struct Picture {
    const char* name;
    std::span<const uint8_t> bytes;
  };
  const Picture pictures[] = {{"dotted.gif", DottedGif()}, {"joint.png", JointPng()}};
  // Each picture on its own: one that a failed earlier run left missing is
  // written now, and one that is there is never overwritten.
  bool all_present = true;
  for (const Picture& p : pictures) all_present = all_present && platform::FileExists(dir + p.name);
  if (all_present) return kStaticFilesPresent;
  platform::CreateDirectories(dir);
  for (const Picture& p : pictures) {
    const std::string path = dir + p.name;
    if (platform::FileExists(path)) continue;
    ErrorCode code = err::kSuccess;
    OutputFile output;
    std::FILE* file = output.Open(path, code);
    if (!file) return code;
    // A torn picture would count as present next time: it only appears whole.
    (void)std::fwrite(p.bytes.data(), 1, p.bytes.size(), file);
    if (code = output.Close(); code != err::kSuccess) return code;
    if (written) written->push_back(path);
  }
  return err::kSuccess;
}
