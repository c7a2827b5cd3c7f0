// The steps of a worker job, one bit each; a job's word of bits runs its
// steps in the worker's fixed order.
#pragma once

#include <cstdint>

namespace job {
inline constexpr uint32_t kExportMA = 0x01;
inline constexpr uint32_t kExportOBJ = 0x02;
inline constexpr uint32_t kDumpTags = 0x04;
inline constexpr uint32_t kDumpGDT = 0x08;
inline constexpr uint32_t kLoad = 0x10;
inline constexpr uint32_t kSurfaces = 0x20;
inline constexpr uint32_t kTextures = 0x40;
inline constexpr uint32_t kStaticTagFiles = 0x80;
inline constexpr uint32_t kOpenTags = 0x100;
inline constexpr uint32_t kExportIWI = 0x200;
inline constexpr uint32_t kExportTGA = 0x400;
inline constexpr uint32_t kMoveImages = 0x800;
inline constexpr uint32_t kExportXE = 0x2000;
inline constexpr uint32_t kUnload = 0x4000;
inline constexpr uint32_t kExportGLTF = 0x10000;  // .gltf + .bin + PNG maps
inline constexpr uint32_t kExportGLB = 0x20000;   // one .glb
// What picking a model in the list queues.
inline constexpr uint32_t kOpenModel = kLoad | kSurfaces | kTextures;
}  // namespace job
