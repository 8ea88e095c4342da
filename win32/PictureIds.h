// Renderings of a dialog's pictures for larger screens, found by the picture's bitmap id.
#pragma once
// A picture control whose id is its bitmap's id shows, on a screen that makes it larger,
// the rendering at the bitmap's id plus one of these (150 % and 200 % of the bitmap's size).
#define PICTURE_150 1000
#define PICTURE_200 2000
