// brindlewick_bench: the editor's workflows against their file-call floor and the main
// window's start-up against a bare Qt window, side by side, medians of many runs.
// Usage: brindlewick_bench [--runs N]     (default 31)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "StartUp.h"
#include "Workflows.h"

int main(int argc, char* argv[]) {
    using namespace brindlewick::bench;
    if (argc == 3 && std::string(argv[1]) == kChildFlag) {
        return ShowWindowChild(argc, argv, argv[2]);
    }
    int runs = 31;
    if (argc == 3 && std::string(argv[1]) == "--runs") {
        runs = std::atoi(argv[2]);
    } else if (argc != 1) {
        std::fprintf(stderr, "Usage: %s [--runs N]\n", argv[0]);
        return 2;
    }
    if (runs < 1) {
        std::fprintf(stderr, "brindlewick_bench: --runs needs a positive number\n");
        return 2;
    }
    std::printf("%-18s %13s  %-11s %13s  %-44s %6s\n", "figure", "ours", "baseline", "",
                "calls of one run (the floor makes the same)", "ratio");
    const bool workflowsOk = RunWorkflows(runs);
    const bool startUpOk = RunStartUp(runs);
    return workflowsOk && startUpOk ? 0 : 1;
}
