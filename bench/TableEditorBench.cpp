#include "TableEditorBench.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableView>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "EveryBit.h"
#include "FileCalls.h"
#include "Measure.h"
#include "ModifiedImage.h"
#include "NamesBench.h"
#include "Support.h"
#include "rom/RomNames.h"
#include "rom/RomProfile.h"
#include "rom/RomTables.h"
#include "rom/TableLocation.h"
#include "rom/TablePlaces.h"
#include "tables/ImportPlan.h"
#include "tables/TableEdits.h"
#include "tables/TablesFile.h"
#include "ui/TableEditor.h"

namespace brindlewick::bench {
namespace {

bool MeasureSave(const ScratchImage& image, const TablePlaces& places, const std::string& figure,
                 CountingSink& sink, int runs) {
    auto fail = [&](const char* what) {
        std::fprintf(stderr, "brindlewick_bench: %s: %s %s\n", figure.c_str(), what,
                     sink.last.text.c_str());
        return false;
    };
    auto first = FlipEveryBit(image.Path(), places);
    if (!first) {
        return fail("the image could not be read:");
    }
    const ImportPlan plan = PlanImport(places, first->AsRead(), first->Target());
    const std::vector<FileRun> changedRuns = ChangedRuns(plan);
    if (plan.machinesChanged != 0 || plan.speciesChanged != kSpeciesCount) {
        return fail("the edits change more than the compatibility bits");
    }

    // One save, its edits made beforehand and not timed: the microseconds of the save alone,
    // or nothing when it did not write.
    bool counting = false;
    FileCallCounts counts;
    auto timedSave = [&]() -> std::optional<double> {
        auto edits = FlipEveryBit(image.Path(), places);
        if (!edits) {
            return std::nullopt;
        }
        if (counting) {
            StartCounting();
        }
        const double start = ThreadMicroseconds();
        const ImportStatus status = SaveTableEdits(image.Path(), places, *edits);
        const double elapsed = ThreadMicroseconds() - start;
        if (counting) {
            counts = StopCounting();
        }
        if (status != ImportStatus::Written || edits->HasPending()) {
            return std::nullopt;
        }
        return elapsed;
    };

    counting = true;
    if (!timedSave()) {
        return fail("the save failed:");
    }
    const FileCallCounts firstCounts = counts;
    // A second run must make the same calls: the figure stands for every run, not the first.
    if (!timedSave() || !(counts == firstCounts)) {
        return fail("the second save failed or made other calls");
    }
    if (counts.writes != static_cast<int>(changedRuns.size())) {
        return fail("the save does not write one run of changed bytes per call");
    }
    counting = false;

    // Repetitions of the save that together last at least kMinimumBatchMicroseconds.
    int saveBatch = 1;
    for (;;) {
        double total = 0;
        for (int i = 0; i < saveBatch; ++i) {
            const auto once = timedSave();
            if (!once) {
                return fail("the save failed:");
            }
            total += *once;
        }
        if (total >= kMinimumBatchMicroseconds) {
            break;
        }
        saveBatch *= 2;
    }
    bool floorOk = true;
    const std::function<void()> floor = [&] {
        floorOk = WriteRunsFloor(image.Path(), changedRuns) && floorOk;
    };
    const int floorBatch = BatchSize(floor);

    std::vector<double> saveTimes;
    std::vector<double> floorTimes;
    bool savesOk = true;
    // Alternating batches share whatever else the machine is doing at the time.
    for (int run = 0; run < runs; ++run) {
        double total = 0;
        for (int i = 0; i < saveBatch; ++i) {
            const auto once = timedSave();
            savesOk = savesOk && once.has_value();
            total += once.value_or(0);
        }
        saveTimes.push_back(total / saveBatch);
        floorTimes.push_back(TimeBatch(floor, floorBatch));
    }
    if (!savesOk || !floorOk) {
        return fail("the save or its floor failed while timed:");
    }
    Report(figure, Median(saveTimes), "floor", Median(floorTimes), "us", Describe(firstCounts));
    return true;
}

// A grid of 251 x 57 unticked check cells with nothing behind it.
class PlainCheckModel final : public QAbstractTableModel {
public:
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : kSpeciesCount;
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : kMachineCount;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        return index.isValid() && role == Qt::CheckStateRole ? QVariant(Qt::Unchecked) : QVariant();
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return QAbstractTableModel::flags(index) | Qt::ItemIsUserCheckable;
    }
};

// Notes that a paint event reached the widget it watches.
class PaintSeen final : public QObject {
public:
    bool seen = false;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        seen = seen || event->type() == QEvent::Paint;
        return false;
    }
};

// Shows `window` and processes events until a paint event has reached `viewport`; the round of
// painting it belongs to has finished when this returns. False when none came within 10 s.
bool ShowUntilPainted(QWidget& window, QWidget& viewport) {
    PaintSeen watcher;
    viewport.installEventFilter(&watcher);
    window.show();
    QElapsedTimer waited;
    waited.start();
    while (!watcher.seen && waited.elapsed() < 10000) {
        QCoreApplication::processEvents();
    }
    viewport.removeEventFilter(&watcher);
    return watcher.seen;
}

// Qt's warnings (an off-screen window cannot do all a real one does) would bury the figures;
// they are kept and shown when a first paint fails.
std::vector<std::string> g_qtMessages;

void KeepQtMessage(QtMsgType /*type*/, const QMessageLogContext& /*context*/, const QString& text) {
    g_qtMessages.push_back(text.toStdString());
}

bool FirstPaintFailed(const CountingSink& sink) {
    std::fprintf(stderr, "brindlewick_bench: a first paint failed: %s\n", sink.last.text.c_str());
    for (const std::string& message : g_qtMessages) {
        std::fprintf(stderr, "    %s\n", message.c_str());
    }
    return false;
}

// How the editor showed its grid, so that the plain grid is shown alike.
struct GridShape {
    QSize window;
    int columnWidth = 0;
    int rowHeight = 0;
};

void Dispose(std::unique_ptr<QWidget> window) {
    window.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Milliseconds of processor time from opening the table editor on its Compatibility page to
// the grid's first paint; nothing after a failure.
std::optional<double> EditorFirstPaint(const std::string& romPath, const LocatedTables& located,
                                       const RomNames& names, GridShape& shape) {
    const double start = ThreadMicroseconds();
    std::unique_ptr<QWidget> editor(TableEditor::Open(romPath, located, names, nullptr));
    if (editor == nullptr) {
        return std::nullopt;
    }
    auto* pages = editor->findChild<QTabWidget*>(QStringLiteral("tabTables"));
    auto* grid = editor->findChild<QTableView*>(QStringLiteral("tblCompatibility"));
    if (pages == nullptr || grid == nullptr) {
        return std::nullopt;
    }
    pages->setCurrentIndex(1);
    const bool painted = ShowUntilPainted(*editor, *grid->viewport());
    const double elapsed = ThreadMicroseconds() - start;
    shape = {editor->size(), grid->horizontalHeader()->defaultSectionSize(),
             grid->verticalHeader()->defaultSectionSize()};
    Dispose(std::move(editor));
    return painted ? std::optional(elapsed / 1000) : std::nullopt;
}

// The same for a plain QTableView over PlainCheckModel, as large as the editor's window, its
// cells as large as the editor's.
std::optional<double> PlainFirstPaint(const GridShape& shape) {
    const double start = ThreadMicroseconds();
    auto view = std::make_unique<QTableView>();
    auto* model = new PlainCheckModel;
    model->setParent(view.get());
    view->setModel(model);
    view->verticalHeader()->setMinimumSectionSize(shape.rowHeight);
    view->verticalHeader()->setDefaultSectionSize(shape.rowHeight);
    view->horizontalHeader()->setDefaultSectionSize(shape.columnWidth);
    view->resize(shape.window);
    const bool painted = ShowUntilPainted(*view, *view->viewport());
    const double elapsed = ThreadMicroseconds() - start;
    Dispose(std::move(view));
    return painted ? std::optional(elapsed / 1000) : std::nullopt;
}

bool MeasureFirstPaints(const ScratchImage& image, const RomProfile& profile,
                        const CountingSink& sink, int runs) {
    // The editor shows a real extract with the ROM's names where there is one; otherwise the
    // scratch image, with the lists' names.
    ScratchImage namedImage;
    std::string romPath = image.Path();
    LocatedTables located;
    located.places = RowPlaces(profile);
    RomNames names;
    std::string shown = "the lists' names";
    if (const auto named = LoadNamedImage()) {
        std::ofstream(namedImage.Path(), std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(named->bytes.data()),
                   static_cast<std::streamsize>(named->bytes.size()));
        if (const auto found = LocateRomTablesAndNames(namedImage.Path())) {
            romPath = namedImage.Path();
            located = found->tables;
            names = found->names;
            shown = named->name + "'s names";
        }
    }
    // The first of each loads what every later window shares (fonts, style); it is not timed.
    GridShape shape;
    if (!EditorFirstPaint(romPath, located, names, shape) || !PlainFirstPaint(shape)) {
        return FirstPaintFailed(sink);
    }
    std::vector<double> editorTimes;
    std::vector<double> plainTimes;
    for (int run = 0; run < runs; ++run) {
        const auto editor = EditorFirstPaint(romPath, located, names, shape);
        const auto plain = PlainFirstPaint(shape);
        if (!editor || !plain) {
            return FirstPaintFailed(sink);
        }
        editorTimes.push_back(*editor);
        plainTimes.push_back(*plain);
    }
    Report("table editor first paint", Median(editorTimes), "plain grid", Median(plainTimes), "ms",
           std::to_string(runs) + " runs, " + std::to_string(shape.window.width()) + "x" +
               std::to_string(shape.window.height()) + ", " + shown);
    return true;
}

// The first paints in a QApplication of their own, drawn off screen unless the environment
// names another platform (as for the start-up figure).
bool MeasureFirstPaint(const ScratchImage& image, const RomProfile& profile,
                       const CountingSink& sink, int runs) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const QtMessageHandler previousHandler = qInstallMessageHandler(KeepQtMessage);
    int argc = 1;
    char name[] = "brindlewick_bench";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    const bool ok = MeasureFirstPaints(image, profile, sink, runs);
    qInstallMessageHandler(previousHandler);
    return ok;
}

}  // namespace

bool RunTableEditor(int runs) {
    const RomProfile* profile = Identify(kGameCode);
    if (profile == nullptr) {
        std::fprintf(stderr, "brindlewick_bench: %s is not a supported release\n", kGameCode);
        return false;
    }
    ScratchImage image;
    CountingSink sink;
    MessageSink* const previousSink = SetMessageSink(&sink);
    bool ok = MeasureFirstPaint(image, *profile, sink, runs) &&
              MeasureSave(image, RowPlaces(*profile), "table editor save of every bit", sink, runs);
    // The same save into a modified game whose tables the game's code keeps in other banks.
    const ScratchImage modified(MakeModifiedImage().bytes);
    const auto located = ok ? LocateRomTables(modified.Path()) : std::nullopt;
    ok = ok && located && located->Elsewhere() &&
         MeasureSave(modified, located->places, "table editor save, moved image", sink, runs);
    SetMessageSink(previousSink);
    return ok;
}

}  // namespace brindlewick::bench
