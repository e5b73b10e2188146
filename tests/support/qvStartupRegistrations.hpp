#pragma once
// What the library registers at load, written out independently of the
// start-up code so that the tests check it against a second copy.

#include <orvane/core/qvClassRegistry.hpp>
#include <orvane/core/qvInterfaceInfo.hpp>

#include <array>

// A second interface type bound to the scene's name, as another module
// would declare it: it must share the record made at load.
struct SceneBoundInTest;

template <>
struct qvInterfaceName<SceneBoundInTest> {
    static constexpr char const* value = "qvScene";
};

namespace startup_test {

// The interface records, in load order.
inline constexpr std::array<char const*, 100> interface_names = {
    "qvCustomBrushDataAccess", "qvGradientDataAccess", "qvLinearGradientDataAccess",
    "qvRadialGradientDataAccess", "qvConicalGradientDataAccess", "qvUnit", "qvTimeUnit", "qvLengthUnit",
    "qvDumpDriverUserInterface", "qvDumpDriverObject", "qvScene", "qvAnimatedScene", "qvSceneInterface",
    "qvContainerScene", "qvContainerSceneInterface", "qvShapeOrderInterface", "qvDrawingContainer",
    "qvCompositeDrawing", "qvLabeledDrawing", "qvLabelDrawing", "qvQueryBboxDataAccess", "qvAnchorDataAccess",
    "qvRectangleDataAccess", "qvEllipseDataAccess", "qvArcDataAccess", "qvPointSetDataAccess",
    "qvBezierDataAccess", "qvGraphicListDataAccess", "qvTextDataAccess", "qvRestrictedTextDataAccess",
    "qvScaledTextDataAccess", "qvImageDataAccess", "qvRestrictedImageDataAccess", "qvScaledImageDataAccess",
    "qvMoveInteraction", "qvScaleInteraction", "qvExtendedScaleInteraction", "qvRotateInteraction",
    "qvAttributeFolderInterface", "qvAttributeInterface", "qvGraphicInterface", "qvGraphicProxyInterface",
    "qvSingleShapeProxyInterface", "qvSingleShapeProxyBase", "qvRectangleProxy", "qvEllipseProxy",
    "qvPolyMarkerProxy", "qvPolylineProxy", "qvPolygonProxy", "qvBezierProxy", "qvRestrictedTextProxy",
    "qvScaledTextProxy", "qvRestrictedImageProxy", "qvScaledImageProxy", "qvExactPolyMarkerProxy",
    "qvExactPolylineProxy", "qvExactPolygonProxy", "qvExactBezierProxy", "qvArcProxy", "qvPieSliceProxy",
    "qvGraphicListObject", "qvListRegion", "qvGridRegion", "qvRectRegion", "qvViewBaseLayerObject",
    "qvViewLayerObject", "qvViewDataLayerObject", "qvViewActiveLayerObject", "qvBaseRendererObject",
    "qvRendererObject", "qvViewManagerObject", "qvViewSceneLayerObject", "qvViewBackgroundLayerObject",
    "qvViewGroupLayerObject", "qvViewWindowCacheLayerObject", "qvViewWindowScrollLayerObject",
    "qvViewMultiBufferLayerObject", "qvDeviceRendererObject", "qvScrollerInterface", "qvScrollerObject",
    "qvScrollBarObject", "qvMappingDimensionObject", "qvMappingControlBaseObject", "qvMappingControlObject",
    "qvDriverSubsystems", "qvDriverAttributeCache", "qvDriverInteractiveOptions", "qvDriverColorMap",
    "qvDriverShapeCache", "qvDriverBitmapVBuf", "qvDriverBackground", "qvDriverFontMapping",
    "qvVBufTrueScale", "qvVBufHardcopy", "qvVBufInvalidate", "qvVBufOffset", "qvVBufBitmap", "qvFlavorPort",
    "qvViewLayerFlavorPort", "qvSeismicPort"};

// The class registries, in load order.
inline constexpr std::array<char const*, 3> class_registry_names = {
    "TextExtentClass Registry", "ProxyClass Registry", "FlavorClass Registry"};

// The ids of the proxy classes registered at load, in load order.
inline constexpr std::array<long, 16> proxy_class_ids = {3, 4, 12, 5, 13, 14, 11, 6, 1, 2, 10, 7, 8, 9, 15, 16};

// The proxy classes' destructors run after the release of the
// "ProxyClass Registry" and make it again, empty, to remove their ids. A
// test that needs the registry map gone after an unload gives that late
// registry back too.
inline void release_late_proxy_registry() { qvClassRegistry<"ProxyClass Registry">::holder().release(); }

}  // namespace startup_test
