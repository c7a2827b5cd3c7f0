// Result codes of every model operation (27 = success) and their texts.
// Codes without a text of their own print as "Error No: <code>".
#pragma once

#include <cstdint>
#include <string>

using ErrorCode = int32_t;

namespace err {
inline constexpr ErrorCode kUnknown = 1;
inline constexpr ErrorCode kFileNotValid = 2;
inline constexpr ErrorCode kFileNotFound = 3;
inline constexpr ErrorCode kAlreadyLoaded = 4;
inline constexpr ErrorCode kFileTooSmall = 5;
inline constexpr ErrorCode kInvalidPath = 6;
inline constexpr ErrorCode kCantOpen = 7;
inline constexpr ErrorCode kPermission = 8;
inline constexpr ErrorCode kInvalidVersion = 9;
inline constexpr ErrorCode kNameUnreadable = 11;
inline constexpr ErrorCode kNoSurfsFolder = 12;
inline constexpr ErrorCode kSurfacesNotSetUp = 13;
inline constexpr ErrorCode kNoLods = 15;
inline constexpr ErrorCode kOutOfRange = 16;
inline constexpr ErrorCode kNoMaterials = 17;
inline constexpr ErrorCode kBonesLoaded = 18;
inline constexpr ErrorCode kTagsNotLoaded = 19;
inline constexpr ErrorCode kNoPartsFolder = 20;
inline constexpr ErrorCode kNotLoaded = 22;
inline constexpr ErrorCode kSuccess = 27;
}  // namespace err

// The message of a model result code.
std::string ErrorText(ErrorCode code);
