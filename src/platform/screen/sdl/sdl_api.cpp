// SDL2's functions, found once in the library loaded at run time (the
// program's own definitions first: one it links, or preloads).
#include <dlfcn.h>

#define SDL_API_DEFINING
#include "platform/screen/sdl/sdl_api.h"

namespace {

SdlApi& table()
{
    static SdlApi api;
    return api;
}

template <class F>
bool find(void* library, const char* name, F* function)
{
    void* found = dlsym(RTLD_DEFAULT, name);
    if (!found) found = dlsym(library, name);
    *function = reinterpret_cast<F>(found);
    return found != nullptr;
}

}  // namespace

const SdlApi& sdl_api() { return table(); }

namespace {
void* library = nullptr;
}

bool sdl_api_load()
{
    if (library) return true;
    library = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!library) return false;
    SdlApi api;
    bool all = true;
#define SDL_API_FIND(name) all = find(library, #name, &api.name) && all;
    SDL_API_FUNCTIONS(SDL_API_FIND)
#undef SDL_API_FIND
    if (!all) {
        sdl_api_unload();
        return false;
    }
    table() = api;
    return true;
}

void sdl_api_unload()
{
    if (library) dlclose(library);
    library = nullptr;
    table() = SdlApi{};
}
