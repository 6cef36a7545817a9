#pragma once

#include <array>

// Where the thumbnails of a contact sheet go. The vertical columns are not a uniform step;
// the table is what the printed sheets and the background pictures agree on.
namespace sc::printing::sheet {

struct Point {
    int x;
    int y;
};

inline constexpr int kThumbWidth = 160;
inline constexpr int kThumbHeight = 120;
inline constexpr Point kCaptionOffset{18, 120};
inline constexpr int kCaptionWidth = 143;
inline constexpr int kCaptionHeight = 15;

inline constexpr int kVerticalCapacity = 50; // 5 columns x 10 rows, filled down each column
inline constexpr int kFilmCapacity = 66;     // 11 columns x 6 rows, filled along each row
inline constexpr std::array<int, 5> kVerticalColumnX{18, 239, 461, 681, 902};

// The smallest backgrounds on which every slot (and caption) lies whole.
inline constexpr Point kVerticalSheetSize{1063, 1416};
inline constexpr Point kFilmSheetSize{1876, 1257};

constexpr Point verticalSlot(int k) {
    return {kVerticalColumnX[k / 10], 39 + 138 * (k % 10)};
}
constexpr Point verticalCaption(int k) {
    const Point t = verticalSlot(k);
    return {t.x + kCaptionOffset.x, t.y + kCaptionOffset.y};
}
constexpr Point filmSlot(int k) {
    return {16 + 170 * (k % 11), 22 + 223 * (k / 11)};
}

// One of the two sheet layouts, chosen by the print mode's item index.
struct Layout {
    int capacity;
    Point (*slot)(int k);     // thumbnail position of slot k
    bool captions;            // file names under the thumbnails
    const char* background;   // in the data folder
    const char* pageFileStem; // of a print job's own page file, "<stem>.<job>.tif"
    int paperOrientation;     // 1 portrait, 2 landscape
};

inline constexpr Layout kVertical{kVerticalCapacity, verticalSlot, true,
                                  "/bg_tate.bmp",    "bg_tate",    1};
inline constexpr Layout kFilm{kFilmCapacity, filmSlot, false, "/bg_film.bmp", "bg_film", 2};

// The layout of print mode item `index` (0 vertical, 1 film); none for any other.
constexpr const Layout* layoutFor(int index) {
    return index == 0 ? &kVertical : index == 1 ? &kFilm : nullptr;
}

} // namespace sc::printing::sheet
