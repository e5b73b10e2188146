#pragma once
// qvOrder: the placement code of the z-order operations, an int 0 to 6.
// Drawing order runs from the front (drawn first, under the others) to the
// end (drawn last, over them).
//   0, 2  immediately before a reference shape
//   1     immediately after the reference shape
//   3     one step towards the end
//   4     one step towards the front
//   5     to the end
//   6     to the front
// Codes 0 to 2 need the reference. The type holds any int: what a store does
// with another code is its own rule.

enum qvOrder : int {
    qvOrderBefore = 0,
    qvOrderAfter = 1,
    qvOrderBeforeToo = 2,
    qvOrderOneLater = 3,
    qvOrderOneEarlier = 4,
    qvOrderLast = 5,
    qvOrderFirst = 6,
};
