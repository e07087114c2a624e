// Saves one file's bytes as the program does (a FolderItem's stream, fed the bytes
// in the blocks the track writers hand over) three ways, three times each in
// turns: over a file that has a second name, which is rewritten in place; to a new
// file, written through a temporary one; and dd copying and syncing the same
// bytes. Prints each one's median time and the peak memory it needed above what
// was resident before it (VmHWM, started over before each save).
// Usage: bench_save_in_place FILE FOLDER  (bench/save-in-place SIZE_MIB makes the
// file and runs it).
#include "framework/files/binarystream.h"
#include "framework/files/folderitem.h"
#include "framework/runtime/exceptions.h"
#include "support/benchsupport.h"
#include "track/trackbytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

struct Cost {
    double ms = -1, extraMiB = 0;
};

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

// What the program's save does once the bytes are known: a stream on the item,
// each block handed over as the writers hand it, then closed.
Cost Save(const track::ByteParts& parts, const QString& target)
{
    const double before = bench::RssMiB();
    bench::ResetPeakRss();
    QElapsedTimer t;
    t.start();
    try {
        FolderItem item(target);
        std::unique_ptr<BinaryStream> stream = item.CreateBinaryFile(QString());
        if (!stream) {
            std::fprintf(stderr, "cannot create %s: error %lld\n", qPrintable(target), item.LastErrorCode());
            return {};
        }
        parts.write([&stream](const char* data, qsizetype n) { stream->Write(QByteArray::fromRawData(data, n)); });
        stream->Close();
    } catch (const IOException& e) {
        std::fprintf(stderr, "save failed: %s\n", qPrintable(e.Message()));
        return {};
    }
    return {double(t.nsecsElapsed()) / 1e6, bench::PeakRssMiB() - before};
}

bool WriteWhole(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size() && f.flush()
           && ::fsync(f.handle()) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FILE FOLDER\n", argv[0]);
        return 2;
    }
    const QString source = QString::fromLocal8Bit(argv[1]);
    const QDir folder(QString::fromLocal8Bit(argv[2]));
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: cannot read\n", argv[1]);
        return 2;
    }
    // The document as the program holds it: the opened file's bytes, one typed over.
    QByteArray bytes = in.readAll();
    const double fileMiB = double(bytes.size()) / 1048576.0;
    QByteArray earlier = bytes;
    bytes[bytes.size() / 2] = char(~bytes[bytes.size() / 2]);
    track::ByteParts parts;
    parts.appendRange(bytes, 0, bytes.size(), false);

    const QString linked = folder.filePath(QStringLiteral("linked.bin")), second = folder.filePath(QStringLiteral("second name.bin"));
    const QString fresh = folder.filePath(QStringLiteral("fresh.bin")), copy = folder.filePath(QStringLiteral("dd.bin"));
    std::vector<double> dd, inPlace, temporary;
    double inPlaceMiB = 0, temporaryMiB = 0;
    for (int round = 0; round < 3; ++round) {
        dd.push_back(bench::DdMs(source, copy));
        QFile::remove(copy);

        QFile::remove(linked);
        QFile::remove(second);
        if (!WriteWhole(linked, earlier) || ::link(QFile::encodeName(linked).constData(), QFile::encodeName(second).constData()) != 0) {
            std::fprintf(stderr, "cannot make the linked file in %s\n", argv[2]);
            return 1;
        }
        const Cost a = Save(parts, linked);
        inPlace.push_back(a.ms);
        inPlaceMiB = std::max(inPlaceMiB, a.extraMiB);

        QFile::remove(fresh);
        const Cost b = Save(parts, fresh);
        temporary.push_back(b.ms);
        temporaryMiB = std::max(temporaryMiB, b.extraMiB);
    }
    QFile check(second);
    const bool whole = check.open(QIODevice::ReadOnly) && check.readAll() == bytes;
    const double ddMs = Median(dd);
    std::printf("file: %.1f MiB; dd bs=1M conv=fsync: median %.1f ms\n", fileMiB, ddMs);
    std::printf("in place (second name): median %.1f ms (%.2f x dd), peak %.1f MiB above before; other name %s\n",
                Median(inPlace), Median(inPlace) / ddMs, inPlaceMiB, whole ? "holds the new bytes" : "DIFFERS");
    std::printf("through a temporary file: median %.1f ms (%.2f x dd), peak %.1f MiB above before\n", Median(temporary),
                Median(temporary) / ddMs, temporaryMiB);
    for (const QString& p : {linked, second, fresh})
        QFile::remove(p);
    return whole ? 0 : 1;
}
