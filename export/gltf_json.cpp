// JSON text for the glTF export (see gltf_json.h).
#include "export/gltf_json.h"

#include <charconv>  // Required for: std::to_chars
#include <cmath>     // Required for: std::isfinite

#include "base/json_text.h"
#include "platform/percent_encode.h"

void JsonOut::Separate() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (!first_) out_ += ',';
  first_ = false;
}

JsonOut& JsonOut::Object() {
  Separate();
  out_ += '{';
  open_.push_back('}');
  first_ = true;
  return *this;
}

JsonOut& JsonOut::Array() {
  Separate();
  out_ += '[';
  open_.push_back(']');
  first_ = true;
  return *this;
}

JsonOut& JsonOut::End() {
  if (open_.empty()) return *this;
  out_ += open_.back();
  open_.pop_back();
  first_ = false;
  return *this;
}

JsonOut& JsonOut::Key(std::string_view key) {
  Separate();
  out_ += '"';
  AppendJsonEscaped(out_, key);
  out_ += "\":";
  after_key_ = true;
  return *this;
}

JsonOut& JsonOut::String(std::string_view value) {
  Separate();
  out_ += '"';
  AppendJsonEscaped(out_, value);
  out_ += '"';
  return *this;
}

JsonOut& JsonOut::Int(long long value) {
  Separate();
  char buf[24];
  out_.append(buf, std::to_chars(buf, buf + sizeof buf, value).ptr);
  return *this;
}

JsonOut& JsonOut::Float(float value) {
  Separate();
  if (!std::isfinite(value)) value = 0;
  if (value == 0) value = 0;  // no "-0"
  char buf[32];
  out_.append(buf, std::to_chars(buf, buf + sizeof buf, value).ptr);
  return *this;
}

JsonOut& JsonOut::Bool(bool value) {
  Separate();
  out_ += value ? "true" : "false";
  return *this;
}

std::string UriOfFileName(std::string_view name) { return platform::PercentEncoded(name, "/"); }
