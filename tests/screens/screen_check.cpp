// Checks screenshots by their pixels. Each line of a checks file reads
//   SHOT all|any|none X0 Y0 X1 Y1 RRGGBB WHAT...
// for the screenshot SHOT (build/screens/win-SHOT.bmp under the folder given):
// every pixel, at least one, or no pixel of the rectangle [X0, X1) x [Y0, Y1)
// has the colour; or
//   SHOT size WIDTH HEIGHT WHAT...
// the screenshot has that size. Blank lines and lines starting with "#" are
// skipped.
// Usage: screen-check CHECKS SCREENS_FOLDER. Exit code 0 when all hold.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "bmp_reader.h"

namespace {

struct Check {
    std::string shot;
    std::string mode;
    int32_t x0, y0, x1, y1;
    uint32_t colour;
    std::string what;
};

bool parse_check(const std::string& text, Check* check) {
    std::istringstream in(text);
    if (!(in >> check->shot >> check->mode)) return false;
    if (check->mode == "size") {
        check->x0 = check->y0 = 0;
        if (!(in >> check->x1 >> check->y1)) return false;
        std::getline(in >> std::ws, check->what);
        return check->x1 > 0 && check->y1 > 0;
    }
    std::string colour;
    if (!(in >> check->x0 >> check->y0 >> check->x1 >> check->y1 >> colour)) return false;
    if (check->mode != "all" && check->mode != "any" && check->mode != "none") return false;
    if (colour.size() != 6 || colour.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos) return false;
    check->colour = static_cast<uint32_t>(std::stoul(colour, nullptr, 16));
    std::getline(in >> std::ws, check->what);
    return check->x0 < check->x1 && check->y0 < check->y1;
}

// Whether the check holds; when not, `detail` says why.
bool holds(const BmpImage& image, const Check& check, std::string* detail) {
    if (check.mode == "size") {
        if (image.width == check.x1 && image.height == check.y1) return true;
        *detail = "the image is " + std::to_string(image.width) + "x" + std::to_string(image.height);
        return false;
    }
    if (check.x0 < 0 || check.y0 < 0 || check.x1 > image.width || check.y1 > image.height) {
        *detail = "rectangle outside the " + std::to_string(image.width) + "x" + std::to_string(image.height) + " image";
        return false;
    }
    for (int32_t y = check.y0; y < check.y1; y++) {
        for (int32_t x = check.x0; x < check.x1; x++) {
            bool same = bmp_pixel(image, x, y) == check.colour;
            if (check.mode == "any" && same) return true;
            if (check.mode != "any" && same != (check.mode == "all")) {
                char text[64];
                std::snprintf(text, sizeof text, "pixel (%d, %d) is %06X", x, y, bmp_pixel(image, x, y));
                *detail = text;
                return false;
            }
        }
    }
    if (check.mode == "any") *detail = "no pixel of that colour";
    return check.mode != "any";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: screen-check CHECKS SCREENS_FOLDER\n");
        return 2;
    }
    std::ifstream file(argv[1]);
    if (!file) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    int failures = 0, checks = 0;
    std::string text;
    for (int number = 1; std::getline(file, text); number++) {
        if (text.empty() || text[0] == '#') continue;
        Check check;
        if (!parse_check(text, &check)) {
            std::printf("FAIL: line %d cannot be read\n", number);
            failures++;
            continue;
        }
        checks++;
        BmpImage image;
        std::string detail;
        std::string path = std::string(argv[2]) + "/win-" + check.shot + ".bmp";
        bool ok = read_bmp_file(path, &image, &detail) && holds(image, check, &detail);
        std::printf("%s: %s: %s%s%s\n", ok ? "ok" : "FAIL", check.shot.c_str(), check.what.c_str(),
                    ok ? "" : ": ", ok ? "" : detail.c_str());
        if (!ok) failures++;
    }
    if (checks == 0) {
        std::printf("FAIL: no checks in %s\n", argv[1]);
        return 1;
    }
    return failures ? 1 : 0;
}
