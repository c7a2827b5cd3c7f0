// Buffered text output for the exporters. Lines are formatted in place into
// large blocks (Reserve / Commit, with number_format.h's exact printf
// formats); a full block goes to a writer thread, so the file system copies
// one block while the next is formatted, and Parallel lets a second thread
// format every other mesh. Literal text given to Lit has its "\n" written as
// CR LF, which the games' tools expect; the hot loops write "\r\n"
// themselves and use Text.
#pragma once

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include "export/number_format.h"

// Texts formatted once per vertex, for the records that repeat a vertex's
// values at every face corner naming it: each is copied, not formatted
// again. `format(out, i)` writes vertex i's text (at most
// TextOut::kLineMax bytes) and returns its end. Every text can be read 32
// bytes from its start (PutShort, PutUpTo32).
//
// Their memory is the thread's, handed from one mesh to the next and grown,
// never zero-filled: a fresh buffer a mesh cost a page fault every 4 KB and
// a fill of bytes the texts overwrite at once.
class VertexTexts {
 public:
  template <class Format>
  VertexTexts(size_t count, Format format);
  ~VertexTexts();
  VertexTexts(const VertexTexts&) = delete;
  VertexTexts& operator=(const VertexTexts&) = delete;
  std::string_view operator[](size_t i) const { return {scratch_.text.get() + end(i), end(i + 1) - end(i)}; }

  // One set of scratch memory; a thread keeps those its texts gave back.
  struct Scratch {
    std::unique_ptr<char[]> text;
    size_t text_size = 0;
    std::unique_ptr<size_t[]> ends;
    size_t ends_size = 0;
    void GrowText(size_t at_least);  // keeps the bytes
  };

 private:
  size_t end(size_t i) const { return scratch_.ends[i]; }
  Scratch scratch_;
};

class TextOut {
 public:
  // Room Reserve() guarantees: one line of a dozen numbers of any size.
  static constexpr size_t kLineMax = 12 * kMaxNumberChars;

  explicit TextOut(std::FILE* file) : TextOut(file, this) {}
  ~TextOut();
  TextOut(const TextOut&) = delete;
  TextOut& operator=(const TextOut&) = delete;

  // At least kLineMax bytes to format into; Commit keeps them up to `end`.
  char* Reserve() {
    if (size_t(limit_ - end_) < kLineMax) NextBlock();
    return end_;
  }
  void Commit(char* end) { end_ = end; }

  // Text as it is (names from the files; literals with their CR LF).
  TextOut& Text(std::string_view text) {
    if (text.size() <= kLineMax) {
      Commit(PutText(Reserve(), text));
      return *this;
    }
    return LongText(text);
  }
  TextOut& Raw(std::string_view text) { return Text(text); }
  // Literal text; each "\n" becomes "\r\n".
  TextOut& Lit(std::string_view text);
  TextOut& Int(long long value) {
    Commit(PutInt(Reserve(), value));
    return *this;
  }
  // printf "%.<digits>f" of a double (floats are promoted, as with printf).
  TextOut& Fixed(double value, int digits = 6) {
    Commit(PutFixed(Reserve(), value, digits));
    return *this;
  }

  // Items 0 .. count - 1 (meshes), each written by `format(out, item)`: a
  // helper thread formats the odd items into blocks of its own while this
  // thread formats the even ones in place, and the file gets them in item
  // order. `format` may only read shared data; `after(item)` runs on this
  // thread once the item is in place (progress).
  void Parallel(size_t count, const std::function<void(TextOut&, size_t)>& format,
                const std::function<void(size_t)>& after);

  // Hands everything formatted so far to the file and waits until it is
  // written; false once a write failed.
  bool Flush();

 private:
  static constexpr size_t kBlock = 1 << 20;
  // Full blocks waiting for the writer: room for about two meshes' text, so
  // handing the helper's finished mesh over does not stop both formatting
  // threads until the writer has written it.
  static constexpr size_t kMaxInFlight = 16;

  struct Block {
    std::unique_ptr<char[]> data;
    size_t size = 0;
  };

  // A file's output (pool == this), or a piece of it without a file that
  // keeps its blocks for Parallel and takes them from `pool`.
  TextOut(std::FILE* file, TextOut* pool);

  void NextBlock();
  void Hand(Block block);
  std::unique_ptr<char[]> TakeFree();
  std::vector<Block> TakeBlocks();
  void Append(std::vector<Block> blocks);
  TextOut& LongText(std::string_view text);
  void WriterLoop();

  std::FILE* file_;
  TextOut* pool_;
  Block current_;
  char* end_ = nullptr;
  char* limit_ = nullptr;
  std::vector<Block> kept_;  // a piece's full blocks, in order

  // Shared with the writer thread and the pieces, under mutex_.
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::unique_ptr<char[]>> free_;
  std::deque<Block> full_;
  size_t in_flight_ = 0;  // blocks handed over and not yet written
  bool stop_ = false;
  bool failed_ = false;
  std::thread writer_;  // started with the first full block
};

// The thread's scratch with room for `count` texts' ends and a first guess
// of their bytes.
VertexTexts::Scratch TakeVertexScratch(size_t count);

template <class Format>
VertexTexts::VertexTexts(size_t count, Format format) : scratch_(TakeVertexScratch(count)) {
  size_t* ends = scratch_.ends.get();
  ends[0] = 0;
  for (size_t i = 0; i < count; ++i) {
    if (scratch_.text_size - ends[i] < TextOut::kLineMax) scratch_.GrowText(2 * scratch_.text_size);
    ends[i + 1] = size_t(format(scratch_.text.get() + ends[i], i) - scratch_.text.get());
  }
}
