#include "platform/sdl_font_renderer.hpp"

#include "base/text_encoding.hpp"

#include <SDL2/SDL.h>
#include <SDL2/SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace vantorel {

namespace {

constexpr unsigned kDesktopDpi = 96;
// Texts kept rendered: enough for every menu, window and the changing numbers
// of the heads-up display, while a long game's stream of scores stays bounded.
constexpr size_t kMaxCachedTexts = 2048;
constexpr size_t kMaxCachedPixels = size_t{4} << 20;

std::string FontKey(const TFontSpec& font) {
    return font.Name + '\n' + std::to_string(font.Size) + (font.Bold ? "b" : "r");
}

} // namespace

// A font configuration of the renderer's own, so that its aliases reach no
// other renderer and nothing else in the process.
struct TSdlFontRenderer::TConfig {
    FcConfig* Fc = nullptr;
    ~TConfig() {
        if (Fc)
            FcConfigDestroy(Fc);
    }
};

struct TSdlFontRenderer::TOpenFont {
    TTF_Font* Font = nullptr;
    ~TOpenFont() {
        if (Font)
            TTF_CloseFont(Font);
    }
};

TSdlFontRenderer::TSdlFontRenderer() = default;

TSdlFontRenderer::~TSdlFontRenderer() {
    Clear();
    if (ttfReady_)
        TTF_Quit();
}

TSdlFontRenderer::TConfig* TSdlFontRenderer::Config() {
    if (!config_) {
        config_ = std::make_unique<TConfig>();
        config_->Fc = FcInitLoadConfigAndFonts();
    }
    return config_->Fc ? config_.get() : nullptr;
}

bool TSdlFontRenderer::LoadAliases(const std::string& path) {
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec).lexically_normal().string();
    if (ec || !std::filesystem::is_regular_file(absolute, ec))
        return false;
    if (std::find(loadedAliases_.begin(), loadedAliases_.end(), absolute) != loadedAliases_.end())
        return true;
    // A file with errors would leave the rules before the error in force, so it
    // is tried on a scratch configuration first.
    const auto* file = reinterpret_cast<const FcChar8*>(absolute.c_str());
    FcConfig* scratch = FcConfigCreate();
    if (!scratch)
        return false;
    const bool valid = FcConfigParseAndLoad(scratch, file, FcTrue);
    FcConfigDestroy(scratch);
    TConfig* config = valid ? Config() : nullptr;
    if (!config || !FcConfigParseAndLoad(config->Fc, file, FcTrue))
        return false;
    loadedAliases_.push_back(absolute);
    Clear();
    return true;
}

TFontMatch TSdlFontRenderer::Match(const TFontSpec& request) {
    TFontMatch result;
    TConfig* own = Config();
    FcConfig* config = own ? own->Fc : nullptr;
    FcPattern* pattern = FcPatternCreate();
    if (!config || !pattern) {
        if (pattern)
            FcPatternDestroy(pattern);
        return result;
    }
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(request.Name.c_str()));
    FcPatternAddDouble(pattern, FC_SIZE, request.Size);
    FcPatternAddDouble(pattern, FC_DPI, kDesktopDpi);
    FcPatternAddInteger(pattern, FC_WEIGHT, request.Bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult outcome = FcResultNoMatch;
    FcPattern* found = FcFontMatch(config, pattern, &outcome);
    FcPatternDestroy(pattern);
    if (!found)
        return result;

    FcChar8* text = nullptr;
    if (FcPatternGetString(found, FC_FILE, 0, &text) == FcResultMatch)
        result.File = reinterpret_cast<const char*>(text);
    if (FcPatternGetString(found, FC_FAMILY, 0, &text) == FcResultMatch)
        result.Family = reinterpret_cast<const char*>(text);
    int index = 0;
    if (FcPatternGetInteger(found, FC_INDEX, 0, &index) == FcResultMatch)
        result.Index = index;
    FcMatrix* matrix = nullptr;
    if (FcPatternGetMatrix(found, FC_MATRIX, 0, &matrix) == FcResultMatch && matrix &&
        matrix->xx > 0.05 && matrix->xx <= 4.0)
        result.ScaleX = matrix->xx;
    if (request.Bold) {
        int weight = FC_WEIGHT_REGULAR;
        FcBool embolden = FcFalse;
        FcPatternGetInteger(found, FC_WEIGHT, 0, &weight);
        FcPatternGetBool(found, FC_EMBOLDEN, 0, &embolden);
        result.SyntheticBold = embolden || weight < FC_WEIGHT_DEMIBOLD;
    }
    FcPatternDestroy(found);
    return result;
}

TSdlFontRenderer::TOpenFont* TSdlFontRenderer::Open(const TFontSpec& request) {
    const std::string key = FontKey(request);
    if (auto it = fonts_.find(key); it != fonts_.end())
        return it->second.get();

    auto opened = std::make_unique<TOpenFont>();
    if (!ttfReady_ && TTF_Init() == 0)
        ttfReady_ = true;
    const TFontMatch match = request.Size > 0 ? Match(request) : TFontMatch{};
    if (ttfReady_ && !match.File.empty()) {
        // A horizontal scale from the font configuration narrows the glyphs by
        // rendering at a lower horizontal resolution; heights stay true to size.
        const auto hdpi = static_cast<unsigned>(std::lround(kDesktopDpi * match.ScaleX));
        opened->Font = TTF_OpenFontIndexDPI(match.File.c_str(), request.Size, match.Index,
                                            std::max(1u, hdpi), kDesktopDpi);
        if (opened->Font && match.SyntheticBold)
            TTF_SetFontStyle(opened->Font, TTF_STYLE_BOLD);
    }
    return fonts_.emplace(key, std::move(opened)).first->second.get();
}

TSdlFontRenderer::TCachedText& TSdlFontRenderer::Cached(const TFontSpec& request,
                                                        const std::string& utf8) {
    std::string key = FontKey(request) + '\n' + utf8;
    auto it = texts_.find(key);
    if (it != texts_.end()) {
        textAge_.splice(textAge_.begin(), textAge_, it->second.Age);
        return it->second;
    }
    textAge_.push_front(key);
    auto& entry = texts_[std::move(key)];
    entry.Age = textAge_.begin();
    return entry;
}

void TSdlFontRenderer::Trim() {
    while (!textAge_.empty() &&
           (texts_.size() > kMaxCachedTexts || cachedPixels_ > kMaxCachedPixels)) {
        auto it = texts_.find(textAge_.back());
        if (it->second.Image) {
            cachedPixels_ -= it->second.Image->Pixels.size();
        }
        texts_.erase(it);
        textAge_.pop_back();
    }
}

TTextExtent TSdlFontRenderer::Measure(const TFontSpec& request, std::string_view text) {
    const std::string utf8 = TextToUtf8(text);
    TCachedText& entry = Cached(request, utf8);
    if (!entry.Measured) {
        entry.Measured = true;
        if (TOpenFont* font = Open(request); font && font->Font) {
            ++measurements_;
            int w = 0;
            int h = 0;
            if (utf8.empty()) {
                h = TTF_FontHeight(font->Font);
            } else if (TTF_SizeUTF8(font->Font, utf8.c_str(), &w, &h) != 0) {
                w = h = 0;
            }
            entry.Extent = {w, h};
        }
    }
    const TTextExtent extent = entry.Extent;
    Trim();
    return extent;
}

std::shared_ptr<const TTextImage> TSdlFontRenderer::Coverage(const TFontSpec& request,
                                                             std::string_view text) {
    const std::string utf8 = TextToUtf8(text);
    if (utf8.empty())
        return nullptr;
    TCachedText& entry = Cached(request, utf8);
    if (!entry.Image) {
        TOpenFont* font = Open(request);
        if (!font || !font->Font)
            return nullptr;
        ++renderings_;
        SDL_Surface* drawn =
            TTF_RenderUTF8_Blended(font->Font, utf8.c_str(), SDL_Color{255, 255, 255, 255});
        if (!drawn)
            return nullptr;
        SDL_Surface* argb = drawn->format->format == SDL_PIXELFORMAT_ARGB8888
                                ? drawn
                                : SDL_ConvertSurfaceFormat(drawn, SDL_PIXELFORMAT_ARGB8888, 0);
        if (!argb) {
            SDL_FreeSurface(drawn);
            return nullptr;
        }
        auto image = std::make_shared<TTextImage>();
        image->Width = argb->w;
        image->Height = argb->h;
        image->Pixels.resize(static_cast<size_t>(argb->w) * static_cast<size_t>(argb->h));
        SDL_LockSurface(argb);
        for (int y = 0; y < argb->h; ++y) {
            const auto* row =
                reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) +
                                                  static_cast<ptrdiff_t>(y) * argb->pitch);
            std::copy(row, row + argb->w,
                      image->Pixels.begin() + static_cast<ptrdiff_t>(y) * argb->w);
        }
        SDL_UnlockSurface(argb);
        if (argb != drawn)
            SDL_FreeSurface(argb);
        SDL_FreeSurface(drawn);
        if (!entry.Measured) {
            entry.Measured = true;
            entry.Extent = {image->Width, image->Height};
        }
        cachedPixels_ += image->Pixels.size();
        entry.Image = std::move(image);
    }
    auto image = entry.Image;
    Trim();
    return image;
}

TTextImage TSdlFontRenderer::Render(const TFontSpec& request, std::string_view text,
                                    uint32_t colour) {
    TTextImage out;
    const auto coverage = Coverage(request, text);
    if (!coverage)
        return out;
    out = *coverage;
    for (auto& p : out.Pixels)
        p = (p & 0xFF000000u) | (colour & 0x00FFFFFFu);
    return out;
}

int32_t TSdlFontRenderer::MissingGlyphs(const TFontSpec& request, std::string_view text) {
    TOpenFont* font = Open(request);
    if (!font || !font->Font)
        return -1;
    const std::string utf8 = TextToUtf8(text);
    int32_t missing = 0;
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const size_t n = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t cp = n == 1 ? lead : lead & (0x7Fu >> n);
        for (size_t k = 1; k < n && i + k < utf8.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
        if (!TTF_GlyphIsProvided32(font->Font, static_cast<Uint32>(cp)))
            ++missing;
        i += n;
    }
    return missing;
}

void TSdlFontRenderer::Clear() {
    texts_.clear();
    textAge_.clear();
    cachedPixels_ = 0;
    fonts_.clear();
}

} // namespace vantorel
