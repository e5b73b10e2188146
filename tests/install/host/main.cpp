// The host's own program; only configured by the check, never built.
#include <orvane/orvane.hpp>

int main() { return qvCheckedInt32(0); }
