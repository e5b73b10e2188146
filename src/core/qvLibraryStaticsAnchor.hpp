#pragma once
// The anchor of the start-up registrations. It is defined in the start-up
// statics' translation unit; the registry of unique objects refers to it, so
// whoever links the registry also links the registrations, from a static
// library too, where an object file nothing refers to would be dropped.
// Declared in core so that core never includes the start-up code.

extern char const qvLibraryStaticsAnchor;
