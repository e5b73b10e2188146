#pragma once
// The library's start-up registrations, made when the library is loaded
// and released when it is unloaded (see qvLibraryStatics.cpp).

// Releases every start-up registration, in the reverse order of load. The
// library's unload runs it; running it again, or after an explicit call,
// changes nothing. Nothing is registered again afterwards.
void qvUnloadLibrary() noexcept;
