// Where an image is read from and written to. Image names come from
// material files: a name that would climb out of the images folder (an
// absolute path, a ".." component) is never turned into a path.
#pragma once

#include <string>
#include <string_view>

class IwiImage;

// A relative name that stays inside the folder it is joined to: not empty,
// not absolute, no ".." component, no control characters.
bool IsContainedName(std::string_view name);

// raw_dir + "images/" + iwi_file, or "" when the name is not contained.
std::string ImageSourcePath(std::string_view raw_dir, std::string_view iwi_file);

// The path with everything after the last "." of its file name replaced by
// `extension`; "" when the file name has no ".".
std::string ReplaceExtension(std::string_view path, std::string_view extension);

// Where an exported image goes: beside its source when `destination` is
// empty (the name kept as it is), else in `destination` with every "~" of
// the file name turned into "_". "" when the name has no extension.
std::string ImageOutputPath(const IwiImage& image, std::string_view destination, std::string_view extension);
