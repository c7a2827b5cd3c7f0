// The model facts of one folder, kept between runs in
// <cache>/vantor/facts-<hash of the folder>.bin, so a search by what the
// models are reads each model's headers once, not once a run. A model's
// stored facts are used only while its xmodel and parts files (and its
// level-0 surfs file, for the vertex count) keep the size and time they
// had; a stored index that is damaged, of another folder or of another
// format is dropped whole and built again.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/model_facts.h"

class FactsIndex {
 public:
  // Size and modification time; zero for a file that is not there.
  struct Stamp {
    uint64_t size = 0;
    int64_t modified_ns = 0;
    bool operator==(const Stamp&) const = default;
  };

  // `folder`: the listed raw/xmodel folder, ending in a separator.
  // `store`: the index file ("" keeps nothing between runs).
  FactsIndex(std::string folder, std::string store);

  // Reads the stored index; false (and an empty index) when there is none
  // or it cannot be trusted.
  bool Load();
  // The facts of `name`: the stored ones while its files are unchanged,
  // else read anew (and kept for Save). `fresh` tells which.
  ModelFacts Get(const std::string& name, bool with_verts, bool& fresh);
  // Writes the index (only the models asked for since Load), replacing the
  // stored one whole. False when it could not be written.
  bool Save() const;

  // <cache folder>/facts-<16 hex digits>.bin for `folder`; "" without a
  // cache folder.
  static std::string StorePath(const std::string& folder);

 private:
  struct Entry {
    Stamp xmodel, parts, surfs;
    ModelFacts facts;
  };
  std::string folder_;
  std::string raw_dir_;  // the folder above the listed one, as the model's reader finds it
  std::string store_;
  std::unordered_map<std::string, Entry> stored_;
  std::unordered_map<std::string, Entry> used_;
};
