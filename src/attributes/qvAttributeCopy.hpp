#pragma once
// qvCopyAttribute: an attribute of one palette copied into another, the one
// road by which values cross palettes (an attribute object connected to an
// attribute of a foreign palette; a scene that already holds shapes
// loading records from a stream with a palette of its own).
//
// Keeps true: the copy is an attribute of the target that the caller holds
// one reference on: a new one allocated with the caller's shared flag, or,
// in a palette that merges equal attributes, an equal one it already had.
// It holds the source's values in every folder but four that stay with the
// source: "ref_count" and "is_shared" belong to the new attribute (the
// flag decides the mark), "attr_name" is a key of the source's repository
// (written here it would bypass the target's, and the name may be taken
// there), and "attribute_flavor" names a flavour of the source palette. A
// source handle of 0, or one the source does not hold, gives an attribute
// without values. A copy that fails releases what it allocated and raises
// the target's error.

class qvPalette;

long qvCopyAttribute(qvPalette& source, long source_handle, qvPalette& target, bool shared);
