#include "player/movie_address.h"

#include <gtest/gtest.h>

using player::MovieAddress;
using player::ParseMovieAddress;

TEST(MovieAddress, FileUrlsAndPlainPathsWithTheirQueries) {
    const struct {
        const char* url;
        const char* path;
        std::vector<std::pair<std::string, std::string>> query;
    } cases[] = {
        {"file:///opt/ostrel/EN/Pennon.swf?frm=3", "/opt/ostrel/EN/Pennon.swf", {{"frm", "3"}}},
        {"FILE:///a%20b/c%2Fd.swf", "/a b/c/d.swf", {}},
        {"file://localhost/x.swf?a=1&&b=%41+c&d", "/x.swf", {{"a", "1"}, {"b", "A c"}, {"d", ""}}},
        {"/plain/pa%20th.swf?x=a%20b", "/plain/pa%20th.swf", {{"x", "a b"}}},
        {"relative.swf", "relative.swf", {}},
        {"file:///bad%zz%4.swf", "/bad%zz%4.swf", {}},
    };
    for (const auto& c : cases) {
        MovieAddress address;
        std::string error;
        ASSERT_TRUE(ParseMovieAddress(c.url, address, error)) << c.url << ": " << error;
        EXPECT_EQ(address.path, c.path) << c.url;
        EXPECT_EQ(address.query, c.query) << c.url;
    }
    for (const char* refused :
         {"http://host/movie.swf", "file://host/movie.swf", "file://", "?frm=1", ""}) {
        MovieAddress address;
        std::string error;
        EXPECT_FALSE(ParseMovieAddress(refused, address, error)) << refused;
        EXPECT_FALSE(error.empty());
    }
}
