// Where DDS and TGA writes (the texture export, vantor-cli convert) may not
// go: a FIFO or a folder under the output name is refused with 5 instead of
// being opened (opening a FIFO for writing waits for a reader for ever).
#include <gtest/gtest.h>
#include <fcntl.h>     // Required for: open(), O_NONBLOCK
#include <sys/stat.h>  // Required for: mkfifo()
#include <unistd.h>    // Required for: close()

#include <chrono>
#include <filesystem>
#include <future>

#include "imaging/iwi_image.h"
#include "tests/imaging/image_test_support.h"
#include "tools/fixture/fixture_writer.h"
#include "tools/fixture/iwi_writer.h"

namespace {

TEST(ImageWriteTarget, FifoAndFolderOutputsAreRefusedWithoutBlocking) {
  image_test::TempDir dir;
  fixture::IwiDesc d;
  d.picture = fixture::MakeTestPicture(16, 16);
  ASSERT_TRUE(fixture::WriteFile(dir.Sub("a.iwi"), fixture::WriteIwi(d)));
  IwiImage image;
  ASSERT_TRUE(image.SetImagePath(dir.Sub("a.iwi")));
  ASSERT_EQ(image.LoadIWI(), img::kSuccess);
  ASSERT_EQ(::mkfifo(dir.Sub("out.fifo").c_str(), 0600), 0);
  std::filesystem::create_directories(dir.Sub("out.folder"));

  for (const char* name : {"out.fifo", "out.folder"}) {
    for (bool tga : {false, true}) {
      SCOPED_TRACE(std::string(name) + (tga ? " as TGA" : " as DDS"));
      const std::string out = dir.Sub(name);
      auto write = std::async(std::launch::async, [&image, out, tga] {
        return tga ? image.WriteTGA(out) : image.WriteDDS(out);
      });
      if (write.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        // Let the blocked open through so the test ends with its failure.
        int fd = ::open(out.c_str(), O_RDONLY | O_NONBLOCK);
        ADD_FAILURE() << "the write blocked on the output";
        (void)write.get();
        if (fd >= 0) ::close(fd);
        continue;
      }
      EXPECT_EQ(write.get(), img::kCantOpen);
    }
  }
  EXPECT_TRUE(std::filesystem::is_fifo(dir.Sub("out.fifo")));
}

}  // namespace
