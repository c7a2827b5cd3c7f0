// Tags report (its bytes are pinned in writer_bytes_test): the tree with
// roots and late parents, preconditions, the two pictures written once,
// and the page in headless Chromium: no script errors, and hovering a tree
// link lights its table row (and the other way round).
#include <gtest/gtest.h>

#include <functional>
#include <regex>

#include "export/model_exports.h"
#include "export/tags_report.h"
#include "tests/export/export_test_support.h"
#include "tools/fixture/sample_tree.h"

namespace {

using namespace export_test;

std::string Item(int i, const std::string& name, const std::string& children = "") {
  const std::string n = std::to_string(i);
  return "<li><a id=\"tag_" + n + "_link\" num=\"" + n + "\" href=\"javascript:void(0)\">" + name + "</a>" +
         (children.empty() ? "" : "<ul>" + children + "</ul>") + "</li>";
}

class TagsReportTest : public ExportTest {
 protected:
  std::string Dumped() {
    EXPECT_EQ(DumpTags(model_, Out()), err::kSuccess);
    return ReadText(OutFile(model_.name + "_tags.html"));
  }
};

// The tag tree: children under their parent; roots side by side; a bone
// listed before its parent starts a branch of its own and is listed once.
TEST_F(TagsReportTest, TreeNestsChildrenUnderTheirParents) {
  struct Case {
    const char* what;
    std::function<void(Xmodel&)> change;
    std::string tree;
  };
  const Case cases[] = {
      {"barrel", [](Xmodel&) {}, Item(0, "tag_origin", Item(1, "j_lid"))},
      {"two roots",
       [](Xmodel& m) {
         m.root_bone_count = 2;
         m.bones[1].name = "tag_second";
         m.bones[1].parent = 255;
       },
       Item(0, "tag_origin") + Item(1, "tag_second")},
      {"late parent",
       [](Xmodel& m) {
         m.bones.push_back(m.bones[1]);
         m.bones[1].name = "j_early";
         m.bones[1].parent = 2;  // a parent later in the list
         m.bones[2].name = "j_late";
         m.bones[2].parent = 255;
       },
       Item(0, "tag_origin") + Item(1, "j_early") + Item(2, "j_late")},
  };
  for (const Case& c : cases) {
    Load(fixture::MakeBarrelModel("barrel"));
    c.change(model_);
    EXPECT_NE(Dumped().find("<ul class=\"joints\">\r\n" + c.tree + "\t\t</ul>"), std::string::npos) << c.what;
  }
}

TEST_F(TagsReportTest, NeedsTheModelsTags) {
  Load(fixture::MakePropModel("crate", Cod4));
  model_.parts_loaded = false;
  EXPECT_EQ(DumpTags(model_, Out()), err::kTagsNotLoaded);
  EXPECT_FALSE(fs::exists(Out()));
}

TEST_F(TagsReportTest, PicturesAreWrittenOnceAndAMissingOneIsRestored) {
  ExportWritten written;
  ASSERT_EQ(WriteStaticFiles(Out(), &written), err::kSuccess);
  EXPECT_EQ(written, (ExportWritten{OutFile("dotted.gif").string(), OutFile("joint.png").string()}));
  EXPECT_EQ(ReadText(OutFile("dotted.gif")).substr(0, 10), std::string("GIF89a\x01\x00\x06\x00", 10));
  EXPECT_EQ(ReadText(OutFile("joint.png")).substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(WriteStaticFiles(Out()), kStaticFilesPresent);

  // A run that wrote the first picture and failed on the second.
  fs::remove(OutFile("joint.png"));
  fs::resize_file(OutFile("dotted.gif"), 3);  // a user's own picture: kept
  written.clear();
  ASSERT_EQ(WriteStaticFiles(Out(), &written), err::kSuccess);
  EXPECT_EQ(written, ExportWritten{OutFile("joint.png").string()});
  EXPECT_EQ(fs::file_size(OutFile("dotted.gif")), 3u);
}

// ------------------------------------------------------------ Chromium

TEST_F(TagsReportTest, ChromiumRunsTheReportAndHoverLightsTheRow) {
  const fs::path browser_dir = fs::path(VANTOR_SOURCE_DIR) / "tests" / "export" / "browser";
  if (!fs::exists("/usr/bin/chromium")) GTEST_SKIP() << "chromium (Debian) is not installed";
  if (!HaveProgram("node")) GTEST_SKIP() << "node is not installed";
  if (!fs::exists(browser_dir / "node_modules" / "playwright-core"))
    GTEST_SKIP() << "playwright-core missing: run scripts/install-deps (npm install in " << browser_dir << ")";
  Load(fixture::MakeSoldierModel("soldier", Cod4));
  Dumped();
  ASSERT_EQ(WriteStaticFiles(Out()), err::kSuccess);
  int status = -1;
  const std::string json = RunCommand("cd '" + browser_dir.string() + "' && timeout 120 node tags_report_check.js '" +
                                   OutFile("soldier_tags.html").string() + "' 5 2>&1",
                               &status);
  ASSERT_EQ(status, 0) << json;
  auto field = [&](const std::string& key) {
    std::smatch m;
    std::regex re("\"" + key + "\":(\"[^\"]*\"|\\[[^\\]]*\\]|\\{[^}]*\\})");
    return std::regex_search(json, m, re) ? std::string(m[1]) : "<missing " + key + ">";
  };
  EXPECT_EQ(field("errors"), "[]");
  EXPECT_EQ(field("row_hovered"), "\"rgb(216, 229, 242)\"");
  EXPECT_EQ(field("row_after"), field("row_before"));
  EXPECT_EQ(field("link_hovered"), "\"rgb(255, 0, 0)\"");
  EXPECT_EQ(field("row_hovered_itself"), "\"rgb(216, 229, 242)\"");
  EXPECT_EQ(field("link_after"), field("link_before"));
  EXPECT_EQ(field("pictures"), "{\"dotted\":[1,6],\"joint\":[16,16]}");
}

}  // namespace
