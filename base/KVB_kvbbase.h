// Shared enumerations, error classes, settings objects and drawing helpers of the components.
#pragma once

#include <string>

#include "platform/system/System.h"

namespace kvb {

// The components' common exception class.
class EKVBError : public Exception {
public:
    using Exception::Exception;
};
class EKVBFourierError : public EKVBError {
public:
    using EKVBError::EKVBError;
};
class EKVBPlotixError : public EKVBError {
public:
    using EKVBError::EKVBError;
};

}  // namespace kvb
