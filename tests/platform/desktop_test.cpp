// Handing files to the desktop without an opener on PATH: the text the
// caller logs comes back, and the failure callback is left to the caller.
#include "platform/desktop.h"

#include <gtest/gtest.h>

#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(OpenWithDesktop, NoOpenerGivesTheTextToLogAndLeavesTheFailureToTheCaller) {
  test_support::TempDir empty("vantor_desktop");
  test_support::ScopedEnv path("PATH", empty.path());
  const std::string said = "Could not open '/x/tags.html': no desktop opener";
  EXPECT_EQ(platform::OpenWithDesktop("/x/tags.html"), said);
  int failed = 0;
  EXPECT_EQ(platform::OpenWithDesktopOr("/x/tags.html", [&failed] { ++failed; }), said);
  EXPECT_EQ(failed, 0);
}

}  // namespace
