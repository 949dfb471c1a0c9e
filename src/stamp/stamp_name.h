// The stamp's proposed name and the path of the temporary stamp file.
#pragma once

#include <string>

// The file name of the path without folder and extension, cut to its first 12
// characters (code points, never inside a UTF-8 sequence).
std::string ProposedStampName(const std::string& path);

// The file name of the path with its extension, without folder.
std::string FileNameOf(const std::string& path);

// The folder stamps are written to: the installation path with a "/" when it lacks
// one, then "temp/".
std::string StampTemporaryFolder(const std::string& installationPath);

// folder + name + extension, adding "/" to a folder that ends in neither "/" nor
// "\" and "." in front of an extension that lacks it.
std::string MakeStampPath(const std::string& folder, const std::string& name,
                          const std::string& extension);
