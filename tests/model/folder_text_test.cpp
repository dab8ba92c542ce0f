#include "model/folder_text.h"

#include <gtest/gtest.h>

namespace skedora {
namespace {

TEST(FolderText, TrimsAndEndsWithOneSeparator) {
    struct Case {
        const char* typed;
        const char* folder;
    };
    const Case cases[] = {
        {"/srv/incoming", "/srv/incoming/"},
        {"/srv/incoming/", "/srv/incoming/"},
        {"  /srv/incoming  ", "/srv/incoming/"},
        {"  /srv/incoming/ ", "/srv/incoming/"},
        {"/", "/"},
        {"", ""},
        {"    ", ""},
        {"\t/srv\t", "\t/srv\t/"},  // only spaces are trimmed
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FolderText(c.typed), c.folder) << '"' << c.typed << '"';
    }
}

}  // namespace
}  // namespace skedora
