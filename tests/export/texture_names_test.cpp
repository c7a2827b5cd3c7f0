// The texture paths the MTL, the Maya scene and the GDT entries write name
// files the texture export really writes: run both on a model whose images
// exist (with "~" in their names) and look every named file up on disk.
#include <gtest/gtest.h>

#include <regex>

#include "export/model_exports.h"
#include "export/texture_export.h"
#include "tests/export/export_test_support.h"
#include "tools/fixture/iwi_writer.h"

namespace {

using namespace export_test;

class TextureNamesTest : public ExportTest {
 protected:
  void LoadWithImages() {
    fixture::ModelFiles files = fixture::MakePropModel("crate", Cod4);
    files.materials[0].slots = {{"colorMap", "~crate_col"}, {"normalMap", "crate_nml"}, {"specularMap", "~~crate_spc"}};
    fixture::IwiDesc iwi;
    iwi.picture = fixture::MakeTestPicture(16, 16);
    for (const char* image : {"~crate_col", "crate_nml", "~~crate_spc"})
      ASSERT_TRUE(fixture::WriteFile((dir_ / "game" / "raw" / "images" / (image + std::string(".iwi"))).string(),
                                     fixture::WriteIwi(iwi)));
    Load(files);
  }
  // Runs the texture export as the worker does: into the export folder's
  // "images", or beside the sources.
  void ExportTextures(const ExportSettings& settings) {
    ASSERT_EQ(MoveImages(model_, Out() + "/images", settings), err::kSuccess);
  }
  static std::vector<std::string> Matches(const std::string& text, const std::string& pattern) {
    std::vector<std::string> out;
    std::regex re(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it)
      out.push_back((*it)[1]);
    return out;
  }
};

TEST_F(TextureNamesTest, EveryNamedTextureExistsAfterTheTextureExport) {
  LoadWithImages();
  for (bool tga : {false, true}) {
    ExportSettings settings;
    settings.export_img_as_tga = tga;
    fs::remove_all(Out());
    ExportTextures(settings);
    ASSERT_EQ(ExportOBJ(model_, Out(), settings), err::kSuccess);
    ASSERT_EQ(ExportMA(model_, Out(), settings), err::kSuccess);
    ASSERT_EQ(DumpGDT(model_, 0, Out(), settings), err::kSuccess);

    std::vector<std::string> mtl = Matches(ReadText(OutFile("crate_lod0.mtl")), R"((map_\w+ images/[^\r\n]+))");
    EXPECT_EQ(mtl, (std::vector<std::string>{tga ? "map_Kd images/_crate_col.tga" : "map_Kd images/_crate_col.dds",
                                             "map_bump images/crate_nml.tga", "map_Ks images/__crate_spc.tga"}));
    for (std::string& f : mtl) f = f.substr(f.find("images/") + 7);
    for (const std::string& f : mtl) EXPECT_TRUE(fs::exists(OutFile("images/" + f))) << "MTL names " << f;

    std::vector<std::string> ma = Matches(ReadText(OutFile("crate_lod0.ma")), R"re(".ftn" -type "string" "images\\\\([^"]+)")re");
    ASSERT_EQ(ma.size(), 1u);
    EXPECT_TRUE(fs::exists(OutFile("images/" + ma[0]))) << "MA names " << ma[0];

    // The GDT's paths are the mod tools' (model_export\<model>\images\...);
    // the export folder plays model_export\<model> here.
    std::vector<std::string> gdt =
        Matches(ReadText(OutFile("crate.gdt")), R"re("(?:colorMap|normalMap|specColorMap)" "model_export\\\\crate\\\\images\\\\([^"]+)")re");
    EXPECT_EQ(gdt.size(), 3u);
    for (const std::string& f : gdt) EXPECT_TRUE(fs::exists(OutFile("images/" + f))) << "GDT names " << f;
  }
}

TEST_F(TextureNamesTest, MtlAndMaNameTheFilesBesideTheSources) {
  LoadWithImages();
  ExportSettings beside;
  beside.export_img_as_tga = true;
  beside.export_images_local = false;
  ExportTextures(beside);
  ASSERT_EQ(ExportOBJ(model_, Out(), beside), err::kSuccess);
  ASSERT_EQ(ExportMA(model_, Out(), beside), err::kSuccess);
  std::vector<std::string> mtl = Matches(ReadText(OutFile("crate_lod0.mtl")), R"(map_\w+ ([^\r\n]+))");
  EXPECT_EQ(mtl.size(), 3u);
  for (const std::string& f : mtl) EXPECT_TRUE(fs::exists(f)) << "MTL names " << f;
  std::vector<std::string> ma = Matches(ReadText(OutFile("crate_lod0.ma")), R"re(".ftn" -type "string" "([^"]+)")re");
  ASSERT_EQ(ma.size(), 1u);
  std::string path = std::regex_replace(ma[0], std::regex(R"(\\\\)"), "/");  // MEL's "\\" is one separator
  EXPECT_TRUE(fs::exists(path)) << "MA names " << path;
}

}  // namespace
