#pragma once
// The state pictures of a check-box tree, drawn by the application's style: index 0 blank,
// 1 unchecked, 2 checked, 3 mixed.

class TexImageList;

// Fills an empty list with the four pictures at the list's size.
void AddCheckboxStateImages(TexImageList& list);
