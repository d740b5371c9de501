// vantorel-svgrender IN.svg OUT.png
//
// Renders an SVG picture at its own width and height (in pixels, 96 DPI) into an
// RGBA PNG for the data build. The library tool later turns pixels under half
// opacity into the picture's transparent colour, so soft edges of glows simply
// fade out there. Exits 1 with a message on stderr when the file cannot be read,
// has no usable size, or the PNG cannot be written.
#include "tools/common/common_options.hpp"

#include <cairo.h>
#include <librsvg/rsvg.h>

#include <cmath>
#include <cstdio>
#include <memory>

namespace {

struct GObjectUnref {
    void operator()(gpointer p) const { g_object_unref(p); }
};
struct SurfaceDestroy {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDestroy {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};

constexpr const char* kUsage = "usage: vantorel-svgrender IN.svg OUT.png\n";

int Fail(const char* what, const char* file, const GError* error) {
    std::fprintf(stderr, "vantorel-svgrender: %s '%s'%s%s\n", what, file, error ? ": " : "",
                 error ? error->message : "");
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (const auto done =
            vantorel::tools::AnswerCommonOptions(argc, argv, "vantorel-svgrender", kUsage))
        return *done;
    if (argc != 3)
        return vantorel::tools::UsageError(kUsage);
    const char* in = argv[1];
    const char* out = argv[2];

    GError* error = nullptr;
    std::unique_ptr<RsvgHandle, GObjectUnref> handle(rsvg_handle_new_from_file(in, &error));
    if (!handle) {
        const int rc = Fail("cannot read", in, error);
        g_clear_error(&error);
        return rc;
    }
    rsvg_handle_set_dpi(handle.get(), 96.0);

    gdouble w = 0;
    gdouble h = 0;
    if (!rsvg_handle_get_intrinsic_size_in_pixels(handle.get(), &w, &h) || w < 1 || h < 1 ||
        w > 16384 || h > 16384)
        return Fail("needs width and height in pixels (1..16384):", in, nullptr);
    const int width = static_cast<int>(std::lround(w));
    const int height = static_cast<int>(std::lround(h));

    std::unique_ptr<cairo_surface_t, SurfaceDestroy> surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return Fail("cannot make a surface for", in, nullptr);
    {
        std::unique_ptr<cairo_t, ContextDestroy> cr(cairo_create(surface.get()));
        const RsvgRectangle viewport{0, 0, static_cast<double>(width), static_cast<double>(height)};
        if (!rsvg_handle_render_document(handle.get(), cr.get(), &viewport, &error)) {
            const int rc = Fail("cannot render", in, error);
            g_clear_error(&error);
            return rc;
        }
    }
    cairo_surface_flush(surface.get());
    if (cairo_surface_write_to_png(surface.get(), out) != CAIRO_STATUS_SUCCESS)
        return Fail("cannot write", out, nullptr);
    return 0;
}
