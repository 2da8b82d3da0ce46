// Loaded into the native program with LD_PRELOAD, counts what its SDL2 screen
// presents: at exit it prints the frames presented, the seconds between the
// first and the last, the frame rate, and the renderer's name.
#include <SDL2/SDL.h>
#include <dlfcn.h>

#include <cstdio>
#include <ctime>

namespace {

long presents = 0;
double first = 0, last = 0;
char renderer_name[64] = "unknown";

double now()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Report {
    ~Report()
    {
        const double seconds = last - first;
        std::fprintf(stderr, "presents=%ld seconds=%.3f rate=%.2f renderer=%s\n", presents, seconds,
                     seconds > 0 ? static_cast<double>(presents - 1) / seconds : 0.0, renderer_name);
    }
} report;

}  // namespace

extern "C" void SDL_RenderPresent(SDL_Renderer* renderer)
{
    using Present = void (*)(SDL_Renderer*);
    static const auto real = reinterpret_cast<Present>(dlsym(RTLD_NEXT, "SDL_RenderPresent"));
    if (presents == 0) {
        SDL_RendererInfo info;
        if (SDL_GetRendererInfo(renderer, &info) == 0)
            std::snprintf(renderer_name, sizeof renderer_name, "%s", info.name);
        first = now();
    }
    real(renderer);
    ++presents;
    last = now();
}
