#include "support/ppm.hpp"

#include <fstream>

namespace vantorel::test_support {

TPicture ReadPpm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int w = 0, h = 0, max = 0;
    in >> magic >> w >> h >> max;
    in.get();
    TPicture pic;
    pic.Width = w;
    pic.Height = h;
    for (int i = 0; i < w * h; ++i) {
        unsigned char rgb[3];
        in.read(reinterpret_cast<char*>(rgb), 3);
        pic.Pixels.push_back(TPixel{rgb[0]} << 16 | TPixel{rgb[1]} << 8 | rgb[2]);
    }
    return pic;
}

} // namespace vantorel::test_support
