// Where the pages find their movie: a folder named after the language code next to
// the executable, addressed as a file URL.
#pragma once

#include <string>
#include <string_view>

// The executable's path as the command line gives it: the text between a leading
// double quote and the next one (or the end), else the text up to the first blank.
std::string ExecutablePathFromCommandLine(std::string_view commandLine);

// "file://" + the executable's folder + language + "/" + movie. The movie may carry
// a query ("Pennon.swf?frm=3"); characters of the folder that a URL reads otherwise
// ("%", "?", "#") are escaped.
std::string MovieUrlFromCommandLine(std::string_view commandLine, std::string_view language,
                                    std::string_view movie);

// The same for this process and the language chosen at start-up (g_languageCode).
std::string MakeMovieUrl(std::string_view movie);
