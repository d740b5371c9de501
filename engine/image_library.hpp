// Image libraries: named pictures cut into equal patterns (animation frames),
// loaded from a library file and drawn onto the back surface.
#pragma once

#include "engine/dib.hpp"
#include "engine/display_listener.hpp"
#include "engine/geometry.hpp"
#include "engine/hash_collection.hpp"
#include "engine/surface.hpp"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace vantorel {

class TDXDraw;
class TPictureCollection;

/// A library colour (0x00BBGGRR) as RGB: system colours (0x80000000 | index)
/// become the classic desktop scheme's colour for that index, 0x00BBGGRR as it is.
uint32_t ColorToRGB(uint32_t color);
/// The colour of a colour identifier as the files may store it ("clFuchsia",
/// "clBtnFace", ...), ignoring case; false for an unknown name.
bool IdentToColor(std::string_view ident, uint32_t& color);

/// One named picture of a library. The published fields are also the fields of
/// the library file, in file order.
class TPictureCollectionItem : public THashCollectionItem {
public:
    explicit TPictureCollectionItem(TPictureCollection& collection);
    ~TPictureCollectionItem() override;

    int32_t PatternHeight = 0; ///< <= 0: the picture's height
    int32_t PatternWidth = 0;  ///< <= 0: the picture's width
    TPicture Picture;
    int32_t SkipHeight = 0;    ///< gap between pattern rows
    int32_t SkipWidth = 0;     ///< gap between pattern columns
    bool SystemMemory = false; ///< one surface for the whole picture
    bool Transparent = true;   ///< copies leave out the transparent colour

    /// The transparent colour, 0x00BBGGRR. Setting it re-keys every owned surface.
    uint32_t TransparentColor() const { return transparentColor_; }
    void SetTransparentColor(uint32_t color);

    /// One pattern's size: PatternWidth/Height when > 0, else the picture's.
    int32_t Width() const;
    int32_t Height() const;
    /// Built patterns; before building, the count the picture size gives.
    int32_t PatternCount() const;
    /// The number of patterns building would give, without building them.
    int32_t PlannedPatternCount() const;
    /// Rectangle and surface of pattern i; an empty rectangle and null outside 0..PatternCount-1.
    TRect PatternRect(int32_t i) const;
    const TDirectDrawSurface* PatternSurface(int32_t i) const;
    bool Initialized() const { return initialized_; }

    /// The three draws; each does nothing when the item is not initialised or
    /// patternIndex is outside 0..PatternCount-1.
    void Draw(TDirectDrawSurface* dest, int32_t x, int32_t y, int32_t patternIndex) const;
    void DrawBlended(TDirectDrawSurface* dest, const TRect& destRect, int32_t patternIndex,
                     int32_t alpha) const;
    void DrawRotated(TDirectDrawSurface* dest, int32_t x, int32_t y, int32_t width, int32_t height,
                     int32_t patternIndex, double centerX, double centerY, int32_t angle) const;

    /// Cuts the picture into pattern surfaces (called by the collection's Restore).
    void Restore();
    /// Releases patterns and surfaces and clears the initialised flag.
    void Finalize();

private:
    friend class TPictureCollection;
    struct Pattern {
        TRect Rect;
        int32_t Surface = -1;
    };
    struct Layout {
        std::vector<TRect> Blocks; // picture areas, one surface each
        std::vector<Pattern> Patterns;
    };
    /// Where the patterns lie and which picture areas become surfaces.
    Layout PlanPatterns() const;

    TPictureCollection& collection_;
    uint32_t transparentColor_ = 0;
    bool built_ = false;
    bool initialized_ = false;
    std::vector<Pattern> patterns_;
    std::vector<std::unique_ptr<TDirectDrawSurface>> surfaces_;
};

/// The pictures of one library, in index order, with a name index.
class TPictureCollection : public THashCollection<TPictureCollectionItem> {
public:
    TPictureCollection() = default;

    /// 256 entries of 4 bytes, kept from the file and written back; not used for drawing.
    std::array<uint8_t, 1024> ColorTable{};

    /// Removes all items, then reads the pictures of a library file held in memory
    /// (LoadLibraryFile and ReadLibraryStream come here); initialises and restores
    /// when the display is initialised. Raises EFilerError or EInvalidGraphic.
    void ReadLibraryBytes(std::span<const uint8_t> bytes) override;
    /// The whole library file: root class "TPictureCollectionComponent", property
    /// List.ColorTable, then List with every item (pictures as 24-bit "TDIB").
    std::vector<uint8_t> WriteLibraryBytes() const;

    /// Attaches to an initialised display and marks every item initialised;
    /// raises "TPictureCollection cannot be initialized" otherwise.
    void Initialize(TDXDraw* display);
    void Finalize();
    /// Builds every item's patterns, in index order.
    void Restore();
    TDXDraw* Display() const { return display_; }

protected:
    /// EPictureCollectionError "Image '%s' not found".
    [[noreturn]] void RaiseNotFound(const std::string& name) const override;

private:
    TDXDraw* display_ = nullptr;
};

/// The image library component of the main window: follows its display's
/// notifications (2 initialise, 4 finalise, 6 restore, 0 forget the display).
class TDXImageList : public IDXDrawListener {
public:
    TDXImageList() = default;
    ~TDXImageList();
    TDXImageList(const TDXImageList&) = delete;
    TDXImageList& operator=(const TDXImageList&) = delete;

    void SetDXDraw(TDXDraw* display);
    TDXDraw* DXDraw() const { return dxDraw_; }
    TPictureCollection Items;

    void DXDrawNotify(TDXDraw& sender, TDXDrawNotifyType type) override;

private:
    TDXDraw* dxDraw_ = nullptr;
};

} // namespace vantorel
