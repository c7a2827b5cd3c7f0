// The stored index: "VANTOR-FACTS" and a format number, the folder, the
// entry count, the entries, then the CRC-32 of everything before it. Every
// length is checked against the bytes left before it is used.
#include "jobs/facts_index.h"

#include <zlib.h>  // Required for: crc32()

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/byte_cursor.h"
#include "platform/file_bytes.h"
#include "platform/file_identity.h"
#include "platform/fs_paths.h"
#include "platform/program_paths.h"
#include "platform/replace_file.h"

namespace {

constexpr char kMagic[12] = {'V', 'A', 'N', 'T', 'O', 'R', '-', 'F', 'A', 'C', 'T', 'S'};
constexpr uint32_t kFormat = 1;
// Name, three stamps, five numbers, parts name, material count.
constexpr size_t kMinEntryBytes = 2 + 3 * 16 + 4 * 4 + 8 + 2 + 2;
constexpr uint64_t kMaxStoreBytes = uint64_t(1) << 28;

// After the case-insensitive retry, as the readers find the file.
FactsIndex::Stamp StampOf(const std::string& path) {
  std::optional<platform::FileStamp> s = platform::StampOf(path);
  if (!s) {
    const std::optional<std::string> found = platform::ResolveExisting(path);
    if (found) s = platform::StampOf(*found);
  }
  return s ? FactsIndex::Stamp{s->size, s->modified_ns} : FactsIndex::Stamp{};
}

class Out {
 public:
  template <typename T>
  void Put(T value) {
    const auto* p = reinterpret_cast<const uint8_t*>(&value);
    bytes.insert(bytes.end(), p, p + sizeof value);
  }
  void Text(const std::string& s) {
    Put(uint16_t(std::min<size_t>(s.size(), UINT16_MAX)));
    bytes.insert(bytes.end(), s.begin(), s.begin() + std::min<size_t>(s.size(), UINT16_MAX));
  }
  void Stamp(const FactsIndex::Stamp& s) { Put(s.size), Put(s.modified_ns); }
  std::vector<uint8_t> bytes;
};

bool GetText(ByteCursor& in, std::string& out) {
  uint16_t n = 0;
  if (!in.Get(n) || n > in.left()) return false;
  out.assign(reinterpret_cast<const char*>(in.here()), n);
  return in.Skip(n);
}

bool GetStamp(ByteCursor& in, FactsIndex::Stamp& s) { return in.Get(s.size) && in.Get(s.modified_ns); }

}  // namespace

FactsIndex::FactsIndex(std::string folder, std::string store) : folder_(std::move(folder)), store_(std::move(store)) {
  std::string up = folder_;
  while (!up.empty() && (up.back() == '/' || up.back() == '\\')) up.pop_back();
  const size_t cut = up.find_last_of("/\\");
  raw_dir_ = cut == std::string::npos ? "./" : up.substr(0, cut + 1);
}

std::string FactsIndex::StorePath(const std::string& folder) {
  const std::string cache = platform::CacheFolder();
  if (cache.empty()) return "";
  uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (unsigned char c : folder) hash = (hash ^ c) * 1099511628211ull;
  char name[40];
  std::snprintf(name, sizeof name, "facts-%016llx.bin", static_cast<unsigned long long>(hash));
  return cache + "/" + name;
}

bool FactsIndex::Load() {
  stored_.clear();
  if (store_.empty()) return false;
  std::vector<uint8_t> bytes;
  if (platform::ReadFileBytes(store_, bytes, kMaxStoreBytes) != 0 || bytes.size() < sizeof kMagic + 4) return false;
  uint32_t crc = 0;
  std::memcpy(&crc, bytes.data() + bytes.size() - 4, 4);
  if (crc != uint32_t(::crc32(0, bytes.data(), uInt(bytes.size() - 4)))) return false;
  ByteCursor in({bytes.data(), bytes.size() - 4});
  char magic[sizeof kMagic];
  uint32_t format = 0, count = 0;
  std::string folder;
  if (!in.Read(magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof magic) != 0 || !in.Get(format) ||
      format != kFormat || !GetText(in, folder) || folder != folder_ || !in.Get(count) ||
      count > in.left() / kMinEntryBytes)
    return false;
  std::unordered_map<std::string, Entry> read;
  for (uint32_t i = 0; i < count; ++i) {
    std::string name;
    Entry e;
    ModelFacts& f = e.facts;
    uint16_t materials = 0;
    if (!GetText(in, name) || !GetStamp(in, e.xmodel) || !GetStamp(in, e.parts) || !GetStamp(in, e.surfs) ||
        !in.Get(f.result) || !in.Get(f.game) || !in.Get(f.bones) || !in.Get(f.lods) || !in.Get(f.verts) ||
        !GetText(in, f.parts_name) || !in.Get(materials) || materials > in.left() / 2)
      return false;
    f.materials.resize(materials);
    for (std::string& m : f.materials)
      if (!GetText(in, m)) return false;
    if (!IsValidGame(f.game)) return false;
    read.emplace(std::move(name), std::move(e));
  }
  if (in.left() != 0) return false;
  stored_ = std::move(read);
  return true;
}

ModelFacts FactsIndex::Get(const std::string& name, bool with_verts, bool& fresh) {
  const std::string& raw = raw_dir_;
  const Stamp xmodel = StampOf(folder_ + name);
  if (auto it = stored_.find(name); it != stored_.end() && it->second.xmodel == xmodel && xmodel.size != 0) {
    Entry& e = it->second;
    const std::string& part = e.facts.parts_name;
    const bool parts_same = part.empty() || e.parts == StampOf(raw + "xmodelparts/" + part);
    // Level 0's surfs file goes by the parts file's name.
    const bool verts_same = !with_verts || !e.facts.read() ||
                            (e.facts.verts >= 0 && e.surfs == StampOf(raw + "xmodelsurfs/" + part));
    if (parts_same && verts_same) {
      fresh = false;
      ModelFacts facts = e.facts;
      used_[name] = std::move(e);
      stored_.erase(it);
      return facts;
    }
  }
  fresh = true;
  Entry e;
  e.xmodel = xmodel;
  e.facts = ReadModelFacts(raw, name, with_verts);
  if (!e.facts.parts_name.empty()) {
    e.parts = StampOf(raw + "xmodelparts/" + e.facts.parts_name);
    if (e.facts.verts >= 0) e.surfs = StampOf(raw + "xmodelsurfs/" + e.facts.parts_name);
  }
  // A file that changed while it was read is read again next time.
  if (StampOf(folder_ + name) != xmodel) e.xmodel = {};
  used_[name] = e;
  return e.facts;
}

bool FactsIndex::Save() const {
  if (store_.empty()) return false;
  Out out;
  out.bytes.insert(out.bytes.end(), kMagic, kMagic + sizeof kMagic);
  out.Put(kFormat);
  out.Text(folder_);
  out.Put(uint32_t(used_.size()));
  for (const auto& [name, e] : used_) {
    const ModelFacts& f = e.facts;
    out.Text(name);
    out.Stamp(e.xmodel), out.Stamp(e.parts), out.Stamp(e.surfs);
    out.Put(f.result), out.Put(f.game), out.Put(f.bones), out.Put(f.lods), out.Put(f.verts);
    out.Text(f.parts_name);
    out.Put(uint16_t(f.materials.size()));
    for (const std::string& m : f.materials) out.Text(m);
  }
  out.Put(uint32_t(::crc32(0, out.bytes.data(), uInt(out.bytes.size()))));
  platform::ReplaceFile file;
  if (file.Open(store_) != 0 || !file.Write(out.bytes.data(), out.bytes.size())) return false;
  return file.Commit() == 0;
}
