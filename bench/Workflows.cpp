#include "Workflows.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "FileCalls.h"
#include "Measure.h"
#include "Support.h"
#include "editor/Editor.h"
#include "editor/EditorView.h"
#include "platform/Messages.h"
#include "rom/RomProfile.h"
#include "rom/RomTables.h"

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

bool Measure(const Workflow& workflow, const ScratchImage& image, long floorOffset, int runs) {
    StartCounting();
    workflow.once();
    const FileCallCounts counts = StopCounting();
    if (!workflow.succeeded()) {
        std::fprintf(stderr, "brindlewick_bench: %s failed\n", workflow.name.c_str());
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
        ok = ok && Measure(workflow, image, floorOffset, runs);
    }
    SetMessageSink(previousSink);
    return ok;
}

}  // namespace brindlewick::bench
