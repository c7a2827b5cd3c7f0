// The glTF export's buffer passes (see gltf_buffer.h).
#include "export/gltf_buffer.h"

#include <cstring>  // Required for: std::memset

uint8_t* GltfBuffer::AddView(size_t length, int target, size_t stride, Block** block) {
  const size_t offset = Padded(size_);
  const size_t pad = offset - size_;
  views.push_back({offset, length, target, stride});
  size_ = offset + length;
  if (block) *block = nullptr;
  if (!file_) return nullptr;
  Block* b = TakeFree(pad + length);
  std::memset(b->data.get(), 0, pad);
  b->size = pad + length;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    placed_.push_back(b);
  }
  if (!writer_.joinable()) writer_ = std::thread([this] { WriterLoop(); });
  if (block) *block = b;
  return b->data.get() + pad;
}

void GltfBuffer::Ready(Block* block) {
  if (!block) return;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    block->ready = true;
  }
  changed_.notify_all();
}

size_t GltfBuffer::AddAccessor(GltfAccessor a) {
  a.view = views.size() - 1;
  accessors.push_back(std::move(a));
  return accessors.size() - 1;
}

void GltfBuffer::Finish() {
  if (!writer_.joinable()) return;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  writer_.join();
}

GltfBuffer::Block* GltfBuffer::TakeFree(size_t need) {
  Block* block = nullptr;
  {
    std::unique_lock<std::mutex> hold(mutex_);
    changed_.wait(hold, [this] { return !free_.empty() || blocks_.size() < kBlocks; });
    if (!free_.empty()) {
      block = free_.back();
      free_.pop_back();
    } else {
      blocks_.push_back(std::make_unique<Block>());
      block = blocks_.back().get();
    }
  }
  block->ready = false;
  if (block->capacity < need) {
    block->data.reset(new uint8_t[need]);  // every byte is written before it is used
    block->capacity = need;
  }
  return block;
}

void GltfBuffer::WriterLoop() {
  std::unique_lock<std::mutex> hold(mutex_);
  for (;;) {
    changed_.wait(hold, [this] { return (!placed_.empty() && placed_.front()->ready) || (stop_ && placed_.empty()); });
    if (placed_.empty()) return;
    Block* block = placed_.front();
    placed_.pop_front();
    hold.unlock();
    std::fwrite(block->data.get(), 1, block->size, file_);  // a failure shows in the stream's error state
    hold.lock();
    free_.push_back(block);
    changed_.notify_all();
  }
}
