// Block output with a writer thread and a second formatting thread (see
// text_out.h).
#include "export/text_out.h"

#include <algorithm>
#include <cstring>  // Required for: memcpy()

TextOut::TextOut(std::FILE* file, TextOut* pool) : file_(file), pool_(pool) {}

TextOut::~TextOut() { (void)Flush(); }

TextOut& TextOut::Lit(std::string_view text) {
  for (size_t at = 0;;) {
    const size_t nl = text.find('\n', at);
    Text(text.substr(at, nl == std::string_view::npos ? nl : nl - at));
    if (nl == std::string_view::npos) return *this;
    Text("\r\n");
    at = nl + 1;
  }
}

TextOut& TextOut::LongText(std::string_view text) {
  while (!text.empty()) {
    const size_t n = std::min(text.size(), kLineMax);
    Commit(PutText(Reserve(), text.substr(0, n)));
    text.remove_prefix(n);
  }
  return *this;
}

std::unique_ptr<char[]> TextOut::TakeFree() {
  {
    std::lock_guard lock(pool_->mutex_);
    if (!pool_->free_.empty()) {
      std::unique_ptr<char[]> block = std::move(pool_->free_.back());
      pool_->free_.pop_back();
      return block;
    }
  }
  return std::make_unique_for_overwrite<char[]>(kBlock);
}

void TextOut::NextBlock() {
  if (current_.data && end_ != current_.data.get()) {
    current_.size = size_t(end_ - current_.data.get());
    Hand(std::move(current_));
    current_ = Block{};
  }
  if (!current_.data) current_.data = TakeFree();
  end_ = current_.data.get();
  limit_ = end_ + kBlock;
}

// A full block goes to the writer, which is started on the first one; the
// formatting waits while kMaxInFlight blocks are still to be written.
void TextOut::Hand(Block block) {
  if (!file_) {
    kept_.push_back(std::move(block));
    return;
  }
  std::unique_lock lock(mutex_);
  if (!writer_.joinable()) writer_ = std::thread(&TextOut::WriterLoop, this);
  full_.push_back(std::move(block));
  ++in_flight_;
  changed_.notify_all();
  changed_.wait(lock, [&] { return in_flight_ <= kMaxInFlight; });
}

void TextOut::WriterLoop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return stop_ || !full_.empty(); });
    if (full_.empty()) return;
    Block block = std::move(full_.front());
    full_.pop_front();
    // After a failed write the rest is dropped: the file is not committed.
    const bool skip = failed_;
    lock.unlock();
    const bool ok = skip || std::fwrite(block.data.get(), 1, block.size, file_) == block.size;
    lock.lock();
    if (!ok) failed_ = true;
    free_.push_back(std::move(block.data));
    --in_flight_;
    changed_.notify_all();
  }
}

std::vector<TextOut::Block> TextOut::TakeBlocks() {
  if (current_.data && end_ != current_.data.get()) {
    current_.size = size_t(end_ - current_.data.get());
    kept_.push_back(std::move(current_));
    current_ = Block{};
    end_ = limit_ = nullptr;
  }
  std::vector<Block> blocks;
  blocks.swap(kept_);
  return blocks;
}

void TextOut::Append(std::vector<Block> blocks) {
  for (Block& block : blocks) {
    // What this thread formatted before goes first.
    if (current_.data && end_ != current_.data.get()) {
      current_.size = size_t(end_ - current_.data.get());
      Hand(std::move(current_));
      current_ = Block{};
      end_ = limit_ = nullptr;
    }
    Hand(std::move(block));
  }
}

void TextOut::Parallel(size_t count, const std::function<void(TextOut&, size_t)>& format,
                       const std::function<void(size_t)>& after) {
  if (count < 2 || !file_) {
    for (size_t i = 0; i < count; ++i) {
      format(*this, i);
      after(i);
    }
    return;
  }
  // Up to kReadyItems finished odd items wait in `ready` while the helper
  // formats the next, so it keeps going while this thread hands a long item
  // to the writer.
  constexpr size_t kReadyItems = 2;
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::vector<Block>> ready;  // items 2k + 1, 2k + 3, ... in order
  std::thread helper([&] {
    TextOut piece(nullptr, this);
    for (size_t i = 1; i < count; i += 2) {
      format(piece, i);
      std::vector<Block> blocks = piece.TakeBlocks();
      std::unique_lock lock(mutex);
      changed.wait(lock, [&] { return ready.size() < kReadyItems; });
      ready.push_back(std::move(blocks));
      changed.notify_all();
    }
  });
  for (size_t i = 0; i < count; ++i) {
    if (i % 2 == 0) {
      format(*this, i);
    } else {
      std::vector<Block> blocks;
      {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return !ready.empty(); });
        blocks = std::move(ready.front());
        ready.pop_front();
      }
      changed.notify_all();
      Append(std::move(blocks));
    }
    after(i);
  }
  helper.join();
}

bool TextOut::Flush() {
  if (!file_) return true;
  const size_t size = current_.data ? size_t(end_ - current_.data.get()) : 0;
  std::unique_lock lock(mutex_);
  if (writer_.joinable()) {
    // Behind the blocks in flight, in order.
    if (size != 0) {
      current_.size = size;
      full_.push_back(std::move(current_));
      current_ = Block{};
      end_ = limit_ = nullptr;
      ++in_flight_;
      changed_.notify_all();
    }
    changed_.wait(lock, [&] { return in_flight_ == 0; });
    // The writer ends with the output (the next full block starts another),
    // so no thread outlives the file's commit.
    stop_ = true;
    changed_.notify_all();
    lock.unlock();
    writer_.join();
    stop_ = false;
  } else if (size != 0) {
    if (!failed_ && std::fwrite(current_.data.get(), 1, size, file_) != size) failed_ = true;
    end_ = current_.data.get();
  }
  return !failed_;
}

// ------------------------------------------------------------ VertexTexts

namespace {

// The scratch a thread's texts gave back; a writer has at most two texts
// alive at once.
thread_local std::vector<VertexTexts::Scratch> t_spare_scratch;

}  // namespace

void VertexTexts::Scratch::GrowText(size_t at_least) {
  if (at_least <= text_size) return;
  std::unique_ptr<char[]> bigger(new char[at_least]);  // not zero-filled
  if (text_size) std::memcpy(bigger.get(), text.get(), text_size);
  text = std::move(bigger);
  text_size = at_least;
}

VertexTexts::Scratch TakeVertexScratch(size_t count) {
  VertexTexts::Scratch s;
  if (!t_spare_scratch.empty()) {
    s = std::move(t_spare_scratch.back());
    t_spare_scratch.pop_back();
  }
  if (s.ends_size < count + 1) {
    s.ends.reset(new size_t[count + 1]);
    s.ends_size = count + 1;
  }
  if (s.text_size < count * 32 + TextOut::kLineMax) {
    s.text.reset();
    s.text_size = 0;
    s.GrowText(count * 32 + TextOut::kLineMax);
  }
  return s;
}

VertexTexts::~VertexTexts() {
  // A mesh has at most 65,536 vertices (16-bit indices), so what is kept
  // stays a few MB.
  if (t_spare_scratch.size() < 2) t_spare_scratch.push_back(std::move(scratch_));
}
