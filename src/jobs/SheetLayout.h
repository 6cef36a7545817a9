#pragma once

#include <array>

// Where the thumbnails of a contact sheet go. The vertical columns are not a uniform step;
// the table is what the printed sheets and the background pictures agree on.
namespace sc::sheet {

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

} // namespace sc::sheet
