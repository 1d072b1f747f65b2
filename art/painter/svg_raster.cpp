#include "art/painter/svg_raster.h"

#include <cairo.h>
#include <librsvg/rsvg.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace zelk::art::painter {
namespace {

struct GObjectDeleter {
    void operator()(void* p) const { g_object_unref(p); }
};

}  // namespace

RgbaImage rasterizeSvg(const std::filesystem::path& svg, int width, int height) {
    GError* error = nullptr;
    std::unique_ptr<RsvgHandle, GObjectDeleter> handle(rsvg_handle_new_from_file(svg.c_str(), &error));
    if (!handle) {
        std::string message = error ? error->message : "unknown error";
        if (error) g_error_free(error);
        throw std::runtime_error("cannot read " + svg.string() + ": " + message);
    }

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    RsvgRectangle viewport{0, 0, double(width), double(height)};
    const bool ok = rsvg_handle_render_document(handle.get(), cr, &viewport, &error);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    if (!ok) {
        std::string message = error ? error->message : "unknown error";
        if (error) g_error_free(error);
        cairo_surface_destroy(surface);
        throw std::runtime_error("cannot render " + svg.string() + ": " + message);
    }

    RgbaImage image{width, height, std::vector<Rgba>(std::size_t(width) * height)};
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + std::size_t(y) * stride);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t px = row[x];  // premultiplied ARGB in native order
            image.pixels[std::size_t(y) * width + x] =
                Rgba{std::uint8_t(px >> 16), std::uint8_t(px >> 8), std::uint8_t(px), std::uint8_t(px >> 24)};
        }
    }
    cairo_surface_destroy(surface);
    return image;
}

void overlayOpaque(formats::Picture& picture, const RgbaImage& layer, int dx, int dy) {
    for (int y = 0; y < layer.height; ++y) {
        for (int x = 0; x < layer.width; ++x) {
            const Rgba& p = layer.at(x, y);
            if (p.a == 0) continue;
            if (p.a != 255)
                throw std::runtime_error("antialiased pixel at (" + std::to_string(x) + ", " + std::to_string(y) +
                                         "): draw with crisp edges");
            const int px = x + dx, py = y + dy;
            if (px < 0 || py < 0 || px >= picture.width || py >= picture.height) continue;
            picture.at(px, py) = formats::Rgb{p.r, p.g, p.b};
        }
    }
}

}  // namespace zelk::art::painter
