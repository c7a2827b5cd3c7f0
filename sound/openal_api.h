// The OpenAL 1.1 entry points the sound player uses, resolved by name from
// the library loaded at run time (the program links no OpenAL). A missing
// entry point is said on standard error and counts as a missing library.
#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include "platform/shared_library.h"

struct OpenAlApi {
  decltype(&alcOpenDevice) OpenDevice = nullptr;
  decltype(&alcCloseDevice) CloseDevice = nullptr;
  decltype(&alcCreateContext) CreateContext = nullptr;
  decltype(&alcDestroyContext) DestroyContext = nullptr;
  decltype(&alcMakeContextCurrent) MakeContextCurrent = nullptr;
  decltype(&alcGetString) GetDeviceString = nullptr;
  decltype(&alcIsExtensionPresent) IsDeviceExtensionPresent = nullptr;
  decltype(&alGenSources) GenSources = nullptr;
  decltype(&alDeleteSources) DeleteSources = nullptr;
  decltype(&alGenBuffers) GenBuffers = nullptr;
  decltype(&alDeleteBuffers) DeleteBuffers = nullptr;
  decltype(&alBufferData) BufferData = nullptr;
  decltype(&alSourcei) Sourcei = nullptr;
  decltype(&alSourcePlay) SourcePlay = nullptr;
  decltype(&alSourceStop) SourceStop = nullptr;
  decltype(&alGetSourcei) GetSourcei = nullptr;
  decltype(&alListenerf) Listenerf = nullptr;
  decltype(&alGetListenerf) GetListenerf = nullptr;
  decltype(&alGetEnumValue) GetEnumValue = nullptr;
  decltype(&alGetError) GetError = nullptr;

  // Fills every pointer from `library`; false when one is missing.
  bool Resolve(const platform::SharedLibrary& library);
};
