// brindlewick_bench: the editor's workflows against their file-call floor, a patch against
// reading both images and writing the patch once, the main window's start-up against a bare Qt
// window, and the table editor's first paint and save against a plain grid and their floor,
// side by side, medians of many runs.
// Usage: brindlewick_bench [--runs N]     (default 31)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "NamesBench.h"
#include "PatchBench.h"
#include "StartUp.h"
#include "TableEditorBench.h"
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
    std::printf("%-30s %13s  %-11s %13s  %-44s %6s\n", "figure", "ours", "baseline", "",
                "calls of one run (the floor makes the same)", "ratio");
    const bool workflowsOk = RunWorkflows(runs);
    const bool patchOk = RunPatch(runs);
    const bool namesOk = RunNames(runs);
    // The start-up's children come first: a child started later would count the memory of
    // the table editor's windows in this process towards its own peak.
    const bool startUpOk = RunStartUp(runs);
    const bool tablesOk = RunTableEditor(runs);
    return workflowsOk && patchOk && namesOk && tablesOk && startUpOk ? 0 : 1;
}
