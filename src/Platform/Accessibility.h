// The accessibility service: reading and writing attributes of other applications'
// user-interface elements ("AXWindows", "AXPosition", "AXSize", ...).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "Platform/Geometry.h"
#include "Platform/Runtime/Task.h"

namespace kestr {

// An element handle. Two handles denote the same element exactly when they compare
// equal; a zero handle is no element.
struct AXElement {
    std::uint64_t handle = 0;
    bool isNull() const { return handle == 0; }
    friend bool operator==(const AXElement&, const AXElement&) = default;
    friend auto operator<=>(const AXElement&, const AXElement&) = default;
};

using AXElementList = std::vector<AXElement>;

// A typed attribute value.
using AXValue = std::variant<bool, std::int64_t, double, std::string, Point, Size, AXElement, AXElementList>;

enum class AXError : int {
    success = 0,
    failure = -25200,
    illegalArgument = -25201,
    invalidUIElement = -25202,
    cannotComplete = -25204,
    attributeUnsupported = -25205,
    apiDisabled = -25211,
    noValue = -25212,
};

class Accessibility {
public:
    virtual ~Accessibility() = default;

    virtual bool isProcessTrusted() = 0;
    // Asks the system to show its permission prompt when `prompt` is true.
    virtual bool isProcessTrustedWithOptions(bool prompt) = 0;

    virtual AXElement createApplication(std::int32_t pid) = 0;
    virtual AXElement createSystemWide() = 0;

    // The value, or the error. A successful call always yields a value.
    virtual AXError copyAttributeValue(AXElement element, const std::string& attribute, AXValue& value) = 0;
    virtual AXError setAttributeValue(AXElement element, const std::string& attribute, const AXValue& value) = 0;
    virtual std::optional<std::int32_t> pid(AXElement element) = 0;

    // Moves and resizes a window in one request where the system takes both at once.
    // Where position and size are separate writes, they are written `passes` times in
    // turn (a window clamped by its old position takes the full size only after it has
    // moved, and the other way round). Errors are not reported: the caller reads the
    // frame back.
    virtual void setFrame(AXElement window, Point position, Size size, int passes);
    // Completes once the window's frame has settled after a write, or after `deadline`
    // seconds. Where a write takes effect before it returns, at once.
    virtual Task<void> settled(AXElement window, double deadline);
    // Completes once the window's frame has not changed for `quietPeriod` seconds, or after
    // `deadline` seconds: a window may set its own size after it was placed. Where only
    // the writer changes a frame, at once.
    virtual Task<void> quiet(AXElement window, double quietPeriod, double deadline);
    // Returns once the system has taken in every write made so far, so that what a process
    // reports before it ends has been carried out, not left behind with it. Where a write
    // takes effect before it returns, at once.
    virtual void deliverWrites() {}

    // Convenience: the value when the read succeeded.
    std::optional<AXValue> copy(AXElement element, const std::string& attribute) {
        AXValue v;
        if (copyAttributeValue(element, attribute, v) != AXError::success) return std::nullopt;
        return v;
    }
};

}  // namespace kestr
