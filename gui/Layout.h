#pragma once
#include <cstdint>

// Passed as x, y, width or height to CreateControl: the layout decides that value.
constexpr int32_t LAYOUT_AUTO = 99999;

// Space around one control, in the order top, left, right, bottom (not a RECT's order).
// The right margin counts only toward the column's maxWidth.
struct LayoutMargins {
    int32_t top = 0;
    int32_t left = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// A top-to-bottom flow of controls. It starts all zeros; the caller owns it, reads it to
// size later controls and windows, and may move nextY between controls.
struct LayoutColumn {
    int32_t top = 0;        // y of the first control placed
    int32_t left = 0;       // x of the first control placed
    int32_t maxWidth = 0;   // widest client width plus left and right margins so far
    int32_t nextY = 0;      // the cursor: just below the last control and its bottom margin
    int32_t lastHeight = 0; // client height of the last control
};
