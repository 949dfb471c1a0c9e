// The plain files of a folder, for the thumbnail worker.
#pragma once

#include <string>
#include <vector>

// Fills `names` with the plain files of `folder` (which ends in "/") matching
// `pattern` ("*.*" matches every name), leaving out names beginning with "." and
// everything that is not a regular file, sorted by byte value with letter case
// significant ("B.jpg" before "a.jpg"). True when at least one name was found and
// the folder was read to its end. A root-view path ("::...") lists nothing. When
// reading breaks off, `names` keeps what was found, in the order found.
bool ListPictureFiles(const std::string& folder, const std::string& pattern,
                      std::vector<std::string>& names);
