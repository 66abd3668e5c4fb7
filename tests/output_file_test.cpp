#include "messages.h"
#include "output_file.h"
#include "program.h"
#include "temporary_file.h"
#include "test_support.h"

#include <filesystem>
#include <new>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using TemporaryFiles = InTempDirectory;

// Random parts from a list, so that a test knows the names beforehand.
RandomNamePart namesFrom(std::vector<std::string> parts) {
    return [parts = std::move(parts), next = std::size_t{0}]() mutable { return parts.at(next++); };
}

bool commitText(const std::string &destination, const std::string &text,
                const RandomNamePart &parts = randomNamePart) {
    TemporaryFile temporary(destination, true, parts);
    temporary.stream() << text;
    return temporary.commit();
}

// Whatever stands at a temporary name is never opened: the next name is tried.
TEST_F(TemporaryFiles, SomethingPlantedAtTheNameIsLeftAlone) {
    writeFile("victim", "precious");
    struct Plant {
        const char *what;
        std::function<void(const std::string &)> make;
    };
    std::vector<Plant> plants{
        {"regular file", [](const std::string &name) { writeFile(name, "planted"); }},
        {"directory", [](const std::string &name) { std::filesystem::create_directory(name); }},
    };
#ifndef _WIN32
    plants.push_back({"symbolic link", [](const std::string &name) {
                          std::filesystem::create_symlink("victim", name);
                      }});
    plants.push_back({"dangling symbolic link", [](const std::string &name) {
                          std::filesystem::create_symlink("nowhere/new", name);
                      }});
    plants.push_back({"hard link", [](const std::string &name) {
                          std::filesystem::create_hard_link("victim", name);
                      }});
    plants.push_back(
        {"FIFO", [](const std::string &name) { ASSERT_EQ(mkfifo(name.c_str(), 0600), 0); }});
#endif
    for (const Plant &plant : plants) {
        SCOPED_TRACE(plant.what);
        const std::string planted = temporaryName("", "planted");
        plant.make(planted);
        ASSERT_TRUE(commitText("logo.data", "new text", namesFrom({"planted", "free"})));
        EXPECT_EQ(readFile("logo.data"), "new text");
        EXPECT_EQ(readFile("victim"), "precious");
        EXPECT_FALSE(fileExists(temporaryName("", "free")));
        std::filesystem::remove("logo.data");
        std::filesystem::remove_all(planted);
    }
    EXPECT_EQ(listDirectory("."), std::vector<std::string>{"victim"});
}

TEST_F(TemporaryFiles, NamesAreShortAndUnpredictable) {
    const std::string first = randomNamePart();
    EXPECT_NE(first, randomNamePart());
    EXPECT_EQ(temporaryName("img/", first).size(), 4 + 25U);
    // The longest name a directory entry may have.
    const std::string longest = std::string(250, 'a') + ".data";
    EXPECT_TRUE(commitText(longest, "text"));
    EXPECT_EQ(readFile(longest), "text");
    EXPECT_EQ(directoryOf("img/sub/logo.data"), "img/sub/");
    EXPECT_EQ(directoryOf("logo.data"), "");
#ifdef _WIN32
    EXPECT_EQ(directoryOf("img\\logo.data"), "img\\");
#endif
}

// The guard removes the temporary file on every way out that does not commit it.
TEST_F(TemporaryFiles, EveryFailureRemovesTheTemporaryAndKeepsTheOldFile) {
    writeFile("logo.data", "keep me");
    const auto failures = std::vector<std::function<Outcome(std::ostream &)>>{
        [](std::ostream &out) {
            out.setstate(std::ios::badbit); // as a full disk would
            return Outcome{};
        },
        [](std::ostream &out) {
            out << "partial";
            return fail(Failure::outOfMemory);
        },
        [](std::ostream &out) -> Outcome {
            out << "partial";
            throw std::bad_alloc();
        },
    };
    for (const auto &produce : failures) {
        try {
            EXPECT_FALSE(writeFileReplacing("logo.data", produce).ok());
        } catch (const std::bad_alloc &) {
        }
        EXPECT_EQ(readFile("logo.data"), "keep me");
        EXPECT_EQ(listDirectory("."), std::vector<std::string>{"logo.data"});
    }
    EXPECT_EQ(messageOf(writeFileReplacing("no-such-directory/logo.data",
                                           [](std::ostream &) { return Outcome{}; })),
              "Error: cannot write no-such-directory/logo.data");
    EXPECT_EQ(listDirectory("."), std::vector<std::string>{"logo.data"});
}

#ifndef _WIN32
unsigned modeOf(const std::string &name) {
    struct stat status {};
    EXPECT_EQ(stat(name.c_str(), &status), 0);
    return status.st_mode & 0777U;
}

TEST_F(TemporaryFiles, ReplacedFilesKeepTheirPermissionsNewOnesFollowTheUmask) {
    writeFile("private.data", "old");
    std::filesystem::permissions("private.data", std::filesystem::perms::owner_read |
                                                     std::filesystem::perms::owner_write);
    ASSERT_TRUE(commitText("private.data", "new"));
    EXPECT_EQ(modeOf("private.data"), 0600U);

    const mode_t previous = umask(027);
    const bool written = commitText("new.data", "new");
    umask(previous);
    ASSERT_TRUE(written);
    EXPECT_EQ(modeOf("new.data"), 0640U);
}
#endif

TEST(Messages, ControlCharactersInNamesAreEscaped) {
    EXPECT_EQ(printableName("img/logo.data"), "img/logo.data");
    EXPECT_EQ(printableName("C:\\img\\logo"), "C:\\img\\logo");
    EXPECT_EQ(printableName("cora\xC3\xA7\xC3\xA3o"), "cora\xC3\xA7\xC3\xA3o");
    EXPECT_EQ(printableName("a\nb\rc\td\x1B"
                            "e\x7F"),
              "a\\nb\\rc\\td\\x1be\\x7f");
}

TEST(Messages, RunningOutOfMemoryIsReported) {
    const RunResult result = runInProcess(
        [](const std::vector<std::string> &) {
            return reportingMallocFailure([]() -> int { throw std::bad_alloc(); });
        },
        "any", {});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output, "Error: Malloc failed\n");
}

} // namespace
