// A Linux X11 program that watches the screen Wine draws on: it reads a grid of pixels of the root
// window about 125 times a second and counts the frames in which any of them shows a given colour,
// the colour of a window that stands for the user's desktop.
//
// Usage: screensampler DIR RRGGBB [MAX_SECONDS]
// Once a frame shows the colour at every point it writes DIR/ready; counting starts with the first
// frame after that in which the colour shows nowhere (the screen is covered). It ends when the file
// DIR/stop appears (or after MAX_SECONDS, 600 by default); the figures then go to DIR/result as one line:
//   frames=<frames read since covered> shown=<of them showing the colour> hz=<frames per second>
//   covered_ms=<from the change time of DIR/go to the first covered frame, -1 without DIR/go>
// Wine cannot wait on a Linux process, so the files are the whole interface.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

constexpr int kGrid = 3;

double Seconds(const timespec& t) { return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9; }

double Now() {
    timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    return Seconds(t);
}

// The change time of `path` in the same clock as Now(), or 0 when there is no such file.
double ChangedAt(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? Seconds(info.st_mtim) : 0;
}

}  // namespace

int main(int argc, char** argv) {
    Display* display = argc < 3 ? nullptr : XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "usage: screensampler DIR RRGGBB [MAX_SECONDS], with an X display\n");
        return 2;
    }
    const std::string dir = argv[1];
    const unsigned long colour = std::strtoul(argv[2], nullptr, 16);
    const double maxSeconds = argc > 3 ? std::atof(argv[3]) : 600, start = Now();
    XWindowAttributes screen;
    XGetWindowAttributes(display, DefaultRootWindow(display), &screen);
    bool ready = false;
    double coveredAt = 0;
    long frames = 0, shown = 0;
    while (ChangedAt(dir + "/stop") == 0 && Now() - start < maxSeconds) {
        int showing = 0;
        for (int i = 0; i < kGrid * kGrid; ++i) {
            XImage* image =
                XGetImage(display, DefaultRootWindow(display), screen.width * (2 * (i % kGrid) + 1) / (2 * kGrid),
                          screen.height * (2 * (i / kGrid) + 1) / (2 * kGrid), 1, 1, AllPlanes, ZPixmap);
            if (!image) continue;
            // A 24-bit TrueColor screen (as Xvfb is started here) holds pixels as 0xRRGGBB.
            showing += (XGetPixel(image, 0, 0) & 0xFFFFFF) == colour;
            XDestroyImage(image);
        }
        if (!ready && showing == kGrid * kGrid) {
            ready = true;
            if (FILE* flag = std::fopen((dir + "/ready").c_str(), "w")) std::fclose(flag);
        }
        if (ready && coveredAt == 0 && showing == 0) coveredAt = Now();
        frames += coveredAt != 0;
        shown += coveredAt != 0 && showing > 0;
        const timespec pause{0, 8000000};
        nanosleep(&pause, nullptr);
    }
    const double went = ChangedAt(dir + "/go"), countedFor = coveredAt != 0 ? Now() - coveredAt : 0;
    FILE* out = std::fopen((dir + "/result.tmp").c_str(), "w");
    if (!out) return 1;
    std::fprintf(out, "frames=%ld shown=%ld hz=%.1f covered_ms=%.1f\n", frames, shown,
                 countedFor > 0 ? frames / countedFor : 0.0,
                 went != 0 && coveredAt != 0 ? (coveredAt - went) * 1000.0 : -1.0);
    std::fclose(out);
    XCloseDisplay(display);
    return std::rename((dir + "/result.tmp").c_str(), (dir + "/result").c_str()) == 0 ? 0 : 1;
}
