#pragma once
// The one raise of a stream buffer that refuses bytes,
// qvErrorFrom<std::streambuf*> "Invalid streambuf": the binary output
// stream's, and that of any buffer standing in for one that has ended.

[[noreturn]] void qvRaiseInvalidStreambuf();
