// Putting a frame on the desktop screen, the cheapest way the frame allows
// (docs/architecture.md names each way's conditions). In our own X11 window:
// from where it lies (the X server's shared memory, or the surface's own);
// else converted (and scaled) into an image of ours. In SDL's: from shared
// memory; copied straight into the window's surface; through a texture; or,
// where SDL has no renderer for the display, by our own X11 path.
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cstring>
#include <new>
#include <type_traits>

#include "platform/screen/sdl/sdl_screen.h"

// Scaling takes the processor's 256-bit registers where it has them, chosen as the program loads.
#if defined(__x86_64__) && defined(__linux__)
#define SCALED_BY_THE_WIDEST_REGISTERS __attribute__((target_clones("avx2", "default")))
#else
#define SCALED_BY_THE_WIDEST_REGISTERS
#endif

namespace {

// SDL's name for a format of the converters' table; SDL_PIXELFORMAT_UNKNOWN for any other.
Uint32 sdl_format(const EmuPixelFormat& f)
{
    if (pixel_format_find(f.bits, f.red, f.green, f.blue, f.alpha) == PIXEL_FORMAT_COUNT)
        return SDL_PIXELFORMAT_UNKNOWN;
    return SDL_MasksToPixelFormatEnum(static_cast<int>(f.bits), f.red, f.green, f.blue, f.alpha);
}

// A row into memory the display server reads next: stores that bypass our
// caches, as the server's reading took those lines from them anyway.
void copy_to_server(BYTE* d, const BYTE* s, std::size_t n)
{
#if defined(__SSE2__)
    std::size_t i = 0;
    const std::size_t head = (16 - (reinterpret_cast<std::uintptr_t>(d) & 15)) & 15;
    if (n >= head + 64) {
        std::memcpy(d, s, head);
        for (i = head; i + 64 <= n; i += 64)
            for (int k = 0; k < 64; k += 16)
                _mm_stream_si128(reinterpret_cast<__m128i*>(d + i + k),
                                 _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + k)));
    }
    std::memcpy(d + i, s + i, n - i);
#else
    std::memcpy(d, s, n);
#endif
}

// With the software renderer, pixels that fill the window one for one in its
// surface's own format are copied straight into that surface (the display
// server's shared memory) and put on the screen: one copy, where the renderer
// would copy them into a texture, clear the surface and copy them again.
bool show_directly(const BYTE* pixels, int pitch, Uint32 format, const SDL_Rect& place)
{
    SdlScreen& s = sdl_screen();
    SDL_Surface* surface = SDL_GetWindowSurface(s.window);
    if (!surface || surface->format->format != format || place.w != surface->w || place.h != surface->h ||
        SDL_LockSurface(surface) != 0)
        return false;
    sdl_x11_forget();
    const std::size_t row = static_cast<std::size_t>(place.w) * surface->format->BytesPerPixel;
    for (int y = 0; y < place.h; ++y)
        copy_to_server(static_cast<BYTE*>(surface->pixels) + static_cast<std::ptrdiff_t>(y) * surface->pitch,
                       pixels + static_cast<std::ptrdiff_t>(y) * pitch, row);
#if defined(__SSE2__)
    _mm_sfence();  // the streamed stores are done before the server reads
#endif
    SDL_UnlockSurface(surface);
    SDL_UpdateWindowSurface(s.window);
    s.border_drawn = false;
    return true;
}

// Rows of 0x00RRGGBB pixels scaled by `k` into rows of Out, each pixel converted by `c`.
template <class Out, class Convert>
SCALED_BY_THE_WIDEST_REGISTERS void scale_rows(BYTE* to, int to_pitch, const BYTE* from, int from_pitch, int w, int h,
                                               int k, Convert c)
{
    const std::size_t row = static_cast<std::size_t>(w) * k * sizeof(Out);
    for (int y = 0; y < h; ++y) {
        const auto* in = reinterpret_cast<const std::uint32_t*>(from + static_cast<std::ptrdiff_t>(y) * from_pitch);
        BYTE* first = to + static_cast<std::ptrdiff_t>(y) * k * to_pitch;
        auto* out = reinterpret_cast<Out*>(first);
        if (k == 1) {
            for (int x = 0; x < w; ++x) out[x] = c(in[x]);
        } else if (k == 2) {  // pairs of pixels, one store each
            using Pair = std::conditional_t<sizeof(Out) == 4, std::uint64_t, std::uint32_t>;
            for (int x = 0; x < w; ++x) {
                const Pair v = c(in[x]);
                const Pair pair = v | v << (8 * sizeof(Out));
                std::memcpy(out + 2 * x, &pair, sizeof pair);
            }
        } else {
            for (int x = 0; x < w; ++x)
                for (int j = 0; j < k; ++j) out[x * k + j] = c(in[x]);
        }
        for (int j = 1; j < k; ++j) std::memcpy(first + static_cast<std::ptrdiff_t>(j) * to_pitch, first, row);
    }
}

}  // namespace

bool sdl_scale_rows(BYTE* to, int to_pitch, int to_bits, std::uint32_t to_red, const BYTE* from, int from_pitch,
                    int width, int height, int scale)
{
    if (to_bits == 32 && to_red == 0xFF0000)
        scale_rows<std::uint32_t>(to, to_pitch, from, from_pitch, width, height, scale,
                                  [](std::uint32_t p) { return p; });
    else if (to_bits == 16 && to_red == 0xF800)
        scale_rows<std::uint16_t>(to, to_pitch, from, from_pitch, width, height, scale, [](std::uint32_t p) {
            return static_cast<std::uint16_t>((p >> 8 & 0xF800) | (p >> 5 & 0x7E0) | (p >> 3 & 0x1F));
        });
    else if (to_bits == 16 && to_red == 0x7C00)
        scale_rows<std::uint16_t>(to, to_pitch, from, from_pitch, width, height, scale, [](std::uint32_t p) {
            return static_cast<std::uint16_t>((p >> 9 & 0x7C00) | (p >> 6 & 0x3E0) | (p >> 3 & 0x1F));
        });
    else
        return false;
    return true;
}

namespace {

// Writes the black around a frame at `rect` of a window of w x h once for
// that place; false when it could not be written.
bool draw_border(int w, int h, const SDL_Rect& rect, int k, bool in_the_server)
{
    SdlScreen& s = sdl_screen();
    const int key[5] = {w, h, rect.x, rect.y, k};
    if (s.border_drawn && std::equal(key, key + 5, s.border_for)) return true;
    if (in_the_server) {
        if (!sdl_x11_fill_black(w, h)) return false;
    } else {
        SDL_Surface* surface = SDL_GetWindowSurface(s.window);
        if (!surface || SDL_FillRect(surface, nullptr, 0) != 0 || SDL_UpdateWindowSurface(s.window) != 0) return false;
    }
    s.border_drawn = true;
    std::copy(key, key + 5, s.border_for);
    return true;
}

// Full screen with the software renderer, a frame of 32-bit pixels: scaled by
// the mode's largest whole factor that fits, centred, and only the frame's
// rectangle put; the black around it is written once. One for one and in the
// X server's shared memory already, the frame is put from where it lies (the
// black drawn by the server); else it is scaled into the window's own surface
// (the server's shared memory on X11) in its 32 or 16 bits. False when the
// mode does not fit the window or the formats don't suit.
bool show_scaled(const ScreenImage& image, int left, int top, const BYTE* pixels, Uint32 format, const SDL_Rect& place)
{
    SdlScreen& s = sdl_screen();
    if (format != SDL_PIXELFORMAT_XRGB8888) return false;
    int w = 0, h = 0, k = 1, x = 0, y = 0;
    SDL_GetWindowSize(s.window, &w, &h);
    sdl_fit(s.mode.width, s.mode.height, w, h, &k, &x, &y);
    if (s.mode.width * k > w || s.mode.height * k > h) return false;
    SDL_Rect rect{x + place.x * k, y + place.y * k, place.w * k, place.h * k};
    if (k == 1 && draw_border(w, h, rect, k, true) &&
        sdl_x11_put_shared(image, left, top, place.w, place.h, rect.x, rect.y))
        return true;
    sdl_x11_forget();
    SDL_Surface* surface = SDL_GetWindowSurface(s.window);
    if (!surface || surface->w != w || surface->h != h) return false;
    const Uint32 to = surface->format->format;
    if (to != SDL_PIXELFORMAT_XRGB8888 && to != SDL_PIXELFORMAT_RGB565 && to != SDL_PIXELFORMAT_XRGB1555) return false;
    if (!draw_border(w, h, rect, k, false)) return false;
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
    BYTE* out = static_cast<BYTE*>(surface->pixels) + static_cast<std::ptrdiff_t>(rect.y) * surface->pitch +
                rect.x * surface->format->BytesPerPixel;
    sdl_scale_rows(out, surface->pitch, surface->format->BitsPerPixel == 32 ? 32 : 16, surface->format->Rmask, pixels,
                   image.pitch, place.w, place.h, k);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    return SDL_UpdateWindowSurfaceRects(s.window, &rect, 1) == 0;
}

// Any frame SDL knows the format of, through a texture the renderer scales.
bool show_through_texture(const BYTE* pixels, int pitch, Uint32 format, const SDL_Rect& place)
{
    SdlScreen& s = sdl_screen();
    if (!s.texture || s.texture_format != format || s.texture_width != place.w || s.texture_height != place.h) {
        if (s.texture) SDL_DestroyTexture(s.texture);
        s.texture = SDL_CreateTexture(s.renderer, format, SDL_TEXTUREACCESS_STREAMING, place.w, place.h);
        s.texture_format = format;
        s.texture_width = place.w;
        s.texture_height = place.h;
        if (!s.texture) return false;
    }
    s.border_drawn = false;  // the renderer draws the whole window
    SDL_SetRenderDrawColor(s.renderer, 0, 0, 0, 255);
    const bool drawn = SDL_UpdateTexture(s.texture, nullptr, pixels, pitch) == 0 && SDL_RenderClear(s.renderer) == 0 &&
                       SDL_RenderCopy(s.renderer, s.texture, nullptr, &place) == 0;
    SDL_RenderPresent(s.renderer);
    return drawn;
}

// Our own window: a full-screen mode scaled by its largest whole factor that
// fits, centred on the black the server keeps around it; windowed, one for
// one. 32-bit frames on a 24-bit screen go from where they lie; any other
// way is converted into our own image of the window.
bool show_native(const ScreenImage& image, const ScreenPart& part, const BYTE* first)
{
    SdlScreen& s = sdl_screen();
    const int k = s.fullscreen ? s.scale : 1;
    const int to_x = (s.fullscreen ? s.offset_x : 0) + part.x * k, to_y = (s.fullscreen ? s.offset_y : 0) + part.y * k;
    if (k == 1 && (sdl_x11_put_shared(image, part.left, part.top, part.width, part.height, to_x, to_y) ||
                   sdl_x11_put_direct(image, part.left, part.top, part.width, part.height, to_x, to_y)))
        return true;
    return sdl_x11_put(first, image.pitch, image.format, part.width, part.height, to_x, to_y, k);
}

}  // namespace

BYTE* screen_alloc_pixels(std::size_t bytes)
{
    if (BYTE* shared = sdl_x11_alloc_shared(bytes)) return shared;
    return screen_zeroed_pixels(bytes);
}

void screen_free_pixels(BYTE* pixels, std::size_t)
{
    sdl_x11_forget_pixels(pixels);
    if (!sdl_x11_free_shared(pixels)) ::operator delete(pixels);
}

bool screen_show(const ScreenImage& image, const RECT& visible)
{
    SdlScreen& s = sdl_screen();
    if (!image.pixels) {  // nothing new; the memory is not read again
        sdl_x11_forget();
        return true;
    }
    if (s.native) {
        if (pixel_format_find(image.format.bits, image.format.red, image.format.green, image.format.blue,
                              image.format.alpha) == PIXEL_FORMAT_COUNT)
            return false;
        const ScreenPart part = screen_visible_part(image, visible);
        if (part.width == 0) return true;
        const BYTE* first = image.pixels + static_cast<std::ptrdiff_t>(part.top) * image.pitch +
                            part.left * static_cast<int>(image.format.bits / 8);
        return show_native(image, part, first);
    }
    const Uint32 format = sdl_format(image.format);
    if (!s.window || format == SDL_PIXELFORMAT_UNKNOWN) return false;
    // Only the part of `visible` on the screen has pixels; it keeps its place in
    // the window, and the part off the screen stays black.
    const ScreenPart part = screen_visible_part(image, visible);
    if (part.width == 0) return true;  // all of it off the screen
    const int left = part.left, top = part.top, w = part.width, h = part.height;
    const SDL_Rect place{part.x, part.y, w, h};
    const int bpp = static_cast<int>(image.format.bits / 8);
    const BYTE* first = image.pixels + static_cast<std::ptrdiff_t>(top) * image.pitch + left * bpp;
    if (!s.renderer) {
        // Our own path: 32-bit frames (the only modes it offers), a full-screen
        // mode scaled and centred as the renderer would.
        if (format != SDL_PIXELFORMAT_XRGB8888) return false;
        if (s.fullscreen)
            return sdl_x11_put(first, image.pitch, image.format, w, h, s.offset_x + place.x * s.scale,
                               s.offset_y + place.y * s.scale, s.scale);
        return sdl_x11_put(first, image.pitch, image.format, w, h, place.x, place.y, 1);
    }
    int window_w = 0, window_h = 0;
    SDL_GetWindowSize(s.window, &window_w, &window_h);
    const bool fills = place.x == 0 && place.y == 0 && place.w == window_w && place.h == window_h;
    if (s.software && fills &&
        (sdl_x11_put_shared(image, left, top, w, h, 0, 0) || show_directly(first, image.pitch, format, place))) {
        s.border_drawn = false;
        return true;
    }
    // Only where the window's surface is the X server's memory: elsewhere SDL
    // makes it a texture of a renderer of its own, beside ours.
    if (s.software && s.fullscreen && sdl_x11_connect() && show_scaled(image, left, top, first, format, place))
        return true;
    sdl_x11_forget();
    return show_through_texture(first, image.pitch, format, place);
}

bool screen_read_back(std::vector<std::uint32_t>* pixels, int* width, int* height)
{
    SdlScreen& s = sdl_screen();
    if (s.native) return sdl_x11_read_back(pixels, width, height);
    if (!s.window) return false;
    if (sdl_x11_read_back(pixels, width, height)) return true;
    if (!s.renderer || SDL_GetRendererOutputSize(s.renderer, width, height) != 0) return false;
    pixels->assign(static_cast<std::size_t>(*width) * *height, 0);
    // Read in the renderer's own coordinates, not the logical ones.
    const SDL_Rect all{0, 0, *width, *height};
    int lw = 0, lh = 0;
    SDL_RenderGetLogicalSize(s.renderer, &lw, &lh);
    SDL_RenderSetLogicalSize(s.renderer, 0, 0);
    const int status = SDL_RenderReadPixels(s.renderer, &all, SDL_PIXELFORMAT_XRGB8888, pixels->data(), *width * 4);
    SDL_RenderSetLogicalSize(s.renderer, lw, lh);
    for (auto& p : *pixels) p &= 0x00FFFFFF;
    return status == 0;
}
