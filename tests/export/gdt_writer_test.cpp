// GDT entries: a read with the asset tools' key/value grammar (braces
// balance, every entry has its keys), the model type, the file name with
// and without the sub-folder, escaping, and the writer's open rules.
#include <gtest/gtest.h>

#include <map>
#include <regex>

#include "export/gdt_writer.h"
#include "tests/export/export_test_support.h"
#include "tools/fixture/sample_tree.h"

namespace {

using namespace export_test;

struct GdtEntry {
  std::string name, type;
  std::map<std::string, std::string> keys;
};

// The asset tools' grammar: { "name" ( "type.gdf" ) { "key" "value" ... } ... }
// with "\" escaping inside strings, no string over a line end. Empty on a
// syntax error.
std::vector<GdtEntry> ParseGdt(const std::string& text, std::string* error) {
  static const std::regex token(R"re("((?:[^"\\\n]|\\.)*)"|([{}()])|(\S))re");
  std::vector<std::pair<bool, std::string>> tokens;  // quoted, text
  for (auto it = std::sregex_iterator(text.begin(), text.end(), token); it != std::sregex_iterator(); ++it) {
    const std::smatch& m = *it;
    if (m[3].matched) {
      *error = "stray " + m.str() + " at byte " + std::to_string(m.position());
      return {};
    }
    tokens.emplace_back(m[1].matched, m[1].matched ? std::regex_replace(m[1].str(), std::regex(R"(\\(.))"), "$1") : m.str());
  }
  size_t i = 0;
  auto is = [&](bool quoted, const std::string& s = "") {
    return i < tokens.size() && tokens[i].first == quoted && (s.empty() || tokens[i].second == s);
  };
  auto fail = [&](const char* why) {
    *error = std::string(why) + " at token " + std::to_string(i);
    return std::vector<GdtEntry>{};
  };
  if (!is(false, "{")) return fail("no opening brace");
  std::vector<GdtEntry> entries;
  for (++i; !is(false, "}"); ++i) {
    GdtEntry e;
    if (!is(true)) return fail("entry without a name");
    e.name = tokens[i++].second;
    if (!is(false, "(") || (++i, !is(true))) return fail("bad type");
    e.type = tokens[i++].second;
    if (!is(false, ")") || (++i, !is(false, "{"))) return fail("entry without body");
    for (++i; !is(false, "}");) {
      if (!is(true) || (++i, !is(true))) return fail("key without value");
      e.keys[tokens[i - 1].second] = tokens[i].second;
      ++i;
    }
    entries.push_back(e);
  }
  if (++i != tokens.size()) return fail("text after the closing brace");
  return entries;
}

class GdtWriterTest : public ExportTest {
 protected:
  std::string Dumped(const ExportSettings& settings = {}) {
    EXPECT_EQ(model_.DumpGDT(0, Out(), settings), err::kSuccess);
    return ReadText(OutFile(model_.name + ".gdt"));
  }
  std::vector<GdtEntry> Parsed(const ExportSettings& settings = {}) {
    std::string error;
    std::vector<GdtEntry> e = ParseGdt(Dumped(settings), &error);
    EXPECT_TRUE(error.empty()) << error;
    return e;
  }
};

TEST_F(GdtWriterTest, EveryEntryParsesWithItsKeysInEveryLayout) {
  const fixture::ModelFiles models[] = {fixture::MakeSoldierModel("soldier", Cod4),
                                        fixture::MakeSoldierModel("soldier", Cod5), fixture::MakeBarrelModel("barrel")};
  for (const fixture::ModelFiles& files : models) {
    Load(files);
    std::vector<GdtEntry> entries = Parsed();
    ASSERT_EQ(entries.size(), model_.lods[0].unique_materials.size() + 1) << files.name;
    for (size_t i = 0; i + 1 < entries.size(); ++i) {
      EXPECT_EQ(entries[i].name, model_.lods[0].unique_materials[i]);
      EXPECT_EQ(entries[i].type, "material.gdf");
      for (const char* key : {"materialType", "colorMap", "normalMap", "specColorMap", "surfaceType", "template"})
        EXPECT_TRUE(entries[i].keys.count(key)) << key;
      // Normal maps are always TGA, colour maps DDS by default.
      const std::string folder = "model_export\\" + files.name + "\\images\\";
      EXPECT_TRUE(entries[i].keys["normalMap"].starts_with(folder) && entries[i].keys["normalMap"].ends_with("_nml.tga") &&
                  entries[i].keys["colorMap"].ends_with("_col.dds"))
          << entries[i].keys["normalMap"] << " " << entries[i].keys["colorMap"];
    }
    // Soldier: 27 bones; barrel: 2.
    EXPECT_EQ(std::make_tuple(entries.back().type, entries.back().name, entries.back().keys["type"]),
              std::make_tuple("xmodel.gdf", files.name, "animated"));
  }
}

TEST_F(GdtWriterTest, RigidPropAndTheModelFileWithAndWithoutSubFolder) {
  Load(fixture::MakePropModel("crate", Cod4));
  std::vector<GdtEntry> e = Parsed();
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[1].keys["type"], "rigid");
  EXPECT_EQ(e[1].keys["filename"], "crate\\crate_lod0.XMODEL_EXPORT");
  ExportSettings flat;
  flat.export_sub_dir = false;
  // Without the sub-folder the model file starts with a (doubled) backslash.
  EXPECT_NE(Dumped(flat).find("\t\t\"filename\" \"\\\\crate_lod0.XMODEL_EXPORT\"\r\n"), std::string::npos);
}

TEST_F(GdtWriterTest, QuotesAreEscapedAndLineBreaksRefused) {
  Load(fixture::MakePropModel("crate", Cod4));
  model_.material_library.entries[0].name = model_.lods[0].unique_materials[0] = "mtl \"crate\"";
  std::vector<GdtEntry> e = Parsed();
  ASSERT_FALSE(e.empty());
  EXPECT_EQ(e[0].name, "mtl \"crate\"");
  model_.material_library.entries[0].name = model_.lods[0].unique_materials[0] = "mtl\n}";
  fs::remove(OutFile("crate.gdt"));
  EXPECT_EQ(model_.DumpGDT(0, Out()), err::kFileNotValid);
  EXPECT_FALSE(fs::exists(OutFile("crate.gdt")));
  model_.name = "../crate";
  EXPECT_EQ(model_.DumpGDT(0, Out()), err::kInvalidPath);
}

TEST_F(GdtWriterTest, PreconditionsOpenFailuresAndAFailedMaterialLoad) {
  EXPECT_EQ(model_.DumpGDT(0, Out()), err::kNotLoaded);
  Load(fixture::MakePropModel("crate", Cod4));
  EXPECT_EQ(model_.DumpGDT(4, Out()), err::kOutOfRange);
  fs::create_directories(OutFile("crate.gdt"));
  EXPECT_EQ(model_.DumpGDT(0, Out()), err::kCantOpen);
  fs::remove(OutFile("crate.gdt"));
  // A failed material load leaves no file behind.
  model_.material_library.loaded = false;
  model_.material_library.names.clear();
  EXPECT_EQ(model_.DumpGDT(0, Out()), err::kNoMaterials);
  EXPECT_FALSE(fs::exists(OutFile("crate.gdt")));
}

TEST_F(GdtWriterTest, WriterAddsTheExtensionOnceAndWritesNothingWhenClosed) {
  GdtWriter gdt;
  gdt.WriteMaterial("m", "", "", "");  // not open: nothing
  ASSERT_EQ(gdt.Open((dir_ / "named.gdt").string()), err::kSuccess);
  EXPECT_EQ(gdt.path(), (dir_ / "named.gdt").string());
  gdt.WriteModel("m", "a\\b", false);
  EXPECT_EQ(gdt.Close(), err::kSuccess);
  std::string error;
  std::vector<GdtEntry> e = ParseGdt(ReadText(dir_ / "named.gdt"), &error);
  ASSERT_EQ(e.size(), 1u) << error;
  EXPECT_EQ(e[0].keys["filename"], "a\\b");
  EXPECT_EQ(gdt.Close(), err::kNotLoaded);
  ASSERT_EQ(gdt.Open((dir_ / "plain").string()), err::kSuccess);
  EXPECT_EQ(gdt.Close(), err::kSuccess);
  EXPECT_TRUE(fs::exists(dir_ / "plain.gdt"));
}

}  // namespace
