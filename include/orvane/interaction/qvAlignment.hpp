#pragma once
// qvAlignment: the code of an anchor point of a box, the point that stays
// fixed when the box is scaled. Bits 0-1 give the vertical position (1 top,
// 2 bottom, 3 middle), bits 2-3 the horizontal one (1 left, 2 right,
// 3 centre): 5 is the left-top corner, 15 the centre. Only the low four bits
// are read, so the valid codes are 5, 6, 7, 9, 10, 11, 13, 14 and 15 (21
// reads as 5); a position of 0 on either axis names no point.

using qvAlignment = unsigned;
