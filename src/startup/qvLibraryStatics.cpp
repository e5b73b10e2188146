// The library's start-up registrations and their release at unload.
//
// This is the one source that stands above every area of the library: it
// may include the headers of all of them, so core never includes a later
// subsystem.
//
// Keeps true:
//  - every registration the library makes at load is a member of
//    qvLibraryStatics, declared in load order. Members are destroyed in the
//    reverse order of their declaration, which is the unload order: each
//    registration is released after every one made after it, and each
//    unique object is released by name and deleted only by its last user,
//    so objects a host's module also uses outlive the library's hold;
//  - a member's constructor makes its registration and its destructor
//    releases it without throwing (a failure there goes qvError::abort);
//  - the statics are built by the one dynamic initialiser of this file and
//    destroyed by qvUnloadLibrary(), which the loader object's destructor
//    calls at unload; the pointer to them is constant-initialised, so the
//    routine is safe at any time and does its work once;
//  - every holder and slot the members touch is constant-initialised, so a
//    static of another translation unit that needs a unique object before
//    its turn here creates it on demand, and the member then only takes the
//    already filled holder.
//
// Load order. Positions marked (later) are added by the area that owns them,
// each as one member line at its place (plus the include of its header):
//    1. the thirteen move, scale and rotate adapter classes    *_adapter_
//    2. the "Adapter list"                                      adapter_list_
//    3. the "Gadget palette"                                    gadget_palette_
//    4. the colour serializers per stream version               colour_serializers_
//    5. the binary streams' "Invalid streambuf" text: a literal, no member
//    6. the library's hold on the registry map                  registry_map_
//    7. interface records: gradients and units                  gradient_unit_records_
//    8. the "PropertyClass Registry"                            property_class_registry_
//    9. the render-procedure tables: constant data, never a member
//   10. interface records: the dump driver                      dump_driver_records_
//   11. the "Folder Registry", its folders, the "UNKNOWN" and
//       the standard property classes                           folder_registry_,
//                                                               standard_folders_,
//                                                               standard_property_classes_
//   12. the cached property-class pointers                      attribute_class_cache_
//   13. interface records: scenes to regions                    scene_to_region_records_
//   14. the sixteen proxy classes, by id in the order 3, 4, 12,
//       5, 13, 14, 11, 6, 1, 2, 10, 7, 8, 9, 15, 16             *_proxy_class_
//       (each kind adds its own at its place)
//   15. the class registries: text-extent, proxy, flavour       *_classes_
//   16. interface records: views to the seismic port            view_to_seismic_records_
// A member for a unique object held by a qvUniqueObject<T> is
//   qvUniqueObjectHold<T> name_{holder};
// and a plain static (a proxy class, a folder) is a member of its own type.

#include "startup/qvLibraryStatics.hpp"

#include "attributes/qvAttributeClassCache.hpp"
#include "attributes/qvColorSerializers.hpp"
#include "attributes/qvStandardFolders.hpp"
#include "attributes/qvStandardPropertyClassSet.hpp"
#include "core/qvInterfaceRecordHolder.hpp"
#include "core/qvLibraryStaticsAnchor.hpp"

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvPropertyClass.hpp>
#include <orvane/core/qvClassRegistry.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvUniqueObject.hpp>
#include <orvane/interaction/qvAdapterClass.hpp>
#include <orvane/interaction/qvAdapterList.hpp>
#include <orvane/interaction/qvGadgetPalette.hpp>
#include <orvane/interaction/qvExtendedScaleInteraction.hpp>
#include <orvane/interaction/qvMoveAnchoredObject.hpp>
#include <orvane/interaction/qvMoveInteraction.hpp>
#include <orvane/interaction/qvMoveScaleGroup.hpp>
#include <orvane/interaction/qvMoveScalePointSet.hpp>
#include <orvane/interaction/qvMoveScaleRectangle.hpp>
#include <orvane/interaction/qvMoveText.hpp>
#include <orvane/interaction/qvRotateGroup.hpp>
#include <orvane/interaction/qvRotateInteraction.hpp>
#include <orvane/interaction/qvRotatePointSet.hpp>
#include <orvane/interaction/qvRotateText.hpp>
#include <orvane/interaction/qvScaleInteraction.hpp>
#include <orvane/interaction/qvScaleRestrictedText.hpp>
#include <orvane/interaction/qvScaleScaledText.hpp>
#include <orvane/shapes/qvArc.hpp>
#include <orvane/shapes/qvBezier.hpp>
#include <orvane/shapes/qvEllipse.hpp>
#include <orvane/shapes/qvExactBezier.hpp>
#include <orvane/shapes/qvExactPolyMarker.hpp>
#include <orvane/shapes/qvExactPolygon.hpp>
#include <orvane/shapes/qvExactPolyline.hpp>
#include <orvane/shapes/qvPieSlice.hpp>
#include <orvane/shapes/qvPolyMarker.hpp>
#include <orvane/shapes/qvPolygon.hpp>
#include <orvane/shapes/qvPolyline.hpp>
#include <orvane/shapes/qvProxyClass.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/shapes/qvRestrictedImage.hpp>
#include <orvane/shapes/qvRestrictedText.hpp>
#include <orvane/shapes/qvScaledImage.hpp>
#include <orvane/shapes/qvScaledText.hpp>

#include <array>
#include <cstddef>
#include <utility>

char const qvLibraryStaticsAnchor = 0;

namespace {

// ---------------------------------------------------------------------------
// Member kinds

// The library's hold on the registry map.
class qvRegistryMapHold {
public:
    qvRegistryMapHold() { qvAcquireRegistryMap(); }
    qvRegistryMapHold(qvRegistryMapHold const&) = delete;
    qvRegistryMapHold& operator=(qvRegistryMapHold const&) = delete;
    ~qvRegistryMapHold() { qvReleaseRegistryMap(); }
};

// One use of a unique object through the module's holder of it, taken by
// get-or-create at load (nothing more when the holder is already filled)
// and given back at unload.
template <class T>
class qvUniqueObjectHold {
public:
    explicit qvUniqueObjectHold(qvUniqueObject<T>& holder) : holder_(holder) {
        holder_.get_or_create();
    }
    qvUniqueObjectHold(qvUniqueObjectHold const&) = delete;
    qvUniqueObjectHold& operator=(qvUniqueObjectHold const&) = delete;
    ~qvUniqueObjectHold() {
        try {
            holder_.release();
        } catch (qvError const& error) {
            qvError::abort(error);
        }
    }

private:
    qvUniqueObject<T>& holder_;
};

// The interface records of a group of names, registered in the order given
// and released in reverse.
template <std::size_t N>
class qvInterfaceRecords {
public:
    explicit qvInterfaceRecords(std::array<char const*, N> const& names)
        : qvInterfaceRecords(names, std::make_index_sequence<N>{}) {}

private:
    template <std::size_t... I>
    qvInterfaceRecords(std::array<char const*, N> const& names, std::index_sequence<I...>)
        : records_{qvInterfaceRecordHolder(names[I])...} {
        for (qvInterfaceRecordHolder& record : records_)
            record.get_or_create();
    }

    std::array<qvInterfaceRecordHolder, N> records_;
};

// One use of a class registry through the module's holder of it.
template <qvRegistryName Name>
class qvClassRegistryHold : public qvUniqueObjectHold<qvClassRegistry<Name>> {
public:
    qvClassRegistryHold()
        : qvUniqueObjectHold<qvClassRegistry<Name>>(qvClassRegistry<Name>::holder()) {}
};

// One row of the "Adapter list": the registration of an adapter class. Its
// constructor takes a use of the two identities through the module's
// holders of them; the unload gives those uses back (after the list's hold,
// released first), so no interface record outlives the library's hold.
template <class Interaction, class Adapter>
class qvAdapterRow {
public:
    qvAdapterRow() = default;
    qvAdapterRow(qvAdapterRow const&) = delete;
    qvAdapterRow& operator=(qvAdapterRow const&) = delete;
    ~qvAdapterRow() {
        try {
            qvInterfaceInfoInstantiation<Interaction>::get_interface_info().release();
            qvInterfaceInfoInstantiation<typename Adapter::DataAccess>::get_interface_info().release();
        } catch (qvError const& error) {
            qvError::abort(error);
        }
    }

private:
    qvAdapterClass<Interaction, Adapter> class_;
};

// ---------------------------------------------------------------------------
// The interface records, by group, in load order

constexpr std::array<char const*, 8> gradient_unit_names = {
    "qvCustomBrushDataAccess", "qvGradientDataAccess", "qvLinearGradientDataAccess",
    "qvRadialGradientDataAccess", "qvConicalGradientDataAccess", "qvUnit",
    "qvTimeUnit", "qvLengthUnit"};

constexpr std::array<char const*, 2> dump_driver_names = {
    "qvDumpDriverUserInterface", "qvDumpDriverObject"};

constexpr std::array<char const*, 54> scene_to_region_names = {
    "qvScene", "qvAnimatedScene", "qvSceneInterface", "qvContainerScene",
    "qvContainerSceneInterface", "qvShapeOrderInterface", "qvDrawingContainer",
    "qvCompositeDrawing", "qvLabeledDrawing", "qvLabelDrawing",
    "qvQueryBboxDataAccess", "qvAnchorDataAccess", "qvRectangleDataAccess",
    "qvEllipseDataAccess", "qvArcDataAccess", "qvPointSetDataAccess",
    "qvBezierDataAccess", "qvGraphicListDataAccess", "qvTextDataAccess",
    "qvRestrictedTextDataAccess", "qvScaledTextDataAccess", "qvImageDataAccess",
    "qvRestrictedImageDataAccess", "qvScaledImageDataAccess", "qvMoveInteraction",
    "qvScaleInteraction", "qvExtendedScaleInteraction", "qvRotateInteraction",
    "qvAttributeFolderInterface", "qvAttributeInterface", "qvGraphicInterface",
    "qvGraphicProxyInterface", "qvSingleShapeProxyInterface", "qvSingleShapeProxyBase",
    "qvRectangleProxy", "qvEllipseProxy", "qvPolyMarkerProxy", "qvPolylineProxy",
    "qvPolygonProxy", "qvBezierProxy", "qvRestrictedTextProxy", "qvScaledTextProxy",
    "qvRestrictedImageProxy", "qvScaledImageProxy", "qvExactPolyMarkerProxy",
    "qvExactPolylineProxy", "qvExactPolygonProxy", "qvExactBezierProxy", "qvArcProxy",
    "qvPieSliceProxy", "qvGraphicListObject", "qvListRegion", "qvGridRegion",
    "qvRectRegion"};

constexpr std::array<char const*, 36> view_to_seismic_names = {
    "qvViewBaseLayerObject", "qvViewLayerObject", "qvViewDataLayerObject",
    "qvViewActiveLayerObject", "qvBaseRendererObject", "qvRendererObject",
    "qvViewManagerObject", "qvViewSceneLayerObject", "qvViewBackgroundLayerObject",
    "qvViewGroupLayerObject", "qvViewWindowCacheLayerObject",
    "qvViewWindowScrollLayerObject", "qvViewMultiBufferLayerObject",
    "qvDeviceRendererObject", "qvScrollerInterface", "qvScrollerObject",
    "qvScrollBarObject", "qvMappingDimensionObject", "qvMappingControlBaseObject",
    "qvMappingControlObject", "qvDriverSubsystems", "qvDriverAttributeCache",
    "qvDriverInteractiveOptions", "qvDriverColorMap", "qvDriverShapeCache",
    "qvDriverBitmapVBuf", "qvDriverBackground", "qvDriverFontMapping",
    "qvVBufTrueScale", "qvVBufHardcopy", "qvVBufInvalidate", "qvVBufOffset",
    "qvVBufBitmap", "qvFlavorPort", "qvViewLayerFlavorPort", "qvSeismicPort"};

// ---------------------------------------------------------------------------
// The statics, in load order

class qvLibraryStatics {
    qvAdapterRow<qvMoveInteraction, qvMoveScaleRectangle> move_rectangle_adapter_;
    qvAdapterRow<qvScaleInteraction, qvMoveScaleRectangle> scale_rectangle_adapter_;
    qvAdapterRow<qvMoveInteraction, qvMoveScaleGroup> move_group_adapter_;
    qvAdapterRow<qvScaleInteraction, qvMoveScaleGroup> scale_group_adapter_;
    qvAdapterRow<qvRotateInteraction, qvRotatePointSet> rotate_point_set_adapter_;
    qvAdapterRow<qvMoveInteraction, qvMoveScalePointSet> move_point_set_adapter_;
    qvAdapterRow<qvScaleInteraction, qvMoveScalePointSet> scale_point_set_adapter_;
    qvAdapterRow<qvRotateInteraction, qvRotateGroup> rotate_group_adapter_;
    qvAdapterRow<qvRotateInteraction, qvRotateText> rotate_text_adapter_;
    qvAdapterRow<qvMoveInteraction, qvMoveAnchoredObject> move_anchored_adapter_;
    qvAdapterRow<qvMoveInteraction, qvMoveText> move_text_adapter_;
    qvAdapterRow<qvExtendedScaleInteraction, qvScaleRestrictedText> scale_restricted_text_adapter_;
    qvAdapterRow<qvExtendedScaleInteraction, qvScaleScaledText> scale_scaled_text_adapter_;
    qvUniqueObjectHold<qvAdapterList> adapter_list_{qvAdapterList::holder()};
    qvUniqueObjectHold<qvGadgetPalette> gadget_palette_{qvGadgetPalette::holder()};
    qvColorSerializers colour_serializers_;
    qvRegistryMapHold registry_map_;
    qvInterfaceRecords<8> gradient_unit_records_{gradient_unit_names};
    qvUniqueObjectHold<qvPropertyClass::Registry> property_class_registry_{qvPropertyClass::registry()};
    qvInterfaceRecords<2> dump_driver_records_{dump_driver_names};
    qvUniqueObjectHold<qvFolder::Registry> folder_registry_{qvFolder::registry()};
    qvStandardFolders standard_folders_;
    qvStandardPropertyClassSet standard_property_classes_;
    qvAttributeClassCacheFill attribute_class_cache_;
    qvInterfaceRecords<54> scene_to_region_records_{scene_to_region_names};
    qvGenericProxyClass<qvPolyMarkerProxy> poly_marker_proxy_class_;
    qvGenericProxyClass<qvBezierProxy> bezier_proxy_class_;
    qvGenericProxyClass<qvExactBezierProxy> exact_bezier_proxy_class_;
    qvGenericProxyClass<qvPolylineProxy> polyline_proxy_class_;
    qvGenericProxyClass<qvExactPolylineProxy> exact_polyline_proxy_class_;
    qvGenericProxyClass<qvExactPolygonProxy> exact_polygon_proxy_class_;
    qvGenericProxyClass<qvExactPolyMarkerProxy> exact_poly_marker_proxy_class_;
    qvGenericProxyClass<qvPolygonProxy> polygon_proxy_class_;
    qvGenericProxyClass<qvRectangleProxy> rectangle_proxy_class_;
    qvGenericProxyClass<qvEllipseProxy> ellipse_proxy_class_;
    qvGenericProxyClass<qvScaledImageProxy> scaled_image_proxy_class_;
    qvGenericProxyClass<qvRestrictedTextProxy> restricted_text_proxy_class_;
    qvGenericProxyClass<qvScaledTextProxy> scaled_text_proxy_class_;
    qvGenericProxyClass<qvRestrictedImageProxy> restricted_image_proxy_class_;
    qvGenericProxyClass<qvArcProxy> arc_proxy_class_;
    qvGenericProxyClass<qvPieSliceProxy> pie_slice_proxy_class_;
    qvClassRegistryHold<"TextExtentClass Registry"> text_extent_classes_;
    qvClassRegistryHold<"ProxyClass Registry"> proxy_classes_;
    qvClassRegistryHold<"FlavorClass Registry"> flavor_classes_;
    qvInterfaceRecords<36> view_to_seismic_records_{view_to_seismic_names};
};

constinit qvLibraryStatics* loaded_statics = nullptr;

// Builds the statics at load; its destructor is the library's unload.
class qvLibraryLoader {
public:
    qvLibraryLoader() { loaded_statics = new qvLibraryStatics; }
    qvLibraryLoader(qvLibraryLoader const&) = delete;
    qvLibraryLoader& operator=(qvLibraryLoader const&) = delete;
    ~qvLibraryLoader() { qvUnloadLibrary(); }
};

// Constructed ahead of every static of default priority, so a host's own
// static folder or property class, wherever it is defined, registers after
// the standard ones and the numbers that palette streams carry stay fixed.
[[gnu::init_priority(101)]] qvLibraryLoader loader;

}  // namespace

void qvUnloadLibrary() noexcept { delete std::exchange(loaded_statics, nullptr); }
