#include "engine/image_library.hpp"

#include "base/errors.hpp"
#include "base/text_encoding.hpp"
#include "engine/display.hpp"
#include "engine/library_stream.hpp"

#include <algorithm>
#include <limits>

namespace vantorel {

namespace {

// The classic desktop scheme, by system colour index (0x00BBGGRR).
constexpr uint32_t kSystemColors[] = {
    0xC0C0C0, 0x808000, 0x800000, 0x808080, 0xC0C0C0, 0xFFFFFF, 0x000000, 0x000000,
    0x000000, 0xFFFFFF, 0xC0C0C0, 0xC0C0C0, 0x808080, 0x800000, 0xFFFFFF, 0xC0C0C0,
    0x808080, 0x808080, 0x000000, 0xC0C0C0, 0xFFFFFF, 0x000000, 0xC0C0C0, 0x000000,
    0xE1FFFF, 0x000000, 0xFF0000, 0xD08410, 0xB5B5B5, 0x800000, 0xC0C0C0,
};

struct TColorName {
    const char* Name;
    uint32_t Color;
};

constexpr TColorName kColorNames[] = {
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clLtGray", 0xC0C0C0},
    {"clDkGray", 0x808080},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
    {"clScrollBar", 0x80000000},
    {"clBackground", 0x80000001},
    {"clActiveCaption", 0x80000002},
    {"clInactiveCaption", 0x80000003},
    {"clMenu", 0x80000004},
    {"clWindow", 0x80000005},
    {"clWindowFrame", 0x80000006},
    {"clMenuText", 0x80000007},
    {"clWindowText", 0x80000008},
    {"clCaptionText", 0x80000009},
    {"clActiveBorder", 0x8000000A},
    {"clInactiveBorder", 0x8000000B},
    {"clAppWorkSpace", 0x8000000C},
    {"clHighlight", 0x8000000D},
    {"clHighlightText", 0x8000000E},
    {"clBtnFace", 0x8000000F},
    {"clBtnShadow", 0x80000010},
    {"clGrayText", 0x80000011},
    {"clBtnText", 0x80000012},
    {"clInactiveCaptionText", 0x80000013},
    {"clBtnHighlight", 0x80000014},
    {"cl3DDkShadow", 0x80000015},
    {"cl3DLight", 0x80000016},
    {"clInfoText", 0x80000017},
    {"clInfoBk", 0x80000018},
    {"clHotLight", 0x8000001A},
    {"clGradientActiveCaption", 0x8000001B},
    {"clGradientInactiveCaption", 0x8000001C},
    {"clMenuHighlight", 0x8000001D},
    {"clMenuBar", 0x8000001E},
};

int32_t ToInt32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

int32_t CeilDiv(int64_t a, int64_t b) {
    return static_cast<int32_t>((a + b - 1) / b);
}

} // namespace

uint32_t ColorToRGB(uint32_t color) {
    if ((color & 0xFF000000u) == 0x80000000u) {
        const uint32_t index = color & 0xFFu;
        return index < std::size(kSystemColors) ? kSystemColors[index] : 0;
    }
    return color & 0x00FFFFFFu;
}

bool IdentToColor(std::string_view ident, uint32_t& color) {
    for (const auto& c : kColorNames) {
        if (SameTextCp1252(ident, c.Name)) {
            color = c.Color;
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------
// Item

TPictureCollectionItem::TPictureCollectionItem(TPictureCollection& collection)
    : THashCollectionItem(collection.NameIndex()), collection_(collection) {}

TPictureCollectionItem::~TPictureCollectionItem() = default;

void TPictureCollectionItem::SetTransparentColor(uint32_t color) {
    transparentColor_ = color;
    const TPixel key = ColorToPixel(ColorToRGB(color));
    for (auto& s : surfaces_)
        s->SetColorKey(key);
}

int32_t TPictureCollectionItem::Width() const {
    return PatternWidth > 0 ? PatternWidth : Picture.Width;
}

int32_t TPictureCollectionItem::Height() const {
    return PatternHeight > 0 ? PatternHeight : Picture.Height;
}

int32_t TPictureCollectionItem::PatternCount() const {
    if (built_)
        return static_cast<int32_t>(patterns_.size());
    if (Picture.IsEmpty())
        return 0;
    // Cells of the picture along one side; a cell size of 0 or less counts as
    // one cell covering the whole side.
    auto along = [](int64_t side, int64_t pattern, int64_t skip) -> int64_t {
        const int64_t cell = pattern + skip;
        if (cell <= 0)
            return 1;
        int64_t n = side / cell;
        if (side - n * cell == pattern)
            ++n;
        return n;
    };
    const int64_t n = along(Picture.Width, PatternWidth, SkipWidth) *
                      along(Picture.Height, PatternHeight, SkipHeight);
    return ToInt32(n);
}

int32_t TPictureCollectionItem::PlannedPatternCount() const {
    return static_cast<int32_t>(PlanPatterns().Patterns.size());
}

TPictureCollectionItem::Layout TPictureCollectionItem::PlanPatterns() const {
    Layout out;
    if (Picture.IsEmpty())
        return out;
    const int32_t w = Width();
    const int32_t h = Height();
    const int32_t pw = Picture.Width;
    const int32_t ph = Picture.Height;
    if (w == pw && h == ph) {
        out.Blocks.push_back({0, 0, pw, ph});
        out.Patterns.push_back({{0, 0, pw, ph}, 0});
        return out;
    }
    const int64_t cw = int64_t{w} + SkipWidth;
    const int64_t ch = int64_t{h} + SkipHeight;
    if (cw <= 0 || ch <= 0)
        return out;
    const int64_t columns = (int64_t{pw} + SkipWidth) / cw;
    const int64_t rows = (int64_t{ph} + SkipHeight) / ch;
    if (columns <= 0 || rows <= 0)
        return out;

    if (SystemMemory) {
        out.Blocks.push_back({0, 0, pw, ph});
        for (int64_t r = 0; r < rows; ++r)
            for (int64_t c = 0; c < columns; ++c)
                out.Patterns.push_back(
                    {Bounds(static_cast<int32_t>(c * cw), static_cast<int32_t>(r * ch), w, h), 0});
        return out;
    }

    // Blocks of whole cells reaching about 512 pixels a side, one surface each.
    const int64_t bw = std::min(cw * CeilDiv(512, cw), cw * columns);
    const int64_t bh = std::min(ch * CeilDiv(512, ch), ch * rows);
    if (bw <= 0 || bh <= 0)
        return out;
    const int64_t nbx = CeilDiv(pw, bw);
    const int64_t nby = CeilDiv(ph, bh);
    for (int64_t by = 0; by < nby; ++by) {
        for (int64_t bx = 0; bx < nbx; ++bx) {
            int64_t sw = std::min(bw, pw - bx * bw);
            int64_t sh = std::min(bh, ph - by * bh);
            if (sw <= 0)
                sw = bw;
            if (sh <= 0)
                sh = bh;
            out.Blocks.push_back(Bounds(static_cast<int32_t>(bx * bw),
                                        static_cast<int32_t>(by * bh), static_cast<int32_t>(sw),
                                        static_cast<int32_t>(sh)));
        }
    }
    for (int64_t r = 0; r < rows; ++r) {
        for (int64_t c = 0; c < columns; ++c) {
            const auto x = static_cast<int32_t>((c * cw) % bw);
            const auto y = static_cast<int32_t>((r * ch) % bh);
            const auto surface = static_cast<int32_t>((c * cw) / bw + nbx * ((r * ch) / bh));
            out.Patterns.push_back({Bounds(x, y, w, h), surface});
        }
    }
    return out;
}

void TPictureCollectionItem::Restore() {
    if (Picture.IsEmpty())
        return;
    if (!initialized_) {
        const TDXDraw* display = collection_.Display();
        if (display == nullptr || !display->Initialized())
            return;
        initialized_ = true;
    }
    patterns_.clear();
    surfaces_.clear();

    Layout layout = PlanPatterns();
    const TPixel key = ColorToPixel(ColorToRGB(transparentColor_));
    for (const TRect& area : layout.Blocks) {
        auto surface = std::make_unique<TDirectDrawSurface>();
        const int32_t cols = std::min(area.Right, Picture.Width) - area.Left;
        const int32_t rowsIn = std::min(area.Bottom, Picture.Height) - area.Top;
        const TPixel* src = cols > 0 && rowsIn > 0 ? Picture.Pixels.data() +
                                                         static_cast<size_t>(area.Top) *
                                                             static_cast<size_t>(Picture.Width) +
                                                         static_cast<size_t>(area.Left)
                                                   : nullptr;
        surface->SetPixels(area.Width(), area.Height(), src, Picture.Width, cols, rowsIn);
        surface->SetColorKey(key);
        surfaces_.push_back(std::move(surface));
    }
    patterns_ = std::move(layout.Patterns);
    built_ = true;
}

void TPictureCollectionItem::Finalize() {
    patterns_.clear();
    surfaces_.clear();
    built_ = false;
    initialized_ = false;
}

TRect TPictureCollectionItem::PatternRect(int32_t i) const {
    if (i < 0 || i >= static_cast<int32_t>(patterns_.size()))
        return {};
    return patterns_[static_cast<size_t>(i)].Rect;
}

const TDirectDrawSurface* TPictureCollectionItem::PatternSurface(int32_t i) const {
    if (i < 0 || i >= static_cast<int32_t>(patterns_.size()))
        return nullptr;
    return surfaces_[static_cast<size_t>(patterns_[static_cast<size_t>(i)].Surface)].get();
}

void TPictureCollectionItem::Draw(TDirectDrawSurface* dest, int32_t x, int32_t y,
                                  int32_t patternIndex) const {
    if (!initialized_ || dest == nullptr)
        return;
    const TDirectDrawSurface* src = PatternSurface(patternIndex);
    if (src == nullptr)
        return;
    dest->Draw(x, y, *src, PatternRect(patternIndex), Transparent);
}

void TPictureCollectionItem::DrawBlended(TDirectDrawSurface* dest, const TRect& destRect,
                                         int32_t patternIndex, int32_t alpha) const {
    if (!initialized_ || dest == nullptr)
        return;
    const TDirectDrawSurface* src = PatternSurface(patternIndex);
    if (src == nullptr)
        return;
    dest->DrawBlended(destRect, *src, PatternRect(patternIndex), Transparent, alpha);
}

void TPictureCollectionItem::DrawRotated(TDirectDrawSurface* dest, int32_t x, int32_t y,
                                         int32_t width, int32_t height, int32_t patternIndex,
                                         double centerX, double centerY, int32_t angle) const {
    if (!initialized_ || dest == nullptr)
        return;
    const TDirectDrawSurface* src = PatternSurface(patternIndex);
    if (src == nullptr)
        return;
    dest->DrawRotated(x, y, width, height, *src, PatternRect(patternIndex), centerX, centerY, angle,
                      Transparent);
}

// ---------------------------------------------------------------------------
// Collection

void TPictureCollection::RaiseNotFound(const std::string& name) const {
    throw EPictureCollectionError("Image '" + name + "' not found");
}

namespace {

void ReadPictureItem(TLibraryReader& r, TPictureCollectionItem& item) {
    while (!r.EndOfList()) {
        const std::string prop = r.ReadPropName();
        if (SameTextCp1252(prop, "Name")) {
            item.SetName(r.ReadString());
        } else if (SameTextCp1252(prop, "PatternHeight")) {
            item.PatternHeight = ToInt32(r.ReadInteger());
        } else if (SameTextCp1252(prop, "PatternWidth")) {
            item.PatternWidth = ToInt32(r.ReadInteger());
        } else if (SameTextCp1252(prop, "SkipHeight")) {
            item.SkipHeight = ToInt32(r.ReadInteger());
        } else if (SameTextCp1252(prop, "SkipWidth")) {
            item.SkipWidth = ToInt32(r.ReadInteger());
        } else if (SameTextCp1252(prop, "SystemMemory")) {
            item.SystemMemory = r.ReadBoolean();
        } else if (SameTextCp1252(prop, "Transparent")) {
            item.Transparent = r.ReadBoolean();
        } else if (SameTextCp1252(prop, "TransparentColor")) {
            if (r.PeekValueType() == TValueType::vaIdent) {
                uint32_t color = 0;
                if (!IdentToColor(r.ReadString(), color))
                    throw EFilerError(kInvalidStreamFormat);
                item.SetTransparentColor(color);
            } else {
                item.SetTransparentColor(static_cast<uint32_t>(r.ReadInteger()));
            }
        } else if (SameTextCp1252(prop, "Picture.Data")) {
            item.Picture = ReadPictureData(r.ReadBinary());
        } else {
            r.SkipValue();
        }
    }
    r.ReadListEnd();
}

} // namespace

void TPictureCollection::ReadLibraryBytes(std::span<const uint8_t> bytes) {
    Clear();
    try {
        ReadLibraryRoot(
            bytes, [this](TLibraryReader& r) { ReadPictureItem(r, Add(*this)); },
            [this](TLibraryReader& r, const std::string& prop) {
                if (!SameTextCp1252(prop, "List.ColorTable"))
                    return false;
                const auto table = r.ReadBinary();
                ColorTable.fill(0);
                std::copy_n(table.begin(), std::min(table.size(), ColorTable.size()),
                            ColorTable.begin());
                return true;
            });
    } catch (...) {
        Clear(); // never leave a half-read library behind
        throw;
    }
    if (display_ != nullptr && display_->Initialized()) {
        Initialize(display_);
        Restore();
    }
}

std::vector<uint8_t> TPictureCollection::WriteLibraryBytes() const {
    TLibraryWriter w("TPictureCollectionComponent");
    w.WritePropName("List.ColorTable");
    w.WriteBinary(ColorTable);
    w.WritePropName("List");
    w.WriteCollectionStart();
    for (int32_t i = 0; i < Count(); ++i) {
        const TPictureCollectionItem& item = Items(i);
        w.WriteElementStart();
        w.WritePropName("Name");
        w.WriteString(item.Name());
        w.WritePropName("PatternHeight");
        w.WriteInteger(item.PatternHeight);
        w.WritePropName("PatternWidth");
        w.WriteInteger(item.PatternWidth);
        if (!item.Picture.IsEmpty()) {
            w.WritePropName("Picture.Data");
            w.WriteBinary(WritePictureData(item.Picture));
        }
        if (item.SkipHeight != 0) {
            w.WritePropName("SkipHeight");
            w.WriteInteger(item.SkipHeight);
        }
        if (item.SkipWidth != 0) {
            w.WritePropName("SkipWidth");
            w.WriteInteger(item.SkipWidth);
        }
        w.WritePropName("SystemMemory");
        w.WriteBoolean(item.SystemMemory);
        if (!item.Transparent) {
            w.WritePropName("Transparent");
            w.WriteBoolean(false);
        }
        w.WritePropName("TransparentColor");
        w.WriteInteger(static_cast<int32_t>(item.TransparentColor()));
        w.WriteListEnd();
    }
    w.WriteListEnd();
    return w.Finish();
}

void TPictureCollection::Initialize(TDXDraw* display) {
    Finalize();
    display_ = display;
    if (display == nullptr || !display->Initialized())
        throw EPictureCollectionError("TPictureCollection cannot be initialized");
    for (int32_t i = 0; i < Count(); ++i)
        Items(i).initialized_ = true;
}

void TPictureCollection::Finalize() {
    for (int32_t i = 0; i < Count(); ++i)
        Items(i).Finalize();
    display_ = nullptr;
}

void TPictureCollection::Restore() {
    for (int32_t i = 0; i < Count(); ++i)
        Items(i).Restore();
}

// ---------------------------------------------------------------------------
// Component

TDXImageList::~TDXImageList() {
    SetDXDraw(nullptr);
}

void TDXImageList::SetDXDraw(TDXDraw* display) {
    if (dxDraw_ == display)
        return;
    if (dxDraw_ != nullptr)
        dxDraw_->RemoveListener(this);
    Items.Finalize();
    dxDraw_ = display;
    if (dxDraw_ == nullptr)
        return;
    dxDraw_->AddListener(this);
    if (dxDraw_->Initialized()) {
        Items.Initialize(dxDraw_);
        Items.Restore();
    }
}

void TDXImageList::DXDrawNotify(TDXDraw& sender, TDXDrawNotifyType type) {
    switch (type) {
    case TDXDrawNotifyType::Destroying:
        SetDXDraw(nullptr);
        break;
    case TDXDrawNotifyType::Initialize:
        Items.Initialize(&sender);
        break;
    case TDXDrawNotifyType::Finalize:
        Items.Finalize();
        break;
    case TDXDrawNotifyType::Restore:
        Items.Restore();
        break;
    default:
        break;
    }
}

} // namespace vantorel
