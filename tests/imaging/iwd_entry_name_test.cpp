// Where archive entry names may land: inside raw/images or nowhere.
#include <gtest/gtest.h>

#include "imaging/iwd_entry_name.h"

namespace {

// Only names ending in ".iwi", in any case, are images; the rest are not
// even counted.
TEST(IwdEntryName, ImagesAreTheNamesEndingInIwi) {
  for (const char* name : {"images/a.iwi", "images/Upper.IWI", "x.iwi"}) EXPECT_TRUE(IsIwiEntryName(name)) << name;
  for (const char* name : {"images/x.iwi.sh", "images/loading.dds", "sound/shot.wav", "images/", "images/a.iwi/"})
    EXPECT_FALSE(IsIwiEntryName(name)) << name;
}

TEST(IwdEntryName, ImagesFolderNamesMapBelowRawImages) {
  EXPECT_EQ(IwdImageTarget("images/logo_cod2.iwi"), "logo_cod2.iwi");
  EXPECT_EQ(IwdImageTarget("Images/Logo.iwi"), "Logo.iwi");  // the folder in any case, the name kept
  EXPECT_EQ(IwdImageTarget("images/ui/icon.iwi"), "ui/icon.iwi");
  EXPECT_EQ(IwdImageTarget("images\\ui\\icon.iwi"), "ui/icon.iwi");  // Windows tools' separators
  EXPECT_EQ(IwdImageTarget("images//icon.iwi"), "icon.iwi");
  EXPECT_EQ(IwdImageTarget("images/~stone-mine.iwi"), "~stone-mine.iwi");
}

TEST(IwdEntryName, NamesThatClimbJumpOutOrHideAreRefused) {
  // Climbing (no ".." taken on trust, even one that never leaves), rooted,
  // drive and share names, "./", names outside images/ (they would land in
  // raw/), the folder alone, a line break, and our own partial-file name.
  for (const char* name : {"images/../../x.iwi", "images/..\\..\\x.iwi", "images\\..\\..\\..\\x.iwi",
                           "images/sub/../../../x.iwi", "images/../images/x.iwi", "/images/x.iwi", "/etc/x.iwi",
                           "\\images\\x.iwi", "\\\\server\\share\\images\\x.iwi", "C:/images/x.iwi", "c:\\x.iwi",
                           "images/C:x.iwi", "images/./x.iwi", "x.iwi", "materials/x.iwi", "images/", "images", "",
                           "images/x\n.iwi", "images/x.iwi.vantor-part"}) {
    EXPECT_EQ(IwdImageTarget(name), std::nullopt) << name;
  }
  EXPECT_EQ(IwdImageTarget(std::string("images/x.iwi\0/../../y.iwi", 25)), std::nullopt);
}

TEST(IwdEntryName, PrintableNameDefusesControlAndColourMarks) {
  EXPECT_EQ(PrintableEntryName("images/\n^1x.iwi"), "images/??1x.iwi");
  EXPECT_EQ(PrintableEntryName(std::string(300, 'a')).size(), 203u);
}

}  // namespace
