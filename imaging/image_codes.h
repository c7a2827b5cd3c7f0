// Result codes of the image operations (24 = success). Their texts come from
// QorLogger::error_text; most print as "Error Number: <code>".
#pragma once

#include <cstdint>

using ImageResult = int32_t;

namespace img {
inline constexpr ImageResult kCantOpen = 5;           // any open failure but permissions
inline constexpr ImageResult kPermission = 6;         // EACCES on open
inline constexpr ImageResult kNotLoaded = 7;          // upload of an image no reader finished
inline constexpr ImageResult kBadDdsHeader = 11;      // magic, size or required flags wrong
inline constexpr ImageResult kDdsFormat = 12;         // pixel format we have no descriptor for
inline constexpr ImageResult kSizeError = 13;         // "COMP size error": sizes that do not fit the file
inline constexpr ImageResult kDdsNotCompressed = 15;  // LoadDDS takes S3TC files only
inline constexpr ImageResult kBadMagic = 16;          // not "IWi"
inline constexpr ImageResult kBadVersion = 17;        // IWI version other than 6, 8, 13
inline constexpr ImageResult kFilePosition = 19;      // the file position could not be queried
inline constexpr ImageResult kUnknownFormat = 20;     // IWI format code not in the table
inline constexpr ImageResult kUploadFormat = 21;      // format UploadIWI cannot upload
inline constexpr ImageResult kNoConverter = 22;       // TGA of a format without a converter
inline constexpr ImageResult kEmptyLevel = 23;        // upload of an empty level buffer
inline constexpr ImageResult kSuccess = 24;
}  // namespace img
