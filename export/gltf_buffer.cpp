// The glTF export's buffer passes (see gltf_buffer.h).
#include "export/gltf_buffer.h"

#include "export/export_common.h"

size_t GltfBuffer::AddView(size_t length, int target, size_t stride) {
  const size_t offset = Padded(size_);
  views.push_back({offset, length, target, stride});
  size_ = offset + length;
  return offset;
}

size_t GltfBuffer::AddAccessor(GltfAccessor a) {
  a.view = views.size() - 1;
  accessors.push_back(std::move(a));
  return accessors.size() - 1;
}

void GltfBuffer::Write(const void* data, size_t size, size_t offset) const {
  if (file_ && size) (void)file_->WriteAt(data, size, base_ + offset);
}
