// A Linux X11 program that watches the screen Wine draws on: it reads a grid of pixels of the root
// window about 125 times a second and counts the frames in which any of them shows a given colour,
// the colour of a window that stands for the user's desktop.
//
// Usage: screensampler DIR RRGGBB [MAX_SECONDS]
// Once a frame shows the colour at every point it writes DIR/ready; counting starts with the first
// frame after that in which the colour shows nowhere (the screen is covered). It ends when the file DIR/stop appears (or after MAX_SECONDS, 600 by default); the figures then
// go to DIR/result as one line:
//   frames=<frames read since covered> shown=<of them showing the colour> hz=<frames per second>
//   covered_ms=<from the change time of DIR/go to the first covered frame, -1 without DIR/go>
// Wine cannot wait on a Linux process, so the files are the whole interface.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

constexpr int kGrid = 3;
constexpr long kFrameNs = 8000000;

double Seconds(const timespec& t) { return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9; }

double Now() {
    timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    return Seconds(t);
}

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// The change time of `path` in the same clock as Now(), or 0 when there is no such file.
double ChangedAt(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? Seconds(info.st_mtim) : 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: screensampler DIR RRGGBB [MAX_SECONDS]\n");
        return 2;
    }
    const std::string dir = argv[1];
    const unsigned long colour = std::strtoul(argv[2], nullptr, 16);
    const double maxSeconds = argc > 3 ? std::atof(argv[3]) : 600;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "screensampler: no X display\n");
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, root, &attributes);

    const double start = Now();
    bool ready = false;
    double coveredAt = 0;
    long frames = 0, shown = 0;
    while (!Exists(dir + "/stop") && Now() - start < maxSeconds) {
        int showing = 0;
        for (int i = 0; i < kGrid * kGrid; ++i) {
            const int x = attributes.width * (2 * (i % kGrid) + 1) / (2 * kGrid);
            const int y = attributes.height * (2 * (i / kGrid) + 1) / (2 * kGrid);
            XImage* image = XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap);
            if (!image) continue;
            // A 24-bit TrueColor screen (as Xvfb is started here) holds pixels as 0xRRGGBB.
            showing += (XGetPixel(image, 0, 0) & 0xFFFFFF) == colour;
            XDestroyImage(image);
        }
        const bool showsColour = showing > 0;
        if (!ready && showing == kGrid * kGrid) {
            ready = true;
            if (FILE* flag = std::fopen((dir + "/ready").c_str(), "w")) std::fclose(flag);
        }
        if (ready && coveredAt == 0 && !showsColour) coveredAt = Now();
        if (coveredAt != 0) {
            ++frames;
            shown += showsColour;
        }
        const timespec pause{0, kFrameNs};
        nanosleep(&pause, nullptr);
    }
    const double went = ChangedAt(dir + "/go");
    const double countedFor = coveredAt != 0 ? Now() - coveredAt : 0;
    const std::string temp = dir + "/result.tmp";
    FILE* out = std::fopen(temp.c_str(), "w");
    if (!out) return 1;
    std::fprintf(out, "frames=%ld shown=%ld hz=%.1f covered_ms=%.1f\n", frames, shown,
                 countedFor > 0 ? frames / countedFor : 0.0,
                 went != 0 && coveredAt != 0 ? (coveredAt - went) * 1000.0 : -1.0);
    std::fclose(out);
    XCloseDisplay(display);
    return std::rename(temp.c_str(), (dir + "/result").c_str()) == 0 ? 0 : 1;
}
