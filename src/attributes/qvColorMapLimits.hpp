#pragma once
// The one check of a colour count against the 256 entries a map can hold,
// shared by colour maps and bitmap colour storage.

// Raises qvErrorFrom<qvColorMap> "The number of colors cannot be greater
// then 256." for n below 0 or above 256.
void qvCheckColorCount(int n);
