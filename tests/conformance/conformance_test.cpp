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

enum class Expect { NoProblem, Problem, Either };

bool ends_with(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

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

struct Outcome {
    std::vector<std::string> mismatches;
    std::vector<std::string> used_overrides;
    int files = 0;
};

void check_file(const std::string& key, const std::string& path, LoadOptions options, Expect expect,
                const std::map<std::string, Expect>& overrides, Outcome* outcome) {
    auto override_it = overrides.find(key);
    if (override_it != overrides.end()) {
        expect = override_it->second;
        outcome->used_overrides.push_back(key);
    }
    DocumentPtr doc = load_text(read_file(path), options);
    outcome->files++;
    if (!doc) {
        outcome->mismatches.push_back(key + ": no document");
        return;
    }
    std::string fault = check_document_invariants(doc.get());
    if (!fault.empty()) outcome->mismatches.push_back(key + ": " + fault);
    bool has_problem = problem_count(doc.get()) > 0;
    if ((expect == Expect::NoProblem && has_problem) || (expect == Expect::Problem && !has_problem))
        outcome->mismatches.push_back(key + (has_problem ? ": problem " + problem_at(doc.get()) : ": no problem"));
}

void report(const Outcome& outcome, const std::map<std::string, Expect>& overrides, const std::string& suite) {
    for (const std::string& mismatch : outcome.mismatches) ADD_FAILURE() << mismatch;
    for (const auto& [key, expect] : overrides) {
        if (key.rfind(suite + "/", 0) == 0 &&
            std::find(outcome.used_overrides.begin(), outcome.used_overrides.end(), key) == outcome.used_overrides.end())
            ADD_FAILURE() << "expectation for a file that does not exist: " << key;
    }
}

TEST(Conformance, JsonTestSuiteStrict) {
    if (!shared_data_available()) GTEST_SKIP() << "shared test data not found";
    std::map<std::string, Expect> overrides = read_expectations();
    std::string folder = shared_data_path("conformance/JSONTestSuite/test_parsing");
    Outcome outcome;
    for (const std::string& name : list_files(folder)) {
        Expect expect = name[0] == 'y' ? Expect::NoProblem : name[0] == 'n' ? Expect::Problem : Expect::Either;
        check_file("JSONTestSuite/" + name, folder + "/" + name, LoadOptions{1, 0}, expect, overrides, &outcome);
    }
    EXPECT_GT(outcome.files, 300);
    report(outcome, overrides, "JSONTestSuite");
}

TEST(Conformance, Json5TestsNormal) {
    if (!shared_data_available()) GTEST_SKIP() << "shared test data not found";
    std::map<std::string, Expect> overrides = read_expectations();
    std::string root = shared_data_path("conformance/json5-tests");
    Outcome outcome;
    for (const std::string& group : list_files(root)) {
        for (const std::string& name : list_files(root + "/" + group)) {
            Expect expect;
            if (ends_with(name, ".json") || ends_with(name, ".json5")) expect = Expect::NoProblem;
            else if (ends_with(name, ".js") || ends_with(name, ".txt")) expect = Expect::Problem;
            else continue;
            check_file("json5-tests/" + group + "/" + name, root + "/" + group + "/" + name, LoadOptions{0, 0},
                       expect, overrides, &outcome);
        }
    }
    EXPECT_GT(outcome.files, 100);
    report(outcome, overrides, "json5-tests");
}

}  // namespace
