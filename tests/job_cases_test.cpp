// Jobs as the page asks for them, as data: each NAME.job in tests/jobs names
// its input and choices in "key = value" lines, and NAME.data holds the text
// it must give (the first line for its label, then the rest) or NAME.err
// the line it must fail with. The page's core runs the same files under
// Node (web/tests/core.test.mjs).
#include "data_writer.h"
#include "job.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>
#include <string>

namespace {

const std::string casesDirectory = BMP2DATA_JOB_CASES;

// "key = value" lines; the value is all after " = ", spaces included.
std::map<std::string, std::string> readJobFile(const std::string &text) {
    std::map<std::string, std::string> fields;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t equals = line.find(" = ");
        if (!line.empty() && line[0] != '#') {
            EXPECT_NE(equals, std::string::npos) << line;
            fields[line.substr(0, equals)] = line.substr(equals + 3);
        }
    }
    return fields;
}

Job jobOf(const std::map<std::string, std::string> &fields) {
    Job job;
    const std::map<std::string, std::string *> texts{{"label", &job.label},
                                                     {"columns", &job.fitting.columns},
                                                     {"rows", &job.fitting.rows},
                                                     {"fit", &job.fitting.fit},
                                                     {"filter", &job.fitting.filter},
                                                     {"colors", &job.fitting.colors},
                                                     {"frame width", &job.frames.frameWidth},
                                                     {"frame height", &job.frames.frameHeight},
                                                     {"margin", &job.frames.margin},
                                                     {"spacing", &job.frames.spacing},
                                                     {"tile width", &job.tiles.tileWidth},
                                                     {"tile height", &job.tiles.tileHeight}};
    for (const auto &[key, value] : fields) {
        if (const auto field = texts.find(key); field != texts.end()) {
            *field->second = value;
        } else if (key == "key") {
            job.fitting.key = value;
        } else if (key == "skip empty") {
            job.frames.skipEmpty = value == "yes";
        } else if (key == "mirrored tiles") {
            job.tiles.mirrored = value == "yes";
        } else {
            EXPECT_EQ(key, "input") << "a key no job has";
        }
    }
    return job;
}

// The whole data file as the page saves it: the first line for the label
// (each frame's, and the tiles', come with the text), then the text.
std::string runCase(const std::string &jobFile, std::string &line) {
    std::map<std::string, std::string> fields = readJobFile(readFile(jobFile));
    Job job = jobOf(fields);
    const std::string input = readFile(casesDirectory + "/" + fields["input"]);
    job.name = fields["input"];
    job.size = input.size();
    StringSink sink;
    const JobResult result = runJob(job, memoryReader(input), sink);
    line = result.line;
    std::string header;
    if (result.outcome.ok() && !result.grid && !result.tiles) {
        EXPECT_TRUE(dataHeader(job.label, result.width, result.height, header).ok());
    }
    return result.outcome.ok() ? header + sink.text : "";
}

TEST(JobCases, EachGivesItsDataOrItsLine) {
    if (!fileExists(casesDirectory)) {
        GTEST_SKIP() << "the job cases in " << casesDirectory << " cannot be reached from here";
    }
    int cases = 0;
    for (const std::string &name : listDirectory(casesDirectory)) {
        if (name.size() < 5 || name.substr(name.size() - 4) != ".job") {
            continue;
        }
        SCOPED_TRACE(name);
        ++cases;
        const std::string base = casesDirectory + "/" + name.substr(0, name.size() - 4);
        std::string line;
        const std::string text = runCase(base + ".job", line);
        if (fileExists(base + ".err")) {
            EXPECT_EQ(line + "\n", readFile(base + ".err"));
        } else {
            EXPECT_EQ(text, readFile(base + ".data")) << line;
        }
    }
    EXPECT_GE(cases, 12);
}

} // namespace
