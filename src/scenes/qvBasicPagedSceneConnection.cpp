// qvBasicPagedScene: the connection of paged shapes (copies out of their
// pages for reading and editing, written back when done) and the
// enumeration through the proxy site are not part of the scene yet: the
// scene is read and drawn as a whole, and records reach it through its
// stream. Every entry point states so instead of guessing.
#include <orvane/scenes/qvBasicPagedScene.hpp>

#include <orvane/core/qvAssertionError.hpp>

namespace {

[[noreturn]] void not_yet() { QV_ASSERT_TEXT(false, "paged shape connection"); __builtin_unreachable(); }

}  // namespace

qvShapeBase* qvBasicPagedScene::connect(long) { not_yet(); }
void qvBasicPagedScene::disconnect(qvShapeBase*) { not_yet(); }
qvShapeBase* qvBasicPagedScene::allocate(int, qvShapeBase*) { not_yet(); }
void qvBasicPagedScene::destroy(qvShapeBase*) { not_yet(); }
void qvBasicPagedScene::shape_layer(long, int) { not_yet(); }
int qvBasicPagedScene::shape_layer(long) { not_yet(); }
qvIndirectIterator<qvGraphic> qvBasicPagedScene::enumerate(int) { not_yet(); }
