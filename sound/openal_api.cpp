#include "sound/openal_api.h"

#include <cstdio>

namespace {

template <typename F>
bool Get(const platform::SharedLibrary& library, const char* name, F& out) {
  out = reinterpret_cast<F>(library.Symbol(name));
  if (!out) std::fprintf(stderr, "Failed to retrieve '%s' function address\n", name);
  return out != nullptr;
}

}  // namespace

bool OpenAlApi::Resolve(const platform::SharedLibrary& l) {
  bool ok = true;
  // Each one is tried, so every missing name is said.
  ok &= Get(l, "alcOpenDevice", OpenDevice);
  ok &= Get(l, "alcCloseDevice", CloseDevice);
  ok &= Get(l, "alcCreateContext", CreateContext);
  ok &= Get(l, "alcDestroyContext", DestroyContext);
  ok &= Get(l, "alcMakeContextCurrent", MakeContextCurrent);
  ok &= Get(l, "alcGetString", GetDeviceString);
  ok &= Get(l, "alcIsExtensionPresent", IsDeviceExtensionPresent);
  ok &= Get(l, "alGenSources", GenSources);
  ok &= Get(l, "alDeleteSources", DeleteSources);
  ok &= Get(l, "alGenBuffers", GenBuffers);
  ok &= Get(l, "alDeleteBuffers", DeleteBuffers);
  ok &= Get(l, "alBufferData", BufferData);
  ok &= Get(l, "alSourcei", Sourcei);
  ok &= Get(l, "alSourcePlay", SourcePlay);
  ok &= Get(l, "alSourceStop", SourceStop);
  ok &= Get(l, "alGetSourcei", GetSourcei);
  ok &= Get(l, "alListenerf", Listenerf);
  ok &= Get(l, "alGetListenerf", GetListenerf);
  ok &= Get(l, "alGetEnumValue", GetEnumValue);
  ok &= Get(l, "alGetError", GetError);
  return ok;
}
