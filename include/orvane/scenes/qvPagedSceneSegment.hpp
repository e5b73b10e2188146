#pragma once
// qvPagedSceneSegment: the segment whose layers are quadtrees (qvQTree)
// over the page device of one paged scene file.
//
// Keeps true:
//  - layer n is element n of the layer vector; the segment owns its
//    quadtrees and deletes them when a layer is removed, at cleanup and
//    when it dies;
//  - remove_layer gives the removed quadtree's node pages back to the
//    device's allocator (the layer is gone for good; a page the allocator
//    cannot take back stays marked used, and the removal still holds);
//    cleanup keeps them,
//    since the closed scene's layout still names them;
//  - layer(n) and remove_layer(n) for n outside 0 … total_layers() − 1
//    fail the assertion "n >= 0 && n < int(layers.size())";
//  - a failed load appends nothing of the quadtree that failed.
//
// Stream form (little-endian):
//   int32   layer count n ("Invalid or corrupt Orvane pagefile" when
//           negative, qvErrorFrom<qvPagedSceneSegment>)
//   n × the quadtree's own stream form (qvQuadTree.hpp), in layer order
// Load appends the loaded layers after those already there.
#include <orvane/core/qvAutoPtr.hpp>
#include <orvane/scenes/qvPagedSceneSegmentInterface.hpp>
#include <orvane/scenes/qvQTree.hpp>

#include <vector>

class qvPagedSceneFile;

class qvPagedSceneSegment : public qvPagedSceneSegmentInterface {
public:
    explicit qvPagedSceneSegment(qvPagedSceneFile& file) noexcept;
    qvPagedSceneSegment(qvPagedSceneSegment const&) = delete;
    qvPagedSceneSegment& operator=(qvPagedSceneSegment const&) = delete;
    ~qvPagedSceneSegment() override;

    void initialize() override;
    void cleanup() override;
    int total_layers() override { return static_cast<int>(layers_.size()); }
    void add_layer(qvMathRectOf<double> const& base) override;
    void remove_layer(int n) override;
    qvShapeDatabase& layer(int n) override;
    // The same quadtree, with its own operations (queries, stream form).
    qvQTree& tree(int n);

    void load(qvInputStream& is) override;
    void save(qvOutputStream& os) const override;

    qvPagedSceneFile& file() const noexcept { return file_; }

private:
    qvPagedSceneFile& file_;
    std::vector<orvane::auto_ptr<qvQTree>> layers_;
};
