// The loader against the public conformance suites: JSONTestSuite in strict
// mode, json5-tests in normal mode. Files where this program differs on
// purpose are listed in expectations.txt, each with its reason.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <vector>

#include "document_invariants.h"
#include "load_text.h"

namespace {

enum class Expect { NoProblem, Problem, Either, Skip };

// "suite/relative/path expectation reason..." lines; # starts a comment.
std::map<std::string, Expect> read_expectations() {
    std::map<std::string, Expect> overrides;
    std::istringstream lines(read_file(TARNWELL_CONFORMANCE_EXPECTATIONS));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string path, expectation;
        words >> path >> expectation;
        overrides[path] = expectation == "no-problem" ? Expect::NoProblem : Expect::Problem;
    }
    return overrides;
}

// Loads each file (relative to the folder) and compares the outcome with its
// expectation: from its name, unless expectations.txt says otherwise.
void check_suite(const std::string& suite, const std::string& folder, const std::vector<std::string>& files,
                 LoadOptions options, Expect (*expect_for)(const std::string& name), int at_least) {
    std::map<std::string, Expect> overrides = read_expectations();
    int checked = 0;
    for (const std::string& file : files) {
        std::string key = suite + "/" + file;
        Expect expect = expect_for(file);
        if (auto found = overrides.find(key); found != overrides.end()) {
            expect = found->second;
            overrides.erase(found);
        }
        if (expect == Expect::Skip) continue;
        checked++;
        DocumentPtr doc = load_text(read_file(folder + "/" + file), options);
        if (!doc) {
            ADD_FAILURE() << key << ": no document";
            continue;
        }
        EXPECT_EQ(check_document_invariants(doc.get()), "") << key;
        bool has_problem = problem_count(doc.get()) > 0;
        if (expect == Expect::NoProblem) EXPECT_FALSE(has_problem) << key << ": " << problem_at(doc.get());
        if (expect == Expect::Problem) EXPECT_TRUE(has_problem) << key << ": no problem";
    }
    EXPECT_GT(checked, at_least);
    for (const auto& [key, expect] : overrides) {
        if (key.rfind(suite + "/", 0) == 0) ADD_FAILURE() << "expectation for a file that does not exist: " << key;
    }
}

bool ends_with(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(Conformance, JsonTestSuiteStrict) {
    if (!shared_data_available()) GTEST_SKIP() << "shared test data not found";
    std::string folder = shared_data_path("conformance/JSONTestSuite/test_parsing");
    check_suite("JSONTestSuite", folder, list_files(folder), LoadOptions{1, 0}, [](const std::string& name) {
        return name[0] == 'y' ? Expect::NoProblem : name[0] == 'n' ? Expect::Problem : Expect::Either;
    }, 300);
}

TEST(Conformance, Json5TestsNormal) {
    if (!shared_data_available()) GTEST_SKIP() << "shared test data not found";
    std::string root = shared_data_path("conformance/json5-tests");
    std::vector<std::string> files;
    for (const std::string& group : list_files(root)) {
        for (const std::string& name : list_files(root + "/" + group)) files.push_back(group + "/" + name);
    }
    check_suite("json5-tests", root, files, LoadOptions{0, 0}, [](const std::string& file) {
        if (ends_with(file, ".json") || ends_with(file, ".json5")) return Expect::NoProblem;
        if (ends_with(file, ".js") || ends_with(file, ".txt")) return Expect::Problem;
        return Expect::Skip;
    }, 100);
}

}  // namespace
