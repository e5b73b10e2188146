#pragma once
// Umbrella header: every public header of the library.

// core
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvAutoPtr.hpp>
#include <orvane/core/qvBasedSmartPtr.hpp>
#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvIndirectIterator.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvInterfaceInfo.hpp>
#include <orvane/core/qvIterator.hpp>
#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/core/qvRefBase.hpp>
#include <orvane/core/qvRefPtrBase.hpp>
#include <orvane/core/qvSafePtr.hpp>
#include <orvane/core/qvStream.hpp>
#include <orvane/core/qvStreamPersistence.hpp>
#include <orvane/core/qvStreamVersion.hpp>
#include <orvane/core/qvString.hpp>
#include <orvane/core/qvUniqueObject.hpp>
#include <orvane/core/qvVersion.hpp>
#include <orvane/core/qvVersionBasedSerializer.hpp>
#include <orvane/core/qvWeakPtr.hpp>
#include <orvane/core/qvWrap.hpp>
