// Opens one file in the real main window, offscreen, through DropOpen, and prints
// what a user waits for: the time to the first paint of the three columns, a
// typed key and an inserted note line until they show, a scroll to the end and
// back, and the peak memory; then a selection, "C" halfway down, Select All with
// Copy, that copy pasted back over the whole text and its Undo, Select All with
// Backspace and with a typed key, each with its Undo, Undo, a raw and a MIDI
// save and the start of playback, each with the memory it needed above what was
// resident before it, each save beside dd copying and syncing the file. With
// QUORVANEL_BENCH_NO_PASTE set the paste is left out (where it would not fit in
// memory). The last line is the summary:
//   first-paint-s: N.NN peak-rss-x: N.N
// Usage: bench_open_large FILE  (bench/open-large SIZE_MIB makes the file and runs it).
#include "framework/files/dialogs.h"
#include "framework/files/folderitem.h"
#include "framework/sound/noteoutput.h"
#include "framework/sound/recordingnoteoutput.h"
#include "support/benchsupport.h"
#include "window/mw.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMainWindow>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QAbstractScrollArea* Area(TextArea& t) { return qobject_cast<QAbstractScrollArea*>(t.Widget()); }

// Counts the paints of each watched viewport.
class PaintCounter : public QObject {
public:
    void Watch(QWidget* w)
    {
        w->installEventFilter(this);
        counts_.push_back({w, 0});
    }
    void Reset()
    {
        for (auto& c : counts_)
            c.second = 0;
    }
    bool AllPainted() const
    {
        return std::all_of(counts_.begin(), counts_.end(), [](const auto& c) { return c.second > 0; });
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            for (auto& c : counts_)
                if (c.first == o)
                    ++c.second;
        return false;
    }

private:
    std::vector<std::pair<QObject*, int>> counts_;
};

// Runs the event loop until every watched viewport has painted (the window's
// own repaint, as on screen); false when that takes over a minute.
bool WaitForPaint(const PaintCounter& counter)
{
    QElapsedTimer limit;
    limit.start();
    while (!counter.AllPainted()) {
        if (limit.elapsed() > 60000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

double Ms(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

struct Spread {
    double median, worst;
};

Spread Of(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.back()};
}

// Time and memory of one step: run until it is done (and shown), its peak above
// the memory resident before it.
struct Cost {
    double ms, extraMiB;
};

// The save dialog, answered at once with one path; it notes when it was asked.
class TimedSaveDialog : public FileDialogs {
public:
    void Prepare(const QString& path)
    {
        path_ = path;
        clock_.start();
        msToDialog_ = -1;
    }
    double MsToDialog() const { return msToDialog_; }
    FolderItemPtr Open(const QString&) override { return nullptr; }
    FolderItemPtr Save(const QString&, const QString&) override
    {
        msToDialog_ = Ms(clock_);
        return std::make_shared<FolderItem>(path_);
    }

private:
    QString path_;
    QElapsedTimer clock_;
    double msToDialog_ = -1;
};

template <class F>
Cost Measure(F&& run)
{
    const double before = bench::RssMiB();
    bench::ResetPeakRss();
    QElapsedTimer t;
    t.start();
    run();
    const double ms = Ms(t);
    return {ms, bench::PeakRssMiB() - before};
}

void TypeKey(QWidget* target, Qt::Key key, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QCoreApplication::sendEvent(target, &release);
}

}  // namespace

int main(int argc, char** argv)
{
    bench::UseOffscreenUnlessSet();
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const qint64 size = QFileInfo(path).size();
    if (size <= 0) {
        std::fprintf(stderr, "%s: no such file, or an empty one\n", argv[1]);
        return 2;
    }
    constexpr int kRepeats = 25;

    MW& w = MW::Instance();
    TextArea* areas[] = {&w.HedderTa(), &w.BinaryTa(), &w.FutterTa()};
    PaintCounter all, hex;
    for (TextArea* a : areas)
        all.Watch(Area(*a)->viewport());
    hex.Watch(Area(w.BinaryTa())->viewport());
    WaitForPaint(all);
    const double baseMiB = bench::PeakRssMiB();
    std::printf("file: %.1f MiB; window built, RSS before the open: %.1f MiB\n", double(size) / 1048576.0, baseMiB);

    // Open to first paint.
    all.Reset();
    QElapsedTimer t;
    t.start();
    w.DropOpen(std::make_shared<FolderItem>(path));
    const double openMs = Ms(t);
    if (!WaitForPaint(all)) {
        std::fprintf(stderr, "the columns did not paint within a minute\n");
        return 1;
    }
    const double firstPaintS = Ms(t) / 1000.0;
    std::printf("open (dump and set the three texts): %.1f ms\n", openMs);
    std::printf("open to first paint of the three columns: %.3f s\n", firstPaintS);
    if (w.BinaryTa().Length() != size * 3 + size / 16) {
        std::fprintf(stderr, "the hex column holds %lld characters, not the dump's\n",
                     static_cast<long long>(w.BinaryTa().Length()));
        return 1;
    }

    // A typed key near the top, until it shows.
    QApplication::setActiveWindow(w.QtWindow());
    w.BinaryTa().Widget()->setFocus();
    w.BinaryTa().SetSelStart(49 + 3);
    WaitForPaint(hex);
    std::vector<double> keys;
    for (int i = 0; i < kRepeats; ++i) {
        hex.Reset();
        t.restart();
        TypeKey(w.BinaryTa().Widget(), Qt::Key_A, QStringLiteral("A"));
        WaitForPaint(hex);
        keys.push_back(Ms(t));
    }
    const Spread key = Of(keys);
    std::printf("typed key to repaint: median %.2f ms, worst %.2f ms\n", key.median, key.worst);

    // A note line inserted at the caret, until it shows.
    std::vector<double> notes;
    for (int i = 0; i < kRepeats; ++i) {
        hex.Reset();
        t.restart();
        w.Inscore(QStringLiteral("3C"));
        WaitForPaint(hex);
        notes.push_back(Ms(t));
    }
    const Spread note = Of(notes);
    std::printf("inserted note line to repaint: median %.2f ms, worst %.2f ms\n", note.median, note.worst);

    // Each column's scroll bar to the end and back, until it shows.
    std::vector<double> toEnd, back;
    for (int i = 0; i < 5; ++i) {
        all.Reset();
        t.restart();
        for (TextArea* a : areas)
            Area(*a)->verticalScrollBar()->setValue(Area(*a)->verticalScrollBar()->maximum());
        WaitForPaint(all);
        toEnd.push_back(Ms(t));
        all.Reset();
        t.restart();
        for (TextArea* a : areas)
            Area(*a)->verticalScrollBar()->setValue(0);
        WaitForPaint(all);
        back.push_back(Ms(t));
    }
    const Spread end = Of(toEnd), start = Of(back);
    std::printf("scroll the three columns to the end: median %.2f ms, worst %.2f ms\n", end.median, end.worst);
    std::printf("and back to the start: median %.2f ms, worst %.2f ms\n", start.median, start.worst);

    const double peakMiB = bench::PeakRssMiB();
    const double fileMiB = double(size) / 1048576.0;
    std::printf("peak RSS: %.1f MiB (%.1f x the file); above the window before the open: %.1f MiB (%.1f x)\n",
                peakMiB, peakMiB / fileMiB, peakMiB - baseMiB, (peakMiB - baseMiB) / fileMiB);
    std::fflush(stdout);
    // Playback keeps a record of every line: above this size it is not started.
    constexpr qint64 kLargestPlayed = qint64(128) << 20;
    const bool openOnly = qEnvironmentVariableIsSet("QUORVANEL_BENCH_OPEN_ONLY");

    // A selection of a thousand rows in the middle, until it shows.
    TextArea& ta = w.BinaryTa();
    std::vector<double> selections;
    for (int i = 0; i < kRepeats; ++i) {
        hex.Reset();
        t.restart();
        ta.SetSelStart((size / 16 / 2 + i * 1000) * 49);
        ta.SetSelLength(49 * 1000);
        WaitForPaint(hex);
        selections.push_back(Ms(t));
    }
    const Spread sel = Of(selections);
    std::printf("selection of 1000 rows to repaint: median %.2f ms, worst %.2f ms\n", sel.median, sel.worst);

    // "C" with the caret in the middle of a row halfway down, then taken back.
    ta.SetSelStart((size / 16 / 2) * 49 + 20);
    const Cost lineDelete = Measure([&] {
        hex.Reset();
        w.BBR_Action(w.BBR(1));
        WaitForPaint(hex);
    });
    std::printf("\"C\" halfway down: %.1f ms, %.1f MiB above before\n", lineDelete.ms, lineDelete.extraMiB);
    ta.Undo();

    // Select All and Copy: the whole text goes to the clipboard.
    const Cost copy = Measure([&] {
        hex.Reset();
        ta.SelectAll();
        ta.Copy();
        WaitForPaint(hex);
    });
    std::printf("select all + copy: %.1f ms, %.1f MiB above before\n", copy.ms, copy.extraMiB);

    // That copy pasted back over the whole text, then taken back.
    if (qEnvironmentVariableIsSet("QUORVANEL_BENCH_NO_PASTE")) {
        std::printf("select all + paste of the copy: not measured\n");
    } else {
        const Cost paste = Measure([&] {
            hex.Reset();
            ta.SelectAll();
            ta.Paste();
            WaitForPaint(hex);
        });
        std::printf("select all + paste of the copy: %.1f ms, %.1f MiB above before\n", paste.ms, paste.extraMiB);
        const Cost back = Measure([&] {
            hex.Reset();
            ta.Undo();
            WaitForPaint(hex);
        });
        std::printf("and its undo: %.1f ms, %.1f MiB above before\n", back.ms, back.extraMiB);
    }
    QGuiApplication::clipboard()->clear();

    // Select All + Backspace, and its undo.
    const qint64 whole = ta.Length();
    const Cost erase = Measure([&] {
        hex.Reset();
        ta.SelectAll();
        TypeKey(ta.Widget(), Qt::Key_Backspace, QString(QChar(8)));
        WaitForPaint(hex);
    });
    std::printf("select all + backspace: %.1f ms, %.1f MiB above before\n", erase.ms, erase.extraMiB);
    if (ta.Length() != 0) {
        std::fprintf(stderr, "Backspace left %lld characters\n", static_cast<long long>(ta.Length()));
        return 1;
    }
    const Cost restore = Measure([&] {
        hex.Reset();
        ta.Undo();
        WaitForPaint(hex);
    });
    std::printf("and its undo: %.1f ms, %.1f MiB above before\n", restore.ms, restore.extraMiB);
    // A key typed over the whole text, and its undo.
    const Cost over = Measure([&] {
        hex.Reset();
        ta.SelectAll();
        TypeKey(ta.Widget(), Qt::Key_A, QStringLiteral("A"));
        WaitForPaint(hex);
    });
    std::printf("select all + typed key: %.1f ms, %.1f MiB above before\n", over.ms, over.extraMiB);
    const Cost overBack = Measure([&] {
        hex.Reset();
        ta.Undo();
        WaitForPaint(hex);
    });
    std::printf("and its undo: %.1f ms, %.1f MiB above before\n", overBack.ms, overBack.extraMiB);
    if (ta.Length() != whole) {
        std::fprintf(stderr, "undone, the hex column holds %lld characters\n", static_cast<long long>(ta.Length()));
        return 1;
    }


    // Undo of the note lines inserted above, each until it shows.
    ta.SetSelStart(0);
    std::vector<double> undos;
    for (int i = 0; i < kRepeats; ++i) {
        hex.Reset();
        t.restart();
        ta.Undo();
        WaitForPaint(hex);
        undos.push_back(Ms(t));
    }
    const Spread undo = Of(undos);
    std::printf("undo to repaint: median %.2f ms, worst %.2f ms\n", undo.median, undo.worst);

    if (openOnly) {
        std::printf("first-paint-s: %.2f peak-rss-x: %.1f\n", firstPaintS, peakMiB / fileMiB);
        return 0;
    }

    // The saves, through the dialogs' seam, to a scratch folder, each beside dd copying
    // and syncing the same file there, in turns, three times: the click to the file
    // on disk, and the part of it before the dialog appears; the memory of the first.
    QTemporaryDir dir;
    auto dialogs = std::make_shared<TimedSaveDialog>();
    SetFileDialogs(dialogs);
    const auto save = [&](const char* what, const QString& name, void (MW::*handler)()) {
        const QString target = dir.filePath(name), copy = dir.filePath(QStringLiteral("dd.bin"));
        std::vector<double> dds, saves, toDialog;
        double extraMiB = 0;
        long long written = 0;
        for (int i = 0; i < 3; ++i) {
            dds.push_back(bench::DdMs(path, copy));
            QFile::remove(copy);
            dialogs->Prepare(target);
            const Cost cost = Measure([&] { (w.*handler)(); });
            saves.push_back(cost.ms);
            toDialog.push_back(dialogs->MsToDialog());
            extraMiB = i == 0 ? cost.extraMiB : extraMiB;
            written = QFileInfo(target).size();
            QFile::remove(target);
        }
        const double ms = Of(saves).median, ddMs = Of(dds).median;
        std::printf("%s save: median %.1f ms (%.2f x dd's median %.1f ms), worst %.1f ms, %.1f ms before the "
                    "dialog, %.1f MiB above before (%.2f x the file), %lld bytes written\n",
                    what, ms, ms / ddMs, ddMs, Of(saves).worst, Of(toDialog).median, extraMiB, extraMiB / fileMiB,
                    written);
    };
    save("raw", QStringLiteral("raw.bin"), &MW::SaveFileBinary);
    save("MIDI", QStringLiteral("track.mid"), &MW::SaveMidi);

    // Playback started on the whole track text, until the first line shows; then stopped.
    if (size <= kLargestPlayed) {
        SetNoteOutput(std::make_shared<RecordingNoteOutput>());
        const Cost play = Measure([&] {
            hex.Reset();
            w.NotesPlay();
            WaitForPaint(hex);
        });
        w.NotesPlay();
        std::printf("playback start: %.1f ms, %.1f MiB above before\n", play.ms, play.extraMiB);
    } else {
        std::printf("playback start: not measured above %lld MiB\n", static_cast<long long>(kLargestPlayed >> 20));
    }

    std::printf("first-paint-s: %.2f peak-rss-x: %.1f\n", firstPaintS, peakMiB / fileMiB);
    std::fflush(stdout);
    MW::DestroyInstance();
    return 0;
}
