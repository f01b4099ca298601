// Big picture benchmark: a 12000 x 9000 JPEG (108 megapixels, made once with photo-like grain
// so it has a phone's file size) through the picture loader, against djpeg on the same file.
//
//   thumbnail  loadScaled into a 160 x 120 box, CPU time, against `djpeg -scale 1/8`
//   full load  load(), CPU time, against `djpeg` at full size; resident memory before, right
//              after the load and the picture's own size. djpeg streams its rows into a small
//              buffer, where a viewer must hold the whole picture: the system's cost of giving
//              a process 432 MB of memory shows in system time, so the user time alone and
//              `djpeg -bmp` (which holds the picture too) are shown beside it, and so is a
//              minimal program that only takes 432 MB as the loader does and writes to each
//              page. The first load of this process and that program each come after --settle
//              seconds (default 3) without large frees: a virtual machine's guest hands memory
//              that stays free for about a second back to the host, and taking it again costs
//              far more than memory freed a moment ago, which later loads in one process get.
//   reduced    load() with the limit lowered below the picture, so it comes at 1/2
//
// Goals: thumbnail within 1.2 x djpeg -scale 1/8, full load within 1.3 x djpeg, resident
// memory after the load within before + picture + 50 MB. CPU times are the medians of
// --rounds runs (default 3), user plus system, this process's or djpeg's.
//
//   bigpicture_bench [--dir DIR] [--rounds N] [--settle SECONDS]

#if __has_include(<QApplication>)

#include <QCoreApplication>
#include <QImage>
#include <QImageWriter>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "qt/platform/memoryinfo.h"
#include "qt/platform/qtpictureloader.h"

using namespace vistrel;
namespace fs = std::filesystem;

namespace {

constexpr int Width = 12000;
constexpr int Height = 9000;

double cpuSeconds(int who, bool systemToo = true) {
    rusage usage{};
    getrusage(who, &usage);
    const double user = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6;
    return systemToo ? user + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6 : user;
}

long residentKb() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return 0;
    char line[256];
    long kb = 0;
    while (std::fgets(line, sizeof(line), status))
        if (std::sscanf(line, "VmRSS: %ld kB", &kb) == 1) break;
    std::fclose(status);
    return kb;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Gradients with grain, at quality 92 with 2x2 chroma subsampling, as a phone writes them.
bool make(const fs::path& file) {
    QImage image(Width, Height, QImage::Format_RGB32);
    if (image.isNull()) return false;
    std::uint32_t state = 11;
    for (int y = 0; y < Height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < Width; ++x) {
            state = state * 1664525u + 1013904223u;
            const int grain = static_cast<int>(state >> 26) - 32;
            const auto channel = [&](int base) { return std::clamp(base + grain, 0, 255); };
            row[x] = qRgb(channel(x * 255 / Width), channel(y * 255 / Height),
                          channel(128 + ((x / 40 + y / 30) % 64) - 32));
        }
    }
    QImageWriter writer(QString::fromStdString(file.string()), "jpeg");
    writer.setQuality(92);
    return writer.write(image);
}

double djpegSeconds(const std::string& arguments, const fs::path& file, bool systemToo = true) {
    const double before = cpuSeconds(RUSAGE_CHILDREN, systemToo);
    const std::string command = "djpeg " + arguments + " -outfile /dev/null '" + file.string() + "'";
    if (std::system(command.c_str()) != 0) return -1;
    return cpuSeconds(RUSAGE_CHILDREN, systemToo) - before;
}

// User + system seconds of a child process that takes `bytes` of new memory as the loader's
// picture does (an anonymous mapping, 2 MB pages advised) and writes one byte of every page:
// what supplying the picture's memory costs, without decoding. Unmapping at exit is left out.
double freshMemorySeconds(std::size_t bytes) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        double spent = -1;
        const double start = cpuSeconds(RUSAGE_SELF);
        void* memory =
            mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory != MAP_FAILED) {
            qt::AdviseLargePages(memory, bytes);
            auto* bytePointer = static_cast<volatile char*>(memory);
            for (std::size_t i = 0; i < bytes; i += 4096) bytePointer[i] = 1;
            spent = cpuSeconds(RUSAGE_SELF) - start;
        }
        const bool written = write(pipeEnds[1], &spent, sizeof spent) == sizeof spent;
        _exit(written ? 0 : 1);
    }
    close(pipeEnds[1]);
    double spent = -1;
    if (child < 0 || read(pipeEnds[0], &spent, sizeof spent) != sizeof spent) spent = -1;
    close(pipeEnds[0]);
    if (child > 0) waitpid(child, nullptr, 0);
    return spent;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    fs::path dir = "/tmp/vistrel-bench";
    int rounds = 3;
    int settle = 3;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--dir") == 0) dir = argv[i + 1];
        if (std::strcmp(argv[i], "--rounds") == 0) rounds = std::max(1, std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--settle") == 0)
            settle = std::clamp(std::atoi(argv[i + 1]), 0, 60);
    }
    fs::create_directories(dir);
    const fs::path file = dir / "big-12000x9000.jpg";
    if (!fs::exists(file)) {
        std::printf("making %s ...\n", file.c_str());
        if (!make(file)) {
            std::fprintf(stderr, "could not write %s\n", file.c_str());
            return 2;
        }
    }
    std::printf("%s: %.1f MB\n", file.c_str(), fs::file_size(file) / 1e6);
    if (std::system("command -v djpeg >/dev/null") != 0) {
        std::fprintf(stderr, "djpeg is missing: apt-get install libjpeg-turbo-progs\n");
        return 2;
    }

    const qt::QtPictureLoader loader;
    std::vector<double> thumb, thumbRef, full, fullRef, fullUser, fullUserRef, fullBmpRef;
    long before = 0, after = 0;
    // Each program's rounds run back to back: djpeg -bmp takes 324 MB in small pages, which
    // would split the large pages the viewer freed a moment before and make every one of its
    // loads pay for compaction, as no viewer stepping through pictures does. The first load
    // in this fresh process is shown on its own.
    double firstLoad = 0, firstUser = 0;
    for (int round = 0; round < rounds; ++round) {
        double start = cpuSeconds(RUSAGE_SELF);
        const core::LoadResult small = loader.loadScaled(file.string(), 160, 120);
        thumb.push_back(cpuSeconds(RUSAGE_SELF) - start);
        if (!small.ok()) {
            std::fprintf(stderr, "thumbnail failed: %s\n", small.errorText.c_str());
            return 1;
        }
        if (round == 0) sleep(static_cast<unsigned>(settle));
        before = residentKb();
        start = cpuSeconds(RUSAGE_SELF);
        const double startUser = cpuSeconds(RUSAGE_SELF, false);
        core::LoadResult whole = loader.load(file.string());
        full.push_back(cpuSeconds(RUSAGE_SELF) - start);
        fullUser.push_back(cpuSeconds(RUSAGE_SELF, false) - startUser);
        after = residentKb();
        if (round == 0) {
            firstLoad = full.back();
            firstUser = fullUser.back();
        }
        if (!whole.ok() || whole.reduction != 1) {
            std::fprintf(stderr, "full load failed: %s\n", whole.errorText.c_str());
            return 1;
        }
    }
    for (int round = 0; round < rounds; ++round) {
        thumbRef.push_back(djpegSeconds("-scale 1/8", file));
        fullRef.push_back(djpegSeconds("", file));
        fullUserRef.push_back(djpegSeconds("", file, false));
        fullBmpRef.push_back(djpegSeconds("-bmp", file));
    }

    sleep(static_cast<unsigned>(settle));
    const double freshMemory = freshMemorySeconds(std::size_t{4} * Width * Height);

    const qt::QtPictureLoader tight(std::int64_t{200} * 1024 * 1024, nullptr);
    double start = cpuSeconds(RUSAGE_SELF);
    const core::LoadResult reduced = tight.load(file.string());
    const double reducedSeconds = cpuSeconds(RUSAGE_SELF) - start;
    const double reducedRef = djpegSeconds("-scale 1/2", file);

    const double pictureMb = 4.0 * Width * Height / 1e6;
    const double grownMb = (after - before) * 1024 / 1e6;
    const auto verdict = [](bool met) { return met ? "met" : "NOT MET"; };
    std::printf("\n%-34s %9s %9s %7s %6s  %s\n", "", "Vistrel", "djpeg", "ratio", "goal", "");
    const auto line = [&](const char* what, double ours, double ref, double goal) {
        std::printf("%-34s %8.3fs %8.3fs %6.2fx %5.1fx  %s\n", what, ours, ref, ours / ref, goal,
                    verdict(ours <= goal * ref));
    };
    line("thumbnail 160x120 vs -scale 1/8", median(thumb), median(thumbRef), 1.2);
    line("full load vs djpeg", median(full), median(fullRef), 1.3);
    line("  first load of this process", firstLoad, median(fullRef), 1.3);
    std::printf("%-34s %8.3fs + %.3fs system\n", "    its user time", firstUser,
                firstLoad - firstUser);
    line("  user time only", median(fullUser), median(fullUserRef), 1.3);
    line("  vs djpeg -bmp (holds the picture)", median(full), median(fullBmpRef), 1.3);
    if (freshMemory >= 0)
        std::printf("%-34s %8.3fs  (a minimal program, after %d s without large frees)\n",
                    "  432 MB of new memory alone", freshMemory, settle);
    std::printf("%-34s %8.3fs %8.3fs %6.2fx        (%s, %d x %d)\n", "reduced load vs -scale 1/2",
                reducedSeconds, reducedRef, reducedSeconds / reducedRef,
                reduced.ok() && reduced.reduction == 2 ? "at 1/2" : "FAILED",
                reduced.image.width(), reduced.image.height());
    std::printf("\nresident memory: %.0f MB before, %.0f MB after the load: +%.0f MB for a %.0f MB "
                "picture (goal within +%.0f MB): %s\n",
                before * 1024 / 1e6, after * 1024 / 1e6, grownMb, pictureMb, pictureMb + 50,
                verdict(grownMb <= pictureMb + 50));
    return 0;
}

#else
#include <cstdio>
int main() {
    std::puts("bigpicture_bench needs the Qt front end (VISTREL_GUI)");
    return 0;
}
#endif
