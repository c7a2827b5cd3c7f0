// Tags report: the table rows and the tree byte for byte, roots and late
// parents, HTML escaping of names, preconditions, the two pictures written
// once, and the page in headless Chromium: no script errors, and hovering a
// tree link lights its table row (and the other way round).
#include <gtest/gtest.h>

#include <regex>

#include "export/tags_report.h"
#include "tests/export/export_test_support.h"
#include "tools/fixture/sample_tree.h"

namespace {

using namespace export_test;

std::string Rows(const Xmodel& m) {
  std::string t;
  for (int i = 0; i < int(m.bones.size()); ++i) {
    const XmodelBone& b = m.bones[size_t(i)];
    if (i < m.root_bone_count) {
      t += Printf("\t<tr id=\"tag_%i\">\n\t\t<td>%i</td>\n\t\t<td>%s</td>\n\t\t<td>(0.00, 0.00, 0.00)</td>\n"
                  "\t\t<td>-</td>\n\t\t<td>-</td>\n\t</tr>\n",
                  i, i, b.name.c_str());
      continue;
    }
    const double x = b.rotation[0], y = b.rotation[1], z = b.rotation[2], w = b.rotation[3];
    double a[3] = {0, 0, 0};
    if (!(std::fabs(w - 1) < 4.37114e-05 && x == 0 && y == 0 && z == 0)) {
      const double deg = 180.0 / 3.14159265358979323846;
      a[0] = std::atan2(2 * (y * z + x * w), w * w - x * x - y * y + z * z) * deg;
      a[1] = std::asin(-2 * (x * z - y * w)) * deg;
      a[2] = std::atan2(2 * (x * y + z * w), w * w + x * x - y * y - z * z) * deg;
    }
    t += Printf("\t<tr id=\"tag_%i\">\n\t\t<td>%i</td>\n\t\t<td>%s</td>\n\t\t<td> (%.2f, %.2f, %.2f)</td>\n"
                "\t\t<td>%i</td>\n\t\t<td> (%.2f, %.2f, %.2f)</td>\n\t</tr>\n",
                i, i, b.name.c_str(), b.position[0], b.position[1], b.position[2], int(int8_t(b.parent)), a[0], a[1],
                a[2]);
  }
  return t;
}

std::string Item(int i, const std::string& name, const std::string& children = "") {
  return Printf("<li><a id=\"tag_%i_link\" num=\"%i\" href=\"javascript:void(0)\">", i, i) + name + "</a>" +
         (children.empty() ? "" : "<ul>" + children + "</ul>") + "</li>";
}

class TagsReportTest : public ExportTest {
 protected:
  std::string Dumped() {
    EXPECT_EQ(model_.DumpTags(Out()), err::kSuccess);
    return ReadText(OutFile(model_.name + "_tags.html"));
  }
  static std::string Between(const std::string& text, const std::string& from, const std::string& to) {
    size_t a = text.find(from);
    size_t b = a == std::string::npos ? a : text.find(to, a + from.size());
    if (b == std::string::npos) return "<missing>";
    return text.substr(a + from.size(), b - a - from.size());
  }
};

TEST_F(TagsReportTest, RowsAndTreeOfEveryLayoutAreExact) {
  const fixture::ModelFiles models[] = {fixture::MakeSoldierModel("soldier", Cod4), fixture::MakeSoldierModel("soldier", BO),
                                        fixture::MakeBarrelModel("barrel")};
  for (const fixture::ModelFiles& files : models) {
    Load(files, 2.54f);
    ModelSnapshot before(model_);
    const std::string raw = Dumped();
    EXPECT_TRUE(EveryLineEndIsCrLf(raw));
    EXPECT_EQ(Between(raw, OnDisk("<th>Angles (Degrees)</th>\n\t</tr>\n"), OnDisk("   </table>\n")), OnDisk(Rows(model_)));
    EXPECT_TRUE(raw.ends_with(OnDisk("\t\t</ul>\n\t\t</td>\n\t</tr>\n</table>\n </body>\n</html>")));
    EXPECT_NE(raw.find(OnDisk(" <title>" + files.name + "</title>\n\t<!-- CSS Inejected from Program Memory -->\n")),
              std::string::npos);
    EXPECT_TRUE(before.Same(model_));
  }
  // The barrel's tree: the lid under the origin.
  EXPECT_NE(Dumped().find(OnDisk("<ul class=\"joints\">\n") + Item(0, "tag_origin", Item(1, "j_lid")) + OnDisk("\t\t</ul>\n")),
            std::string::npos);
}

TEST_F(TagsReportTest, OnlyRootsGiveDashesAndAFlatTree) {
  fixture::ModelFiles files = fixture::MakePropModel("crate", Cod4);
  files.parts.root_bones = 2;
  files.parts.bones.push_back({"tag_second"});
  Load(files);
  const std::string raw = Dumped();
  EXPECT_NE(raw.find(OnDisk("\t<tr id=\"tag_1\">\n\t\t<td>1</td>\n\t\t<td>tag_second</td>\n\t\t<td>(0.00, 0.00, 0.00)</td>\n"
                            "\t\t<td>-</td>\n\t\t<td>-</td>\n\t</tr>\n")),
            std::string::npos);
  EXPECT_NE(raw.find(Item(0, "tag_origin") + Item(1, "tag_second") + "\t\t</ul>"), std::string::npos);
}

TEST_F(TagsReportTest, BoneBeforeItsParentStartsABranchAndIsListedOnce) {
  Load(fixture::MakeBarrelModel("barrel"));
  model_.bones.push_back(model_.bones[1]);
  model_.bones[1].name = "j_early";
  model_.bones[1].parent = 2;  // a parent later in the list
  model_.bones[2].name = "j_late";
  model_.bones[2].parent = 255;
  EXPECT_NE(Dumped().find(Item(0, "tag_origin") + Item(1, "j_early") + Item(2, "j_late") + "\t\t</ul>"),
            std::string::npos);
}

TEST_F(TagsReportTest, NamesAreEscapedSoTheyCannotEndARowOrATag) {
  Load(fixture::MakeBarrelModel("barrel"));
  model_.bones[1].name = "j_<b>lid</td>\n\"&'";
  const std::string raw = Dumped();
  const std::string escaped = "j_&lt;b&gt;lid&lt;/td&gt;&#10;&quot;&amp;&#39;";
  EXPECT_NE(raw.find("\t\t<td>" + escaped + "</td>"), std::string::npos);
  EXPECT_NE(raw.find("href=\"javascript:void(0)\">" + escaped + "</a>"), std::string::npos);
  model_.name = "a/../../b";
  EXPECT_EQ(model_.DumpTags(Out()), err::kInvalidPath);
}

TEST_F(TagsReportTest, NeedsTheModelAndItsTags) {
  EXPECT_EQ(model_.DumpTags(Out()), err::kNotLoaded);
  Load(fixture::MakePropModel("crate", Cod4));
  model_.parts_loaded = false;
  EXPECT_EQ(model_.DumpTags(Out()), err::kTagsNotLoaded);
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
