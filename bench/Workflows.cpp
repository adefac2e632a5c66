#include "Workflows.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "FileCalls.h"
#include "Measure.h"
#include "ModifiedImage.h"
#include "Support.h"
#include "editor/Editor.h"
#include "editor/EditorView.h"
#include "platform/Messages.h"
#include "rom/CodePattern.h"
#include "rom/RomProfile.h"
#include "rom/RomTables.h"
#include "tables/TablesFile.h"

namespace brindlewick::bench {
namespace {

// The window as the editor sees it, holding plain values; the benchmark sets the selections
// the way a user's clicks would.
class BenchView final : public EditorView {
public:
    explicit BenchView(std::string romPath) : m_romPath(std::move(romPath)) {}

    int MachineIndex() const override { return m_machine; }
    void SetMachineIndex(int machine) override { m_machine = machine; }
    int MoveIndex() const override { return m_move; }
    void SetMoveIndex(int move) override { m_move = move; }
    int SpeciesIndex() const override { return m_species; }
    void SetSpeciesIndex(int species) override { m_species = species; }
    std::string PriceText() const override { return m_price; }
    void SetPriceText(const std::string& text) override { m_price = text; }
    bool MachineChecked(int machine) const override { return m_checked[machine]; }
    void SetMachineChecked(int machine, bool checked) override { m_checked[machine] = checked; }
    void ShowRomInformation(const std::string&, const std::string&, const std::string&) override {}
    void SetCaption(const std::string&) override {}
    void EnableEditing() override {}
    std::string AskForRomPath() override { return m_romPath; }

private:
    std::string m_romPath;
    int m_machine = -1;
    int m_move = -1;
    int m_species = -1;
    std::string m_price;
    std::vector<bool> m_checked = std::vector<bool>(kMachineCount, false);
};

struct Workflow {
    std::string name;
    std::function<void()> once;
    // True when the last run ended as a run of this workflow should.
    std::function<bool()> succeeded;
};

bool Measure(const Workflow& workflow, const ScratchImage& image, long floorOffset,
             const CountingSink& sink, int runs) {
    StartCounting();
    workflow.once();
    const FileCallCounts counts = StopCounting();
    if (!workflow.succeeded()) {
        std::fprintf(stderr, "brindlewick_bench: %s failed: %s\n", workflow.name.c_str(),
                     sink.last.text.c_str());
        return false;
    }
    // A second run must make the same calls: the floor stands for every run, not the first.
    StartCounting();
    workflow.once();
    if (!(StopCounting() == counts)) {
        std::fprintf(stderr, "brindlewick_bench: %s makes different calls each run\n",
                     workflow.name.c_str());
        return false;
    }
    bool floorOk = true;
    const std::function<void()> floor = [&] {
        floorOk = ReplayFloor(image.Path(), floorOffset, counts) && floorOk;
    };

    const int workflowBatch = BatchSize(workflow.once);
    const int floorBatch = BatchSize(floor);
    std::vector<double> workflowTimes;
    std::vector<double> floorTimes;
    // Alternating batches share whatever else the machine is doing at the time.
    for (int run = 0; run < runs; ++run) {
        workflowTimes.push_back(TimeBatch(workflow.once, workflowBatch));
        floorTimes.push_back(TimeBatch(floor, floorBatch));
    }
    if (!floorOk || !workflow.succeeded()) {
        std::fprintf(stderr, "brindlewick_bench: %s or its floor failed while timed\n",
                     workflow.name.c_str());
        return false;
    }
    Report(workflow.name, Median(workflowTimes), "floor", Median(floorTimes), "us",
           Describe(counts));
    return true;
}

// Alternating batches of `ours` and `floor`, medians of each in microseconds; false when a run
// of either failed.
bool TimeAgainst(const std::function<bool()>& ours, const std::function<bool()>& floor, int runs,
                 double& oursMedian, double& floorMedian) {
    bool ok = true;
    const std::function<void()> oursOnce = [&] { ok = ours() && ok; };
    const std::function<void()> floorOnce = [&] { ok = floor() && ok; };
    const int oursBatch = BatchSize(oursOnce);
    const int floorBatch = BatchSize(floorOnce);
    std::vector<double> oursTimes;
    std::vector<double> floorTimes;
    for (int run = 0; run < runs; ++run) {
        oursTimes.push_back(TimeBatch(oursOnce, oursBatch));
        floorTimes.push_back(TimeBatch(floorOnce, floorBatch));
    }
    oursMedian = Median(oursTimes);
    floorMedian = Median(floorTimes);
    return ok;
}

// A modified game whose tables lie in other banks: finding them through the game's code, and
// the whole open, against one read of the file from start to end in the scan's block size;
// then a save into it against its file-call floor.
bool RunModifiedGame(int runs, CountingSink& sink) {
    const ModifiedImage modified = MakeModifiedImage();
    ScratchImage image(modified.bytes);
    const std::function<bool()> wholeRead = [&] {
        return ReadWholeFileFloor(image.Path(), kScanBlockSize);
    };
    const std::string blocks =
        "floor: 1 open, " + std::to_string(modified.bytes.size() / kScanBlockSize) + " reads of " +
        std::to_string(kScanBlockSize / 1024) + " KiB, 1 close";

    double ours = 0;
    double floor = 0;
    const std::function<bool()> find = [&] {
        const auto located = LocateRomTables(image.Path());
        return located && located->Elsewhere() && located->SafeToWrite();
    };
    if (!TimeAgainst(find, wholeRead, runs, ours, floor)) {
        std::fprintf(stderr, "brindlewick_bench: the moved tables were not found: %s\n",
                     sink.last.text.c_str());
        return false;
    }
    Report("find tables (moved image)", ours, "whole read", floor, "us", blocks);

    BenchView view(image.Path());
    Editor editor(view);
    const std::function<bool()> open = [&] {
        const int before = sink.count;
        editor.OpenRom();
        return editor.RomOpen() && editor.State().Tables.Elsewhere() && sink.count == before + 1;
    };
    if (!TimeAgainst(open, wholeRead, runs, ours, floor)) {
        std::fprintf(stderr, "brindlewick_bench: the moved image did not open: %s\n",
                     sink.last.text.c_str());
        return false;
    }
    Report("open (moved image)", ours / 1000, "whole read", floor / 1000, "ms",
           "the open workflow: find, prove, TM01, Bulbasaur");

    int machine = 0;
    int messagesBefore = 0;
    // The species the open shows, one of its boxes toggled each time, as a user's ticks would.
    const Workflow save{"save (moved image)",
                        [&] {
                            messagesBefore = sink.count;
                            machine = (machine + 1) % kMachineCount;
                            view.SetMachineChecked(machine, !view.MachineChecked(machine));
                            editor.SaveRom();
                        },
                        [&] {
                            return sink.count == messagesBefore + 1 &&
                                   sink.last.text == kSaveSucceededMessage;
                        }};
    return Measure(save, image, modified.moves, sink, runs);
}

}  // namespace

bool RunWorkflows(int runs) {
    const RomProfile* profile = Identify(kGameCode);
    if (profile == nullptr) {
        std::fprintf(stderr, "brindlewick_bench: %s is not a supported release\n", kGameCode);
        return false;
    }
    ScratchImage image;
    CountingSink sink;
    MessageSink* const previousSink = SetMessageSink(&sink);
    BenchView view(image.Path());
    Editor editor(view);
    editor.OpenRom();
    bool ok = editor.RomOpen() && sink.count == 0;
    if (!ok) {
        std::fprintf(stderr, "brindlewick_bench: the image did not open: %s\n",
                     sink.last.text.c_str());
    }

    int machine = 0;
    int species = 0;
    int messagesBefore = 0;
    const std::vector<Workflow> workflows{
        {"machine selection",
         [&] {
             messagesBefore = sink.count;
             machine = (machine + 1) % kMachineCount;
             view.SetMachineIndex(machine);
             editor.MachineSelected();
         },
         [&] { return sink.count == messagesBefore && !view.PriceText().empty(); }},
        {"species selection",
         [&] {
             messagesBefore = sink.count;
             species = (species + 1) % kSpeciesCount;
             view.SetSpeciesIndex(species);
             editor.SpeciesSelected();
         },
         [&] { return sink.count == messagesBefore; }},
        {"save",
         [&] {
             messagesBefore = sink.count;
             view.SetMachineChecked(species % kMachineCount, true);
             editor.SaveRom();
         },
         [&] {
             return sink.count == messagesBefore + 1 && sink.last.text == kSaveSucceededMessage;
         }},
    };
    // The floor's bytes lie in the move table, which the save rewrites anyway.
    const long floorOffset = profile->TmMovesOffset;
    for (const Workflow& workflow : workflows) {
        ok = ok && Measure(workflow, image, floorOffset, sink, runs);
    }
    ok = ok && RunModifiedGame(runs, sink);
    SetMessageSink(previousSink);
    return ok;
}

}  // namespace brindlewick::bench
