#pragma once
// The errors of the basic paged scene, qvErrorFrom<qvBasicPagedScene>,
// raised from one place for every source of the scene (the scene itself,
// its connection of shapes and the ready-made qvPagedScene).

[[noreturn]] void qvRaisePagedSceneError(char const* message);
// "Invalid or corrupt Orvane pagefile".
[[noreturn]] void qvRaisePagedSceneCorrupt();
