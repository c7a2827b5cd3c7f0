// Block output with a writer thread (see text_out.h).
#include "export/text_out.h"

#include <algorithm>

TextOut::TextOut(std::FILE* file) : file_(file) {
  storage_.push_back(std::make_unique<char[]>(kBlock));
  block_ = end_ = storage_.back().get();
  limit_ = block_ + kBlock;
}

TextOut::~TextOut() {
  (void)Flush();
  if (writer_.joinable()) {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    changed_.notify_all();
    writer_.join();
  }
}

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

bool TextOut::WriteOut(const char* data, size_t size) {
  return size == 0 || std::fwrite(data, 1, size, file_) == size;
}

void TextOut::WriterLoop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return stop_ || !full_.empty(); });
    if (full_.empty()) return;
    const Full block = full_.front();
    full_.pop_front();
    // After a failed write the rest is dropped: the file is not committed.
    const bool skip = failed_;
    lock.unlock();
    const bool ok = skip || WriteOut(block.data, block.size);
    lock.lock();
    if (!ok) failed_ = true;
    free_.push_back(block.data);
    --in_flight_;
    changed_.notify_all();
  }
}

void TextOut::NextBlock() {
  std::unique_lock lock(mutex_);
  if (!writer_.joinable()) writer_ = std::thread(&TextOut::WriterLoop, this);
  full_.push_back({block_, size_t(end_ - block_)});
  ++in_flight_;
  changed_.notify_all();
  if (free_.empty() && storage_.size() < kBlocks) {
    storage_.push_back(std::make_unique<char[]>(kBlock));
    free_.push_back(storage_.back().get());
  }
  changed_.wait(lock, [&] { return !free_.empty(); });
  block_ = end_ = free_.back();
  free_.pop_back();
  limit_ = block_ + kBlock;
}

bool TextOut::Flush() {
  const size_t size = size_t(end_ - block_);
  end_ = block_;
  std::unique_lock lock(mutex_);
  if (writer_.joinable()) {
    // Behind the blocks in flight, in order; then the block is ours again.
    if (size != 0) {
      full_.push_back({block_, size});
      ++in_flight_;
      changed_.notify_all();
    }
    changed_.wait(lock, [&] { return in_flight_ == 0; });
    if (size != 0) {
      free_.erase(std::find(free_.begin(), free_.end(), block_));
    }
  } else if (!failed_ && !WriteOut(block_, size)) {
    failed_ = true;
  }
  return !failed_;
}

bool TextOut::failed() {
  std::lock_guard lock(mutex_);
  return failed_;
}
