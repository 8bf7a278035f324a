// SDL's handles, each owned by a unique_ptr that frees it the way SDL frees that kind: a handle
// is freed once, by whoever owns it, and members declared in order free in the reverse order
// (a renderer's textures before the renderer, the renderer before its window).
#pragma once

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>

#include <memory>

namespace cw {

template <typename T, void (*Free)(T*)>
struct SdlFree {
  void operator()(T* p) const { Free(p); }
};

using WindowHandle = std::unique_ptr<SDL_Window, SdlFree<SDL_Window, SDL_DestroyWindow>>;
using RendererHandle = std::unique_ptr<SDL_Renderer, SdlFree<SDL_Renderer, SDL_DestroyRenderer>>;
using TextureHandle = std::unique_ptr<SDL_Texture, SdlFree<SDL_Texture, SDL_DestroyTexture>>;
using SurfaceHandle = std::unique_ptr<SDL_Surface, SdlFree<SDL_Surface, SDL_FreeSurface>>;
using FontHandle = std::unique_ptr<TTF_Font, SdlFree<TTF_Font, TTF_CloseFont>>;
using ControllerHandle =
    std::unique_ptr<SDL_GameController, SdlFree<SDL_GameController, SDL_GameControllerClose>>;

// SDL and its font library, started by their owner and quit when it goes: after every handle
// above, when the owner declares them before its handles.
class SdlLibrary {
 public:
  SdlLibrary() = default;
  SdlLibrary(const SdlLibrary&) = delete;
  SdlLibrary& operator=(const SdlLibrary&) = delete;
  ~SdlLibrary() {
    if (!started_) return;
    IMG_Quit();
    SDL_Quit();
  }
  // SDL_Init's `flags`; false with SDL_GetError saying why.
  bool start(Uint32 flags) { return started_ = SDL_Init(flags) == 0; }
  bool started() const { return started_; }

 private:
  bool started_ = false;
};

class FontLibrary {
 public:
  FontLibrary() = default;
  FontLibrary(const FontLibrary&) = delete;
  FontLibrary& operator=(const FontLibrary&) = delete;
  ~FontLibrary() {
    if (started_) TTF_Quit();
  }
  // False with TTF_GetError saying why.
  bool start() { return started_ = TTF_Init() == 0; }

 private:
  bool started_ = false;
};

}  // namespace cw
